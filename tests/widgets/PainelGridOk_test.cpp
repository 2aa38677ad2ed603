#include "widgets/PainelGridOk.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QPalette>
#include <QScrollBar>
#include <QTest>
#include <string>
#include <vector>

#include "core/ColourNames.h"
#include "core/DeviationColours.h"
#include "core/GridLayout.h"
#include "support/Render.h"

namespace tessaly {
namespace {

using test::PixelBgr;
using test::Render;

constexpr BgrColor kPanel = 0xF0F0F0;

// A 400 x 200 grid of 50 rows and 10 columns 100 pixels wide, header fixed.
struct GridFixture : ::testing::Test {
  TPainelGridOk grid;
  TInformacaoGrid& info = grid.InformacaoGrid();

  void SetUp() override {
    grid.resize(400, 200);
    info.SetQtdColunas(10);
    info.SetQtdLinhas(50);
    for (int c = 0; c < 10; ++c) info.SetColWidth(c, 100);
    info.SetLinhaFixa(true);
    info.SetLinhaSeleciona(true);
  }
  static int Top(int slot) { return 3 + slot * 21; }
};

TEST_F(GridFixture, RowsAndColumnsAreFoundWhereTheLastPaintPutThem) {
  Render(grid);
  EXPECT_EQ(info.VisibleRows(), 200 / 21 + 1);
  EXPECT_EQ(info.RowAt(Top(0)), 0);
  EXPECT_EQ(info.RowAt(Top(1) + 5), 1);
  EXPECT_EQ(info.RowAt(Top(3) + 20), 3);
  // Sums 100, 200, 300, 400, 500 > 400 at the fifth column.
  EXPECT_EQ(info.VisibleCols(), 4);
  EXPECT_EQ(info.ColAt(3), 0);
  EXPECT_EQ(info.ColAt(250), 2);
  // Nothing painted there: one past the last row / column tried.
  EXPECT_EQ(info.RowAt(-5), info.VisibleRows() + 1);
  EXPECT_EQ(info.ColAt(-5), info.VisibleCols() + 1);
}

TEST_F(GridFixture, ABoundaryPixelGoesToTheUpperRowAndTheLeftColumn) {
  Render(grid);
  EXPECT_EQ(info.RowAt(Top(2)), 1);
  EXPECT_EQ(info.RowAt(Top(2) + 1), 2);
  EXPECT_EQ(info.ColAt(103), 0);
  EXPECT_EQ(info.ColAt(104), 1);
}

TEST_F(GridFixture, HitTestingFollowsTheScrollPosition) {
  info.SetScrollBar(TScrollStyle::ssVertical);
  info.VerticalBar()->setValue(20);
  Render(grid);
  EXPECT_EQ(info.FirstVisibleRow(), 20);
  EXPECT_EQ(info.RowAt(Top(1) + 3), 20);
  EXPECT_EQ(info.RowAt(Top(2) + 3), 21);
}

// A table of the header row alone, shown where the grid was scrolled far
// down (a live window after Stop), shows that row.
TEST_F(GridFixture, AHeaderOnlyTableShowsItsHeaderWhereverTheBarWas) {
  info.SetScrollBar(TScrollStyle::ssBoth);
  info.VerticalBar()->setValue(30);
  Render(grid);
  auto header = std::make_shared<CellTable>(1, 10);
  header->SetCell(0, 0, "#");
  info.ShowCells(header);
  Render(grid);
  EXPECT_EQ(info.FirstVisibleRow(), 0);
  EXPECT_EQ(info.RowAt(Top(0) + 3), 0);
  EXPECT_EQ(info.VerticalBar()->maximum(), 0);
}

TEST_F(GridFixture, AClickOnTheFixedHeaderWhileScrolledSelectsNothing) {
  info.SetScrollBar(TScrollStyle::ssBoth);
  info.VerticalBar()->setValue(10);
  Render(grid);
  std::vector<std::pair<int, int>> clicks;
  grid.AoClicar = [&clicks](int Linha, int Coluna) { clicks.emplace_back(Linha, Coluna); };
  QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(150, Top(0) + 5));
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0].first, 10 + info.VisibleRows() + 1);
  EXPECT_EQ(clicks[0].second, 1);
  EXPECT_EQ(grid.HighlightedRow(), -1);
  EXPECT_EQ(grid.CurrentRow(), 0);
}

