// TPainelGridOk: the record grid of every log window. A panel that paints a
// table of text cells itself: fixed header row, per-row background and font
// colours, per-column widths, optional scroll bars and a highlighted row that
// lasts one paint. Only the visible rows and columns are painted, so the
// paint time does not depend on the row count.
//
// Layout: rows are 21 pixels apart, columns as wide as their width (90 for
// 0); a 3-pixel margin before the first column and above the first row; each
// cell is filled one pixel narrower and lower than its slot, so one-pixel gaps
// show the panel colour. A text starts 2 pixels in from the cell's left edge,
// centred in the row's height, and is clipped at the column's right edge minus
// one pixel. Cell texts are bytes shown by CellText: UTF-8 where the bytes
// are valid UTF-8, Latin-1 otherwise (survey logs are ASCII; comments may be
// either).
//
// Use from a window:
//   grid->InformacaoGrid().SetQtdColunas(29);      // before filling cells
//   grid->InformacaoGrid().SetQtdLinhas(rows + 1); // row 0: header
//   grid->SetCell(0, 0, "#"); grid->InformacaoGrid().SetRowColor(0, 0x808080);
//   grid->AoClicar = [this](int Linha, int Coluna) { ... };
//   grid->InformacaoGrid().SetScrollBar(TScrollStyle::ssBoth);
// or show a tessaly::CellTable held elsewhere: InformacaoGrid().ShowCells(it).
#pragma once

#include <QColor>
#include <QFrame>
#include <functional>
#include <string>
#include <string_view>

#include "core/CellTable.h"
#include "widgets/InformacaoGrid.h"

namespace tessaly {

class TPainelGridOk : public QFrame {
  Q_OBJECT

 public:
  // 300 x 200 pixels, a new 3 x 4 table, painting enabled.
  explicit TPainelGridOk(QWidget* parent = nullptr);
  ~TPainelGridOk() override;

  TInformacaoGrid& InformacaoGrid() { return info_; }
  const TInformacaoGrid& InformacaoGrid() const { return info_; }
  // Rows that fit whole below the header and above a horizontal scroll bar
  // (at least 1).
  int FullRowsShown() const;

  // Any mouse button pressed over the panel, with the row and column under the
  // pointer (RowAt / ColAt). Unassigned: nothing is raised.
  std::function<void(int Linha, int Coluna)> AoClicar;
  // Raised by SetCell before the cell's text is replaced.
  std::function<void(int Linha, int Coluna, const std::string& Valor)> QuandoMudar;
  // Raised when QtdLinhas changes, with the new count plus one, before
  // anything is resized.
  std::function<void(int Linhas)> AoMudarQtdLinhas;
  // Raised when the keyboard (arrows, Page Up/Down, Home, End) moved the
  // selection to a row; the grid has already scrolled to it and highlighted
  // it. Windows sync their chart from it as from a click.
  std::function<void(int Linha)> AoSelecionarLinha;

  // Text of a cell; empty outside the table. The view is valid until the
  // next change of the table.
  std::string_view GetCell(int row, int col) const;
  // The text a cell shows instead of the table's, given by the owner of
  // what the grid shows (a record's reception time, kept as a number beside
  // the cells): true with `text` set, false to show the table's text.
  std::function<bool(int row, int col, std::string& text)> TextOverride;
  // The text the grid paints in a cell: TextOverride's, else the table's.
  // The view is valid until the next change of the table or of `scratch`.
  std::string_view ShownText(int row, int col, std::string& scratch) const;
  // Raises QuandoMudar, then stores the text. No repaint. Nothing while a
  // shown table is up (TInformacaoGrid::ShowCells).
  void SetCell(int row, int col, std::string_view text);

  // Scrolls the row into view when it lies outside the visible rows (vertical
  // bar position := row - 2), highlights it for one paint and repaints when
  // 1 <= row <= QtdLinhas. With jump the bar always moves to row - 2 (when the
  // bar exists) and the panel repaints. The highlight is drawn inverted only
  // with LinhaSeleciona; it is consumed by the next paint.
  void SelectRow(int row, bool jump);
  // The row last selected by a click, SelectRow or the keyboard (0 = none).
  int CurrentRow() const { return currentRow_; }

  // While false the panel paints nothing and property changes do not
  // repaint. Setting true repaints at once.
  void SetPainting(bool enabled);
  bool Painting() const { return painting_; }

  // Background of the panel, seen in the gaps and margins (clBtnFace at start).
  BgrColor Color() const { return color_; }
  void SetColor(BgrColor colour);

  // The row highlighted for the next paint, -1 when none.
  int HighlightedRow() const { return highlightedRow_; }
  // The row the last paint highlighted is highlighted again by the next: a
  // change of what the rows show (new colours, new records) is no new
  // selection, so it keeps the highlight a plain repaint consumes.
  void KeepHighlight();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  friend class TInformacaoGrid;

  struct RowInk {
    QColor fill;
    QColor font;
  };
  void LayOut();
  RowInk InkOf(int row) const;
  void PaintCells(class QPainter& painter);
  void RepaintNow();
  QRect CellArea() const;
  int KeyTargetRow(int key) const;
  void MoveSelectionTo(int row);

  TInformacaoGrid info_;
  BgrColor color_ = 0xF0F0F0;
  bool painting_ = true;
  int highlightedRow_ = -1;
  int shownHighlight_ = -1;  // highlighted by the last paint
  int currentRow_ = 0;
};

}  // namespace tessaly
