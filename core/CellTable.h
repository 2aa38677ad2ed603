// CellTable: the text cells of a record grid, with per-row colours.
//
// All cell texts live in one byte arena; a row is a start offset into it plus
// one end offset per cell, relative to the row start. End offsets take 8 bits
// while every row is shorter than 256 bytes (a survey record is), and are
// widened to 16 or 32 bits when a longer row arrives. A million-row grid
// therefore costs its text bytes plus about a byte a cell, and no heap string
// per cell. The grid control paints straight from this table, the document
// loader and the live logger fill it.
//
// Changing one cell of a row that is already stored writes the whole row anew
// at the end of the arena; the arena is compacted when more than half of it is
// dead. A string_view returned by Cell is valid until the next change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/BgrColor.h"

namespace tessaly {

class CellTable {
 public:
  CellTable() = default;
  CellTable(std::size_t rows, std::size_t cols) { Resize(rows, cols); }

  std::size_t Rows() const { return rowStart_.size(); }
  std::size_t Cols() const { return cols_; }

  // Rows keep their cells when the row count changes; new rows are empty.
  void SetRows(std::size_t rows);
  // Cells keep their (row, column) place; columns beyond the new count go.
  void SetCols(std::size_t cols);
  void Resize(std::size_t rows, std::size_t cols);
  void Clear();

  // Reserves room for rows and text bytes so that a load of known size does
  // not reallocate while it fills the table.
  void Reserve(std::size_t rows, std::size_t textBytes);
  // Gives back reserved room a load did not use, where it is more than the
  // room used: a reservation estimated from the start of an unusual file can
  // be far too large. A close estimate is kept (no copy).
  void ReleaseUnusedReservation();

  // Empty text outside the table.
  std::string_view Cell(std::size_t row, std::size_t col) const;
  // Ignored outside the table.
  void SetCell(std::size_t row, std::size_t col, std::string_view text);
  // Replaces a whole row; cells beyond values.size() become empty.
  void SetRow(std::size_t row, std::span<const std::string_view> values);
  // Replaces a whole row from text already laid out cell after cell: ends[k]
  // is the end of cell k relative to the start of `text`.
  void SetRowPacked(std::size_t row, std::string_view text, std::span<const std::uint32_t> ends);

  BgrColor RowColor(std::size_t row) const { return row < rowColor_.size() ? rowColor_[row] : 0; }
  BgrColor RowFontColor(std::size_t row) const { return row < rowFont_.size() ? rowFont_[row] : 0; }
  void SetRowColor(std::size_t row, BgrColor c) { if (row < rowColor_.size()) rowColor_[row] = c; }
  void SetRowFontColor(std::size_t row, BgrColor c) { if (row < rowFont_.size()) rowFont_[row] = c; }

  // Bytes held by the table (capacity of every buffer).
  std::size_t MemoryBytes() const;
  // Bytes of live cell text.
  std::size_t TextBytes() const { return arena_.size() - deadBytes_; }

 private:
  // End offsets of every cell, row after row, in the narrowest of 8, 16 and
  // 32 bits that every row fits.
  class EndOffsets {
   public:
    std::uint32_t Get(std::size_t i) const {
      switch (bits_) {
        case 8: return ends8_[i];
        case 16: return ends16_[i];
        default: return ends32_[i];
      }
    }
    void Set(std::size_t i, std::uint32_t end);  // the caller made room with Admit
    void Admit(std::size_t rowBytes);            // widens when a row needs more bits
    void Resize(std::size_t count);
    void Reserve(std::size_t count);
    void ReleaseUnusedReservation();
    void Fill(std::size_t first, std::size_t count, std::uint32_t end);
    std::size_t CapacityBytes() const;
    void AdviseHugePages() const;

   private:
    template <typename Visit>
    void WithActive(Visit&& visit);
    template <typename Wider>
    void WidenTo(std::vector<Wider>& wider);

    int bits_ = 8;
    std::vector<std::uint8_t> ends8_;
    std::vector<std::uint16_t> ends16_;
    std::vector<std::uint32_t> ends32_;
  };

  std::uint32_t End(std::size_t row, std::size_t col) const { return ends_.Get(row * cols_ + col); }
  std::size_t RowBytes(std::size_t row) const { return cols_ ? End(row, cols_ - 1) : 0; }
  std::size_t StartRow(std::size_t row, std::size_t bytes);
  void RetireRow(std::size_t row);
  void CompactIfWasteful();

  std::size_t cols_ = 0;
  std::vector<char> arena_;
  std::vector<std::uint64_t> rowStart_;
  EndOffsets ends_;
  std::vector<BgrColor> rowColor_;
  std::vector<BgrColor> rowFont_;
  std::size_t deadBytes_ = 0;
};

}  // namespace tessaly
