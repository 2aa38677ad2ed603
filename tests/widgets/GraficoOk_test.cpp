#include "widgets/GraficoOk.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPalette>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <limits>
#include <vector>

#include "core/ColourNames.h"
#include "support/Render.h"
#include "widgets/ChartSetup.h"

namespace tessaly {
namespace {

using test::PixelBgr;
using test::Render;

constexpr BgrColor kRed = 0x0000FF;

int CountPixels(const QImage& image, BgrColor colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += PixelBgr(image, x, y) == colour;
  }
  return count;
}

// A chart with the log windows' design settings.
struct ChartFixture : ::testing::Test {
  TGraficoOK chart;
  TGraficoInf& settings = chart.Grafico();
  TLinha& line = chart.Grafico().Linha();

  void SetUp() override {
    ApplyChartDesignSettings(chart);
    Render(chart);
  }
  void AddValues(int count) {
    for (int i = 0; i < count; ++i) line.AdicionaValor(i % 3 - 1);  // within the +-2 shown
  }
  // Panel coordinates of point `index` with value `value`, read off the grid.
  QPoint PointAt(double index, double value) const {
    const TPainel& panel = chart.Painel();
    const double x = (index - chart.FirstIndex()) * panel.LarguraCelula() / settings.IncrementoX();
    const double y = panel.Altura() / 2.0 - (value - settings.PontoMedioY()) * panel.AlturaCelula() / settings.IncrementoY();
    return QPoint(static_cast<int>(x), static_cast<int>(y));
  }
};

TEST(GraficoOk, IsBuiltAroundAPanelWithFixedMargins) {
  TGraficoOK chart;
  EXPECT_EQ(chart.size(), QSize(561, 200));
  EXPECT_EQ(chart.Painel().Esquerda(), 95);
  EXPECT_EQ(chart.Painel().Topo(), 35);
  EXPECT_EQ(chart.Painel().Largura(), 561 - 95 - 40);
  EXPECT_EQ(chart.Painel().Altura(), 200 - 35 - 75);
  EXPECT_EQ(chart.Painel().QtdLinhas(), 5);
  EXPECT_EQ(chart.Painel().QtdColunas(), 10);
  EXPECT_DOUBLE_EQ(chart.Painel().AlturaCelula(), 90 / 5.0);
  EXPECT_DOUBLE_EQ(chart.Painel().LarguraCelula(), 426 / 10.0);
  EXPECT_EQ(chart.DescricaoX().Texto(), "Exo X");
  EXPECT_EQ(chart.DescricaoY().Estilo(), 0);
  EXPECT_EQ(chart.Painel().IndicesV().geometry(), QRect(95 - 52, 35 - 5, 50, 100));
  EXPECT_EQ(chart.Painel().IndicesH().geometry(), QRect(95 - 3, 35 + 90 + 2, 436, 20));
  chart.resize(800, 400);
  Render(chart);
  EXPECT_EQ(chart.Painel().Largura(), 800 - 95 - 40);
  EXPECT_EQ(chart.Painel().Altura(), 400 - 35 - 75);
}

TEST_F(ChartFixture, DesignSettingsShapeTheLogWindowsChart) {
  EXPECT_EQ(settings.Cor(), 0xFFBBBBu);
  EXPECT_EQ(settings.CorExo(), 0x3A3A3Au);
  EXPECT_DOUBLE_EQ(settings.AlturaLinha(), 19);
  EXPECT_DOUBLE_EQ(settings.LarguraColuna(), 42.6);
  EXPECT_EQ(settings.TextoX(), "SAMPLES");
  EXPECT_EQ(settings.TextoY(), "DEVIATION");
  EXPECT_EQ(settings.PontoInicioX(), 1);
  EXPECT_FALSE(settings.NavegadorX() || settings.NavegadorY() || settings.EscalaX() || settings.EscalaY());
  EXPECT_EQ(settings.SelecaoCor, kRed);
  EXPECT_EQ(settings.SelecaoTamPonto, 10);
  const QImage image = Render(chart);
  EXPECT_EQ(PixelBgr(image, 95 + 10, 35 + 10), 0xFFBBBBu);  // plot background
  EXPECT_EQ(PixelBgr(image, 95 - 2, 35 + 10), 0u);          // black frame
}

TEST_F(ChartFixture, ValueLabelsReadZeroAtTheMiddleLine) {
  const std::vector<chart::Label>& labels = chart.Painel().IndicesV().Labels();
  auto valueAtRow = [&labels](int rowsBelowMiddle) {
    const double y = 50 + 19.0 * rowsBelowMiddle;  // strip middle = panel middle line
    for (const chart::Label& label : labels) {
      if (label.position == y) return label.value;
    }
    return 1e9;
  };
  EXPECT_EQ(valueAtRow(0), 0);
  EXPECT_EQ(valueAtRow(-1), 1);
  EXPECT_EQ(valueAtRow(-2), 2);
  EXPECT_EQ(valueAtRow(1), -1);
  EXPECT_EQ(valueAtRow(2), -2);
}

TEST_F(ChartFixture, RecordLabelsStartAtTheFirstPointLabel) {
  const TIndices& records = chart.Painel().IndicesH();
  EXPECT_EQ(records.PPontoInicio(), 1);
  ASSERT_FALSE(records.Labels().empty());
  EXPECT_EQ(records.Labels().front().position, 5);
  // 426 pixels of 42.6-pixel columns from x = 5: labels 1 .. 10.
  EXPECT_EQ(records.PPontoFinal(), 10);
  EXPECT_EQ(records.QtdPontos(), 9);
}

TEST_F(ChartFixture, AnUnassignedClickDoesNothing) {
  AddValues(20);
  QTest::mouseClick(&line, Qt::LeftButton, {}, PointAt(3, 1));
  EXPECT_FALSE(line.Seleciona());
  EXPECT_EQ(CountPixels(Render(chart), kRed), 0);
}

TEST_F(ChartFixture, AClickReportsTheNearestPointAndTheValueUnderThePointer) {
  settings.SetNavegadorX(true);
  AddValues(50);
  Render(chart);
  std::vector<std::pair<double, double>> clicks;
  chart.AoClicar = [&](TLinha* Sender, bool& Seleciona, double X, double Y) {
    EXPECT_EQ(Sender, &line);
    EXPECT_TRUE(Seleciona);
    clicks.emplace_back(X, Y);
  };
  QTest::mouseClick(&line, Qt::LeftButton, {}, PointAt(4, 2) + QPoint(3, 0));
  QTest::mouseClick(&line, Qt::LeftButton, {}, PointAt(7, -1) + QPoint(-5, 4));
  ASSERT_EQ(clicks.size(), 2u);
  EXPECT_EQ(clicks[0], std::make_pair(4.0, 2.0));
  EXPECT_EQ(clicks[1], std::make_pair(7.0, -1.0));
}

TEST_F(ChartFixture, TheClickedPointIsHighlightedOnceUnlessTheHandlerSaysNo) {
  AddValues(20);
  bool keep = true;
  chart.AoClicar = [&keep](TLinha*, bool& Seleciona, double, double) { Seleciona = keep; };
  QTest::mouseClick(&line, Qt::LeftButton, {}, PointAt(3, 1));
  EXPECT_GT(CountPixels(Render(chart), kRed), 50);
  EXPECT_EQ(CountPixels(Render(chart), kRed), 0);
  keep = false;
  QTest::mouseClick(&line, Qt::LeftButton, {}, PointAt(3, 1));
  EXPECT_EQ(CountPixels(Render(chart), kRed), 0);
}

// The columns of the chart's image that hold a colour.
std::vector<int> ColumnsWith(const QImage& image, BgrColor colour) {
  std::vector<int> columns;
  for (int x = 0; x < image.width(); ++x)
    for (int y = 0; y < image.height(); ++y)
      if (PixelBgr(image, x, y) == colour) {
        columns.push_back(x);
        break;
      }
  return columns;
}

TEST_F(ChartFixture, FlaggedPointsGetASmallOrangeTick) {
  constexpr BgrColor kOrange = 0x008CFF;
  AddValues(9);
  EXPECT_TRUE(ColumnsWith(Render(chart), kOrange).empty());
  std::vector<std::uint8_t> flags(9, 0);
  flags[2] = 1;
  line.ShowFlags(flags);
  const QImage image = Render(chart);
  const std::vector<int> at2 = ColumnsWith(image, kOrange);
  ASSERT_FALSE(at2.empty());
  EXPECT_LE(at2.size(), 2u);                     // a tick two pixels wide
  EXPECT_GE(CountPixels(image, kOrange), 10);    // and some pixels long
  flags[2] = 0;
  flags[6] = 4;
  const std::vector<int> at6 = ColumnsWith(Render(chart), kOrange);
  ASSERT_EQ(at6.size(), at2.size());
  const double column = chart.Painel().LarguraCelula() / settings.IncrementoX();
  EXPECT_NEAR(at6[0] - at2[0], 4 * column, 1.0);  // four records further right
  line.Limpa();
  EXPECT_TRUE(line.Flags().empty());
}

TEST_F(ChartFixture, SelecionaPontoHighlightsOnceAndScrollsThePointIntoView) {
  settings.SetNavegadorX(true);
  AddValues(1000);
  chart.SelecionaPonto(500);
  const TIndices& records = chart.Painel().IndicesH();
  EXPECT_GE(500, records.PPontoInicio());
  EXPECT_LE(500, records.PPontoFinal());
  EXPECT_EQ(chart.FirstIndex(), static_cast<int>(500 - 9 / 2.0));
  EXPECT_EQ(line.SelX(), 500);
  EXPECT_GT(CountPixels(Render(chart), kRed), 50);
  EXPECT_EQ(CountPixels(Render(chart), kRed), 0);
  chart.SelecionaPonto(1001);  // beyond the values: ignored
  EXPECT_EQ(line.SelX(), 500);
  EXPECT_FALSE(line.Seleciona());
}

TEST_F(ChartFixture, AddingValuesTracksThePeakAndTheControlsMaxima) {
  settings.SetNavegadorX(true);
  settings.SetEscalaX(true);
  settings.SetEscalaY(true);
  QSlider* zoomY = chart.EscalaYControl();
  zoomY->setValue(34);
  ASSERT_EQ(settings.IncrementoY(), 2);
  line.AdicionaValor(5);  // new peak: slider reset, zoom not applied
  EXPECT_EQ(line.ValorMaximo(), 5);
  EXPECT_EQ(zoomY->minimum(), 14);
  EXPECT_EQ(zoomY->maximum(), 200);
  EXPECT_EQ(zoomY->value(), 107);
  EXPECT_TRUE(zoomY->isEnabled());
  EXPECT_EQ(settings.IncrementoY(), 2);
  zoomY->setValue(30);
  line.AdicionaValor(3);  // below the peak: nothing moves
  EXPECT_EQ(zoomY->value(), 30);
  line.AdicionaValor(5);  // repeated peak
  EXPECT_EQ(zoomY->value(), 107);
  EXPECT_EQ(line.QtdValores(), 3);
  EXPECT_EQ(chart.NavegadorXControl()->maximum(), 3);
  EXPECT_EQ(chart.EscalaXControl()->maximum(), 3);
  line.Limpa();
  EXPECT_EQ(line.QtdValores(), 0);
  EXPECT_EQ(line.ValorMaximo(), 5);
}

TEST_F(ChartFixture, AWholeSeriesIsShownInPlaceWithoutCopy) {
  settings.SetNavegadorX(true);
  std::vector<double> values(100000, 1.0);
  values[500] = 42;
  line.MostraValores(values);
  EXPECT_EQ(line.QtdValores(), 100000);
  EXPECT_EQ(line.Valores().data(), values.data());
  EXPECT_EQ(line.ValorMaximo(), 42);
  EXPECT_EQ(chart.NavegadorXControl()->maximum(), 100000);
}

TEST_F(ChartFixture, AGrownSeriesShownAgainCountsOnlyItsNewValues) {
  settings.SetNavegadorX(true);
  settings.SetEscalaY(true);
  QSlider* zoomY = chart.EscalaYControl();
  std::vector<double> values = {3, 9, 4};
  line.MostraValores(values);
  EXPECT_EQ(line.ValorMaximo(), 9);
  zoomY->setValue(30);
  values.insert(values.end(), {5, 8});
  line.MostraValores(values);
  EXPECT_EQ(line.QtdValores(), 5);
  EXPECT_EQ(zoomY->value(), 30);  // no new peak among 5 and 8
  values.push_back(9);
  line.MostraValores(values);
  EXPECT_EQ(zoomY->value(), 107);  // a repeated peak resets the slider
  EXPECT_EQ(chart.NavegadorXControl()->maximum(), 6);
}

TEST_F(ChartFixture, AddingToValuesShownFromElsewhereLeavesThemAlone) {
  const std::vector<double> values = {1, 2, 3};
  line.MostraValores(values);
  line.AdicionaValor(4);
  EXPECT_EQ(values, (std::vector<double>{1, 2, 3}));
  EXPECT_NE(line.Valores().data(), values.data());
  EXPECT_EQ(std::vector<double>(line.Valores().begin(), line.Valores().end()), (std::vector<double>{1, 2, 3, 4}));
  line.Limpa();
  EXPECT_EQ(line.QtdValores(), 0);
}

TEST_F(ChartFixture, ZoomSlidersSetColumnsRowsAndIncrements) {
  settings.SetEscalaX(true);
  settings.SetEscalaY(true);
  QSlider* zoomX = chart.EscalaXControl();
  QSlider* zoomY = chart.EscalaYControl();
  EXPECT_EQ(zoomX->minimum(), 16);
  EXPECT_EQ(zoomY->maximum(), 100000);
  zoomX->setValue(53);
  EXPECT_EQ(chart.Painel().QtdColunas(), 11);
  EXPECT_EQ(settings.IncrementoX(), 5);
  EXPECT_DOUBLE_EQ(chart.Painel().RLarguraCelula(), 426 / 11.0 / 5);
  zoomX->setValue(94);
  EXPECT_EQ(chart.Painel().QtdColunas(), 10);
  EXPECT_EQ(settings.IncrementoX(), 25);
  zoomY->setValue(34);
  EXPECT_EQ(chart.Painel().QtdLinhas(), 10);
  EXPECT_EQ(settings.IncrementoY(), 2);
  EXPECT_DOUBLE_EQ(chart.Painel().AlturaCelula(), 9);
  // Value labels follow: one row above the middle reads the increment.
  bool found = false;
  for (const chart::Label& label : chart.Painel().IndicesV().Labels()) {
    if (label.position == 50 - 9) found = label.value == 2;
  }
  EXPECT_TRUE(found);
}

TEST_F(ChartFixture, SliderStepsStopAtTheBounds) {
  settings.SetEscalaX(true);
  QSlider* zoomX = chart.EscalaXControl();
  settings.SetMaxEscalaX(800);
  zoomX->setValue(800);
  chart.PassoEscalaX(1);
  EXPECT_EQ(zoomX->value(), 800);
  chart.PassoEscalaX(-1);
  EXPECT_EQ(zoomX->value(), 799);
  chart.PassoEscalaY(1);  // no vertical slider: nothing
}

TEST_F(ChartFixture, TheVerticalScrollBarMovesTheMiddleValue) {
  settings.SetNavegadorY(true);
  QScrollBar* scroll = chart.NavegadorYControl();
  EXPECT_EQ(scroll->value(), scroll->maximum() / 2);
  scroll->setValue(scroll->maximum() / 2 - 7);
  EXPECT_EQ(settings.PontoMedioY(), 7);
  chart.CentralizaY(-3);
  EXPECT_EQ(scroll->value(), scroll->maximum() / 2 + 3);
  EXPECT_EQ(settings.PontoMedioY(), -3);
  chart.CentralizaY(0);
  EXPECT_EQ(settings.PontoMedioY(), 0);
  chart.CentralizaY(1e300);  // far beyond the bar: the bar stops at its end
  EXPECT_EQ(scroll->value(), scroll->minimum());
  chart.CentralizaY(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(settings.PontoMedioY(), 1e300);
}

TEST_F(ChartFixture, ViewSettingsAreAppliedToLinePanelSlidersAndScrollBars) {
  settings.SetEscalaX(true);
  settings.SetEscalaY(true);
  settings.SetNavegadorX(true);
  settings.SetNavegadorY(true);
  ViewSettings view;
  view.LineColor = 0x112233;
  view.LineWidth = 3;
  view.GridColor = 0x445566;
  view.PointColor = 0x778899;
  view.HighlightColor = 0x00AA00;
  view.PointSize = 4;
  view.PointsVisible = true;
  view.SamplesPerPage = 53;
  view.MaxDeviation = 1000;
  view.GraphBackground = 0xCCDDEE;
  view.InitialDevRange = 34;
  view.DevIncrement = 6;
  view.PointIncrement = 65536 + 7;
  ApplyViewSettings(chart, view);
  EXPECT_EQ(line.Cor(), 0x112233u);
  EXPECT_EQ(line.Largura(), 3);
  EXPECT_EQ(settings.CorExo(), 0x445566u);
  EXPECT_EQ(line.PontosCor(), 0x778899u);
  EXPECT_EQ(settings.SelecaoCor, 0x00AA00u);
  EXPECT_EQ(settings.SelecaoTamPonto, 6);
  EXPECT_EQ(line.PontosTamanho(), 4);
  EXPECT_TRUE(line.PostosVisiveis());
  EXPECT_EQ(chart.Painel().QtdColunas(), 11);
  EXPECT_EQ(chart.NavegadorYControl()->maximum(), 1000);
  EXPECT_EQ(chart.NavegadorYControl()->value(), 500);
  EXPECT_EQ(settings.Cor(), 0xCCDDEEu);
  EXPECT_EQ(settings.IncrementoY(), 2);
  EXPECT_EQ(chart.EscalaXControl()->tickInterval(), 6);
  EXPECT_EQ(chart.EscalaYControl()->tickInterval(), 6);
  EXPECT_EQ(chart.NavegadorXControl()->singleStep(), 7);
  EXPECT_EQ(chart.NavegadorYControl()->pageStep(), 14);
}

// A graph background named as a system colour paints in the palette's colour.
TEST_F(ChartFixture, ASystemColourBackgroundPaintsInThePalettesColour) {
  settings.SetCor(*StringToColour("clBtnFace"));
  chart.SetColor(*StringToColour("clInfoBk"));
  const QImage image = Render(chart);
  const QPalette palette = QGuiApplication::palette();
  const QPoint inCell(chart.Painel().Esquerda() + 5, chart.Painel().Topo() + 5);
  EXPECT_EQ(image.pixelColor(inCell), palette.color(QPalette::Button));
  EXPECT_EQ(image.pixelColor(5, 5), palette.color(QPalette::ToolTipBase));
}

TEST_F(ChartFixture, SwitchingControlsOffFreesThem) {
  settings.SetNavegadorX(true);
  settings.SetEscalaY(true);
  ASSERT_NE(chart.NavegadorXControl(), nullptr);
  settings.SetNavegadorX(false);
  settings.SetEscalaY(false);
  EXPECT_EQ(chart.NavegadorXControl(), nullptr);
  EXPECT_EQ(chart.EscalaYControl(), nullptr);
  EXPECT_EQ(settings.MaxEscalaY(), 0);
}

TEST_F(ChartFixture, CellSizesAcceptOnlyPositiveChanges) {
  settings.SetAlturaLinha(0);
  settings.SetLarguraColuna(-4);
  settings.SetIncrementoX(0);
  EXPECT_DOUBLE_EQ(settings.AlturaLinha(), 19);
  EXPECT_DOUBLE_EQ(settings.LarguraColuna(), 42.6);
  EXPECT_EQ(settings.IncrementoX(), 1);
}

TEST_F(ChartFixture, WithoutValuesOnlyGridAndLabelsArePainted) {
  const QImage image = Render(chart);
  EXPECT_EQ(CountPixels(image, 0xFF0000), 0);  // no line in the line colour
  EXPECT_GT(CountPixels(image, 0x3A3A3A), 100);  // dotted grid
}

TEST_F(ChartFixture, TheLineIsDrawnInItsColour) {
  AddValues(30);
  EXPECT_GT(CountPixels(Render(chart), 0xFF0000), 100);
}

}  // namespace
}  // namespace tessaly
