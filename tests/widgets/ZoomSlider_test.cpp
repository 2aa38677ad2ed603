#include "widgets/ZoomSlider.h"

#include <gtest/gtest.h>

#include <QImage>
#include <climits>
#include <vector>

#include "support/Render.h"
#include "widgets/GraficoOk.h"

namespace tessaly {
namespace {

using test::Render;

void SetUpSlider(QSlider& slider, int minimum, int maximum, int tickInterval, QSize size) {
  slider.setRange(minimum, maximum);
  slider.setTickInterval(tickInterval);
  slider.setTickPosition(QSlider::TicksBelow);
  slider.resize(size);
}

TEST(ZoomSlider, SparseTicksArePaintedAsSet) {
  TZoomSlider slider(Qt::Horizontal, nullptr);
  SetUpSlider(slider, 16, 1000, 3, QSize(1200, 24));
  EXPECT_EQ(slider.PaintedTickInterval(), 3);
  slider.setTickInterval(0);
  slider.setSingleStep(7);
  EXPECT_EQ(slider.PaintedTickInterval(), 7);
}

TEST(ZoomSlider, DenseTicksAreThinnedToMultiplesOfTheInterval) {
  TZoomSlider slider(Qt::Horizontal, nullptr);
  SetUpSlider(slider, 1, 1000000, 32, QSize(300, 24));
  const int painted = slider.PaintedTickInterval();
  EXPECT_EQ(painted % 32, 0);
  EXPECT_LE((1000000 - 1) / painted, 300 / TZoomSlider::kMinTickSpacing);
  EXPECT_GT((1000000 - 1) / (painted - 32), 300 / TZoomSlider::kMinTickSpacing);  // no coarser than needed

  TZoomSlider vertical(Qt::Vertical, nullptr);
  SetUpSlider(vertical, 22, 50000, 1, QSize(24, 150));
  EXPECT_LE((50000 - 22) / vertical.PaintedTickInterval(), 150 / TZoomSlider::kMinTickSpacing);
}

TEST(ZoomSlider, ExtremeRangesDoNotOverflow) {
  TZoomSlider slider(Qt::Horizontal, nullptr);
  SetUpSlider(slider, INT_MIN, INT_MAX, 1, QSize(2, 24));
  EXPECT_GT(slider.PaintedTickInterval(), 0);
}

// The slider looks exactly like a plain slider set to the thinned interval.
TEST(ZoomSlider, PaintsLikeAPlainSliderWithThePaintedInterval) {
  for (const int maximum : {1000, 1000000}) {
    TZoomSlider zoom(Qt::Horizontal, nullptr);
    SetUpSlider(zoom, 16, maximum, 3, QSize(400, 24));
    zoom.setValue(52);
    QSlider plain(Qt::Horizontal);
    SetUpSlider(plain, 16, maximum, zoom.PaintedTickInterval(), QSize(400, 24));
    plain.setValue(52);
    Render(zoom);  // the style sets up its caches at a first paint
    Render(plain);
    EXPECT_EQ(Render(zoom), Render(plain)) << "maximum " << maximum;
  }
}

TEST(ZoomSlider, ChartZoomFollowingAMillionValuesPaintsFewTicks) {
  TGraficoOK chart;
  chart.resize(1200, 400);
  chart.Grafico().SetEscalaX(true);
  const std::vector<double> values(1000000, 1.0);
  chart.Grafico().Linha().MostraValores(values);
  auto* zoom = qobject_cast<TZoomSlider*>(chart.EscalaXControl());
  ASSERT_NE(zoom, nullptr);
  EXPECT_EQ(zoom->maximum(), 1000000);
  EXPECT_LE((zoom->maximum() - zoom->minimum()) / zoom->PaintedTickInterval(),
            zoom->width() / TZoomSlider::kMinTickSpacing);
}

}  // namespace
}  // namespace tessaly
