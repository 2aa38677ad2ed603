#include "widgets/ZoomSlider.h"

#include <QPainter>
#include <QStyleOptionSlider>
#include <algorithm>
#include <climits>

namespace tessaly {

TZoomSlider::TZoomSlider(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent) {}

int TZoomSlider::PaintedTickInterval() const {
  const long long interval = std::max(1, tickInterval() > 0 ? tickInterval() : singleStep());
  const long long range = static_cast<long long>(maximum()) - minimum();
  const int length = orientation() == Qt::Horizontal ? width() : height();
  const long long most = std::max(1, length / kMinTickSpacing);
  if (range / interval <= most) return static_cast<int>(interval);
  // The smallest multiple of the set interval that keeps the ticks apart, so
  // that the ticks painted are a subset of the ticks set.
  const long long factor = range / (interval * (most + 1)) + 1;
  return static_cast<int>(std::min<long long>(interval * factor, INT_MAX));
}

// As QSlider paints itself, with the tick interval held apart.
void TZoomSlider::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QStyleOptionSlider option;
  initStyleOption(&option);
  option.tickInterval = PaintedTickInterval();
  option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
  if (tickPosition() != NoTicks) option.subControls |= QStyle::SC_SliderTickmarks;
  style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
}

}  // namespace tessaly
