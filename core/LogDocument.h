// LogDocument: an opened survey log or navigation import, without any window.
//
// Opening a log sets the document's TSample up for the kind its window
// recognised (OpenLog with a path recognises it first), reads the raw text
// and runs the load loop over it (every data line parsed; an accepted line
// becomes a grid row and a chart value, a rejected one an entry of the error
// list), taking the comments of the sibling comments file into the grid.
// The result is plain data, read by the views through RecordSource: the
// document window opens it on a worker thread and reads it on the
// user-interface thread once the worker has finished. Nothing here touches a
// window or assumes a thread.
//
// Grid: the 29 columns of GridLayout.h; row 0 holds the captions, rows 1 to
// ValidCount() the records, so Cells().Rows() is ValidCount() + 1.
// GridRowCount() is larger when the file has blank or skipped lines: it
// counts a row for every line up to where the load stopped, less the
// rejected ones, as a grid with a row per line would; it bounds the rows a
// comment may be set on (rows past the records read as empty).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/AlarmSettings.h"
#include "core/CellTable.h"
#include "core/Comments.h"
#include "core/GridLayout.h"
#include "core/Layback.h"
#include "core/LogKind.h"
#include "core/QualityFlags.h"
#include "core/RawText.h"
#include "core/RecordPipeline.h"
#include "core/RecordSource.h"
#include "core/ViewSettings.h"
#include "core/untTSample.h"

namespace tessaly {

enum class LoadStatus : std::uint8_t {
  Loaded,     // grid, chart and errors filled
  Cancelled,  // stopped on request; what was loaded before the stop stays
  Empty,      // the file has no lines (also when it was emptied during the load):
              // the window reports "File empty."
  Unknown,    // not recognised: only the raw text is loaded
  Unreadable, // the file could not be read (or does not exist)
};

// Progress of a load or export: position out of maximum (the file's line
// count minus 1). Called at a bounded rate on the thread that runs the work.
using ProgressFn = std::function<void(std::uint64_t position, std::uint64_t maximum)>;

struct LoadOptions {
  ViewSettings view;                    // row colours (deviation limit and colours)
  int mapDatum = 22;                    // ellipsoid of the UTM conversions
  AlarmSettings alarms;                 // thresholds of the records' quality flags
  // A log with its .times and .nmea files beside it (a live part) gets the
  // reception time and the GPS positions of its records (Received) with
  // this layback, unless sideFiles is false.
  LaybackSettings layback;
  bool sideFiles = true;
  unsigned threads = DefaultThreadCount();
  std::size_t batchLines = kDefaultBatchLines;
  const std::atomic<bool>* cancel = nullptr;  // answered within a batch
  ProgressFn progress;
  // Progress caption: "Loading File ..." while the raw text is read, then the
  // document's LoadMessage().
  std::function<void(std::string_view caption)> caption;
};

class LogDocument : public RecordSource {
 public:
  LogDocument();
  ~LogDocument() override;
  LogDocument(LogDocument&&) noexcept;
  LogDocument& operator=(LogDocument&&) noexcept;
  LogDocument(const LogDocument&) = delete;
  LogDocument& operator=(const LogDocument&) = delete;

  // Opens a survey log: recognition, then as OpenLog(file, options).
  LoadStatus OpenLog(const std::string& path, const LoadOptions& options);
  // Opens a survey log its window has recognised (AssignFileName): sample
  // set-up by the kind, load, comments.
  LoadStatus OpenLog(const TypeFileState& file, const LoadOptions& options);
  // A sample as the navigation document creates it (FDevDigits 5), for the
  // import's hand-over (ApplyHandOver) before OpenNavigation.
  static std::unique_ptr<TSample> NewNavigationSample();
  // Opens a navigation file with the sample the import configured (kind 8,
  // fields added, FHeading = the header line). Its kind is "PNav"; its export
  // leaves out "TF DEPTH" and its load message is "Importing data ...".
  LoadStatus OpenNavigation(const std::string& path, std::unique_ptr<TSample> sample,
                            const LoadOptions& options);

  // ---- Recognition ----
  const TypeFileState& FileState() const { return state_; }
  const std::string& FileName() const { return state_.FileName; }
  const std::string& FileExtType() const { return state_.FileExtType; }  // ".KVL", "empty", ...
  const std::string& FileType() const { return state_.FileType; }  // display name, "PNav", "Unknown", "empty"
  bool IsNavigation() const { return navigation_; }
  LoadStatus Status() const { return status_; }
  const std::string& LoadMessage() const { return loadMessage_; }
  // The document's sample: its set-up, continuity memory and last error
  // text (records are parsed on copies, so its per-line fields stay empty).
  const TSample& Sample() const { return *sample_; }

