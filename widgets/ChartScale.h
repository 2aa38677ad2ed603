// ChartScale: the arithmetic of the profile chart, free of any GUI type, so
// that the zoom mappings, label placement and point geometry can be checked
// on their own.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace tessaly::chart {

// x rounded to the nearest integer, a half going to the even neighbour.
double NearestEven(double x);

// The value as the general floating-point-to-text conversion writes it
// (up to 15 significant digits, "." as decimal point, no trailing zeros).
std::string FormatValue(double value);

// Horizontal zoom slider position -> grid columns and records per column.
// 52 or less: p columns of 1 record; above, p is lowered by 42 while it is 52
// or more and each step multiplies the records per column by 5.
struct HorizontalZoom {
  int columns;
  double increment;
};
HorizontalZoom HorizontalZoomAt(int position);

// Vertical zoom slider position -> grid rows and value units per row.
// 22 or less: p rows of 1; above, k starts at 1 and p is lowered by 12 while it
// is 22 or more, doubling k each step; the increment is nearest(k / 2), or 1.
struct VerticalZoom {
  int rows;
  double increment;
};
VerticalZoom VerticalZoomAt(int position);

// Positions of the dotted grid lines of a panel. Horizontal lines: the middle
// line, every cellHeight downward to the bottom edge, then every cellHeight
// upward while above 0. Vertical lines: from 1 + cellWidth every cellWidth
// while inside the width. An empty list when the cell size is not positive.
std::vector<double> HorizontalGridLines(double height, double cellHeight);
std::vector<double> VerticalGridLines(double width, double cellWidth);

// The value that sits on the line y = -4 of the panel: with it,
// PointY(v) = (top - v) * pixelsPerUnit - 4 puts every value on its own grid
// line, the middle value on the middle line.
double TopValue(double panelHeight, double middleValue, double pixelsPerUnit);

// Panel x of point `index` when `first` is the first index shown; fractions
// are cut off towards zero.
int PointX(double index, double first, double pixelsPerRecord);
// Panel y of `value`; fractions are cut off towards zero.
int PointY(double value, double topValue, double pixelsPerUnit);

// The indices the line walks: from `first`, one per pixelsPerRecord while x
// stays within `width`, plus the next one when the walk stopped at the right
// edge. [begin, end) clipped to [0, count).
struct IndexRange {
  std::size_t begin;
  std::size_t end;
};
IndexRange VisibleIndices(double first, std::size_t count, double pixelsPerRecord, double width);

// A click at panel (x, y): the point index and the value under the pointer.
double ClickIndex(double x, double pixelsPerRecord, double firstLabel);
double ClickValue(double y, double topValue, double pixelsPerUnit);

// One label of a label strip: where it goes, its value, and whether its text
// is drawn (false: only a short tick, the text would crowd the previous one).
struct Label {
  double position;
  double value;
  bool withText;
};

// Value labels of a strip `stripHeight` high whose middle is the panel's
// middle line: downward from the middle (middleValue, then one increment
// lower per row) to the bottom, then upward from one row above the middle to
// the top. A text `textHeight` high is vertically centred on its row; it is
// left out when it would come within 2 pixels of the label before it in the
// same walk (the first upward label is checked against the middle one).
std::vector<Label> ValueLabels(double stripHeight, double cellHeight, double middleValue,
                               double increment, double textHeight);

// Record labels: from x = 5, one per cellWidth while x is inside panelWidth,
// the first showing `start` and each next one `increment` more. A text starts
// at x - 2; it is left out when it would start within 5 pixels of the end of
// the previous text drawn. textWidth gives the pixel width of a label text.
std::vector<Label> RecordLabels(double panelWidth, double cellWidth, double start, double increment,
                                const std::function<double(const std::string&)>& textWidth);

}  // namespace tessaly::chart
