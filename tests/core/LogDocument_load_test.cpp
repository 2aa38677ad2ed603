// The load loop of a log document: data block, counting, error list,
// comments, cancel, and the files that are not loaded.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

#include "core/DeviationColours.h"
#include "core/LogDocument.h"
#include "support/DocumentFiles.h"
#include "support/FileBytes.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

using testing::CrLfLines;
using testing::TempHome;
using testing::KvlLine;
using testing::KvsLine;
using testing::ReadBytes;
using testing::SplitCrLf;
using testing::WriteBytes;

LoadOptions SmallBatches(unsigned threads = 2) {
  LoadOptions options;
  options.threads = threads;
  options.batchLines = 3;  // many batches even for a small file
  return options;
}

std::vector<std::string> Column(const LogDocument& doc, std::size_t column) {
  std::vector<std::string> values;
  for (std::size_t row = 1; row <= doc.ValidCount(); ++row) values.emplace_back(doc.Cells().Cell(row, column));
  return values;
}

TEST(DocumentLoad, KvsDataLiesBetweenHeadingAndEndMarker) {
  TempHome dir;
  const std::string path = dir.Path("survey.KVS");
  WriteBytes(path, CrLfLines({"", "", "No. of entries: 3", "", "Dev    lat        long", KvsLine("+00001"),
                              KvsLine("-00002"), "** End of data set **", KvsLine("+00003"), "garbage"}));
  LogDocument doc;
  ASSERT_EQ(doc.OpenLog(path, SmallBatches()), LoadStatus::Loaded);
  EXPECT_EQ(doc.FileExtType(), ".KVS");
  EXPECT_EQ(doc.FileType(), "KV7100 Data String mode");
  EXPECT_EQ(doc.ValidCount(), 2u);
  EXPECT_EQ(doc.ErrorCount(), 0u);
  EXPECT_EQ(Column(doc, 3), (std::vector<std::string>{"+00001", "-00002"}));
  EXPECT_EQ(Column(doc, 2), (std::vector<std::string>{"6", "7"}));
  EXPECT_EQ(Column(doc, 0), (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(testing::ChartValuesOf(doc), (std::vector<double>{1.0, -2.0}));
  EXPECT_EQ(doc.Raw().LineCount(), 10u);
}

TEST(DocumentLoad, WithoutItsHeadingLineAFileHasNoRecordsAndNoErrors) {
  TempHome dir;
  const std::string path = dir.Path("noheading.KVS");
  WriteBytes(path, CrLfLines({"No. of entries: 3", KvsLine(), "bad line", KvsLine()}));
  LogDocument doc;
  ASSERT_EQ(doc.OpenLog(path, SmallBatches()), LoadStatus::Loaded);
  EXPECT_EQ(doc.ValidCount(), 0u);
  EXPECT_EQ(doc.ErrorCount(), 0u);
  EXPECT_TRUE(doc.ErrorListText().empty());
  EXPECT_EQ(doc.Cells().Rows(), 1u);
}

TEST(DocumentLoad, RejectedLinesBecomeNumberedFourLineEntriesWithTheirLineNumbers) {
  TempHome dir;
  std::vector<std::string> lines(13, KvlLine());
  lines[9] = "$KVMGD,000042,4418.000,N,06318.000,W,25.3,78.4";  // file line 10
  lines[11] = "$KVMGD,+00042,4418.000,N,06318.000,W,25.3,7x";   // file line 12
  const std::string path = dir.Path("errors.KVL");
  WriteBytes(path, CrLfLines(lines));
  LogDocument doc;
  ASSERT_EQ(doc.OpenLog(path, SmallBatches()), LoadStatus::Loaded);
  EXPECT_EQ(doc.ErrorCount(), 2u);
  EXPECT_EQ(doc.ValidCount(), 11u);
  EXPECT_EQ(SplitCrLf(doc.ErrorListText()),
            (std::vector<std::string>{"1 - Missing sign on Deviation Field", lines[9], "Line: 10", "",
                                      "2 - Invalid Sounder value", lines[11], "Line: 12", ""}));
}

TEST(DocumentLoad, SequenceCountsEmptyLinesButNotRejectedOnesAndRdIsTheLineNumber) {
  TempHome dir;
  const std::string path = dir.Path("sequence.KVL");
  WriteBytes(path, CrLfLines({KvlLine("+00001"), "", KvlLine("+00002"), "$KVMGD,+1,4418.000,N,06318.000,W,25.3,78.4",
                              KvlLine("+00003"), KvlLine("+00004")}));
  LogDocument doc;
  ASSERT_EQ(doc.OpenLog(path, SmallBatches()), LoadStatus::Loaded);
  EXPECT_EQ(Column(doc, 0), (std::vector<std::string>{"1", "3", "4", "5"}));
  EXPECT_EQ(Column(doc, 2), (std::vector<std::string>{"1", "3", "5", "6"}));
  EXPECT_EQ(Column(doc, 3), (std::vector<std::string>{"+00001", "+00002", "+00003", "+00004"}));
  EXPECT_EQ(doc.ErrorCount(), 1u);
  // A row for every line less the rejected one; the blank line's row stays
  // empty at the end.
  EXPECT_EQ(doc.GridRowCount(), 6u);
  EXPECT_EQ(doc.RowOfRawLine(4), 3u);
  EXPECT_EQ(doc.RowOfRawLine(3), 0u);
  EXPECT_EQ(doc.RowOfRawLine(1), 0u);
  EXPECT_EQ(doc.RowOfRawLine(99), 0u);
  // And back, for every record row: the row of its raw line is the row.
  EXPECT_EQ(doc.RawLineOfRow(3), 4u);
  for (std::size_t row = 1; row <= doc.ValidCount(); ++row) EXPECT_EQ(doc.RowOfRawLine(*doc.RawLineOfRow(row)), row);
  EXPECT_EQ(doc.RawLineOfRow(0), std::nullopt);  // the caption row
  EXPECT_EQ(doc.RawLineOfRow(5), std::nullopt);  // the blank line's row
}

TEST(DocumentLoad, ContinuityIsJudgedAgainstTheLastAcceptedLineAcrossBatches) {
  TempHome dir;
  const std::string path = dir.Path("depth.KVL");
  // Depth 25.3, then a 10 m jump (rejected), then 26.0 (compared with 25.3).
  WriteBytes(path, CrLfLines({KvlLine("+00001", "25.3"), KvlLine("+00002", "25.3"), KvlLine("+00003", "35.3"),
                              KvlLine("+00004", "26.0"), KvlLine("+00005", "31.5")}));
  for (unsigned threads : {1u, 2u}) {
    LogDocument doc;
    ASSERT_EQ(doc.OpenLog(path, SmallBatches(threads)), LoadStatus::Loaded);
    EXPECT_EQ(Column(doc, 3), (std::vector<std::string>{"+00001", "+00002", "+00004"}));
    EXPECT_EQ(doc.ErrorCount(), 2u);
    EXPECT_NE(doc.ErrorListText().find("Line: 3\r\n"), std::string::npos);
    EXPECT_NE(doc.ErrorListText().find("Line: 5\r\n"), std::string::npos);
  }
}

TEST(DocumentLoad, CommentIsStoredUnderItsRowAndAppliedAtTheNextLoad) {
  TempHome dir;
  const std::string path = dir.Path("line7.KVL");
  WriteBytes(path, CrLfLines(std::vector<std::string>(8, KvlLine())));
  {
    LogDocument doc;
    ASSERT_EQ(doc.OpenLog(path, SmallBatches()), LoadStatus::Loaded);
    EXPECT_FALSE(doc.HasCommentsFile());
    std::string error;
    ASSERT_TRUE(doc.SetComment(5, "pipeline crossing, buoy", &error)) << error;
    EXPECT_EQ(doc.Cells().Cell(5, kColComment), "pipeline crossing, buoy");
    EXPECT_TRUE(doc.HasCommentsFile());
  }
  EXPECT_EQ(ReadBytes(dir.Path("line7.cmt")), "5=pipeline crossing, buoy\r\n");
  EXPECT_EQ(ReadBytes(path), CrLfLines(std::vector<std::string>(8, KvlLine())));  // the log is untouched

  LogDocument again;
  ASSERT_EQ(again.OpenLog(path, SmallBatches()), LoadStatus::Loaded);
  EXPECT_EQ(again.Cells().Cell(5, kColComment), "pipeline crossing, buoy");
  EXPECT_EQ(again.Cells().Cell(4, kColComment), "");
  EXPECT_EQ(again.Cells().Cell(6, kColComment), "");
}

TEST(DocumentLoad, ACommentsFileThatCannotBeWrittenIsReported) {
  TempHome dir;
  const std::string path = dir.Path("locked.KVL");
  WriteBytes(path, CrLfLines({KvlLine(), KvlLine()}));
  std::filesystem::create_directory(dir.Path("locked.cmt"));  // in the way of the comments file
  LogDocument doc;
  ASSERT_EQ(doc.OpenLog(path, SmallBatches()), LoadStatus::Loaded);
  EXPECT_EQ(doc.ValidCount(), 2u);
  std::string error;
  EXPECT_FALSE(doc.SetComment(1, "kept in the grid", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(doc.Cells().Cell(1, kColComment), "kept in the grid");
  EXPECT_TRUE(std::filesystem::is_directory(dir.Path("locked.cmt")));
  EXPECT_EQ(ReadBytes(path), CrLfLines({KvlLine(), KvlLine()}));
}

TEST(DocumentLoad, CommentOutsideTheGridIsRefused) {
  TempHome dir;
  const std::string path = dir.Path("few.KVL");
  WriteBytes(path, CrLfLines({KvlLine(), KvlLine()}));
  LogDocument doc;
  ASSERT_EQ(doc.OpenLog(path, SmallBatches()), LoadStatus::Loaded);
  std::string error;
  EXPECT_FALSE(doc.SetComment(0, "caption row", &error));
  EXPECT_FALSE(doc.SetComment(doc.GridRowCount(), "past the end", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(std::filesystem::exists(dir.Path("few.cmt")));
}

TEST(DocumentLoad, CancelKeepsTheRecordsLoadedBeforeTheStopInFileOrder) {
  TempHome dir;
  const std::string path = dir.Path("long.KVL");
  std::vector<std::string> lines;
  for (int i = 0; i < 5000; ++i) lines.push_back(KvlLine(i % 2 ? "+00010" : "-00010"));
  WriteBytes(path, CrLfLines(lines));

  std::atomic<bool> cancel{false};
  LoadOptions options;
  options.threads = 2;
  options.batchLines = 64;
  options.cancel = &cancel;
  options.progress = [&cancel](std::uint64_t position, std::uint64_t) {
    if (position >= 1000) cancel = true;
  };
  LogDocument doc;
  ASSERT_EQ(doc.OpenLog(path, options), LoadStatus::Cancelled);
  ASSERT_GE(doc.ValidCount(), 1000u);
  ASSERT_LT(doc.ValidCount(), 5000u);
  EXPECT_EQ(doc.Cells().Rows(), doc.ValidCount() + 1);
  EXPECT_EQ(doc.ChartValues().size(), doc.ValidCount());
  for (std::size_t row = 1; row <= doc.ValidCount(); ++row)
    ASSERT_EQ(doc.Cells().Cell(row, kColRawLine), std::to_string(row)) << "row " << row;

  std::atomic<bool> cancelled{true};
  options.cancel = &cancelled;
  options.progress = {};
  LogDocument none;
  EXPECT_EQ(none.OpenLog(path, options), LoadStatus::Cancelled);
  EXPECT_EQ(none.ValidCount(), 0u);
}

TEST(DocumentLoad, ProgressRunsToLineCountLessOneAtABoundedRate) {
  TempHome dir;
  const std::string path = dir.Path("progress.KVL");
  WriteBytes(path, CrLfLines(std::vector<std::string>(3000, KvlLine())));
  LoadOptions options = SmallBatches();
  std::vector<std::uint64_t> positions;
  std::vector<std::string> captions;
  options.progress = [&](std::uint64_t position, std::uint64_t maximum) {
    EXPECT_EQ(maximum, 2999u);
    positions.push_back(position);
  };
  options.caption = [&](std::string_view caption) { captions.emplace_back(caption); };
  LogDocument doc;
  ASSERT_EQ(doc.OpenLog(path, options), LoadStatus::Loaded);
  ASSERT_FALSE(positions.empty());
  EXPECT_EQ(positions.back(), 2999u);
  EXPECT_LE(positions.size(), 260u);
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
  EXPECT_EQ(captions, (std::vector<std::string>{"Loading File ...", "Loading data ..."}));
}

// Larger than a read piece: the records of the first pieces are parsed while
// the rest of the file is read.
TEST(DocumentLoad, AFileOfManyReadPiecesLoadsWhole) {
  TempHome dir;
  const std::string path = dir.Path("pieces.KVL");
  std::vector<std::string> lines;
  const std::size_t count = 3 * RawText::kPieceBytes / KvlLine().size();
  for (std::size_t i = 0; i < count; ++i) lines.push_back(KvlLine(i % 2 ? "+00010" : "-00010"));
  lines[count / 3] = "$KVMGD,+00042,4418.000,N,06318.000,W,25.3,7x";
  WriteBytes(path, CrLfLines(lines) + "trailing line without a break");
  std::vector<std::uint64_t> maxima;
  LoadOptions options;
  options.batchLines = 1000;
  options.progress = [&](std::uint64_t, std::uint64_t maximum) { maxima.push_back(maximum); };
  LogDocument doc;
  ASSERT_EQ(doc.OpenLog(path, options), LoadStatus::Loaded);
  EXPECT_EQ(doc.Raw().LineCount(), count + 1);
  EXPECT_EQ(doc.Raw().Line(count), "trailing line without a break");
  EXPECT_EQ(doc.ValidCount(), count - 1);
  EXPECT_EQ(doc.ErrorCount(), 2u);
  EXPECT_EQ(doc.Cells().Cell(doc.ValidCount(), kColRawLine), std::to_string(count));
  EXPECT_EQ(doc.ChartValues().size(), count - 1);
  ASSERT_FALSE(maxima.empty());
  EXPECT_EQ(maxima.back(), count);  // the last line's index
}

TEST(DocumentLoad, EmptyUnknownAndMissingFilesAreReportedAndNotParsed) {
  TempHome dir;
  WriteBytes(dir.Path("empty.KVL"), "");
  WriteBytes(dir.Path("blank.KVL"), "\r\n\r\n\r\n\r\n\r\n");
  WriteBytes(dir.Path("notes.txt"), "hello\r\nworld");

  LogDocument empty;
  EXPECT_EQ(empty.OpenLog(dir.Path("empty.KVL"), {}), LoadStatus::Empty);
  EXPECT_EQ(empty.FileType(), "empty");

  LogDocument blank;
  EXPECT_EQ(blank.OpenLog(dir.Path("blank.KVL"), {}), LoadStatus::Unknown);
  EXPECT_EQ(blank.Raw().LineCount(), 5u);

  LogDocument unknown;
  EXPECT_EQ(unknown.OpenLog(dir.Path("notes.txt"), {}), LoadStatus::Unknown);
  EXPECT_EQ(unknown.FileType(), "Unknown");
  EXPECT_EQ(unknown.Raw().LineCount(), 2u);
  EXPECT_EQ(unknown.Raw().Line(1), "world");
  EXPECT_EQ(unknown.ValidCount(), 0u);
  EXPECT_EQ(unknown.Cells().Rows(), 1u);

  LogDocument missing;
  EXPECT_EQ(missing.OpenLog(dir.Path("gone.KVL"), {}), LoadStatus::Unreadable);
  EXPECT_EQ(missing.FileExtType(), ".KVL");
}

TEST(DocumentLoad, ALoadedDocumentMovesWithItsContent) {
  TempHome dir;
  const std::string path = dir.Path("move.KVL");
  WriteBytes(path, CrLfLines({KvlLine("+00007"), KvlLine("-00008")}));
  LogDocument loaded;
  ASSERT_EQ(loaded.OpenLog(path, SmallBatches()), LoadStatus::Loaded);
  LogDocument moved = std::move(loaded);
  EXPECT_EQ(moved.ValidCount(), 2u);
  EXPECT_EQ(moved.Cells().Cell(2, kColDev), "-00008");
  EXPECT_EQ(moved.Raw().Line(0), KvlLine("+00007"));
  EXPECT_EQ(moved.Sample().FKind, skKVL);
}

}  // namespace
}  // namespace tessaly
