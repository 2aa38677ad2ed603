#include "core/CellTable.h"

#include "core/MemoryAdvice.h"

#include <algorithm>
#include <stdexcept>

namespace tessaly {

void CellTable::SetRows(std::size_t rows) {
  if (rows == Rows()) return;
  for (std::size_t r = rows; r < Rows(); ++r) RetireRow(r);
  rowStart_.resize(rows, 0);
  cellEnd_.resize(rows * cols_, 0);
  rowColor_.resize(rows, 0);
  rowFont_.resize(rows, 0);
  CompactIfWasteful();
}

void CellTable::SetCols(std::size_t cols) {
  if (cols == cols_) return;
  // Each row keeps its place in the arena; only its end offsets are re-laid.
  std::vector<std::uint32_t> ends(Rows() * cols, 0);
  for (std::size_t r = 0; r < Rows(); ++r) {
    const std::uint32_t* old = RowEnds(r);
    std::uint32_t* now = ends.data() + r * cols;
    for (std::size_t c = 0; c < cols; ++c) now[c] = c < cols_ ? old[c] : (cols_ ? old[cols_ - 1] : 0);
    if (cols < cols_ && cols_ > 0) deadBytes_ += old[cols_ - 1] - (cols ? now[cols - 1] : 0);
  }
  cellEnd_ = std::move(ends);
  cols_ = cols;
  CompactIfWasteful();
}

void CellTable::Resize(std::size_t rows, std::size_t cols) {
  SetCols(cols);
  SetRows(rows);
}

void CellTable::Clear() { *this = CellTable(); }

void CellTable::Reserve(std::size_t rows, std::size_t textBytes) {
  rowStart_.reserve(rows);
  cellEnd_.reserve(rows * cols_);
  rowColor_.reserve(rows);
  rowFont_.reserve(rows);
  arena_.reserve(textBytes);
  // A large grid is filled right after this; huge pages spare most faults.
  AdviseHugePages(arena_);
  AdviseHugePages(cellEnd_);
  AdviseHugePages(rowStart_);
}

std::string_view CellTable::Cell(std::size_t row, std::size_t col) const {
  if (row >= Rows() || col >= cols_) return {};
  const std::uint32_t* ends = RowEnds(row);
  const std::uint32_t begin = col == 0 ? 0 : ends[col - 1];
  if (ends[col] == begin) return {};
  return std::string_view(arena_.data() + rowStart_[row] + begin, ends[col] - begin);
}

void CellTable::SetCell(std::size_t row, std::size_t col, std::string_view text) {
  if (row >= Rows() || col >= cols_) return;
  if (Cell(row, col) == text) return;
  // Gather the row as owned texts first: the arena may move while it grows.
  std::vector<std::string> owned;
  owned.reserve(cols_);
  for (std::size_t c = 0; c < cols_; ++c) owned.emplace_back(c == col ? text : Cell(row, c));
  std::vector<std::string_view> views(owned.begin(), owned.end());
  SetRow(row, views);
}

void CellTable::SetRow(std::size_t row, std::span<const std::string_view> values) {
  if (row >= Rows()) return;
  std::size_t total = 0;
  for (std::size_t c = 0; c < cols_ && c < values.size(); ++c) total += values[c].size();
  if (total > UINT32_MAX) throw std::length_error("grid row longer than 4 GiB");
  RetireRow(row);
  rowStart_[row] = arena_.size();
  std::uint32_t* ends = RowEnds(row);
  std::uint32_t end = 0;
  for (std::size_t c = 0; c < cols_; ++c) {
    if (c < values.size()) {
      arena_.insert(arena_.end(), values[c].begin(), values[c].end());
      end += static_cast<std::uint32_t>(values[c].size());
    }
    ends[c] = end;
  }
  CompactIfWasteful();
}

void CellTable::SetRowPacked(std::size_t row, std::string_view text,
                             std::span<const std::uint32_t> ends) {
  if (row >= Rows()) return;
  if (text.size() > UINT32_MAX) throw std::length_error("grid row longer than 4 GiB");
  RetireRow(row);
  rowStart_[row] = arena_.size();
  arena_.insert(arena_.end(), text.begin(), text.end());
  std::uint32_t* rowEnds = RowEnds(row);
  std::uint32_t last = 0;
  for (std::size_t c = 0; c < cols_; ++c) {
    if (c < ends.size()) last = std::min<std::uint32_t>(ends[c], static_cast<std::uint32_t>(text.size()));
    rowEnds[c] = last;
  }
  CompactIfWasteful();
}

std::size_t CellTable::MemoryBytes() const {
  return arena_.capacity() + rowStart_.capacity() * sizeof(std::uint64_t) +
         cellEnd_.capacity() * sizeof(std::uint32_t) +
         (rowColor_.capacity() + rowFont_.capacity()) * sizeof(BgrColor);
}

void CellTable::RetireRow(std::size_t row) {
  const std::size_t bytes = RowBytes(row);
  if (bytes == 0) return;
  deadBytes_ += bytes;
  std::fill_n(RowEnds(row), cols_, 0u);
}

void CellTable::CompactIfWasteful() {
  if (deadBytes_ < 4096 || deadBytes_ * 2 < arena_.size()) return;
  std::vector<char> packed;
  packed.reserve(arena_.size() - deadBytes_);
  for (std::size_t r = 0; r < Rows(); ++r) {
    const std::size_t bytes = RowBytes(r);
    const std::uint64_t start = rowStart_[r];
    rowStart_[r] = packed.size();
    packed.insert(packed.end(), arena_.begin() + static_cast<std::ptrdiff_t>(start),
                  arena_.begin() + static_cast<std::ptrdiff_t>(start + bytes));
  }
  arena_ = std::move(packed);
  deadBytes_ = 0;
}

}  // namespace tessaly