TEST_F(GridFixture, AClickOnARowReportsItAndSelectsIt) {
  Render(grid);
  std::vector<std::pair<int, int>> clicks;
  grid.AoClicar = [&clicks](int Linha, int Coluna) { clicks.emplace_back(Linha, Coluna); };
  QTest::mouseClick(&grid, Qt::RightButton, {}, QPoint(320, Top(4) + 10));
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0], std::make_pair(4, 3));
  EXPECT_EQ(grid.CurrentRow(), 4);
  EXPECT_EQ(grid.HighlightedRow(), 4);  // hidden panel: kept for its next paint
}

TEST_F(GridFixture, AClickGivesTheGridTheKeyboardFocus) {
  grid.show();
  QApplication::setActiveWindow(&grid);
  Render(grid);
  QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(50, Top(2) + 5));
  EXPECT_TRUE(grid.hasFocus());
}

TEST_F(GridFixture, RowZeroIsNeverSelectedByAClick) {
  Render(grid);
  int raised = 0;
  grid.AoClicar = [&raised](int, int) { ++raised; };
  QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(50, Top(0) + 2));
  EXPECT_EQ(raised, 1);
  EXPECT_EQ(grid.CurrentRow(), 0);
  EXPECT_EQ(grid.HighlightedRow(), -1);
}

TEST_F(GridFixture, RowsShowTheirColoursAndGapsShowThePanel) {
  for (int row = 1; row < 50; ++row) {
    const RowColours colours = DeviationColours(row, row == 3 ? 500 : -2, 100, 0x00FF00, 0xFF00FF);
    info.SetRowColor(row, colours.background);
    info.SetRowFontColor(row, colours.font);
  }
  info.SetRowColor(0, kHeaderGrey);
  const QImage image = Render(grid);
  EXPECT_EQ(PixelBgr(image, 90, Top(0) + 18), kHeaderGrey);
  EXPECT_EQ(PixelBgr(image, 90, Top(1) + 18), kClWhite);   // odd row
  EXPECT_EQ(PixelBgr(image, 90, Top(2) + 18), kClInfoBk);  // even row
  EXPECT_EQ(PixelBgr(image, 90, Top(3) + 18), 0xFF00FFu);  // beyond the limit
  EXPECT_EQ(PixelBgr(image, 3 + 99, Top(1) + 5), kPanel);  // gap right of a cell
  EXPECT_EQ(PixelBgr(image, 50, Top(1) + 20), kPanel);     // gap below a cell
  EXPECT_EQ(PixelBgr(image, 1, 100), kPanel);              // margin
}

TEST_F(GridFixture, ARowWithoutColourTakesTheCellColour) {
  info.SetCorCelulas(0x123456);
  const QImage image = Render(grid);
  EXPECT_EQ(PixelBgr(image, 60, Top(5) + 10), 0x123456u);
}

// View settings may name system colours: they paint in the palette's colours.
TEST_F(GridFixture, SystemColoursPaintInThePalettesColours) {
  grid.SetColor(*StringToColour("clBtnFace"));
  info.SetRowColor(2, *StringToColour("clInfoBk"));
  info.SetRowColor(4, *StringToColour("clWindow"));
  const QImage image = Render(grid);
  const QPalette palette = QGuiApplication::palette();
  EXPECT_EQ(image.pixelColor(1, 100), palette.color(QPalette::Button));  // margin
  EXPECT_EQ(image.pixelColor(60, Top(2) + 18), palette.color(QPalette::ToolTipBase));
  EXPECT_EQ(image.pixelColor(60, Top(4) + 18), palette.color(QPalette::Base));
}

