// The raw text of a document: bytes and line index.
#include <gtest/gtest.h>

#include "core/RawText.h"
#include "support/DocumentFiles.h"
#include "support/FileBytes.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

std::vector<std::string> Lines(const RawText& raw) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < raw.LineCount(); ++i) lines.emplace_back(raw.Line(i));
  return lines;
}

TEST(DocumentRawText, SplitsAtCrLfLfAndLoneCr) {
  RawText raw;
  raw.Assign("a\r\nb\nc\rd\r\r\ne");
  EXPECT_EQ(Lines(raw), (std::vector<std::string>{"a", "b", "c", "d", "", "e"}));
}

TEST(DocumentRawText, ALastLineWithoutBreakCountsAndAFinalBreakAddsNone) {
  RawText raw;
  raw.Assign("one\r\ntwo");
  EXPECT_EQ(raw.LineCount(), 2u);
  raw.Assign("one\r\ntwo\r\n");
  EXPECT_EQ(raw.LineCount(), 2u);
  raw.Assign("one\r");
  EXPECT_EQ(Lines(raw), (std::vector<std::string>{"one"}));
  raw.Assign("");
  EXPECT_EQ(raw.LineCount(), 0u);
  raw.Assign("\n\n");
  EXPECT_EQ(Lines(raw), (std::vector<std::string>{"", ""}));
}

TEST(DocumentRawText, NulIsAnOrdinaryByte) {
  RawText raw;
  raw.Assign(std::string("a\0b\r\n\0", 6));
  ASSERT_EQ(raw.LineCount(), 2u);
  EXPECT_EQ(raw.Line(0), std::string_view("a\0b", 3));
  EXPECT_EQ(raw.Line(1), std::string_view("\0", 1));
  EXPECT_EQ(raw.Line(2), "");
}

TEST(DocumentRawText, StreamedCuttingLeavesAnUnfinishedLineAndASplitCrLf) {
  std::vector<std::string> seen;
  const auto collect = [&seen](std::string_view line) { seen.emplace_back(line); };
  EXPECT_EQ(ForEachLine("ab\r\ncd", false, collect), 4u);
  EXPECT_EQ(seen, (std::vector<std::string>{"ab"}));
  seen.clear();
  EXPECT_EQ(ForEachLine("ab\r", false, collect), 0u);  // the LF may come next
  EXPECT_EQ(ForEachLine("ab\r", true, collect), 3u);
  EXPECT_EQ(seen, (std::vector<std::string>{"ab"}));
}

std::vector<std::string> ReadInPieces(const std::string& path, std::size_t pieceBytes, RawText& raw) {
  EXPECT_TRUE(raw.OpenFile(path, pieceBytes));
  while (raw.ReadMore()) {
  }
  EXPECT_FALSE(raw.ReadFailed());
  return Lines(raw);
}

TEST(DocumentRawText, ReadsAFileAndAccountsForItsBuffers) {
  testing::TempHome dir;
  testing::WriteBytes(dir.Path("raw.txt"), "x\r\ny\r\n");
  RawText raw;
  EXPECT_EQ(ReadInPieces(dir.Path("raw.txt"), RawText::kPieceBytes, raw), (std::vector<std::string>{"x", "y"}));
  EXPECT_GE(raw.MemoryBytes(), 6u + 2 * sizeof(std::uint64_t));
}

TEST(DocumentRawText, ReadingInPiecesCutsTheSameLinesAsAWholeRead) {
  testing::TempHome dir;
  // Breaks of every kind, a CR LF that a piece may split, a long line and a
  // last line without a break.
  const std::string text = "first\r\nsecond\nthird\rfourth\r\r\n\n" + std::string(40, 'x') + "\r\nlast";
  testing::WriteBytes(dir.Path("pieces.txt"), text);
  RawText whole;
  whole.Assign(text);
  for (std::size_t piece = 1; piece <= text.size() + 1; ++piece) {
    RawText raw;
    EXPECT_EQ(ReadInPieces(dir.Path("pieces.txt"), piece, raw), Lines(whole)) << "piece " << piece;
    EXPECT_EQ(raw.LongestLine(), 40u) << "piece " << piece;
    EXPECT_EQ(raw.ExpectedLineCount(), raw.LineCount());
  }
}

TEST(DocumentRawText, LinesReadSoFarStayInPlaceWhileTheRestIsRead) {
  testing::TempHome dir;
  std::string text;
  for (int i = 0; i < 100; ++i) text += "line " + std::to_string(i) + "\r\n";
  testing::WriteBytes(dir.Path("grow.txt"), text);
  RawText raw;
  ASSERT_TRUE(raw.OpenFile(dir.Path("grow.txt"), 64));
  EXPECT_EQ(raw.LineCount(), 0u);  // nothing is read before ReadMore
  ASSERT_TRUE(raw.ReadMore());
  ASSERT_GT(raw.LineCount(), 0u);
  const std::string_view first = raw.Line(0);
  while (raw.ReadMore()) {
  }
  EXPECT_EQ(raw.LineCount(), 100u);
  EXPECT_EQ(raw.Line(0).data(), first.data());
  EXPECT_EQ(raw.Line(99), "line 99");
}

TEST(DocumentRawText, TheLineCountIsEstimatedFromTheFirstPieceAndExactAtTheEnd) {
  testing::TempHome dir;
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "$KVMGD,+00042,4418.000,N,06318.000,W,25.3,78.4\r\n";
  testing::WriteBytes(dir.Path("estimate.txt"), text);
  RawText raw;
  ASSERT_TRUE(raw.OpenFile(dir.Path("estimate.txt"), 64 * 1024));
  ASSERT_TRUE(raw.ReadMore());
  EXPECT_LT(raw.LineCount(), 20000u);
  EXPECT_NEAR(static_cast<double>(raw.ExpectedLineCount()), 20000.0, 20.0);
  while (raw.ReadMore()) {
  }
  EXPECT_EQ(raw.ExpectedLineCount(), 20000u);
  EXPECT_EQ(raw.LineCount(), 20000u);
}

TEST(DocumentRawText, AFileThatCannotBeOpenedLeavesAnEmptyText) {
  testing::TempHome dir;
  RawText raw;
  raw.Assign("old text");
  EXPECT_FALSE(raw.OpenFile(dir.Path("missing.txt")));
  EXPECT_EQ(raw.LineCount(), 0u);
  EXPECT_FALSE(raw.ReadMore());
  EXPECT_FALSE(raw.ReadFailed());
  EXPECT_FALSE(raw.OpenFile(dir.Path("")));  // a folder
}

}  // namespace
}  // namespace tessaly
