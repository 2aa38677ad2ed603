// TZoomSlider: the chart's zoom slider. It paints its tick marks no closer
// than three pixels apart: a slider whose range follows the number of
// records (a million and more) would otherwise draw a line per tick
// interval, tens of thousands per paint, all on top of each other.
#pragma once

#include <QSlider>

namespace tessaly {

class TZoomSlider : public QSlider {
  Q_OBJECT

 public:
  static constexpr int kMinTickSpacing = 3;

  TZoomSlider(Qt::Orientation orientation, QWidget* parent);

  // The interval between the ticks painted: tickInterval() (or the single
  // step when that is 0), multiplied as needed to keep the ticks apart.
  int PaintedTickInterval() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace tessaly
