#include "widgets/PainelGridOk.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <utility>

#include "widgets/BgrColour.h"
#include "widgets/CellText.h"

namespace tessaly {

namespace {

constexpr BgrColor kInvert = 0xFFFFFF;

// The highlighted row's colours: each channel inverted.
QColor Inverted(const QColor& colour) {
  return QColor(255 - colour.red(), 255 - colour.green(), 255 - colour.blue());
}

void DrawRaisedBevel(QPainter& painter, const QRect& area) {
  painter.setPen(Qt::white);
  painter.drawLine(area.topLeft(), area.topRight());
  painter.drawLine(area.topLeft(), area.bottomLeft());
  painter.setPen(QColor(0xA0, 0xA0, 0xA0));
  painter.drawLine(area.bottomLeft(), area.bottomRight());
  painter.drawLine(area.topRight(), area.bottomRight());
}

}  // namespace

TPainelGridOk::TPainelGridOk(QWidget* parent) : QFrame(parent), info_(*this) {
  resize(300, 200);
  setFocusPolicy(Qt::StrongFocus);
}

TPainelGridOk::~TPainelGridOk() = default;

std::string_view TPainelGridOk::GetCell(int row, int col) const {
  if (row < 0 || col < 0) return {};
  return info_.cells_->Cell(static_cast<std::size_t>(row), static_cast<std::size_t>(col));
}

std::string_view TPainelGridOk::ShownText(int row, int col, std::string& scratch) const {
  if (TextOverride && TextOverride(row, col, scratch)) return scratch;
  return GetCell(row, col);
}

void TPainelGridOk::SetCell(int row, int col, std::string_view text) {
  if (!info_.own_ || row < 0 || col < 0 || row >= info_.QtdLinhas() || col >= info_.QtdColunas()) return;
  if (QuandoMudar) QuandoMudar(row, col, std::string(text));
  info_.own_->SetCell(static_cast<std::size_t>(row), static_cast<std::size_t>(col), text);
}

void TPainelGridOk::SelectRow(int row, bool jump) {
  QScrollBar* bar = info_.verticalBar_;
  const int first = info_.firstRow_;
  if (bar && (row < first || row > first + info_.VisibleRows())) bar->setValue(row - 2);
  currentRow_ = std::clamp(row, 0, std::max(info_.QtdLinhas() - 1, 0));
  if (jump) {
    if (bar) bar->setValue(row - 2);
  } else if (row < 1 || row > info_.QtdLinhas()) {
    return;
  }
  highlightedRow_ = row;
  RepaintNow();
}

void TPainelGridOk::SetPainting(bool enabled) {
  painting_ = enabled;
  if (enabled) RepaintNow();
}

void TPainelGridOk::SetColor(BgrColor colour) {
  if (colour == color_) return;
  color_ = colour;
  info_.RepaintIfEnabled();
}

// A visible panel repaints at once and the paint consumes the highlight; a
// hidden one keeps the highlight for its next paint (a render, for example).
void TPainelGridOk::RepaintNow() {
  if (!painting_) {
    highlightedRow_ = -1;
  } else if (isVisible()) {
    repaint();
  }
}

void TPainelGridOk::paintEvent(QPaintEvent*) {
  if (!painting_) return;
  info_.ApplyScrollRanges();
  QPainter painter(this);
  painter.fillRect(rect(), ToQColor(color_));
  DrawRaisedBevel(painter, rect().adjusted(0, 0, -1, -1));
  painter.setClipRect(CellArea());
  LayOut();
  PaintCells(painter);
  shownHighlight_ = std::exchange(highlightedRow_, -1);
}

void TPainelGridOk::KeepHighlight() {
  if (highlightedRow_ < 0) highlightedRow_ = shownHighlight_;
}

// Where the rows and columns go: rows from the first visible one, the header
// first when it is fixed, columns from the first visible one, as far as the
// panel reaches.
void TPainelGridOk::LayOut() {
  info_.paintedRows_.clear();
  info_.paintedCols_.clear();
  const int first = info_.firstRow_;
  const int last = first + info_.VisibleRows();
  const int rows = info_.QtdLinhas();
  int y = TInformacaoGrid::kMargin;
  int row = first;
  bool firstPass = true;
  while (y <= height() && row <= rows - 1 && row <= last) {
    const bool header = firstPass && info_.linhaFixa_;
    info_.paintedRows_.push_back({header ? 0 : row, y});
    y += TInformacaoGrid::kRowHeight;
    if (header) {
      row = first == 0 ? 1 : first;
    } else {
      ++row;
    }
    firstPass = false;
  }
  const int cols = info_.QtdColunas();
  int x = TInformacaoGrid::kMargin;
  for (int col = info_.firstCol_; x <= width() && col <= cols - 1; ++col) {
    const int colWidth = info_.PaintedColWidth(col);
    info_.paintedCols_.push_back({col, x, colWidth});
    x += colWidth;
  }
}

// Background and font colour of a row; the highlighted row inverted.
TPainelGridOk::RowInk TPainelGridOk::InkOf(int row) const {
  const BgrColor background = info_.GetRowColor(row);
  RowInk ink{ToQColor(background != 0 ? background : info_.corCelulas_), ToQColor(info_.GetRowFontColor(row))};
  if (info_.linhaSeleciona_ && highlightedRow_ != 0 && highlightedRow_ == row) {
    ink.fill = Inverted(ink.fill);
    ink.font = Inverted(ink.font);
  }
  return ink;
}

// Each cell is filled one pixel short of its slot. Texts go column by column
// under a clip that ends one pixel before the column's right edge, so a long
// text is cut there; drawing at a point under one clip per column is much
// cheaper than laying out every text in its own rectangle.
void TPainelGridOk::PaintCells(QPainter& painter) {
  std::vector<RowInk> inks;
  inks.reserve(info_.paintedRows_.size());
  for (const TInformacaoGrid::PaintedRow& row : info_.paintedRows_) {
    inks.push_back(InkOf(row.row));
    for (const TInformacaoGrid::PaintedCol& col : info_.paintedCols_) {
      painter.fillRect(QRect(col.left, row.top, col.width - TInformacaoGrid::kCellGap,
                             TInformacaoGrid::kRowHeight - TInformacaoGrid::kCellGap),
                       inks.back().fill);
    }
  }
  const QFontMetrics metrics = fontMetrics();
  const int baseline = (TInformacaoGrid::kRowHeight - 1 - metrics.height()) / 2 + metrics.ascent();
  const QRect area = CellArea();
  std::string scratch;
  for (const TInformacaoGrid::PaintedCol& col : info_.paintedCols_) {
    painter.setClipRect(QRect(col.left, 0, col.width - TInformacaoGrid::kCellGap, height()).intersected(area));
    for (std::size_t r = 0; r < info_.paintedRows_.size(); ++r) {
      const TInformacaoGrid::PaintedRow& row = info_.paintedRows_[r];
      const std::string_view text = ShownText(row.row, col.col, scratch);
      if (text.empty()) continue;
      painter.setPen(inks[r].font);
      painter.drawText(QPoint(col.left + TInformacaoGrid::kTextInset, row.top + baseline), CellText(text));
    }
  }
}

void TPainelGridOk::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  const QPoint at = event->position().toPoint();
  const int row = info_.RowAt(at.y());
  if (AoClicar) AoClicar(row, info_.ColAt(at.x()));
  if (row > 0 && row <= info_.firstRow_ + info_.VisibleRows()) SelectRow(row, false);
}

