#include "core/VdgExport.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <memory>
#include <vector>

#include "core/CrLf.h"
#include "core/FileIdentity.h"
#include "core/InputFile.h"
#include "core/OutputFile.h"
#include "core/RawText.h"
#include "core/VdgLine.h"

namespace tessaly {

// ---- Streaming export ----

namespace {

constexpr std::size_t kReadBlockBytes = 1u << 20;

// Reads a file in blocks and hands out its lines, copied into each batch.
class FileLineSource : public LineSource {
 public:
  explicit FileLineSource(std::FILE* file) : file_(file) { buffer_.reserve(kReadBlockBytes); }

  bool Fill(std::vector<std::string_view>& lines, std::string& store, std::size_t maxLines) override {
    std::vector<std::pair<std::size_t, std::size_t>>& cut = cut_;
    cut.clear();
    std::size_t first = pos_;
    std::string_view line;
    while (cut.size() < maxLines) {
      if (NextLine(buffer_, pos_, eof_, line)) {
        cut.emplace_back(static_cast<std::size_t>(line.data() - buffer_.data()) - first, line.size());
        continue;
      }
      if (eof_ || !cut.empty()) break;
      ReadMore();
      first = pos_;
    }
    if (cut.empty()) return false;
    store.assign(buffer_, first, pos_ - first);
    for (const auto& [offset, size] : cut) lines.emplace_back(store.data() + offset, size);
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

// Writes each record as its export line, and each rejected line to the error
// list file when there is one.
class VdgStreamSink : public RecordSink {
 public:
  VdgStreamSink(OutputFile& out, OutputFile* errors, const CommentsStore& comments, const StreamExportOptions& o)
      : out_(out), errors_(errors), comments_(comments), options_(o) {}

  void Accepted(const AcceptedRecord& record) override {
    std::string& buffer = out_.Buffer();
    char digits[24];
    const std::string_view sequence(digits, static_cast<std::size_t>(
                                                std::to_chars(digits, digits + sizeof digits, record.sequence).ptr - digits));
    AppendVdgCells(buffer, std::span(&sequence, 1), 0, options_.skipColumn, options_.delimiter);
    buffer.append(record.cells);
    const std::string_view comment = comments_.Lines().empty()
                                         ? std::string_view()
                                         : comments_.CommentOf(static_cast<std::int64_t>(record.row))
                                               .value_or(std::string_view());
    AppendVdgCells(buffer, std::span(&comment, 1), kColComment, options_.skipColumn, options_.delimiter);
    buffer.append(kCrLf);
    out_.Commit();
    ++records_;
  }

  // The records written so far.
  std::uint64_t Records() const { return records_; }

  void Rejected(const RejectedLine& line) override {
    if (!errors_) return;
    AppendErrorEntry(errors_->Buffer(), line);
    errors_->Commit();
  }

 private:
  OutputFile& out_;
  OutputFile* errors_;
  const CommentsStore& comments_;
  const StreamExportOptions& options_;
  std::uint64_t records_ = 0;
};

std::uint64_t FileSize(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return 0;
  const long size = std::ftell(file);
  std::rewind(file);
  return size < 0 ? 0 : static_cast<std::uint64_t>(size);
}

}  // namespace

StreamExportResult ExportLogStreaming(TSample& sample, const std::string& inPath, const CommentsStore& comments,
                                      const std::string& outPath, const StreamExportOptions& options) {
  StreamExportResult result;
  if (SameFile(outPath, inPath) || SameFile(options.errorsPath, inPath) || SameFile(options.errorsPath, outPath)) {
    result.error = "The output would replace the log or the other output; nothing was written.";
    return result;
  }
  std::string reason;
  const FileHandle in = OpenInputFile(inPath, &reason);
  if (!in) {
    result.error = "Cannot read " + inPath + ": " + reason;
    return result;
  }
  const std::uint64_t size = FileSize(in.get());
  OutputFile out;
  if (!out.Open(outPath, OutputFile::Mode::Replace)) {
    result.error = out.Error();
    return result;
  }
  OutputFile errors;
  if (!options.errorsPath.empty() && !errors.Open(options.errorsPath, OutputFile::Mode::Replace)) {
    result.error = errors.Error();
    return result;
  }
  AppendVdgCaptionLine(out.Buffer(), options.skipColumn, options.delimiter);

  FileLineSource source(in.get());
  VdgStreamSink sink(out, options.errorsPath.empty() ? nullptr : &errors, comments, options);
  const RowFormat format{RowFormat::Layout::VdgText, options.delimiter, options.skipColumn};
  PipelineOptions pipeline;
  pipeline.threads = options.threads;
  pipeline.batchLines = options.batchLines;
  pipeline.cancel = options.cancel;
  if (options.progress)
    pipeline.progress = [&](std::uint64_t) { options.progress(source.BytesRead(), size, sink.Records()); };
  const PipelineResult loaded = RunRecordPipeline(sample, source, format, sink, pipeline);
  result.validCount = loaded.validCount;
  result.errorCount = loaded.errorCount;

  // A failed read or a cancel replaces nothing: the outputs are not closed,
  // so their temporary files go.
  if (source.Failed()) result.error = "Cannot read " + inPath;
  else if (loaded.cancelled) result.error = "Cancelled.";
  else if (!out.Close()) result.error = out.Error();
  else if (!options.errorsPath.empty() && !errors.Close()) result.error = errors.Error();
  result.ok = result.error.empty();
  return result;
}

}  // namespace tessaly
