// The export seam: every export format is a sink that receives a log's
// records, fed alike by an open document (ExportDocument) and by the
// streaming pipeline straight from a file (ExportLogStreaming), so a format
// is written once and serves the window and tessaly-cli.
//
// A sink receives, in order: Captions once, with what the export is of; Row
// for every record, with its grid texts (as the grid shows them) and its
// numbers as the parser read them (positions in signed degrees, deviation,
// towfish depth, sounder), so a format never reads a text back into a
// number; End once after the last record. A sink offers a RecordFormatter
// (asked after Captions) for what it makes of a record alone: the streaming
// pipeline runs it on its worker threads and hands each row what it made in
// `formatted` instead of the record columns' cells (the VDG export: the
// record's text between the "#" and the comment; the line-cut exports: the
// record's position projected, or nothing). A row from a document has all
// its cells and no `formatted`.
// A sink writes into the OutputFile it was made with; the runner opens,
// checks (CheckOutput) and closes it. Memory: a row is handed over and
// forgotten, so a sink that keeps nothing per record writes a log of any
// length in bounded memory. A format that must see every record first
// (survey line numbers found from the positions) either works them out as
// the rows come or, being a sink, keeps the few numbers it needs per record
// until End.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/GridLayout.h"
#include "core/RecordFormatter.h"
#include "core/RecordNumbers.h"

namespace tessaly {

// What an export is of.
struct ExportInfo {
  std::string sourceFile;  // the log or navigation file
  std::string fileType;    // its kind's display name ("KV7100 Log", "PNav")
  bool navigation = false; // a navigation import
  int mapDatum = 22;       // the ellipsoid of the grid's UTM texts
  bool partial = false;    // the document's load was cancelled: only its first records
};

// One record.
struct ExportRecord {
  std::uint64_t row = 0;   // grid row, from 1: the record's fiducial
  double deviation = 0.0;  // nT
  const RecordNumbers* numbers = nullptr;
  // The grid row's texts by GridColumn: "#", the record columns and the
  // comment, as the grid shows them.
  std::array<std::string_view, kGridColumnCount> cells{};
  // What the sink's RecordFormatter made of the record on a worker thread
  // (bytes the sink reads back); unset when the record columns' cells are
  // given.
  std::optional<std::string_view> formatted;
};

class ExportSink {
 public:
  virtual ~ExportSink() = default;
  virtual void Captions(const ExportInfo& info) = 0;
  // The formatter of the record columns, or nullptr: the rows come whole.
  virtual const RecordFormatter* Formatter() const { return nullptr; }
  virtual void Row(const ExportRecord& record) = 0;
  virtual void End() = 0;
  // Whether, after Captions, the sink's rows cost as much as reading the
  // records, so that a thread of their own (ThreadedSink) pays for copying
  // them over.
  virtual bool WantsOwnThread() const { return false; }
  // Why the export failed, after End; empty when it did not. A failed
  // export replaces no earlier file.
  virtual std::string Error() const { return {}; }
};

}  // namespace tessaly