TEST_F(GridFixture, AHighlightedRowOfASystemColourIsItsPaletteColourInverted) {
  info.SetRowColor(5, *StringToColour("clInfoBk"));
  grid.SelectRow(5, false);
  const QImage image = Render(grid);
  const QColor base = QGuiApplication::palette().color(QPalette::ToolTipBase);
  EXPECT_EQ(image.pixelColor(60, Top(5) + 18), QColor(255 - base.red(), 255 - base.green(), 255 - base.blue()));
}

TEST_F(GridFixture, TheHighlightedRowIsInvertedForOnePaintOnly) {
  info.SetRowColor(5, 0x00FFFF);
  info.SetRowColor(6, 0x00FFFF);
  grid.SelectRow(5, false);
  const QImage first = Render(grid);
  EXPECT_EQ(PixelBgr(first, 60, Top(5) + 18), 0xFF0000u);
  EXPECT_EQ(PixelBgr(first, 60, Top(6) + 18), 0x00FFFFu);
  const QImage second = Render(grid);
  EXPECT_EQ(PixelBgr(second, 60, Top(5) + 18), 0x00FFFFu);
}

TEST_F(GridFixture, WithoutLinhaSelecionaSelectRowScrollsButInvertsNothing) {
  info.SetLinhaSeleciona(false);
  info.SetScrollBar(TScrollStyle::ssBoth);
  Render(grid);
  grid.SelectRow(30, false);
  EXPECT_EQ(info.FirstVisibleRow(), 28);
  const QImage image = Render(grid);
  EXPECT_EQ(PixelBgr(image, 60, Top(3) + 18), kClWhite);  // row 30
}

TEST_F(GridFixture, SelectRowWithJumpPutsTheRowThirdInView) {
  info.SetScrollBar(TScrollStyle::ssBoth);
  grid.SelectRow(40, true);
  EXPECT_EQ(info.FirstVisibleRow(), 38);
  grid.SelectRow(41, false);  // already in view: no scroll
  EXPECT_EQ(info.FirstVisibleRow(), 38);
}

TEST_F(GridFixture, LongTextsAreClippedAtTheColumnsRightEdge) {
  info.SetColWidth(0, 40);
  info.SetRowColor(1, 0xFFFFFF);
  grid.SetCell(1, 0, "WWWWWWWWWWWWWWWWWWWWWWWWWWWW");
  const QImage image = Render(grid);
  bool textDrawn = false;
  for (int x = 3; x < 3 + 39; ++x) {
    for (int y = Top(1); y < Top(1) + 20; ++y) textDrawn |= PixelBgr(image, x, y) != 0xFFFFFF;
  }
  EXPECT_TRUE(textDrawn);
  for (int y = Top(1); y < Top(1) + 20; ++y) {
    EXPECT_EQ(PixelBgr(image, 3 + 39, y), kPanel) << "gap at y " << y;
    for (int x = 3 + 40; x < 3 + 40 + 99; ++x) ASSERT_EQ(PixelBgr(image, x, y), 0xFFFFFFu) << x << "," << y;
  }
}

TEST_F(GridFixture, RowCountChangesAreAnnouncedFirstAndOnlyWhenTheyChange) {
  std::vector<std::pair<int, int>> seen;  // (event value, row count at the time)
  grid.AoMudarQtdLinhas = [&](int Linhas) { seen.emplace_back(Linhas, info.QtdLinhas()); };
  grid.SetCell(49, 2, "kept");
  info.SetQtdLinhas(5000);
  info.SetQtdLinhas(5000);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], std::make_pair(5001, 50));
  EXPECT_EQ(info.QtdLinhas(), 5000);
  EXPECT_EQ(grid.GetCell(49, 2), "kept");
  EXPECT_EQ(info.QtdItens(), 5002 * 11);
}

TEST_F(GridFixture, SettingTheSameRowCountRepaintsNothing) {
  grid.show();
  QCoreApplication::processEvents();
  test::PaintCounter paints(grid);
  info.SetQtdLinhas(50);
  QCoreApplication::processEvents();
  EXPECT_EQ(paints.count, 0);
  info.SetQtdLinhas(60);
  QCoreApplication::processEvents();
  EXPECT_GE(paints.count, 1);
}

