// VDG export of a document's grid, and the streaming export that writes the
// same bytes without holding the grid.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <vector>

#include "core/LogDocument.h"
#include "core/LogKind.h"
#include "core/PnavImport.h"
#include "core/RecordExport.h"
#include "support/DocumentFiles.h"
#include "support/FileBytes.h"
#include "support/Generator.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

using testing::CrLfLines;
using testing::TempHome;
using testing::KvlLine;
using testing::ReadBytes;
using testing::SplitCrLf;
using testing::WriteBytes;

std::string CaptionLine(std::size_t skip, const std::string& delimiter) {
  std::string line;
  for (std::size_t c = 0; c < kGridColumnCount; ++c)
    if (c != skip) line += std::string(kGridColumns[c].caption) + delimiter;
  return line;
}

LogDocument Loaded(const std::string& path) {
  LogDocument doc;
  EXPECT_EQ(doc.OpenLog(path, {}), LoadStatus::Loaded);
  return doc;
}

const ExportFormat& Vdg() { return *FindExportFormat("vdg"); }

ExportResult ExportOf(const LogDocument& doc, const std::string& out, std::string_view delimiter) {
  DocumentExportOptions options;
  options.settings.delimiter = std::string(delimiter);
  return ExportDocument(doc, Vdg(), out, options);
}

std::string Exported(const LogDocument& doc, const std::string& out, std::string_view delimiter) {
  const ExportResult result = ExportOf(doc, out, delimiter);
  EXPECT_TRUE(result.ok) << result.error;
  return ReadBytes(out);
}

TypeFileState StateOf(const std::string& path) {
  TypeFileState state;
  AssignFileName(state, path, false);
  return state;
}

TEST(VdgExport, ADocumentWithoutRecordsExportsTheCaptionLineOnly) {
  TempHome dir;
  LogDocument empty;
  WriteBytes(dir.Path("bad.KVL"), CrLfLines({"$KVMGD,00042,4418.000,N,06318.000,W,25.3,78.4"}));
  ASSERT_EQ(empty.OpenLog(dir.Path("bad.KVL"), {}), LoadStatus::Loaded);
  EXPECT_EQ(empty.ValidCount(), 0u);
  EXPECT_EQ(Exported(empty, dir.Path("out.vdg"), ","), CaptionLine(17, ",") + "\r\n");
  EXPECT_EQ(SplitCrLf(CaptionLine(17, ",")).size(), 1u);
  EXPECT_EQ(CaptionLine(17, ",").substr(0, 16), "#,Time,RD#,DEV,T");
}

TEST(VdgExport, EveryCellIsFollowedByTheDelimiterWhateverItsLength) {
  TempHome dir;
  WriteBytes(dir.Path("d.KVL"), CrLfLines({KvlLine("+00042")}));
  const LogDocument doc = Loaded(dir.Path("d.KVL"));
  const std::vector<std::string> wide = SplitCrLf(Exported(doc, dir.Path("wide.vdg"), " ; "));
  ASSERT_EQ(wide.size(), 2u);
  EXPECT_EQ(wide[0], CaptionLine(17, " ; "));
  EXPECT_EQ(wide[1].substr(0, 22), "1 ;  ; 1 ; +00042 ; 44");
  EXPECT_EQ(wide[1].substr(wide[1].size() - 6), " ;  ; ");  // the empty comment, then the delimiter

  const std::vector<std::string> tight = SplitCrLf(Exported(doc, dir.Path("tight.vdg"), ""));
  EXPECT_EQ(tight[0], CaptionLine(17, ""));
  EXPECT_EQ(tight[1].substr(0, 12), "11+000424418");
}

TEST(VdgExport, ACommentHoldingTheDelimiterIsWrittenUnchanged) {
  TempHome dir;
  WriteBytes(dir.Path("c.KVL"), CrLfLines({KvlLine(), KvlLine()}));
  LogDocument doc = Loaded(dir.Path("c.KVL"));
  ASSERT_TRUE(doc.SetComment(2, "wreck, 3 m high;"));
  const std::vector<std::string> lines = SplitCrLf(Exported(doc, dir.Path("c.vdg"), ","));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_TRUE(lines[1].ends_with(",,"));
  EXPECT_TRUE(lines[2].ends_with(",wreck, 3 m high;,"));
}

TEST(VdgExport, LogLeavesOutGpsLatitudeDegreesAndNavigationLeavesOutTowfishDepth) {
  TempHome dir;
  WriteBytes(dir.Path("log.KVL"), CrLfLines({KvlLine()}));
  const std::vector<std::string> log = SplitCrLf(Exported(Loaded(dir.Path("log.KVL")), dir.Path("log.vdg"), "|"));
  EXPECT_EQ(log[0], CaptionLine(17, "|"));
  EXPECT_EQ(log[0].find("GPS LAT D"), std::string::npos);
  EXPECT_NE(log[0].find("TF DEPTH"), std::string::npos);
  EXPECT_EQ(std::count(log[1].begin(), log[1].end(), '|'), 28);

  const std::string nav = dir.Path("nav.txt");
  WriteBytes(nav, CrLfLines({"title", "@t,@p:4,@>:2,@+,@0,@1,@2",
                             "08:00:00.00,4418.0000,N,06318.0000,W,000.0,4.5,TF:44.2994600:-63.2999996,+00011,54.5,76.5"}));
  PnavImport import;
  ASSERT_EQ(import.NewFile(nav), "");
  ASSERT_EQ(import.AddLink("@0", "Dev"), "");
  ASSERT_EQ(import.AddLink("@1", "Towfish Depth"), "");
  auto sample = LogDocument::NewNavigationSample();
  ASSERT_EQ(ApplyHandOver(*sample, import), "");
  LogDocument doc;
  ASSERT_EQ(doc.OpenNavigation(nav, std::move(sample), {}), LoadStatus::Loaded);
  const std::vector<std::string> lines = SplitCrLf(Exported(doc, dir.Path("nav.vdg"), "|"));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], CaptionLine(10, "|"));
  EXPECT_EQ(lines[0].find("TF DEPTH"), std::string::npos);
  EXPECT_EQ(lines[1].find("54.5"), std::string::npos);  // the linked depth is column 10
  EXPECT_EQ(std::count(lines[1].begin(), lines[1].end(), '|'), 28);
}

