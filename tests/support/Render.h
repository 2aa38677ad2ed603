// Helpers of the widget tests: painting a control into an image and reading
// its pixels as blue-green-red colour values.
#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QObject>
#include <QWidget>

#include "core/BgrColor.h"

namespace tessaly::test {

inline QImage Render(QWidget& widget) {
  QImage image(widget.size(), QImage::Format_RGB32);
  image.fill(Qt::magenta);
  widget.render(&image);
  return image;
}

inline BgrColor PixelBgr(const QImage& image, int x, int y) {
  const QColor c = image.pixelColor(x, y);
  return static_cast<BgrColor>(c.red()) | (static_cast<BgrColor>(c.green()) << 8) |
         (static_cast<BgrColor>(c.blue()) << 16);
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++count;
    return false;
  }
};

}  // namespace tessaly::test
