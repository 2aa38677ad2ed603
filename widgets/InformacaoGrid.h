// TInformacaoGrid: the table state of a record grid (TPainelGridOk) - row and
// column counts, scroll bars, header and colour flags, per-row colours and
// per-column widths, and the cells.
//
// The cells live in a tessaly::CellTable: one text arena plus end offsets of
// one to four bytes, with the per-row background and font colours. The grid
// never copies it: it owns one from construction, which its setters change,
// or shows one a record source holds (ShowCells) and never changes, so a
// million-row log costs its text bytes plus about a byte and a half a cell.
// The table has exactly QtdLinhas rows (row 0 the header) and QtdColunas
// columns; QtdLinhas and QtdColunas read it.
//
// Colours are 24-bit blue-green-red values (0x00BBGGRR); 0 means "not set".
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/CellTable.h"

class QScrollBar;

namespace tessaly {

class TPainelGridOk;

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TInformacaoGrid {
 public:
  static constexpr int kRowHeight = 21;      // pixels, gap below the cell included
  static constexpr int kDefaultColWidth = 90;  // used for a column width of 0
  static constexpr int kMargin = 3;          // before the first column and above the first row
  static constexpr int kCellGap = 1;         // right of and below each cell, in the panel colour
  static constexpr int kTextInset = 2;       // from a cell's left edge to its text

  explicit TInformacaoGrid(TPainelGridOk& owner);
  TInformacaoGrid(const TInformacaoGrid&) = delete;
  TInformacaoGrid& operator=(const TInformacaoGrid&) = delete;
  ~TInformacaoGrid();

  // Number of rows, the header row included (3 at start). Changing it raises
  // the owner's AoMudarQtdLinhas with n + 1 before anything is resized, keeps
  // every existing cell and colour (new rows are empty, colours 0) and repaints
  // when painting is enabled. Setting the current value does nothing at all.
  // Negative values count as 0. Like every setter of the cells, row colours
  // and counts, it does nothing while a shown table (ShowCells) is up.
  int QtdLinhas() const;
  void SetQtdLinhas(int rows);

  // Number of columns (4 at start). Cells keep their (row, column) place;
  // columns beyond the new count go. Widths of kept columns stay.
  int QtdColunas() const;
  void SetQtdColunas(int cols);

  // Which scroll bars exist (ssNone at start). The horizontal bar sits along
  // the bottom edge, the vertical one along the right edge; small change 1,
  // large change 5; their maxima are set by each paint.
  TScrollStyle ScrollBar() const { return scrollStyle_; }
  void SetScrollBar(TScrollStyle style);

  // Row 0 is a fixed header drawn at the top whatever the scroll position.
  bool LinhaFixa() const { return linhaFixa_; }
  void SetLinhaFixa(bool fixed);
  // Pen colour of each row (no lines are drawn with it; inverted with the row).
  BgrColor CorLinhas() const { return corLinhas_; }
  void SetCorLinhas(BgrColor colour);
  // Background of a row without a row colour (white at start).
  BgrColor CorCelulas() const { return corCelulas_; }
  void SetCorCelulas(BgrColor colour);
  // The row SelectRow highlights is drawn inverted for one paint.
  bool LinhaSeleciona() const { return linhaSeleciona_; }
  void SetLinhaSeleciona(bool on);
  // Nominal cell count of the table layout: (QtdLinhas + 2) x (QtdColunas + 1).
  std::int64_t QtdItens() const;

  // Row background; 0 = CorCelulas. Ignored / 0 outside the table.
  void SetRowColor(int row, BgrColor colour);
  BgrColor GetRowColor(int row) const;
  // Row font colour; 0 = black.
  void SetRowFontColor(int row, BgrColor colour);
  BgrColor GetRowFontColor(int row) const;
  // Column width in pixels; 0 = kDefaultColWidth. Ignored / 0 outside.
  void SetColWidth(int col, int pixels);
  int GetColWidth(int col) const;
  // The width a column is painted with (the default for 0).
  int PaintedColWidth(int col) const;
  // The pixels a column's texts are painted in, from the inset to the
  // clip at the cell's right edge: a wider text is cut.
  int TextRoom(int col) const { return PaintedColWidth(col) - kTextInset - kCellGap; }

  // Panel height div 21 + 1, at most QtdLinhas.
  int VisibleRows() const;
  // Widths from the first visible column on are added until the sum exceeds
  // the panel width; the index (counted from the first visible column) where
  // that happens, or the last column if it never does, limited so that it plus
  // the first visible column does not exceed QtdColunas + 1.
  int VisibleCols() const;
  // The row whose last painted top t satisfies t <= y <= t + 21, searched from
  // the first visible row to first visible row + VisibleRows; when none does,
  // the row after the last one tried. A boundary pixel goes to the upper row.
  int RowAt(int y) const;
  // The column whose last painted left l satisfies l <= x <= l + width,
  // searched from the first visible column to first + VisibleCols; when none
  // does, the column after the last one tried.
  int ColAt(int x) const;

  // Set by the scroll bars (0 at start).
  int FirstVisibleRow() const { return firstRow_; }
  int FirstVisibleCol() const { return firstCol_; }
  // The scroll bars, or nullptr when absent. Their positions drive the view.
  QScrollBar* HorizontalBar() const { return horizontalBar_; }
  QScrollBar* VerticalBar() const { return verticalBar_; }

  // The cells shown: the grid's own table, or one shown with ShowCells.
  const CellTable& Cells() const { return *cells_; }
  // Shows a table the grid does not own, without a copy and read-only: the
  // grid takes its row and column counts (without raising AoMudarQtdLinhas)
  // and keeps it alive; its owner changes it and repaints the grid
  // (SetPainting(true)). A null pointer goes back to an empty table of the
  // grid's own.
  void ShowCells(std::shared_ptr<const CellTable> cells);

  // Bytes held by the grid beyond its cell table (column widths and the
  // positions recorded by the last paint).
  std::size_t OwnMemoryBytes() const;

 private:
  friend class TPainelGridOk;

  struct PaintedRow {
    int row;
    int top;
  };
  struct PaintedCol {
    int col;
    int left;
    int width;
  };

  void ApplyScrollRanges();
  void ScrollRowsTo(int first);
  void ScrollColsTo(int first);
  QScrollBar* MakeBar(bool horizontal);
  void DropBar(QScrollBar*& bar);
  void PlaceBars();
  void RepaintIfEnabled();

  TPainelGridOk& owner_;
  CellTable* own_ = nullptr;  // the table shown while it is the grid's own
  std::shared_ptr<const CellTable> cells_;
  std::vector<int> colWidths_;
  TScrollStyle scrollStyle_ = TScrollStyle::ssNone;
  bool linhaFixa_ = false;
  BgrColor corLinhas_ = 0;
  BgrColor corCelulas_ = 0xFFFFFF;
  bool linhaSeleciona_ = false;
  int firstRow_ = 0;
  int firstCol_ = 0;
  QScrollBar* horizontalBar_ = nullptr;
  QScrollBar* verticalBar_ = nullptr;
  // Where the last paint put each row and column: one entry per painted row
  // or column, never per cell.
  std::vector<PaintedRow> paintedRows_;
  std::vector<PaintedCol> paintedCols_;
};

}  // namespace tessaly
