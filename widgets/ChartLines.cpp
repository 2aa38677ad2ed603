#include "widgets/ChartLines.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace tessaly {

namespace {

const QColor kTurnShade(0, 0, 0, 34);
const QColor kLabelText(40, 40, 40);

}  // namespace

std::vector<ChartLineSpan> VisibleLineSpans(const RecordLines& lines, chart::IndexRange visible, double first,
                                            double pixelsPerRecord) {
  std::vector<ChartLineSpan> spans;
  if (visible.begin >= visible.end) return spans;
  const std::vector<SurveyLine>& all = lines.Lines();
  for (std::size_t i = lines.FirstLineFrom(visible.begin); i < all.size() && all[i].first < visible.end; ++i)
    spans.push_back({chart::PointX(static_cast<double>(all[i].first), first, pixelsPerRecord),
                     chart::PointX(static_cast<double>(all[i].last), first, pixelsPerRecord), i + 1});
  return spans;
}

void PaintChartLines(QPainter& painter, const std::vector<ChartLineSpan>& spans, int endX, int height) {
  if (spans.empty()) return;
  int shadeFrom = 0;
  const auto shadeTo = [&](int x) {
    if (x > shadeFrom) painter.fillRect(shadeFrom, 0, x - shadeFrom, height, kTurnShade);
  };
  const QFontMetrics metrics = painter.fontMetrics();
  painter.setPen(kLabelText);
  for (const ChartLineSpan& span : spans) {
    shadeTo(std::min(span.fromX, endX));
    shadeFrom = std::max(shadeFrom, span.toX + 1);
    const QString text = QString::number(span.number);
    const int left = std::max(span.fromX, 0) + 3;
    if (std::min(span.toX, endX) - left >= metrics.horizontalAdvance(text))
      painter.drawText(left, 2 + metrics.ascent(), text);
  }
  shadeTo(endX);
}

}  // namespace tessaly