TEST_F(GridFixture, QuandoMudarIsRaisedBeforeTheCellChanges) {
  grid.SetCell(2, 3, "old");
  std::string before;
  std::string value;
  grid.QuandoMudar = [&](int Linha, int Coluna, const std::string& Valor) {
    before = std::string(grid.GetCell(Linha, Coluna));
    value = Valor;
  };
  grid.SetCell(2, 3, "new");
  EXPECT_EQ(before, "old");
  EXPECT_EQ(value, "new");
  EXPECT_EQ(grid.GetCell(2, 3), "new");
  EXPECT_EQ(grid.GetCell(2, 99), "");
  EXPECT_EQ(grid.GetCell(-1, 0), "");
}

TEST_F(GridFixture, ScrollBarsFollowTheStyleAndGetTheirMaximaFromThePaint) {
  info.SetScrollBar(TScrollStyle::ssBoth);
  ASSERT_NE(info.VerticalBar(), nullptr);
  ASSERT_NE(info.HorizontalBar(), nullptr);
  Render(grid);
  EXPECT_EQ(info.VerticalBar()->maximum(), 50 - info.VisibleRows() + 1);
  EXPECT_EQ(info.HorizontalBar()->maximum(), 9);
  EXPECT_EQ(info.VerticalBar()->singleStep(), 1);
  EXPECT_EQ(info.VerticalBar()->pageStep(), 5);
  info.SetScrollBar(TScrollStyle::ssHorizontal);
  EXPECT_EQ(info.VerticalBar(), nullptr);
  EXPECT_NE(info.HorizontalBar(), nullptr);
  info.SetScrollBar(TScrollStyle::ssNone);
  EXPECT_EQ(info.HorizontalBar(), nullptr);
}

TEST_F(GridFixture, AHorizontalScrollShiftsTheColumns) {
  info.SetScrollBar(TScrollStyle::ssBoth);
  grid.SetCell(1, 2, "x");
  info.HorizontalBar()->setValue(2);
  Render(grid);
  EXPECT_EQ(info.FirstVisibleCol(), 2);
  EXPECT_EQ(info.ColAt(10), 2);
}

TEST_F(GridFixture, PaintingCanBeSwitchedOff) {
  info.SetRowColor(1, 0x0000FF);
  grid.SetPainting(false);
  const QImage image = Render(grid);
  EXPECT_NE(PixelBgr(image, 60, Top(1) + 10), 0x0000FFu);
  grid.SetPainting(true);
  EXPECT_EQ(PixelBgr(Render(grid), 60, Top(1) + 10), 0x0000FFu);
}

TEST_F(GridFixture, ArrowKeysMoveTheSelectionAndScrollToIt) {
  info.SetScrollBar(TScrollStyle::ssBoth);
  Render(grid);
  std::vector<int> moves;
  grid.AoSelecionarLinha = [&moves](int Linha) { moves.push_back(Linha); };
  QTest::keyClick(&grid, Qt::Key_Down);
  QTest::keyClick(&grid, Qt::Key_Down);
  QTest::keyClick(&grid, Qt::Key_Up);
  EXPECT_EQ(moves, (std::vector<int>{1, 2, 1}));
  QTest::keyClick(&grid, Qt::Key_PageDown);
  EXPECT_GT(grid.CurrentRow(), 2);
  QTest::keyClick(&grid, Qt::Key_End);
  EXPECT_EQ(grid.CurrentRow(), 49);
  EXPECT_EQ(info.FirstVisibleRow(), info.VerticalBar()->maximum());
  QTest::keyClick(&grid, Qt::Key_Home);
  EXPECT_EQ(grid.CurrentRow(), 1);
  Render(grid);
  EXPECT_EQ(info.RowAt(Top(1) + 3), 1);
  EXPECT_EQ(moves.back(), 1);
}

