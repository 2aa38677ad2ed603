#include "widgets/InformacaoGrid.h"

#include <QScrollBar>
#include <QStyle>
#include <algorithm>

#include "widgets/PainelGridOk.h"

namespace tessaly {

namespace {

// A table of the grid's own: shown, and changed through the grid's setters.
std::shared_ptr<CellTable> OwnTable(std::size_t rows, std::size_t cols, CellTable*& own) {
  auto table = std::make_shared<CellTable>(rows, cols);
  own = table.get();
  return table;
}

}  // namespace

TInformacaoGrid::TInformacaoGrid(TPainelGridOk& owner)
    : owner_(owner), cells_(OwnTable(3, 4, own_)), colWidths_(5, 0) {}

TInformacaoGrid::~TInformacaoGrid() = default;

int TInformacaoGrid::QtdLinhas() const { return static_cast<int>(cells_->Rows()); }
int TInformacaoGrid::QtdColunas() const { return static_cast<int>(cells_->Cols()); }

void TInformacaoGrid::SetQtdLinhas(int rows) {
  rows = std::max(rows, 0);
  if (!own_ || rows == QtdLinhas()) return;
  if (owner_.AoMudarQtdLinhas) owner_.AoMudarQtdLinhas(rows + 1);
  own_->SetRows(static_cast<std::size_t>(rows));
  ApplyScrollRanges();
  RepaintIfEnabled();
}

void TInformacaoGrid::SetQtdColunas(int cols) {
  cols = std::max(cols, 0);
  if (!own_ || cols == QtdColunas()) return;
  own_->SetCols(static_cast<std::size_t>(cols));
  colWidths_.resize(static_cast<std::size_t>(cols) + 1, 0);
  firstCol_ = std::min(firstCol_, std::max(cols - 1, 0));
  ApplyScrollRanges();
  RepaintIfEnabled();
}

void TInformacaoGrid::SetScrollBar(TScrollStyle style) {
  if (style == scrollStyle_) return;
  scrollStyle_ = style;
  const bool wantH = style == TScrollStyle::ssHorizontal || style == TScrollStyle::ssBoth;
  const bool wantV = style == TScrollStyle::ssVertical || style == TScrollStyle::ssBoth;
  if (!wantH) DropBar(horizontalBar_);
  if (!wantV) DropBar(verticalBar_);
  if (wantH && !horizontalBar_) horizontalBar_ = MakeBar(true);
  if (wantV && !verticalBar_) verticalBar_ = MakeBar(false);
  PlaceBars();
  ApplyScrollRanges();
}

void TInformacaoGrid::SetLinhaFixa(bool fixed) {
  if (fixed == linhaFixa_) return;
  linhaFixa_ = fixed;
  RepaintIfEnabled();
}

void TInformacaoGrid::SetCorLinhas(BgrColor colour) {
  if (colour == corLinhas_) return;
  corLinhas_ = colour;
  RepaintIfEnabled();
}

void TInformacaoGrid::SetCorCelulas(BgrColor colour) {
  if (colour == corCelulas_) return;
  corCelulas_ = colour;
  RepaintIfEnabled();
}

void TInformacaoGrid::SetLinhaSeleciona(bool on) { linhaSeleciona_ = on; }

std::int64_t TInformacaoGrid::QtdItens() const {
  return (static_cast<std::int64_t>(QtdLinhas()) + 2) * (QtdColunas() + 1);
}

void TInformacaoGrid::SetRowColor(int row, BgrColor colour) {
  if (own_ && row >= 0) own_->SetRowColor(static_cast<std::size_t>(row), colour);
}

BgrColor TInformacaoGrid::GetRowColor(int row) const {
  return row >= 0 ? cells_->RowColor(static_cast<std::size_t>(row)) : 0;
}

void TInformacaoGrid::SetRowFontColor(int row, BgrColor colour) {
  if (own_ && row >= 0) own_->SetRowFontColor(static_cast<std::size_t>(row), colour);
}

BgrColor TInformacaoGrid::GetRowFontColor(int row) const {
  return row >= 0 ? cells_->RowFontColor(static_cast<std::size_t>(row)) : 0;
}

void TInformacaoGrid::SetColWidth(int col, int pixels) {
  if (col >= 0 && static_cast<std::size_t>(col) < colWidths_.size()) {
    colWidths_[static_cast<std::size_t>(col)] = std::max(pixels, 0);
  }
}

int TInformacaoGrid::GetColWidth(int col) const {
  if (col < 0 || static_cast<std::size_t>(col) >= colWidths_.size()) return 0;
  return colWidths_[static_cast<std::size_t>(col)];
}

int TInformacaoGrid::PaintedColWidth(int col) const {
  const int width = GetColWidth(col);
  return width == 0 ? kDefaultColWidth : width;
}

int TInformacaoGrid::VisibleRows() const {
  return std::min(owner_.height() / kRowHeight + 1, QtdLinhas());
}

int TInformacaoGrid::VisibleCols() const {
  const int cols = QtdColunas();
  int sum = 0;
  int count = std::max(cols - 1 - firstCol_, 0);
  for (int c = firstCol_; c < cols; ++c) {
    sum += PaintedColWidth(c);
    if (sum > owner_.width()) {
      count = c - firstCol_;
      break;
    }
  }
  return std::min(count, cols + 1 - firstCol_);
}

int TInformacaoGrid::RowAt(int y) const {
  const int last = firstRow_ + VisibleRows();
  for (int row = firstRow_; row <= last; ++row) {
    for (const PaintedRow& painted : paintedRows_) {
      if (painted.row == row && painted.top <= y && y <= painted.top + kRowHeight) return row;
    }
  }
  return last + 1;
}

int TInformacaoGrid::ColAt(int x) const {
  const int last = firstCol_ + VisibleCols();
  for (int col = firstCol_; col <= last; ++col) {
    for (const PaintedCol& painted : paintedCols_) {
      if (painted.col == col && painted.left <= x && x <= painted.left + painted.width) return col;
    }
  }
  return last + 1;
}

void TInformacaoGrid::ShowCells(std::shared_ptr<const CellTable> cells) {
  if (cells) {
    cells_ = std::move(cells);
    own_ = nullptr;
  } else {
    cells_ = OwnTable(0, 0, own_);
  }
  colWidths_.resize(cells_->Cols() + 1, 0);
  firstRow_ = std::min(firstRow_, std::max(QtdLinhas() - 1, 0));
  firstCol_ = std::min(firstCol_, std::max(QtdColunas() - 1, 0));
  ApplyScrollRanges();
  RepaintIfEnabled();
}

std::size_t TInformacaoGrid::OwnMemoryBytes() const {
  return colWidths_.capacity() * sizeof(int) + paintedRows_.capacity() * sizeof(PaintedRow) +
         paintedCols_.capacity() * sizeof(PaintedCol);
}

// Maxima follow the table: the last rows can be brought up to the top, every
// column can be the first one shown. The bars' own signals stay quiet: the
// paint that calls this reads the (possibly clamped) positions itself.
void TInformacaoGrid::ApplyScrollRanges() {
  if (verticalBar_) {
    const QSignalBlocker quiet(verticalBar_);
    // Never past the last row: a table of the header row alone (a live
    // window after Stop) shows that row wherever the bar was.
    verticalBar_->setRange(0, std::clamp(QtdLinhas() - VisibleRows() + 1, 0, std::max(QtdLinhas() - 1, 0)));
    firstRow_ = verticalBar_->value();
  }
  if (horizontalBar_) {
    const QSignalBlocker quiet(horizontalBar_);
    horizontalBar_->setRange(0, std::max(QtdColunas() - 1, 0));
    firstCol_ = horizontalBar_->value();
  }
}

void TInformacaoGrid::ScrollRowsTo(int first) {
  firstRow_ = first;
  RepaintIfEnabled();
}

void TInformacaoGrid::ScrollColsTo(int first) {
  firstCol_ = first;
  RepaintIfEnabled();
}

QScrollBar* TInformacaoGrid::MakeBar(bool horizontal) {
  auto* bar = new QScrollBar(horizontal ? Qt::Horizontal : Qt::Vertical, &owner_);
  bar->setSingleStep(1);
  bar->setPageStep(5);
  bar->setRange(0, 0);
  QObject::connect(bar, &QScrollBar::valueChanged, &owner_, [this, horizontal](int value) {
    if (horizontal) {
      ScrollColsTo(value);
    } else {
      ScrollRowsTo(value);
    }
  });
  bar->show();
  return bar;
}

void TInformacaoGrid::DropBar(QScrollBar*& bar) {
  delete bar;
  bar = nullptr;
}

void TInformacaoGrid::PlaceBars() {
  const int thickness = owner_.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  const int w = owner_.width();
  const int h = owner_.height();
  const int vWidth = verticalBar_ ? thickness : 0;
  if (horizontalBar_) horizontalBar_->setGeometry(0, h - thickness, w - vWidth, thickness);
  if (verticalBar_) {
    verticalBar_->setGeometry(w - thickness, 0, thickness, h - (horizontalBar_ ? thickness : 0));
  }
}

void TInformacaoGrid::RepaintIfEnabled() {
  if (owner_.painting_) owner_.update();
}

}  // namespace tessaly