// The panel less its scroll bars: cells never show under or between them.
QRect TPainelGridOk::CellArea() const {
  QRect area = rect();
  if (info_.horizontalBar_) area.setBottom(info_.horizontalBar_->y() - 1);
  if (info_.verticalBar_) area.setRight(info_.verticalBar_->x() - 1);
  return area;
}

// Rows that fit whole below the header and above a horizontal scroll bar.
int TPainelGridOk::FullRowsShown() const {
  int room = height() - TInformacaoGrid::kMargin;
  if (info_.horizontalBar_) room -= info_.horizontalBar_->height();
  if (info_.linhaFixa_) room -= TInformacaoGrid::kRowHeight;
  return std::max(room / TInformacaoGrid::kRowHeight, 1);
}

int TPainelGridOk::KeyTargetRow(int key) const {
  const int lastRow = info_.QtdLinhas() - 1;
  const int from = currentRow_ > 0 ? currentRow_ : std::max(info_.firstRow_, 1) - 1;
  const int page = FullRowsShown();
  switch (key) {
    case Qt::Key_Up: return std::max(from - 1, 1);
    case Qt::Key_Down: return std::min(from + 1, lastRow);
    case Qt::Key_PageUp: return std::max(from - page, 1);
    case Qt::Key_PageDown: return std::min(from + page, lastRow);
    case Qt::Key_Home: return 1;
    case Qt::Key_End: return lastRow;
    default: return -1;
  }
}

// Scrolls just enough to show the row whole, then selects it.
void TPainelGridOk::MoveSelectionTo(int row) {
  const int firstData = info_.linhaFixa_ && info_.firstRow_ == 0 ? 1 : info_.firstRow_;
  const int full = FullRowsShown();
  int first = info_.firstRow_;
  if (row < firstData) first = row;
  if (row > firstData + full - 1) first = row - full + 1;
  if (first != info_.firstRow_) {
    if (info_.verticalBar_) {
      info_.verticalBar_->setValue(first);
    } else {
      info_.ScrollRowsTo(first);
    }
  }
  SelectRow(row, false);
  if (AoSelecionarLinha) AoSelecionarLinha(row);
}

void TPainelGridOk::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if ((key == Qt::Key_Left || key == Qt::Key_Right) && info_.horizontalBar_) {
    info_.horizontalBar_->setValue(info_.firstCol_ + (key == Qt::Key_Left ? -1 : 1));
    return;
  }
  const int row = info_.QtdLinhas() > 1 ? KeyTargetRow(key) : -1;
  if (row < 1) {
    QFrame::keyPressEvent(event);
    return;
  }
  MoveSelectionTo(row);
}

void TPainelGridOk::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  info_.PlaceBars();
  info_.ApplyScrollRanges();
}

}  // namespace tessaly
