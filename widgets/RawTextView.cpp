#include "widgets/RawTextView.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <climits>

namespace tessaly {

namespace {

constexpr int kTextMargin = 4;
constexpr int kGutterPadding = 6;

// Log bytes shown one character each; tabs and other control bytes become
// blanks so that every byte keeps its column in the fixed-pitch font.
QString Printable(std::string_view bytes) {
  QString text = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  for (QChar& c : text) {
    if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = QLatin1Char(' ');
  }
  return text;
}

}  // namespace

RawTextView::RawTextView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  viewport()->setAutoFillBackground(true);
  viewport()->setBackgroundRole(QPalette::Base);
  UpdateScrollBars();
}

void RawTextView::SetLines(const RawLines* lines) {
  lines_ = lines;
  currentLine_ = -1;
  LinesChanged();
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
}

void RawTextView::LinesChanged() {
  longestLine_ = lines_ ? lines_->LongestRawLine() : 0;
  UpdateScrollBars();
  viewport()->update();
}

std::size_t RawTextView::LineCount() const { return lines_ ? lines_->RawLineCount() : 0; }

void RawTextView::SetGutterVisible(bool visible) {
  if (gutterVisible_ == visible) return;
  gutterVisible_ = visible;
  UpdateScrollBars();
  viewport()->update();
}

void RawTextView::SetCurrentLine(long long line) {
  const auto count = static_cast<long long>(LineCount());
  currentLine_ = (line >= 0 && line < count) ? line : -1;
  if (currentLine_ >= 0) ScrollToLine(currentLine_);
  viewport()->update();
}

long long RawTextView::FirstVisibleLine() const { return verticalScrollBar()->value(); }

int RawTextView::LineHeight() const { return fontMetrics().lineSpacing(); }

int RawTextView::CharWidth() const { return std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('M'))); }

int RawTextView::VisibleLineCount() const { return std::max(1, viewport()->height() / LineHeight()); }

int RawTextView::GutterWidth() const {
  if (!gutterVisible_) return 0;
  const int digits = static_cast<int>(std::to_string(std::max<std::size_t>(LineCount(), 1)).size());
  return std::max(3, digits) * CharWidth() + 2 * kGutterPadding;
}

long long RawTextView::LineAt(QPoint viewportPos) const {
  if (viewportPos.y() < 0) return -1;
  const long long line = FirstVisibleLine() + viewportPos.y() / LineHeight();
  return line < static_cast<long long>(LineCount()) ? line : -1;
}

void RawTextView::UpdateScrollBars() {
  const int rows = VisibleLineCount();
  const auto count = static_cast<long long>(LineCount());
  QScrollBar* vertical = verticalScrollBar();
  vertical->setRange(0, static_cast<int>(std::clamp<long long>(count - rows, 0, INT_MAX)));
  vertical->setPageStep(rows);
  vertical->setSingleStep(1);

  const int textWidth = viewport()->width() - GutterWidth() - kTextMargin;
  const int columns = std::max(1, textWidth / CharWidth());
  QScrollBar* horizontal = horizontalScrollBar();
  const auto longest = static_cast<long long>(longestLine_);
  horizontal->setRange(0, static_cast<int>(std::clamp<long long>(longest - columns + 1, 0, INT_MAX)));
  horizontal->setPageStep(columns);
  horizontal->setSingleStep(1);
}

void RawTextView::ScrollToLine(long long line) {
  const long long first = FirstVisibleLine();
  const int rows = VisibleLineCount();
  if (line < first) {
    verticalScrollBar()->setValue(static_cast<int>(line));
  } else if (line >= first + rows) {
    verticalScrollBar()->setValue(static_cast<int>(line - rows + 1));
  }
}

void RawTextView::ChooseLine(long long line) {
  const auto count = static_cast<long long>(LineCount());
  if (count == 0) return;
  line = std::clamp<long long>(line, 0, count - 1);
  SetCurrentLine(line);
  emit LineChosen(line);
}

void RawTextView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const long long first = FirstVisibleLine();
  const int rows = VisibleLineCount() + 1;
  PaintText(painter, first, rows);
  if (gutterVisible_) PaintGutter(painter, first, rows);
}

void RawTextView::PaintGutter(QPainter& painter, long long first, int rows) const {
  const int width = GutterWidth();
  const int lineHeight = LineHeight();
  const QPalette& pal = palette();
  painter.fillRect(0, 0, width, viewport()->height(), pal.color(QPalette::Window));
  painter.setPen(pal.color(QPalette::Mid));
  painter.drawLine(width - 1, 0, width - 1, viewport()->height());
  painter.setPen(pal.color(QPalette::PlaceholderText));
  const auto count = static_cast<long long>(LineCount());
  for (int r = 0; r < rows && first + r < count; ++r) {
    const QRect box(0, r * lineHeight, width - kGutterPadding, lineHeight);
    painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, QString::number(first + r + 1));
  }
}

void RawTextView::PaintText(QPainter& painter, long long first, int rows) const {
  const int lineHeight = LineHeight();
  const int left = GutterWidth() + kTextMargin;
  const int charWidth = CharWidth();
  const auto firstColumn = static_cast<std::size_t>(horizontalScrollBar()->value());
  const std::size_t columns = static_cast<std::size_t>(viewport()->width() / charWidth) + 2;
  const QPalette& pal = palette();
  const auto count = static_cast<long long>(LineCount());
  const int ascent = fontMetrics().ascent();
  for (int r = 0; r < rows && first + r < count; ++r) {
    const long long line = first + r;
    const int top = r * lineHeight;
    const bool current = line == currentLine_;
    if (current) painter.fillRect(0, top, viewport()->width(), lineHeight, pal.color(QPalette::Highlight));
    painter.setPen(pal.color(current ? QPalette::HighlightedText : QPalette::Text));
    const std::string_view bytes = lines_->RawLine(static_cast<std::size_t>(line));
    if (firstColumn >= bytes.size()) continue;
    painter.drawText(left, top + ascent, Printable(bytes.substr(firstColumn, columns)));
  }
}

void RawTextView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void RawTextView::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) UpdateScrollBars();
}

void RawTextView::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  const long long line = LineAt(event->position().toPoint());
  if (line >= 0) ChooseLine(line);
}

void RawTextView::keyPressEvent(QKeyEvent* event) {
  const long long current = currentLine_ < 0 ? FirstVisibleLine() - 1 : currentLine_;
  const int page = VisibleLineCount();
  const auto last = static_cast<long long>(LineCount()) - 1;
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  switch (event->key()) {
    case Qt::Key_Down: ChooseLine(current + 1); break;
    case Qt::Key_Up: ChooseLine(std::max(0LL, current - 1)); break;
    case Qt::Key_PageDown: ChooseLine(current + page); break;
    case Qt::Key_PageUp: ChooseLine(std::max(0LL, current - page)); break;
    case Qt::Key_Home:
      if (ctrl) ChooseLine(0); else horizontalScrollBar()->setValue(0);
      break;
    case Qt::Key_End:
      if (ctrl) ChooseLine(last); else horizontalScrollBar()->setValue(horizontalScrollBar()->maximum());
      break;
    case Qt::Key_Left: horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
    case Qt::Key_Right: horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
  }
  event->accept();
}

}  // namespace tessaly
