#include "widgets/ChartScale.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tessaly::chart {

double NearestEven(double x) {
  const double down = std::floor(x);
  const double fraction = x - down;
  if (fraction > 0.5) return down + 1;
  if (fraction < 0.5) return down;
  return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

std::string FormatValue(double value) {
  if (value == 0) return "0";  // also turns -0 into "0"
  char text[32];
  std::snprintf(text, sizeof text, "%.15G", value);
  return text;
}

HorizontalZoom HorizontalZoomAt(int position) {
  HorizontalZoom zoom{position, 1.0};
  if (position <= 52) return zoom;
  while (zoom.columns >= 52) {
    zoom.columns -= 42;
    zoom.increment *= 5;
  }
  return zoom;
}

VerticalZoom VerticalZoomAt(int position) {
  VerticalZoom zoom{position, 1.0};
  if (position <= 22) return zoom;
  double k = 1;
  while (zoom.rows >= 22) {
    zoom.rows -= 12;
    k *= 2;
  }
  zoom.increment = std::max(1.0, NearestEven(k / 2));
  return zoom;
}

std::vector<double> HorizontalGridLines(double height, double cellHeight) {
  std::vector<double> lines;
  if (cellHeight <= 0) return lines;
  for (double y = height / 2; y <= height; y += cellHeight) lines.push_back(y);
  for (double y = height / 2 - cellHeight; y > 0; y -= cellHeight) lines.push_back(y);
  return lines;
}

std::vector<double> VerticalGridLines(double width, double cellWidth) {
  std::vector<double> lines;
  if (cellWidth <= 0) return lines;
  for (double x = 1 + cellWidth; x <= width; x += cellWidth) lines.push_back(x);
  return lines;
}

double TopValue(double panelHeight, double middleValue, double pixelsPerUnit) {
  if (pixelsPerUnit <= 0) return middleValue;
  return middleValue + (panelHeight / 2 + 4) / pixelsPerUnit;
}

namespace {

// Cuts the fraction off towards zero; a coordinate a rounding error short of
// a whole pixel counts as that pixel.
int CutToPixel(double x) {
  constexpr double kSlack = 1e-7;
  return static_cast<int>(std::trunc(x + (x >= 0 ? kSlack : -kSlack)));
}

}  // namespace

int PointX(double index, double first, double pixelsPerRecord) {
  return CutToPixel(index * pixelsPerRecord - first * pixelsPerRecord);
}

int PointY(double value, double topValue, double pixelsPerUnit) {
  // Far-off (or not-a-number) values are pinned well outside any panel.
  constexpr double kFar = 1e6;
  const double y = (topValue - value) * pixelsPerUnit - 4;
  if (!(y > -kFar)) return static_cast<int>(-kFar);
  if (!(y < kFar)) return static_cast<int>(kFar);
  return CutToPixel(y);
}

IndexRange VisibleIndices(double first, std::size_t count, double pixelsPerRecord, double width) {
  const double start = std::max(0.0, std::floor(first));
  if (start >= static_cast<double>(count) || pixelsPerRecord <= 0) return {count, count};
  // x = k * pixelsPerRecord stays within the width for k <= width / pixelsPerRecord;
  // one more index lets the line run to the edge.
  const double steps = std::floor(width / pixelsPerRecord) + 2;
  const double end = std::min(static_cast<double>(count), start + steps);
  return {static_cast<std::size_t>(start), static_cast<std::size_t>(end)};
}

double ClickIndex(double x, double pixelsPerRecord, double firstLabel) {
  return NearestEven(x / pixelsPerRecord + firstLabel);
}

double ClickValue(double y, double topValue, double pixelsPerUnit) {
  return NearestEven(topValue - (y + 4) / pixelsPerUnit);
}

std::vector<Label> ValueLabels(double stripHeight, double cellHeight, double middleValue,
                               double increment, double textHeight) {
  std::vector<Label> labels;
  if (cellHeight <= 0) return labels;
  const double middle = stripHeight / 2;
  const double half = textHeight / 2;
  double lastEdge = -1e300;  // bottom edge of the last text drawn going down
  double value = middleValue;
  for (double y = middle; y <= stripHeight; y += cellHeight, value -= increment) {
    const bool text = y - half >= lastEdge + 2;
    if (text) lastEdge = y + half;
    labels.push_back({y, value, text});
  }
  double lastTop = middle - half;  // top edge of the last text drawn going up
  value = middleValue + increment;
  for (double y = middle - cellHeight; y >= 0; y -= cellHeight, value += increment) {
    const bool text = y + half <= lastTop - 2;
    if (text) lastTop = y - half;
    labels.push_back({y, value, text});
  }
  return labels;
}

std::vector<Label> RecordLabels(double panelWidth, double cellWidth, double start, double increment,
                                const std::function<double(const std::string&)>& textWidth) {
  std::vector<Label> labels;
  if (cellWidth <= 0) return labels;
  double lastEnd = -1e300;
  double value = start;
  for (double x = 5; x < panelWidth; x += cellWidth, value += increment) {
    const double left = x - 2;
    const bool text = left >= lastEnd + 5;
    if (text) lastEnd = left + textWidth(FormatValue(value));
    labels.push_back({x, value, text});
  }
  return labels;
}

}  // namespace tessaly::chart
