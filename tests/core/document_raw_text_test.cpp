// The raw text of a document: bytes and line index.
#include <gtest/gtest.h>

#include "core/RawText.h"
#include "document_test_support.h"

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

TEST(DocumentRawText, LoadsAFileAndAccountsForItsBuffers) {
  testing::DocumentTempDir dir;
  testing::WriteBytes(dir.Path("raw.txt"), "x\r\ny\r\n");
  RawText raw;
  ASSERT_TRUE(raw.LoadFile(dir.Path("raw.txt")));
  EXPECT_EQ(Lines(raw), (std::vector<std::string>{"x", "y"}));
  EXPECT_GE(raw.MemoryBytes(), 6u + 2 * sizeof(std::uint64_t));
  EXPECT_FALSE(raw.LoadFile(dir.Path("missing.txt")));
  EXPECT_EQ(raw.LineCount(), 0u);
}

}  // namespace
}  // namespace tessaly
