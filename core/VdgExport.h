// VDG export ("Valid Data Grid"): a record grid written as delimited text.
//
// Line 1 holds the captions, then one line per record; each line holds every
// grid column but the document's column left out (17 for a log, 10 for a
// navigation document), each cell followed by the delimiter (any text, empty
// allowed, written unchanged), and ends with CR LF. Nothing is quoted.
//
// The document writes its grid with LogDocument::ExportVDG; ExportLogStreaming
// writes the same bytes straight from the file, record by record, without
// holding the grid, for files of any size.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "core/Comments.h"
#include "core/RecordPipeline.h"
#include "core/untTSample.h"

namespace tessaly {

inline constexpr std::string_view kCrLf = "\r\n";

// Appends cells[k] + delimiter for each k whose column (firstColumn + k) is
// not skipColumn.
void AppendVdgCells(std::string& out, std::span<const std::string_view> cells, std::size_t firstColumn,
                    std::size_t skipColumn, std::string_view delimiter);
// Appends the caption line, CR LF included.
void AppendVdgCaptionLine(std::string& out, std::size_t skipColumn, std::string_view delimiter);

// A file written through a large buffer. Errors are kept, not thrown: the
// first one stops further writing and is reported by Close.
class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Creates or truncates the file. False with the reason in Error().
  bool Open(const std::string& path);
  // The buffer to append to; flushed by Commit when it has grown large.
  std::string& Buffer() { return buffer_; }
  void Commit();
  // Writes what is left and closes. False when any write failed.
  bool Close();
  const std::string& Error() const { return error_; }

 private:
  void Flush();

  std::FILE* file_ = nullptr;
  std::string path_;
  std::string buffer_;
  std::string error_;
};

struct StreamExportOptions {
  std::string delimiter = ",";
  std::size_t skipColumn = kLogExportSkipColumn;
  unsigned threads = DefaultThreadCount();
  std::size_t batchLines = kDefaultBatchLines;
  const std::atomic<bool>* cancel = nullptr;
  // Bytes of the input read so far, out of its size; called at a bounded rate.
  std::function<void(std::uint64_t bytesRead, std::uint64_t fileSize)> progress;
  // When not empty, the error list is written there too (four lines per
  // rejected line, each ended by CR LF).
  std::string errorsPath;
};

struct StreamExportResult {
  bool ok = false;
  std::string error;  // why not ok
  std::uint64_t validCount = 0;
  std::uint64_t errorCount = 0;
};

// Loads the log at inPath with the set-up sample exactly as the document
// load does, applies `comments`, and writes the VDG export of the resulting
// grid to outPath. Reads in blocks and keeps a bounded number of batches in
// flight, so memory does not grow with the file.
StreamExportResult ExportLogStreaming(TSample& sample, const std::string& inPath, const CommentsStore& comments,
                                      const std::string& outPath, const StreamExportOptions& options);

}  // namespace tessaly
