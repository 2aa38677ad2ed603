// RawTextView: the read-only raw text of a log, painted line by line straight
// from its source's bytes (RawLines: a document, or any record source). Only
// the visible lines (and of a long line only the visible characters) are
// turned into text for painting, so a log of a million lines costs no copy.
// A line-number gutter, both scroll bars, a current line chosen by click or
// keyboard.
#pragma once

#include <QAbstractScrollArea>

#include <cstddef>

#include "core/RecordSource.h"

namespace tessaly {

class RawTextView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit RawTextView(QWidget* parent = nullptr);

  // The lines to show; the owner keeps them alive while the view shows
  // them. nullptr shows nothing. Resets the current line and scrolls to the
  // top.
  void SetLines(const RawLines* lines);
  // The lines shown grew (or their longest line did): the scroll ranges
  // follow; the current line and the position stay.
  void LinesChanged();
  std::size_t LineCount() const;

  void SetGutterVisible(bool visible);
  bool GutterVisible() const { return gutterVisible_; }

  // 0-based; -1 when no line is current.
  long long CurrentLine() const { return currentLine_; }
  // Makes a line current and scrolls it into view; raises no signal.
  void SetCurrentLine(long long line);

  long long FirstVisibleLine() const;
  int VisibleLineCount() const;
  // Line under a point of the viewport, -1 below the last line.
  long long LineAt(QPoint viewportPos) const;
  int LineHeight() const;
  int GutterWidth() const;

 signals:
  // The user made a line current (click or keyboard).
  void LineChosen(long long line);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void UpdateScrollBars();
  void ChooseLine(long long line);
  void ScrollToLine(long long line);
  int CharWidth() const;
  void PaintGutter(class QPainter& painter, long long first, int rows) const;
  void PaintText(QPainter& painter, long long first, int rows) const;

  const RawLines* lines_ = nullptr;
  std::size_t longestLine_ = 0;
  long long currentLine_ = -1;
  bool gutterVisible_ = true;
};

}  // namespace tessaly
