// The survey lines on the profile chart: the spans of the lines in view,
// placed as the profile places its points, and the turns shaded.
#include "widgets/ChartLines.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "support/Render.h"
#include "widgets/ChartSetup.h"
#include "widgets/GraficoOk.h"

namespace tessaly {
namespace {

TEST(VisibleLineSpans, TheLinesInViewPlacedAsThePoints) {
  const RecordLines lines({{2, 4, {}}, {10, 20, {}}, {30, 40, {}}, {60, 70, {}}});
  // Records 5 to 34 walked from record 5, 2 pixels a record: line 1 ended
  // before, line 4 starts after.
  EXPECT_EQ(VisibleLineSpans(lines, {5, 35}, 5.0, 2.0),
            (std::vector<ChartLineSpan>{{10, 30, 2}, {50, 70, 3}}));
  // A line under way at the first record shown starts left of the panel.
  EXPECT_EQ(VisibleLineSpans(lines, {12, 15}, 12.0, 4.0), (std::vector<ChartLineSpan>{{-8, 32, 2}}));
  EXPECT_TRUE(VisibleLineSpans(lines, {41, 60}, 41.0, 1.0).empty());
  EXPECT_TRUE(VisibleLineSpans(lines, {7, 7}, 7.0, 1.0).empty());
  EXPECT_TRUE(VisibleLineSpans(RecordLines(), {0, 100}, 0.0, 1.0).empty());
}

int Brightness(const QImage& image, int x, int y) {
  const QColor c = image.pixelColor(x, y);
  return c.red() + c.green() + c.blue();
}

// Records 4 to 6 form a line, the others lie between lines: at each
// record's x the panel is darker than without lines in a turn and unchanged
// on the line.
TEST(ChartSurveyLines, TurnsAreShadedBehindTheProfile) {
  TGraficoOK chart;
  ApplyChartDesignSettings(chart);
  test::Render(chart);
  std::vector<double> values(40, 0.0);
  chart.Grafico().Linha().MostraValores(values);
  const QImage before = test::Render(chart);
  chart.SetSurveyLines(std::make_shared<RecordLines>(std::vector<SurveyLine>{{4, 6, {}}}));
  const QImage after = test::Render(chart);

  const TPainel& panel = chart.Painel();
  const double perRecord = panel.RLarguraCelula();
  ASSERT_GE(panel.Largura() / perRecord, 10.0) << "the chart shows too few records for the test";
  const int y = panel.Topo() + panel.Altura() - 6;
  for (int record = 0; record < 10; ++record) {
    const int x = panel.Esquerda() + chart::PointX(record, 0.0, perRecord);
    if (record >= 4 && record <= 6) EXPECT_EQ(Brightness(after, x, y), Brightness(before, x, y)) << record;
    else EXPECT_LT(Brightness(after, x, y), Brightness(before, x, y)) << record;
  }
}

}  // namespace
}  // namespace tessaly
