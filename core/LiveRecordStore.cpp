#include "core/LiveRecordStore.h"

#include <algorithm>

#include "core/DeviationColours.h"
#include "core/RecordPipeline.h"
#include "core/TrackIndex.h"

namespace tessaly {

LiveRecordStore::LiveRecordStore(GridLayout layout) : layout_(layout), grid_(NewCaptionTable(layout)) {}

void LiveRecordStore::Clear() {
  grid_ = NewCaptionTable(layout_);
  chart_ = {};
  numbers_ = {};
  flags_ = {};
  flagged_ = 0;
  text_ = {};
  lineStart_ = {};
  longestLine_ = 0;
  lineOpen_ = false;
  afterCr_ = false;
}

std::size_t LiveRecordStore::AppendRecord(std::string_view rawLine, std::span<const std::string_view> cells,
                                          std::int64_t deviation, const ViewSettings& view) {
  return AppendRecord(rawLine, cells, deviation, RecordNumbers{}, view);
}

std::size_t LiveRecordStore::AppendParsed(const LogVariant& variant, const TSample& sample,
                                          std::string_view receptionTime, const ViewSettings& view) {
  RecordScratch scratch;
  return AppendRow(variant, sample.FRawLine, RecordRow(sample, {{}, receptionTime, 0, {}}, scratch), sample.FNumbers,
                   view);
}

std::size_t LiveRecordStore::AppendRow(const LogVariant& variant, std::string_view rawLine, GridRowTexts row,
                                       const RecordNumbers& numbers, const ViewSettings& view) {
  const std::string number = std::to_string(RecordCount() + 1);
  row[kColSequence] = number;
  const VariantRow cells = VariantCells(variant, row);
  return AppendRecord(rawLine, std::span(cells).first(variant.layout.size()), CellInteger(row[kColDev]), numbers,
                      view);
}

std::size_t LiveRecordStore::AppendRecord(std::string_view rawLine, std::span<const std::string_view> cells,
                                          std::int64_t deviation, const RecordNumbers& numbers,
                                          const ViewSettings& view) {
  StartLine();
  text_.append(rawLine);
  NoteLineLength();
  lineOpen_ = false;

  const std::size_t row = chart_.size() + 1;
  if (row >= grid_.Rows()) grid_.SetRows(grid_.Rows() + kGridStep);
  grid_.SetRow(row, cells.first(std::min(cells.size(), grid_.Cols())));
  const RowColours colours = DeviationColours(static_cast<std::int64_t>(row), deviation, view);
  grid_.SetRowColor(row, colours.background);
  grid_.SetRowFontColor(row, colours.font);
  chart_.push_back(static_cast<double>(deviation));
  flags_.push_back(0);
  ReserveForOneMore(numbers_);
  numbers_.push_back(numbers);
  return row;
}

void LiveRecordStore::AppendRawBytes(std::string_view bytes) {
  for (const char c : bytes) {
    const bool cr = c == '\r';
    if (c == '\n' && afterCr_) {
      afterCr_ = false;
      continue;
    }
    afterCr_ = cr;
    if (!lineOpen_) {
      StartLine();
      lineOpen_ = true;
    }
    if (cr || c == '\n') {
      lineOpen_ = false;
      continue;
    }
    text_.push_back(c);
    NoteLineLength();
  }
}

void LiveRecordStore::StartLine() { lineStart_.push_back(text_.size()); }

void LiveRecordStore::NoteLineLength() {
  longestLine_ = std::max<std::size_t>(longestLine_, text_.size() - lineStart_.back());
}

std::string_view LiveRecordStore::RawLine(std::size_t i) const {
  if (i >= lineStart_.size()) return {};
  const std::size_t end = i + 1 < lineStart_.size() ? lineStart_[i + 1] : text_.size();
  return std::string_view(text_).substr(lineStart_[i], end - lineStart_[i]);
}

void LiveRecordStore::SetCell(std::size_t row, std::size_t col, std::string_view text) {
  if (row >= 1 && row <= RecordCount()) grid_.SetCell(row, col, text);
}

void LiveRecordStore::AddFlag(std::size_t row, QualityFlag flag) {
  if (row < 1 || row > RecordCount()) return;
  std::uint8_t& flags = flags_[row - 1];
  flagged_ += flags == 0 ? 1 : 0;
  flags |= flag;
}

void LiveRecordStore::Recolour(const ViewSettings& view, std::size_t) {
  for (std::size_t row = 1; row <= RecordCount(); ++row) {
    const RowColours colours =
        DeviationColours(static_cast<std::int64_t>(row), static_cast<std::int64_t>(chart_[row - 1]), view);
    grid_.SetRowColor(row, colours.background);
    grid_.SetRowFontColor(row, colours.font);
  }
}

std::size_t LiveRecordStore::RowOfRawLine(std::size_t line) const { return line < RecordCount() ? line + 1 : 0; }

std::optional<std::size_t> LiveRecordStore::RawLineOfRow(std::size_t row) const {
  if (row < 1 || row > RecordCount()) return std::nullopt;
  return row - 1;
}

std::size_t LiveRecordStore::MemoryBytes() const {
  return grid_.MemoryBytes() + chart_.capacity() * sizeof(double) + numbers_.capacity() * sizeof(RecordNumbers) +
         flags_.capacity() + text_.capacity() +
         lineStart_.capacity() * sizeof(std::uint64_t);
}

}  // namespace tessaly
