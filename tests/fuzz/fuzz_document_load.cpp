// The whole document load of a file: see FuzzTargets.h.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/Comments.h"
#include "core/LogDocument.h"
#include "core/LogKind.h"
#include "core/RecordExport.h"
#include "fuzz/DocumentMemory.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzSamples.h"
#include "fuzz/FuzzTargets.h"

namespace tessaly::fuzz {

namespace {

void Write(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The lines of a text, split independently of the program's splitter.
std::vector<std::string_view> SplitLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    lines.push_back(bytes.substr(start, i - start));
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

std::size_t Count(std::string_view text, std::string_view what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + what.size())) ++count;
  return count;
}

void CheckRawText(const LogDocument& doc, std::string_view content) {
  const std::vector<std::string_view> lines = SplitLines(content);
  if (!Require(doc.Raw().LineCount() == lines.size(), "the raw text has another number of lines")) return;
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (!Require(doc.Raw().Line(i) == lines[i], "a raw line differs from the file", lines[i])) return;
}

void CheckGrid(const LogDocument& doc) {
  const CellTable& grid = doc.Cells();
  Require(grid.Rows() == doc.ValidCount() + 1 && doc.GridRowCount() >= grid.Rows(), "grid rows and counts disagree");
  Require(doc.ChartValues().size() == doc.ValidCount(), "chart values and records disagree");
  Require(doc.QualityFlags().size() == doc.ValidCount(), "quality flags and records disagree");
  for (const QualityFinding& finding : doc.QualityFindings())
    Require(finding.record < doc.ValidCount() && (doc.QualityFlags()[finding.record] & finding.flag) != 0,
            "a quality finding outside the records or their flags");
  Require(doc.ValidCount() + doc.ErrorCount() <= doc.Raw().LineCount(), "more outcomes than lines");
  Require(Count(doc.ErrorListText(), "\r\n") == 4 * doc.ErrorCount(), "the error list is not four lines a rejection");
  CommentsStore store;
  if (doc.HasCommentsFile()) store.Load(doc.CommentsFileName());
  std::int64_t previous = 0;
  for (std::size_t row = 1; row < grid.Rows(); ++row) {
    const std::int64_t line = CellInteger(grid.Cell(row, kColRawLine));
    Require(line > previous && line <= static_cast<std::int64_t>(doc.Raw().LineCount()), "RD# out of order");
    previous = line;
    Require(doc.RowOfRawLine(static_cast<std::size_t>(line - 1)) == row, "a raw line does not lead to its row");
    Require(grid.Cell(row, kColComment) == store.CommentOf(static_cast<std::int64_t>(row)).value_or(""),
            "a row does not show its comment");
  }
}

// The command-line tool's streaming export of the same file and comments.
std::string StreamingExport(const LogDocument& doc, int datum, const std::string& out) {
  TSample sample('.');
  if (doc.IsNavigation()) sample.CopySetUp(doc.Sample());
  else if (doc.FileState().kind) SetUpSample(sample, *doc.FileState().kind);
  sample.FDecimalSeparator = doc.Sample().FDecimalSeparator;
  sample.FMapDatum = datum;
  CommentsStore comments;
  if (doc.HasCommentsFile()) comments.Load(doc.CommentsFileName());
  StreamExportOptions options;
  options.threads = 1;
  const ExportResult result = ExportLogStreaming(sample, doc.FileState(), comments, out, *FindExportFormat("vdg"), options);
  Require(result.ok, "the streaming export failed", result.error);
  Require(result.validCount == doc.ValidCount() && result.errorCount == doc.ErrorCount(),
          "the streaming export counts differ from the document");
  return Read(out);
}

}  // namespace

int FuzzDocumentLoad(const std::uint8_t* data, std::size_t size) {
  static const char* const kExtensions[] = {".kvl", ".kvs", ".kvg", ".zpx", ".zpt", ".rtb", ".rtc", ".txt"};
  FuzzInput input(data, size);
  const std::uint8_t choice = input.Byte();
  const std::uint8_t running = input.Byte();
  const std::string_view comments = input.Take(input.Byte() % 64);
  const std::string folder = ScratchFolder();
  const std::string path = folder + "survey" + kExtensions[choice % 8];
  const bool navigation = (choice & 0x80) != 0;
  std::string content;
  if (navigation) content = "Navigation\r\n" + SetUpHeader(7 + choice % 8) + "\r\n";
  content.append(input.Rest());
  Write(path, content);
  std::filesystem::remove(folder + "survey.cmt");
  if (!comments.empty() && !navigation) Write(folder + "survey.cmt", comments);

  LoadOptions options;
  options.threads = (running & 1) ? 2 : 1;
  options.batchLines = 1 + (running >> 1) % 64;
  options.mapDatum = running % 23;
  LogDocument doc;
  const LoadStatus status = navigation
                                ? doc.OpenNavigation(path, MakeSetUp(7 + choice % 8, '.', options.mapDatum), options)
                                : doc.OpenLog(path, options);
  if (content.empty()) {
    Require(status == LoadStatus::Empty, "an empty file is not reported empty");
    return 0;
  }
  Require(status == LoadStatus::Loaded || (status == LoadStatus::Unknown && !navigation),
          "a readable file does not load");
  CheckRawText(doc, content);
  Require(doc.MemoryBytes() <= DocumentMemoryBound(content.size(), doc.Raw().LineCount()),
          "the document holds more memory than its bound", std::to_string(doc.MemoryBytes()));
  if (status != LoadStatus::Loaded) return 0;
  CheckGrid(doc);

  const std::string exported = folder + "document.vdg";
  Require(ExportDocument(doc, *FindExportFormat("vdg"), exported, {}).ok, "the document export failed");
  Require(Read(exported) == StreamingExport(doc, options.mapDatum, folder + "stream.vdg"),
          "the document export differs from the streaming export");
  return 0;
}

}  // namespace tessaly::fuzz