  // ---- What the views read (RecordSource) ----
  const CellTable& Cells() const override { return grid_; }
  std::span<const double> ChartValues() const override { return chart_; }
  std::span<const RecordNumbers> Numbers() const override { return numbers_; }
  std::size_t RawLineCount() const override { return raw_.LineCount(); }
  std::string_view RawLine(std::size_t i) const override { return raw_.Line(i); }
  std::size_t LongestRawLine() const override { return raw_.LongestLine(); }
  std::size_t RowOfRawLine(std::size_t line) const override;
  std::optional<std::size_t> RawLineOfRow(std::size_t row) const override;

  // The raw text, line index included.
  const RawText& Raw() const { return raw_; }
  std::size_t GridRowCount() const { return gridRowCount_; }
  // The lines of the file the load examined: all of them, or after a cancel
  // those before the line it stopped at (out of RawLineCount()).
  std::uint64_t LoadedLineCount() const { return loadedLines_; }

  // ---- Counts and errors ----
  std::uint64_t ValidCount() const { return validCount_; }
  std::uint64_t ErrorCount() const { return errorCount_; }
  // Four lines per rejected line, each ended by CR LF: "N - message", the raw
  // line, "Line: " + line number, an empty line.
  const std::string& ErrorListText() const { return errorList_; }

  // ---- Comments (the "Comment" column) ----
  bool HasCommentsFile() const { return state_.GrdFile; }
  const std::string& CommentsFileName() const { return state_.NameGrdFile; }
  // Why the comments file could not be read at the last load; empty when it
  // was read or does not exist.
  const std::string& CommentsError() const { return commentsError_; }
  // Sets the comment of grid row `row` (1 to GridRowCount() - 1), shows it in
  // the comment column and rewrites the comments file at once (never the
  // log). False with the reason in `error` when the row is out of range, when
  // the comments file could not be read at load (writing it would lose its
  // comments) or when it could not be written; the cell then keeps the new
  // text.
  bool SetComment(std::size_t row, std::string_view text, std::string* error = nullptr);

  // Colours every record row again with the given view settings, by the
  // records' deviations.
  void Recolour(const ViewSettings& view);

  // ---- The files beside a live part (core/LogPositioner.h) ----
  // Filled at the load, after the records, when the log has its .times and
  // .nmea files: one entry per record (empty otherwise, or when the files
  // could not be read or the load was cancelled meanwhile).
  std::span<const ReceivedRecord> Received() const override { return received_; }
  // Why the files beside the log were not used, or not to their end; empty
  // when they were (or there are none).
  const std::string& SideFilesError() const { return sideFilesError_; }
  // The layback the positions were worked out with (LoadOptions::layback).
  const LaybackSettings& Layback() const { return layback_; }
  // Lines of those files left out ("FILE: line N: why", the first
  // LogPositioner::kMaxProblems), and how many in all.
  const std::vector<std::string>& SideFileProblems() const { return sideFileProblems_; }
  std::uint64_t SideFileProblemCount() const { return sideFileProblemCount_; }

  // ---- Quality flags (core/QualityFlags.h) ----
  // Judged at the load with LoadOptions::alarms, for the instrument of the
  // document's kind: the deviations, the towfish depths where records carry
  // them, and the reception times (UTC) where the log has them.
  std::span<const std::uint8_t> QualityFlags() const override { return flags_; }
  const std::vector<QualityFinding>& QualityFindings() const { return findings_; }
  // Judges every record again with other thresholds.
  void Requalify(const AlarmSettings& alarms);
  // The thresholds the flags were judged with, for this kind's instrument.
  const QualitySettings& QualityThresholds() const { return quality_; }

  // Bytes held by the document's buffers (raw text, line index, cells,
  // colours, chart values, record numbers, quality flags, error list, what
  // the files beside it give). After a load of a file of B bytes and L
  // lines, whatever it holds, at most 3 B + 512 L + 1 MiB.
  std::size_t MemoryBytes() const;

 private:
  LoadStatus Open(const LoadOptions& options);
  void ResetContent();
  bool ReadRestOfFile();
  void PositionRecords(const LoadOptions& options);

  std::unique_ptr<TSample> sample_;
  bool navigation_ = false;
  LoadStatus status_ = LoadStatus::Empty;
  TypeFileState state_;
  std::string loadMessage_ = "Loading data ...";
  RawText raw_;
  CellTable grid_;
  std::size_t gridRowCount_ = 1;
  std::vector<double> chart_;
  std::vector<RecordNumbers> numbers_;
  std::uint64_t loadedLines_ = 0;
  std::uint64_t validCount_ = 0;
  std::uint64_t errorCount_ = 0;
  std::string errorList_;
  CommentsStore comments_;
  std::string commentsError_;
  std::vector<QualityFinding> findings_;
  std::vector<std::uint8_t> flags_;
  QualitySettings quality_;
  std::vector<ReceivedRecord> received_;
  LaybackSettings layback_;
  std::string sideFilesError_;
  std::vector<std::string> sideFileProblems_;
  std::uint64_t sideFileProblemCount_ = 0;
};

}  // namespace tessaly
