#include "widgets/GridColumnWidths.h"

#include <QFontMetrics>
#include <QString>

#include <algorithm>

#include "widgets/PainelGridOk.h"

namespace tessaly {

namespace {

// The inset before the text, the same room after it and the gap between cells.
constexpr int kCellPadding = 2 * TInformacaoGrid::kTextInset + TInformacaoGrid::kCellGap;

int TextWidth(const QFontMetrics& metrics, std::string_view text) {
  return metrics.horizontalAdvance(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace

std::vector<int> FittedColumnWidths(GridLayout layout, const QFontMetrics& metrics) {
  std::vector<int> widths;
  widths.reserve(layout.size());
  for (const GridColumnInfo& column : layout) {
    const int text = std::max(TextWidth(metrics, column.caption), TextWidth(metrics, column.widest));
    widths.push_back(std::max(column.minWidth, text + kCellPadding));
  }
  return widths;
}

void FitColumnWidths(TPainelGridOk& grid, GridLayout layout) {
  const std::vector<int> widths = FittedColumnWidths(layout, grid.fontMetrics());
  for (std::size_t col = 0; col < widths.size(); ++col)
    grid.InformacaoGrid().SetColWidth(static_cast<int>(col), widths[col]);
}

}  // namespace tessaly
