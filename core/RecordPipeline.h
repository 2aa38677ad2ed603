// The record pipeline: the load loop of a survey log, run on several threads.
//
// Lines are cut on the calling thread and handed out in batches; each batch is
// parsed (TSample::ParseDetached) and its rows laid out on a worker thread;
// the calling thread then applies, in file order, everything that depends on
// earlier lines: the continuity checks (TSample::Resolve), the "#" sequence,
// the valid and error counts and the output. The output is therefore the same
// byte for byte whatever the thread count and batch size.
//
// The loop rules: data begins after the first line containing the sample's
// FHeading (no such line: no data; empty FHeading: from the first line), ends
// before the first line containing FEndMarker (when not empty); empty lines
// are skipped but counted by "#"; rejected lines are not counted by "#".
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/GridLayout.h"
#include "core/RecordFormatter.h"
#include "core/RecordNumbers.h"
#include "core/untTSample.h"

namespace tessaly {

// The texts of the record columns ("Time" to "GPS  NORTH") of the record the
// sample holds after a parse: the one builder of a record's grid texts, for
// documents (the pipeline) and live windows (RecordRow) alike. The views
// point into the sample and into `scratch`.
using RecordCellTexts = std::array<std::string_view, kRecordColumnCount>;
struct RecordScratch {
  std::array<char, 24> lineNumber;
  std::string towDepth, sounder;
};
RecordCellTexts RecordCells(const TSample& sample, std::uint64_t lineNumber, RecordScratch& scratch);

// What a grid row holds beside the sample's fields.
struct RowContext {
  std::string_view sequence;  // "#"
  std::string_view time;      // "Time" when not empty (a live session's reception time), else the navigation time
  std::uint64_t lineNumber;   // "RD#"
  std::string_view comment;
};
// The whole grid row of the record the sample holds.
GridRowTexts RecordRow(const TSample& sample, const RowContext& context, RecordScratch& scratch);

// A whole-number cell ("+01234", "-0042", "17") as an integer; 0 when it is
// not one. Used for the deviation (row colours, chart) and for "RD#".
std::int64_t CellInteger(std::string_view text);

// ---- Input ----

// Supplies the lines of a file in order. Views handed out must stay valid
// until the batch that holds them is done; a source that streams copies the
// lines into `store` (which belongs to the batch and is not touched after).
class LineSource {
 public:
  virtual ~LineSource() = default;
  // Appends up to maxLines next lines to `lines`; returns false when the
  // input is exhausted and nothing was appended.
  virtual bool Fill(std::vector<std::string_view>& lines, std::string& store, std::size_t maxLines) = 0;
};

// ---- Output, in file order ----

struct AcceptedRecord {
  std::uint64_t row;         // valid count so far: the grid row of the record
  std::uint64_t sequence;    // "#"
  std::uint64_t lineNumber;  // "RD#", 1-based line number in the file
  std::int64_t deviation;    // the deviation text as an integer
  double deviationValue;     // the deviation as a number, for the chart
  // The record columns back to back; `ends` holds kRecordColumnCount end
  // offsets relative to the start of `cells`. With a formatter
  // (PipelineOptions::formatter), `cells` holds its text and `ends` is empty.
  std::string_view cells;
  std::span<const std::uint32_t> ends;
  const RecordNumbers* numbers;  // positions, depth and sounder as numbers
};

// The record columns of an accepted record as separate texts (laid out
// without a formatter).
RecordCellTexts SplitRecordCells(const AcceptedRecord& record);

struct RejectedLine {
  std::uint64_t errorNumber;  // running count of rejected lines, from 1
  std::string_view message;   // the sample's FErrorText
  std::string_view rawLine;
  std::uint64_t lineNumber;   // 1-based
};

// Appends the error-list entry of a rejected line: "N - message", the raw
// line, "Line: " and the line number, and an empty line, each ended by CR LF.
void AppendErrorEntry(std::string& out, const RejectedLine& line);

class RecordSink {
 public:
  virtual ~RecordSink() = default;
  virtual void Accepted(const AcceptedRecord& record) = 0;
  virtual void Rejected(const RejectedLine& line) = 0;
};

// ---- Running ----

// Threads used when the caller does not say: the hardware's, from 1 to 8.
unsigned DefaultThreadCount();
inline constexpr std::size_t kDefaultBatchLines = 1024;

struct PipelineOptions {
  unsigned threads = DefaultThreadCount();  // parsing threads, the caller's included
  std::size_t batchLines = kDefaultBatchLines;
  // Polled before each batch is applied; when set, the loop stops there and
  // everything applied so far stays.
  const std::atomic<bool>* cancel = nullptr;
  // Called on the calling thread after each applied batch with the number of
  // lines of the file examined so far.
  std::function<void(std::uint64_t linesDone)> progress;
  // When set, the workers write each accepted record's text with it instead
  // of laying out its columns.
  const RecordFormatter* formatter = nullptr;
};

struct PipelineResult {
  std::uint64_t validCount = 0;
  std::uint64_t errorCount = 0;
  std::uint64_t firstDataIndex = 0;  // 0-based index of the first data line
  std::uint64_t stopIndex = 0;       // 0-based index at which the loop stopped
  bool hasData = false;              // the heading was found (or none is needed)
  bool cancelled = false;
};

// Runs the load loop over every line of `source` with `sample`, which must be
// set up; its continuity memory and FErrorText are used and updated as a
// plain Parse of each line in order would. Workers parse with copies of its
// set-up.
PipelineResult RunRecordPipeline(TSample& sample, LineSource& source, RecordSink& sink,
                                 const PipelineOptions& options);

}  // namespace tessaly
