// VDG export ("Valid Data Grid") straight from a log file: a record grid
// written as delimited text (VdgLine.h) without holding the grid.
//
// Line 1 holds the captions, then one line per record, every grid column but
// the document's column left out ("GPS LAT D" for a log, "TF DEPTH" for a
// navigation document). The document writes its grid with
// LogDocument::ExportVDG; ExportLogStreaming writes the same bytes straight
// from the file, record by record, for files of any size.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "core/Comments.h"
#include "core/GridLayout.h"
#include "core/RecordPipeline.h"
#include "core/untTSample.h"

namespace tessaly {

struct StreamExportOptions {
  std::string delimiter = ",";
  std::size_t skipColumn = kLogExportSkipColumn;
  unsigned threads = DefaultThreadCount();
  std::size_t batchLines = kDefaultBatchLines;
  const std::atomic<bool>* cancel = nullptr;
  // Bytes of the input read so far, out of its size, and the records written
  // so far; called at a bounded rate.
  std::function<void(std::uint64_t bytesRead, std::uint64_t fileSize, std::uint64_t records)> progress;
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
// flight, so memory does not grow with the file. Refuses, writing nothing,
// an output (or error list) that is the log itself, or both outputs in one.
// Each output replaces an earlier file only when the export succeeded
// (OutputFile's Replace mode): a failed, cancelled or interrupted export
// leaves earlier files as they were.
StreamExportResult ExportLogStreaming(TSample& sample, const std::string& inPath, const CommentsStore& comments,
                                      const std::string& outPath, const StreamExportOptions& options);

}  // namespace tessaly
