// LiveRecordStore: the records of a live logging session as the views read
// them (RecordSource), growing as records arrive.
//
// Framed sessions: every raw line is a valid record as written to the log,
// and grid row r (1-based) is raw line r - 1. The grid grows in steps of
// 5000 rows (rows not yet filled stay empty). Unframed sessions (raw
// capture): the raw lines are the received bytes split at CR LF, LF or a lone
// CR, the grid holds its caption row alone.
//
// Appending a record costs the same however many are stored (amortised
// growth of flat buffers, no per-record copies); a record costs its raw text,
// its cell texts and a few dozen bytes of index and colours.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/CellTable.h"
#include "core/GridLayout.h"
#include "core/LogVariants.h"
#include "core/QualityFlags.h"
#include "core/RecordSource.h"
#include "core/ViewSettings.h"
#include "core/untTSample.h"

namespace tessaly {

class LiveRecordStore : public RecordSource {
 public:
  static constexpr std::size_t kGridStep = 5000;

  explicit LiveRecordStore(GridLayout layout);

  // Forgets every record; the grid keeps its caption row.
  void Clear();

  // Appends a valid record: its raw line, its cells by grid column (cells[c]
  // goes to column c; fewer cells leave the rest empty), its deviation
  // (chart value and row colours by `view`) and its numbers. Returns its
  // grid row.
  std::size_t AppendRecord(std::string_view rawLine, std::span<const std::string_view> cells,
                           std::int64_t deviation, const RecordNumbers& numbers, const ViewSettings& view);
  // Appends the record `sample` has just accepted as `variant` shows it
  // (VariantCells): row number, reception time, the sample's fields, its
  // deviation and numbers. Returns its grid row.
  std::size_t AppendParsed(const LogVariant& variant, const TSample& sample, std::string_view receptionTime,
                           const ViewSettings& view);
  // Appends a record whose whole grid row is `row` (RecordRow: "#" is filled
  // here) as `variant` shows it (VariantCells), with its numbers. Returns its
  // grid row.
  std::size_t AppendRow(const LogVariant& variant, std::string_view rawLine, GridRowTexts row,
                        const RecordNumbers& numbers, const ViewSettings& view);
  // The same without numbers (no position, depth or sounder), for a caller
  // that holds only the cells.
  std::size_t AppendRecord(std::string_view rawLine, std::span<const std::string_view> cells,
                           std::int64_t deviation, const ViewSettings& view);
  // Appends received bytes as raw text (unframed sessions).
  void AppendRawBytes(std::string_view bytes);

  std::size_t RecordCount() const { return chart_.size(); }
  // Sets one cell of a record row (a comment); ignored outside the records.
  void SetCell(std::size_t row, std::size_t col, std::string_view text);
  // Adds a quality flag to a record row (they come a few records late: the
  // neighbours decide); ignored outside the records.
  void AddFlag(std::size_t row, QualityFlag flag);
  // Records with at least one flag.
  std::size_t FlaggedCount() const { return flagged_; }
  // Colours every record row again by its deviation; the rows not yet filled
  // are left alone. (`colourColumn` is no longer read: the deviations are
  // kept as numbers.)
  void Recolour(const ViewSettings& view, std::size_t colourColumn = 0);

  // ---- RecordSource ----
  const CellTable& Cells() const override { return grid_; }
  std::span<const double> ChartValues() const override { return chart_; }
  std::span<const RecordNumbers> Numbers() const override { return numbers_; }
  std::size_t RawLineCount() const override { return lineStart_.size(); }
  std::string_view RawLine(std::size_t i) const override;
  std::size_t LongestRawLine() const override { return longestLine_; }
  std::size_t RowOfRawLine(std::size_t line) const override;
  std::optional<std::size_t> RawLineOfRow(std::size_t row) const override;
  std::span<const std::uint8_t> QualityFlags() const override { return flags_; }

  // Bytes held by the store's buffers.
  std::size_t MemoryBytes() const;

 private:
  void StartLine();
  void NoteLineLength();

  GridLayout layout_;
  CellTable grid_;
  std::vector<double> chart_;
  std::vector<RecordNumbers> numbers_;
  std::vector<std::uint8_t> flags_;     // quality flags, one byte a record
  std::size_t flagged_ = 0;             // records with a flag
  std::string text_;                    // raw lines back to back, without breaks
  std::vector<std::uint64_t> lineStart_;
  std::size_t longestLine_ = 0;
  bool lineOpen_ = false;               // unframed: the last line has no break yet
  bool afterCr_ = false;                // unframed: the last byte was a CR
};

}  // namespace tessaly
