#include "core/RecordExport.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>

#include "core/InputFile.h"
#include "core/OutputFile.h"
#include "core/RawText.h"

namespace tessaly {

namespace {

constexpr std::size_t kReadBlockBytes = 1u << 20;

// Reads a file in blocks and hands out its lines, copied into each batch.
class FileLineSource : public LineSource {
 public:
  explicit FileLineSource(std::FILE* file) : file_(file) { buffer_.reserve(kReadBlockBytes); }

  bool Fill(std::vector<std::string_view>& lines, std::string& store, std::size_t maxLines) override {
    cut_.clear();
    std::size_t first = pos_;
    std::string_view line;
    while (cut_.size() < maxLines) {
      if (NextLine(buffer_, pos_, eof_, line)) {
        cut_.emplace_back(static_cast<std::size_t>(line.data() - buffer_.data()) - first, line.size());
        continue;
      }
      if (eof_ || !cut_.empty()) break;
      ReadMore();
      first = pos_;
    }
    if (cut_.empty()) return false;
    store.assign(buffer_, first, pos_ - first);
    for (const auto& [offset, size] : cut_) lines.emplace_back(store.data() + offset, size);
    return true;
  }

  std::uint64_t BytesRead() const { return bytesRead_; }
  bool Failed() const { return failed_; }

 private:
  // Keeps the unread tail and appends the next block (more when one line is
  // longer than a block).
  void ReadMore() {
    buffer_.erase(0, pos_);
    pos_ = 0;
    const std::size_t old = buffer_.size();
    buffer_.resize(old + kReadBlockBytes);
    const std::size_t got = std::fread(buffer_.data() + old, 1, kReadBlockBytes, file_);
    buffer_.resize(old + got);
    bytesRead_ += got;
    if (got < kReadBlockBytes) {
      eof_ = true;
      failed_ = std::ferror(file_) != 0;
    }
  }

  std::FILE* file_;
  std::string buffer_;
  std::size_t pos_ = 0;
  bool eof_ = false;
  bool failed_ = false;
  std::uint64_t bytesRead_ = 0;
  std::vector<std::pair<std::size_t, std::size_t>> cut_;
};

// Each accepted record as a row of the sink, with its "#" and comment (and
// the text the sink's formatter made on a worker, when it has one); each
// rejected line to the error list file when there is one.
class StreamRows : public RecordSink {
 public:
  StreamRows(ExportSink& sink, OutputFile* errors, const CommentsStore& comments)
      : sink_(sink), formatted_(sink.Formatter() != nullptr), errors_(errors), comments_(comments) {}

  void Accepted(const AcceptedRecord& record) override {
    char digits[24];
    ExportRecord row;
    row.row = record.row;
    row.deviation = record.deviationValue;
    row.numbers = record.numbers;
    row.cells[kColSequence] = std::string_view(
        digits, static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, record.sequence).ptr - digits));
    if (formatted_) {
      row.formatted = record.cells;
    } else {
      const RecordCellTexts cells = SplitRecordCells(record);
      std::copy(cells.begin(), cells.end(), row.cells.begin() + kFirstRecordColumn);
    }
    row.cells[kColComment] = comments_.CommentOf(static_cast<std::int64_t>(record.row)).value_or(std::string_view());
    sink_.Row(row);
    ++records_;
  }

  // The records handed to the sink so far.
  std::uint64_t Records() const { return records_; }

  void Rejected(const RejectedLine& line) override {
    if (!errors_) return;
    AppendErrorEntry(errors_->Buffer(), line);
    errors_->Commit();
  }

 private:
  ExportSink& sink_;
  bool formatted_;
  OutputFile* errors_;
  const CommentsStore& comments_;
  std::uint64_t records_ = 0;
};

std::uint64_t FileSize(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return 0;
  const long size = std::ftell(file);
  std::rewind(file);
  return size < 0 ? 0 : static_cast<std::uint64_t>(size);
}

// The input and its comments file, then the open windows' files.
std::vector<GuardedFile> Guarded(const std::string& input, const std::string& comments,
                                 const std::vector<GuardedFile>& inUse) {
  std::vector<GuardedFile> guarded = {{input, "the file to export"}};
  if (!comments.empty()) guarded.push_back({comments, "the comments file of the log"});
  guarded.insert(guarded.end(), inUse.begin(), inUse.end());
  return guarded;
}

ExportResult Failure(std::string error) {
  ExportResult result;
  result.error = std::move(error);
  return result;
}

// The settings with the output's folder as the place a format's records
// wait between its passes, unless another was given.
ExportSettings SettingsFor(ExportSettings settings, const std::string& outPath) {
  if (settings.spillFolder.empty())
    settings.spillFolder = std::filesystem::absolute(outPath).parent_path().string();
  return settings;
}

}  // namespace

