// RecordSource: what the views of a log window read of its records - the
// record grid's cells, the chart's values, the raw lines and the links
// between grid rows and raw lines. Read-only: a view never changes a source;
// changes (a comment, new colours, records appended by a live session) go
// through the source's owner, which then tells the views to show them.
// Implemented by the log document (logs and navigation imports) and by
// whatever else a log window shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "core/CellTable.h"
#include "core/ReceivedRecord.h"
#include "core/RecordNumbers.h"

namespace tessaly {

// The lines of a raw text as a view reads them.
class RawLines {
 public:
  virtual ~RawLines() = default;
  virtual std::size_t RawLineCount() const = 0;
  // Line i (0-based) without its line break; empty text past the end.
  virtual std::string_view RawLine(std::size_t i) const = 0;
  // The length of the longest line, known without reading them all.
  virtual std::size_t LongestRawLine() const = 0;
};

class RecordSource : public RawLines {
 public:
  // The record grid: row 0 the captions (GridLayout.h), then one row per
  // record with its row colours. The grid shows Cells().Rows() rows.
  virtual const CellTable& Cells() const = 0;
  // The deviation of every record in grid order: record row r is value
  // r - 1. Valid until the source changes.
  virtual std::span<const double> ChartValues() const = 0;
  // The numbers of every record in grid order, as the parser read them
  // (positions, depth, sounder): record row r is entry r - 1, beside its
  // chart value. Valid until the source changes.
  virtual std::span<const RecordNumbers> Numbers() const = 0;
  // The grid row of the record read from raw line `line` (0-based); 0 when
  // that line is no record.
  virtual std::size_t RowOfRawLine(std::size_t line) const = 0;
  // The raw line (0-based) grid row `row` was read from; none for the
  // caption row and rows past the records.
  virtual std::optional<std::size_t> RawLineOfRow(std::size_t row) const = 0;
  // The quality flags of every record (core/QualityFlags.h), one byte each
  // in grid order like the chart values; empty when the source has none.
  virtual std::span<const std::uint8_t> QualityFlags() const { return {}; }
  // When every record was received and where the GPS and the layback put
  // it, in grid order like the chart values; empty when the source has no
  // such files (a log opened without its .times and .nmea beside it).
  virtual std::span<const ReceivedRecord> Received() const { return {}; }
};

}  // namespace tessaly
