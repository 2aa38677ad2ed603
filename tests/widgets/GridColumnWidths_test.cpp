// Column widths of a grid layout: in the font the record grid paints with,
// every caption and every column's widest value fits its column's text area
// and is painted whole; a minimum that is wide enough already stays.
#include "widgets/GridColumnWidths.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>

#include <gtest/gtest.h>

#include <memory>
#include <string_view>
#include <vector>

#include "support/Render.h"
#include "widgets/GraficoOk.h"
#include "widgets/PainelGridOk.h"
#include "widgets/RawTextView.h"
#include "widgets/RecordViews.h"

namespace tessaly {
namespace {

using test::PixelBgr;
using test::Render;

int TextWidth(const QFontMetrics& metrics, std::string_view text) {
  return metrics.horizontalAdvance(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

// The record grid as a log window lays it out.
class RecordGridWidths : public ::testing::Test {
 protected:
  TPainelGridOk grid_;
  TGraficoOK chart_;
  RawTextView raw_;
  RecordViews views_{grid_, chart_, raw_};
};

TEST_F(RecordGridWidths, EveryCaptionAndWidestValueFitsItsColumnsTextArea) {
  const QFontMetrics metrics = grid_.fontMetrics();
  const TInformacaoGrid& info = grid_.InformacaoGrid();
  for (std::size_t c = 0; c < kGridColumnCount; ++c) {
    const GridColumnInfo& column = kGridColumns[c];
    const int col = static_cast<int>(c);
    EXPECT_LE(TextWidth(metrics, column.caption), info.TextRoom(col)) << column.caption;
    EXPECT_LE(TextWidth(metrics, column.widest), info.TextRoom(col)) << column.caption;
    EXPECT_GE(info.GetColWidth(col), column.minWidth) << column.caption;
  }
  EXPECT_EQ(info.GetColWidth(kColComment), 200);  // free text keeps its width
}

// Painted for real: the captions, and a row of every column's widest value,
// end before the last pixel of their cells, so nothing is cut.
TEST_F(RecordGridWidths, CaptionsAndWidestValuesArePaintedWhole) {
  auto cells = std::make_shared<CellTable>(NewRecordTable());
  cells->SetRows(2);
  for (std::size_t c = 0; c < kGridColumnCount; ++c) cells->SetCell(1, c, kGridColumns[c].widest);
  cells->SetRowColor(1, kClWhite);
  cells->SetRowFontColor(1, kClBlack);
  TInformacaoGrid& info = grid_.InformacaoGrid();
  info.ShowCells(cells);
  info.SetScrollBar(TScrollStyle::ssNone);
  int total = TInformacaoGrid::kMargin;
  for (std::size_t c = 0; c < kGridColumnCount; ++c) total += info.PaintedColWidth(static_cast<int>(c));
  grid_.resize(total + 10, 3 * TInformacaoGrid::kRowHeight);

  const QImage image = Render(grid_);
  int left = TInformacaoGrid::kMargin;
  for (std::size_t c = 0; c < kGridColumnCount; ++c) {
    const int lastPixel = left + info.PaintedColWidth(static_cast<int>(c)) - TInformacaoGrid::kCellGap - 1;
    for (int row = 0; row < 2; ++row) {
      const int top = TInformacaoGrid::kMargin + row * TInformacaoGrid::kRowHeight;
      const BgrColor fill = row == 0 ? kHeaderGrey : kClWhite;
      for (int y = top; y < top + TInformacaoGrid::kRowHeight - TInformacaoGrid::kCellGap; ++y)
        ASSERT_EQ(PixelBgr(image, lastPixel, y), fill) << kGridColumns[c].caption << " row " << row << " y " << y;
    }
    left += info.PaintedColWidth(static_cast<int>(c));
  }
}

TEST(GridColumnWidths, MinimumsWideEnoughForTheTextsStay) {
  QFont tiny;
  tiny.setPixelSize(4);
  const std::vector<int> widths = FittedColumnWidths(kRecordLayout, QFontMetrics(tiny));
  ASSERT_EQ(widths.size(), kGridColumnCount);
  for (std::size_t c = 0; c < kGridColumnCount; ++c) EXPECT_EQ(widths[c], kGridColumns[c].minWidth) << c;
}

TEST(GridColumnWidths, ColumnsTooNarrowForTheirTextsGrowWithTheFont) {
  const GridColumnInfo columns[] = {{"A caption longer than its column", 10, "0"},
                                    {"#", 10, "+0000000000000"},
                                    {"Comment", 200, ""}};
  TPainelGridOk grid;
  for (const int pixels : {11, 16, 24}) {
    QFont font = grid.font();
    font.setPixelSize(pixels);
    grid.setFont(font);
    FitColumnWidths(grid, columns);
    const QFontMetrics metrics = grid.fontMetrics();
    const TInformacaoGrid& info = grid.InformacaoGrid();
    EXPECT_LE(TextWidth(metrics, columns[0].caption), info.TextRoom(0)) << pixels;
    EXPECT_LE(TextWidth(metrics, columns[1].widest), info.TextRoom(1)) << pixels;
    EXPECT_GT(info.GetColWidth(1), 10) << pixels;
    EXPECT_EQ(info.GetColWidth(2), 200) << pixels;
    EXPECT_EQ(info.GetColWidth(3), 0) << pixels;  // beyond the layout: untouched
  }
}

}  // namespace
}  // namespace tessaly