TEST(PainelGridOk, AShownTableIsSharedNotCopiedAndNeverChangedByTheGrid) {
  auto cells = std::make_shared<CellTable>(1000, 29);
  cells->SetCell(999, 28, "last");
  cells->SetRowColor(7, 0x123456);
  TPainelGridOk grid;
  int rowCountChanges = 0;
  grid.AoMudarQtdLinhas = [&](int) { ++rowCountChanges; };
  TInformacaoGrid& info = grid.InformacaoGrid();
  info.ShowCells(cells);
  EXPECT_EQ(info.QtdLinhas(), 1000);
  EXPECT_EQ(info.QtdColunas(), 29);
  EXPECT_EQ(&info.Cells(), cells.get());
  EXPECT_EQ(grid.GetCell(999, 28), "last");
  EXPECT_EQ(info.GetRowColor(7), 0x123456u);

  grid.SetCell(5, 5, "changed");
  info.SetQtdLinhas(10);
  info.SetQtdColunas(3);
  info.SetRowColor(7, 0xFF);
  info.SetRowFontColor(7, 0xFF);
  EXPECT_EQ(cells->Cell(5, 5), "");
  EXPECT_EQ(cells->Rows(), 1000u);
  EXPECT_EQ(cells->Cols(), 29u);
  EXPECT_EQ(cells->RowColor(7), 0x123456u);
  EXPECT_EQ(cells->RowFontColor(7), 0u);
  EXPECT_EQ(rowCountChanges, 0);

  // The owner changes its table; the grid shows the change.
  cells->SetCell(5, 5, "by the owner");
  EXPECT_EQ(grid.GetCell(5, 5), "by the owner");
}

TEST(PainelGridOk, ShowingNoTableGivesAnEmptyTableOfItsOwn) {
  TPainelGridOk grid;
  TInformacaoGrid& info = grid.InformacaoGrid();
  info.ShowCells(std::make_shared<CellTable>(5, 5));
  info.ShowCells(nullptr);
  EXPECT_EQ(info.QtdLinhas(), 0);
  info.SetQtdColunas(2);
  info.SetQtdLinhas(2);
  grid.SetCell(1, 1, "own");
  EXPECT_EQ(grid.GetCell(1, 1), "own");
}

TEST(PainelGridOk, StartsAsAThreeByFourTableOfDefaultWidths) {
  TPainelGridOk grid;
  EXPECT_EQ(grid.size(), QSize(300, 200));
  EXPECT_EQ(grid.InformacaoGrid().QtdLinhas(), 3);
  EXPECT_EQ(grid.InformacaoGrid().QtdColunas(), 4);
  EXPECT_EQ(grid.InformacaoGrid().PaintedColWidth(0), 90);
  EXPECT_EQ(grid.InformacaoGrid().ScrollBar(), TScrollStyle::ssNone);
  EXPECT_EQ(grid.InformacaoGrid().CorCelulas(), 0xFFFFFFu);
}

// Comments typed in the program are UTF-8; comments files from elsewhere may
// be Latin-1. Both show the same characters.
TEST(PainelGridOk, CellsShowUtf8TextAndOtherBytesAsLatin1) {
  TPainelGridOk grid;
  grid.InformacaoGrid().SetQtdLinhas(4);
  grid.SetCell(1, 1, "caf\xC3\xA9 \xC3\xA0 la cr\xC3\xA8me");
  grid.SetCell(2, 1, "caf\xE9 \xE0 la cr\xE8me");
  grid.SetCell(3, 1, "cafe a la creme");
  const QImage image = Render(grid);
  const QRect utf8(93, 24, 88, 20), latin1(93, 45, 88, 20), ascii(93, 66, 88, 20);
  EXPECT_EQ(image.copy(utf8), image.copy(latin1));
  EXPECT_NE(image.copy(latin1), image.copy(ascii));  // the accents are drawn
}

TEST(PainelGridOk, InvalidTextBytesAreShownWithoutHarm) {
  TPainelGridOk grid;
  const std::string bytes("\xff\xfe\x00\x80 bad", 8);
  grid.SetCell(1, 1, bytes);
  EXPECT_EQ(grid.GetCell(1, 1), bytes);
  const QImage image = Render(grid);
  bool drawn = false;
  for (int x = 93; x < 182; ++x) drawn |= PixelBgr(image, x, 34) != 0xFFFFFF;
  EXPECT_TRUE(drawn);
}

}  // namespace
}  // namespace tessaly