ExportResult ExportDocument(const LogDocument& document, const ExportFormat& format, const std::string& path,
                            const DocumentExportOptions& options) {
  const OutputVerdict verdict = CheckOutput(WriteKind::Export, path, "The output file",
                                            Guarded(document.FileName(), document.CommentsFileName(), options.inUse));
  if (!verdict.MayWrite()) return Failure(verdict.message);
  OutputFile out;
  if (!out.Open(path, OutputFile::Mode::Replace)) return Failure(out.Error());
  const std::unique_ptr<ExportSink> sink = format.make(out, SettingsFor(options.settings, path));
  sink->Captions({document.FileName(), document.FileType(), document.IsNavigation(), document.Sample().FMapDatum,
                  document.Status() == LoadStatus::Cancelled});
  const CellTable& grid = document.Cells();
  const std::span<const double> deviations = document.ChartValues();
  const std::span<const RecordNumbers> numbers = document.Numbers();
  const std::uint64_t lines = document.RawLineCount();
  for (std::size_t row = 1; row <= deviations.size(); ++row) {
    ExportRecord record;
    record.row = row;
    record.deviation = deviations[row - 1];
    record.numbers = &numbers[row - 1];
    for (std::size_t c = 0; c < kGridColumnCount; ++c) record.cells[c] = grid.Cell(row, c);
    sink->Row(record);
    if (options.progress && (row % 256 == 0 || row == deviations.size()))
      options.progress(row, lines == 0 ? 0 : lines - 1);
  }
  sink->End();
  ExportResult result;
  result.validCount = document.ValidCount();
  result.errorCount = document.ErrorCount();
  if (!sink->Error().empty()) result.error = sink->Error();
  else if (!out.Close()) result.error = out.Error();
  result.ok = result.error.empty();
  return result;
}

ExportResult ExportLogStreaming(TSample& sample, const TypeFileState& input, const CommentsStore& comments,
                                const std::string& outPath, const ExportFormat& format,
                                const StreamExportOptions& options) {
  std::vector<GuardedFile> guarded = Guarded(input.FileName, input.NameGrdFile, options.inUse);
  const OutputVerdict verdict = CheckOutput(WriteKind::Export, outPath, "The output file", guarded);
  if (!verdict.MayWrite()) return Failure(verdict.message);
  if (!options.errorsPath.empty()) {
    guarded.push_back({outPath, "the output file"});
    const OutputVerdict errors = CheckOutput(WriteKind::Export, options.errorsPath, "The error list file", guarded);
    if (!errors.MayWrite()) return Failure(errors.message);
  }
  std::string reason;
  const FileHandle in = OpenInputFile(input.FileName, &reason);
  if (!in) return Failure("Cannot read " + input.FileName + ": " + reason);
  const std::uint64_t size = FileSize(in.get());
  OutputFile out;
  if (!out.Open(outPath, OutputFile::Mode::Replace)) return Failure(out.Error());
  OutputFile errors;
  if (!options.errorsPath.empty() && !errors.Open(options.errorsPath, OutputFile::Mode::Replace))
    return Failure(errors.Error());

  const std::unique_ptr<ExportSink> sink = format.make(out, SettingsFor(options.settings, outPath));
  sink->Captions({input.FileName, input.FileType, input.recognition == Recognition::Navigation, sample.FMapDatum, false});
  FileLineSource source(in.get());
  StreamRows rows(*sink, options.errorsPath.empty() ? nullptr : &errors, comments);
  PipelineOptions pipeline;
  pipeline.threads = options.threads;
  pipeline.batchLines = options.batchLines;
  pipeline.cancel = options.cancel;
  pipeline.formatter = sink->Formatter();
  if (options.progress) pipeline.progress = [&](std::uint64_t) { options.progress(source.BytesRead(), size, rows.Records()); };
  const PipelineResult loaded = RunRecordPipeline(sample, source, rows, pipeline);
  sink->End();

  ExportResult result;
  result.validCount = loaded.validCount;
  result.errorCount = loaded.errorCount;
  // A failed read or a cancel replaces nothing: the outputs are not closed,
  // so their temporary files go.
  if (source.Failed()) result.error = "Cannot read " + input.FileName;
  else if (loaded.cancelled) result.error = "Cancelled.";
  else if (!sink->Error().empty()) result.error = sink->Error();
  else if (!out.Close()) result.error = out.Error();
  else if (!options.errorsPath.empty() && !errors.Close()) result.error = errors.Error();
  result.ok = result.error.empty();
  return result;
}

}  // namespace tessaly
