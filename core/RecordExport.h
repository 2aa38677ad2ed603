// Running an export: the records of an open document, or of a log read
// straight from its file, fed to a format's sink (ExportSink.h) and written
// to a file that replaces an earlier one only when the whole export
// succeeded (OutputFile's Replace mode). Both refuse, writing nothing, a
// target the output rule refuses (CheckOutput): the log itself, its comments
// file, the other output, a file an open window uses, any survey log or
// navigation file.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/Comments.h"
#include "core/ExportFormats.h"
#include "core/LogDocument.h"
#include "core/LogKind.h"
#include "core/OutputRule.h"
#include "core/RecordPipeline.h"
#include "core/untTSample.h"

namespace tessaly {

struct ExportResult {
  bool ok = false;
  std::string error;  // why not ok
  std::uint64_t validCount = 0;
  std::uint64_t errorCount = 0;
};

struct DocumentExportOptions {
  ExportSettings settings;
  std::vector<GuardedFile> inUse;  // the files of the open windows
  ProgressFn progress;             // rows written, out of the document's line count less 1
};

// Writes the document's records (those loaded: a cancelled load gives a
// partial export, marked so in ExportInfo) in `format` to path, with the
// layback and quality thresholds the document was loaded with (so the
// export places and flags the records as the document does).
ExportResult ExportDocument(const LogDocument& document, const ExportFormat& format, const std::string& path,
                            const DocumentExportOptions& options);

struct StreamExportOptions {
  ExportSettings settings;
  std::vector<GuardedFile> inUse;
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

// Loads the file `input` names with the set-up sample exactly as the document
// load does, applies `comments`, and writes the records in `format` to
// outPath, reading in blocks with a bounded number of batches in flight, so
// memory does not grow with the file. A failed, cancelled or interrupted
// export leaves earlier files as they were.
ExportResult ExportLogStreaming(TSample& sample, const TypeFileState& input, const CommentsStore& comments,
                                const std::string& outPath, const ExportFormat& format,
                                const StreamExportOptions& options);

}  // namespace tessaly
