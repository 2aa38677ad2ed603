#include "core/CellTable.h"

#include "core/MemoryAdvice.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <type_traits>

namespace tessaly {

template <typename Visit>
void CellTable::EndOffsets::WithActive(Visit&& visit) {
  switch (bits_) {
    case 8: visit(ends8_); break;
    case 16: visit(ends16_); break;
    default: visit(ends32_); break;
  }
}

void CellTable::EndOffsets::Set(std::size_t i, std::uint32_t end) {
  WithActive([i, end](auto& ends) { ends[i] = static_cast<std::remove_reference_t<decltype(ends[i])>>(end); });
}

template <typename Wider>
void CellTable::EndOffsets::WidenTo(std::vector<Wider>& wider) {
  WithActive([&wider](auto& ends) {
    wider.reserve(ends.capacity());
    wider.assign(ends.begin(), ends.end());
    ends = {};
  });
  bits_ = 8 * static_cast<int>(sizeof(Wider));
}

void CellTable::EndOffsets::Admit(std::size_t rowBytes) {
  if (bits_ < 32 && rowBytes > std::numeric_limits<std::uint16_t>::max()) WidenTo(ends32_);
  else if (bits_ < 16 && rowBytes > std::numeric_limits<std::uint8_t>::max()) WidenTo(ends16_);
}

void CellTable::EndOffsets::Resize(std::size_t count) {
  WithActive([count](auto& ends) { ends.resize(count, 0); });
}

void CellTable::EndOffsets::Reserve(std::size_t count) {
  WithActive([count](auto& ends) { ends.reserve(count); });
}

namespace {

// Shrinks a buffer whose capacity is more than twice its size and 64 KiB.
template <typename T>
void ReleaseIfMostlyUnused(std::vector<T>& buffer) {
  if ((buffer.capacity() - buffer.size()) * sizeof(T) > buffer.size() * sizeof(T) + (64u << 10)) buffer.shrink_to_fit();
}

}  // namespace

void CellTable::EndOffsets::ReleaseUnusedReservation() {
  WithActive([](auto& ends) { ReleaseIfMostlyUnused(ends); });
}

void CellTable::EndOffsets::Fill(std::size_t first, std::size_t count, std::uint32_t end) {
  for (std::size_t i = first; i < first + count; ++i) Set(i, end);
}

std::size_t CellTable::EndOffsets::CapacityBytes() const {
  return ends8_.capacity() + ends16_.capacity() * sizeof(std::uint16_t) +
         ends32_.capacity() * sizeof(std::uint32_t);
}

void CellTable::EndOffsets::AdviseHugePages() const {
  tessaly::AdviseHugePages(ends8_);
  tessaly::AdviseHugePages(ends16_);
  tessaly::AdviseHugePages(ends32_);
}

void CellTable::SetRows(std::size_t rows) {
  if (rows == Rows()) return;
  for (std::size_t r = rows; r < Rows(); ++r) RetireRow(r);
  rowStart_.resize(rows, 0);
  ends_.Resize(rows * cols_);
  rowColor_.resize(rows, 0);
  rowFont_.resize(rows, 0);
  CompactIfWasteful();
}

void CellTable::SetCols(std::size_t cols) {
  if (cols == cols_) return;
  // Each row keeps its place in the arena; only its end offsets are re-laid.
  std::size_t longest = 0;
  for (std::size_t r = 0; r < Rows(); ++r) longest = std::max(longest, RowBytes(r));
  EndOffsets relaid;
  relaid.Admit(longest);
  relaid.Resize(Rows() * cols);
  for (std::size_t r = 0; r < Rows(); ++r) {
    const std::size_t bytes = RowBytes(r);
    for (std::size_t c = 0; c < cols; ++c) {
      relaid.Set(r * cols + c, c < cols_ ? End(r, c) : static_cast<std::uint32_t>(bytes));
    }
    if (cols < cols_) deadBytes_ += bytes - (cols ? End(r, cols - 1) : 0);
  }
  ends_ = std::move(relaid);
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
  ends_.Reserve(rows * cols_);
  rowColor_.reserve(rows);
  rowFont_.reserve(rows);
  arena_.reserve(textBytes);
  // A large grid is filled right after this; huge pages spare most faults.
  AdviseHugePages(arena_);
  ends_.AdviseHugePages();
  AdviseHugePages(rowStart_);
}

void CellTable::ReleaseUnusedReservation() {
  ReleaseIfMostlyUnused(arena_);
  ReleaseIfMostlyUnused(rowStart_);
  ends_.ReleaseUnusedReservation();
  ReleaseIfMostlyUnused(rowColor_);
  ReleaseIfMostlyUnused(rowFont_);
}

std::string_view CellTable::Cell(std::size_t row, std::size_t col) const {
  if (row >= Rows() || col >= cols_) return {};
  const std::uint32_t begin = col == 0 ? 0 : End(row, col - 1);
  const std::uint32_t end = End(row, col);
  if (end == begin) return {};
  return std::string_view(arena_.data() + rowStart_[row] + begin, end - begin);
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
  const std::size_t first = StartRow(row, total);
  std::uint32_t end = 0;
  for (std::size_t c = 0; c < cols_; ++c) {
    if (c < values.size()) {
      arena_.insert(arena_.end(), values[c].begin(), values[c].end());
      end += static_cast<std::uint32_t>(values[c].size());
    }
    ends_.Set(first + c, end);
  }
  CompactIfWasteful();
}

void CellTable::SetRowPacked(std::size_t row, std::string_view text,
                             std::span<const std::uint32_t> ends) {
  if (row >= Rows()) return;
  const std::size_t first = StartRow(row, text.size());
  arena_.insert(arena_.end(), text.begin(), text.end());
  std::uint32_t last = 0;
  for (std::size_t c = 0; c < cols_; ++c) {
    if (c < ends.size()) last = std::min<std::uint32_t>(ends[c], static_cast<std::uint32_t>(text.size()));
    ends_.Set(first + c, last);
  }
  CompactIfWasteful();
}

std::size_t CellTable::MemoryBytes() const {
  return arena_.capacity() + rowStart_.capacity() * sizeof(std::uint64_t) + ends_.CapacityBytes() +
         (rowColor_.capacity() + rowFont_.capacity()) * sizeof(BgrColor);
}

// Retires the row's old text, makes the end offsets wide enough for `bytes`
// and places the row at the end of the arena. Returns its first end index.
std::size_t CellTable::StartRow(std::size_t row, std::size_t bytes) {
  if (bytes > std::numeric_limits<std::uint32_t>::max()) throw std::length_error("grid row longer than 4 GiB");
  RetireRow(row);
  ends_.Admit(bytes);
  rowStart_[row] = arena_.size();
  return row * cols_;
}

void CellTable::RetireRow(std::size_t row) {
  const std::size_t bytes = RowBytes(row);
  if (bytes == 0) return;
  deadBytes_ += bytes;
  ends_.Fill(row * cols_, cols_, 0);
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