TEST(VdgExport, AFileThatCannotBeCreatedIsReported) {
  TempHome dir;
  WriteBytes(dir.Path("x.KVL"), CrLfLines({KvlLine()}));
  const LogDocument doc = Loaded(dir.Path("x.KVL"));
  const ExportResult result = ExportOf(doc, dir.Path("no/such/folder/x.vdg"), ",");
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.error.empty());
}

TEST(VdgExport, TheStreamingExportNeverWritesOverItsLog) {
  TempHome dir;
  const std::string log = dir.Path("x.KVL");
  WriteBytes(log, CrLfLines({KvlLine()}));
  for (const auto& [out, errors] : std::vector<std::pair<std::string, std::string>>{
           {log, ""}, {dir.Path("Lib/../x.KVL"), ""}, {dir.Path("x.vdg"), log}, {dir.Path("x.vdg"), dir.Path("x.vdg")}}) {
    TSample sample;
    ASSERT_TRUE(SetUpSample(sample, *FindLogKind(".KVL")));
    StreamExportOptions options;
    options.errorsPath = errors;
    const ExportResult result = ExportLogStreaming(sample, StateOf(log), CommentsStore(), out, Vdg(), options);
    EXPECT_FALSE(result.ok) << out << " " << errors;
    EXPECT_NE(result.error, "");
  }
  EXPECT_EQ(ReadBytes(log), CrLfLines({KvlLine()}));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("x.vdg")));
}

// The progress of a streaming export: bytes and records never go back, and
// the last report is the whole file and every record. The generator's own
// count is the oracle: a log without faults has one record per data line.
TEST(VdgExport, TheStreamingExportReportsBytesAndRecordsUpToTheWholeFile) {
  TempHome dir;
  const std::string path = dir.Path("survey.kvl");
  ASSERT_TRUE(testing::GenerateLog(testing::SurveyOptions("kvl", 3000, 0.0, 5), path));
  const std::uint64_t size = std::filesystem::file_size(path);
  TSample sample;
  ASSERT_TRUE(SetUpSample(sample, *FindLogKind(".KVL")));
  StreamExportOptions options;
  options.batchLines = 100;
  std::vector<std::array<std::uint64_t, 3>> reports;
  options.progress = [&](std::uint64_t bytes, std::uint64_t total, std::uint64_t records) {
    reports.push_back({bytes, total, records});
  };
  ASSERT_TRUE(ExportLogStreaming(sample, StateOf(path), CommentsStore(), dir.Path("out.vdg"), Vdg(), options).ok);
  ASSERT_GE(reports.size(), 30u);
  for (std::size_t i = 1; i < reports.size(); ++i) {
    EXPECT_GE(reports[i][0], reports[i - 1][0]);
    EXPECT_GE(reports[i][2], reports[i - 1][2]);
  }
  EXPECT_LT(reports.front()[2], 3000u);
  EXPECT_EQ(reports.back(), (std::array<std::uint64_t, 3>{size, size, 3000}));
}

// The streaming export writes what the document's export writes, comments
// included, for every kind of log.
class StreamingExport : public ::testing::TestWithParam<std::string> {};

TEST_P(StreamingExport, WritesTheDocumentsExportByteForByte) {
  TempHome dir;
  const std::string kind = GetParam();
  const std::string path = dir.Path("survey." + kind);
  ASSERT_TRUE(testing::GenerateLog(testing::SurveyOptions(kind, 1500, 0.03, 11), path));
  LogDocument doc;
  ASSERT_EQ(doc.OpenLog(path, {}), LoadStatus::Loaded);
  ASSERT_GT(doc.ValidCount(), 100u);
  ASSERT_TRUE(doc.SetComment(3, "first; comment"));
  ASSERT_TRUE(doc.SetComment(doc.ValidCount(), "last"));
  const std::string expected = Exported(doc, dir.Path("doc.vdg"), ";");

  TypeFileState state;
  AssignFileName(state, path, false);
  ASSERT_TRUE(state.GrdFile);
  ASSERT_NE(state.kind, nullptr);
  CommentsStore comments;
  ASSERT_EQ(comments.Load(state.NameGrdFile), "");
  for (const unsigned threads : {1u, 2u}) {
    TSample sample;
    ASSERT_TRUE(SetUpSample(sample, *state.kind));
    StreamExportOptions options;
    options.settings.delimiter = ";";
    options.threads = threads;
    options.batchLines = threads == 1 ? 7 : 300;
    options.errorsPath = dir.Path("errors.txt");
    const ExportResult result = ExportLogStreaming(sample, state, comments, dir.Path("stream.vdg"), Vdg(), options);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(ReadBytes(dir.Path("stream.vdg")), expected) << kind << " threads " << threads;
    EXPECT_EQ(result.validCount, doc.ValidCount());
    EXPECT_EQ(ReadBytes(dir.Path("errors.txt")), doc.ErrorListText());
  }
}

INSTANTIATE_TEST_SUITE_P(EveryKind, StreamingExport, ::testing::Values("kvl", "kvs", "kvg", "zpx", "zpt", "rtb"));

}  // namespace
}  // namespace tessaly
