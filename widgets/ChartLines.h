// The survey lines on the profile chart: the records between lines (turns,
// run-ins) are shaded and each line's number is written at the top of its
// span, so a look at the chart tells which anomaly lies on which line.
// Drawn by the plot panel beneath the profile, from the document's
// RecordLines; nothing is drawn for a survey without lines.
#pragma once

#include <cstddef>
#include <vector>

#include "core/RecordLines.h"
#include "widgets/ChartScale.h"

class QPainter;

namespace tessaly {

// A line's span of the panel: pixels fromX to toX (panel x, may reach past
// the panel's edges), and its number.
struct ChartLineSpan {
  int fromX = 0;
  int toX = 0;
  std::size_t number = 0;

  bool operator==(const ChartLineSpan&) const = default;
};

// The spans of the lines that hold a record of `visible` (the indices the
// profile walks), placed as the profile places its points.
std::vector<ChartLineSpan> VisibleLineSpans(const RecordLines& lines, chart::IndexRange visible, double first,
                                            double pixelsPerRecord);

// Shades the panel outside the spans, from its left edge to `endX` (the
// last record's x, or the panel's width where the records go on), `height`
// pixels high, and writes each span's number at its top left where the
// span is wide enough for it.
void PaintChartLines(QPainter& painter, const std::vector<ChartLineSpan>& spans, int endX, int height);

}  // namespace tessaly
