#include "widgets/ChartScale.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace tessaly::chart {
namespace {

TEST(ChartScale, HorizontalSliderGivesColumnsOfPowersOfFiveRecords) {
  struct Case {
    int position;
    int columns;
    double increment;
  };
  for (const Case& c : {Case{16, 16, 1}, Case{52, 52, 1}, Case{53, 11, 5}, Case{93, 51, 5},
                        Case{94, 10, 25}, Case{135, 51, 25}, Case{136, 10, 125}}) {
    const HorizontalZoom zoom = HorizontalZoomAt(c.position);
    EXPECT_EQ(zoom.columns, c.columns) << "position " << c.position;
    EXPECT_EQ(zoom.increment, c.increment) << "position " << c.position;
  }
}

TEST(ChartScale, VerticalSliderHalvesRowsAndDoublesIncrement) {
  struct Case {
    int position;
    int rows;
    double increment;
  };
  for (const Case& c : {Case{14, 14, 1}, Case{22, 22, 1}, Case{23, 11, 1}, Case{33, 21, 1},
                        Case{34, 10, 2}, Case{45, 21, 2}, Case{46, 10, 4}, Case{107, 11, 128}}) {
    const VerticalZoom zoom = VerticalZoomAt(c.position);
    EXPECT_EQ(zoom.rows, c.rows) << "position " << c.position;
    EXPECT_EQ(zoom.increment, c.increment) << "position " << c.position;
  }
}

TEST(ChartScale, NearestRoundsHalvesToEven) {
  EXPECT_EQ(NearestEven(0.5), 0);
  EXPECT_EQ(NearestEven(1.5), 2);
  EXPECT_EQ(NearestEven(2.5), 2);
  EXPECT_EQ(NearestEven(-0.5), 0);
  EXPECT_EQ(NearestEven(-1.5), -2);
  EXPECT_EQ(NearestEven(2.4999), 2);
  EXPECT_EQ(NearestEven(2.5001), 3);
}

TEST(ChartScale, ValuesAreWrittenInGeneralFormat) {
  EXPECT_EQ(FormatValue(0), "0");
  EXPECT_EQ(FormatValue(-0.0), "0");
  EXPECT_EQ(FormatValue(25), "25");
  EXPECT_EQ(FormatValue(-2), "-2");
  EXPECT_EQ(FormatValue(42.6), "42.6");
  EXPECT_EQ(FormatValue(1000000), "1000000");
}

TEST(ChartScale, ValueLabelsReadZeroAtTheMiddleRisingUpward) {
  // A 90-pixel plot with 19-pixel rows: its label strip is 100 high.
  const std::vector<Label> labels = ValueLabels(100, 19, 0, 1, 12);
  auto valueAt = [&labels](double y) {
    for (const Label& label : labels) {
      if (label.position == y) return label.value;
    }
    ADD_FAILURE() << "no label at " << y;
    return 1e9;
  };
  EXPECT_EQ(valueAt(50), 0);
  EXPECT_EQ(valueAt(31), 1);
  EXPECT_EQ(valueAt(12), 2);
  EXPECT_EQ(valueAt(69), -1);
  EXPECT_EQ(valueAt(88), -2);
  EXPECT_EQ(labels.size(), 5u);
  for (const Label& label : labels) EXPECT_TRUE(label.withText);
}

TEST(ChartScale, CrowdedValueLabelsKeepOnlyTheirTick) {
  // Rows 6 pixels apart cannot hold 12-pixel texts: two in three are left out.
  const std::vector<Label> labels = ValueLabels(100, 6, 10, 5, 12);
  ASSERT_GE(labels.size(), 4u);
  EXPECT_TRUE(labels[0].withText);
  EXPECT_FALSE(labels[1].withText);
  EXPECT_FALSE(labels[2].withText);
  EXPECT_TRUE(labels[3].withText);
  EXPECT_EQ(labels[1].value, 5);
}

TEST(ChartScale, RecordLabelsStartAtFiveAndSkipTextsThatWouldTouch) {
  auto width = [](const std::string& text) { return 7.0 * static_cast<double>(text.size()); };
  const std::vector<Label> wide = RecordLabels(100, 30, 1, 5, width);
  ASSERT_EQ(wide.size(), 4u);  // x = 5, 35, 65, 95
  EXPECT_EQ(wide[0].position, 5);
  EXPECT_EQ(wide[3].value, 16);
  for (const Label& label : wide) EXPECT_TRUE(label.withText);

  // 10 pixels apart, two-digit texts 14 wide: a text every other column.
  const std::vector<Label> tight = RecordLabels(60, 10, 10, 1, width);
  ASSERT_EQ(tight.size(), 6u);
  EXPECT_TRUE(tight[0].withText);
  EXPECT_FALSE(tight[1].withText);
  EXPECT_TRUE(tight[2].withText);
}

TEST(ChartScale, GridLinesStartAtTheMiddleAndAfterTheFirstCell) {
  const std::vector<double> rows = HorizontalGridLines(90, 19);
  EXPECT_EQ(rows, (std::vector<double>{45, 64, 83, 26, 7}));
  const std::vector<double> cols = VerticalGridLines(100, 30);
  EXPECT_EQ(cols, (std::vector<double>{31, 61, 91}));
  EXPECT_TRUE(HorizontalGridLines(90, 0).empty());
}

TEST(ChartScale, ValuesSitOnTheirGridLinesAndClicksMapBack) {
  const double top = TopValue(90, 0, 19);
  EXPECT_EQ(PointY(0, top, 19), 45);
  EXPECT_EQ(PointY(1, top, 19), 26);
  EXPECT_EQ(PointY(-2, top, 19), 83);
  EXPECT_EQ(ClickValue(45, top, 19), 0);
  EXPECT_EQ(ClickValue(26, top, 19), 1);
  EXPECT_EQ(ClickValue(36, top, 19), 0);  // nearer the middle line
  EXPECT_EQ(PointX(12, 10, 42.6), 85);
  EXPECT_EQ(ClickIndex(85, 42.6, 10), 12);
}

TEST(ChartScale, FarValuesArePinnedOutsideThePanel) {
  EXPECT_EQ(PointY(1e300, 0, 19), -1000000);
  EXPECT_EQ(PointY(-1e300, 0, 19), 1000000);
  EXPECT_EQ(PointY(std::numeric_limits<double>::quiet_NaN(), 0, 19), -1000000);
}

TEST(ChartScale, TheLineWalksVisibleIndicesPlusOnePastTheEdge) {
  // 100 pixels at 10 per record: x = 0 .. 100 holds 11 points, one more runs to the edge.
  IndexRange range = VisibleIndices(40, 1000000, 10, 100);
  EXPECT_EQ(range.begin, 40u);
  EXPECT_EQ(range.end, 52u);
  range = VisibleIndices(995, 1000, 10, 100);
  EXPECT_EQ(range.begin, 995u);
  EXPECT_EQ(range.end, 1000u);
  range = VisibleIndices(2000, 1000, 10, 100);
  EXPECT_EQ(range.begin, range.end);
}

}  // namespace
}  // namespace tessaly::chart
