// Shows the record grid and the deviation profile chart with generated survey
// data: a few thousand rows in the 29-column log layout, coloured by the
// deviation rule, and their deviation profile.
#include <QApplication>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>
#include <QWidget>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/CellTable.h"
#include "core/DeviationColours.h"
#include "core/GridLayout.h"
#include "widgets/ChartSetup.h"
#include "widgets/GraficoOk.h"
#include "widgets/GridColumnWidths.h"
#include "widgets/PainelGridOk.h"

namespace {

using tessaly::CellTable;

constexpr int kRecords = 3000;

tessaly::ViewSettings DemoViewSettings() {
  tessaly::ViewSettings view;
  view.DevLimit = 40;
  view.NegDevColor = 0x9999FF;
  view.PosDevColor = 0xFFCC99;
  view.LineColor = 0xFF0000;
  view.LineWidth = 1;
  view.GridColor = 0x3A3A3A;
  view.PointColor = 0x000080;
  view.HighlightColor = 0x0000FF;
  view.PointSize = 3;
  view.PointsVisible = true;
  view.SamplesPerPage = 52;
  view.MaxDeviation = 400;
  view.GraphBackground = 0xFFEEDD;
  view.InitialDevRange = 45;
  view.DevIncrement = 3;
  view.PointIncrement = 10;
  return view;
}

std::string Fixed(double value, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

// One record row: sequence, time, line, deviation, positions, depths.
std::vector<std::string> RecordTexts(int record, long deviation, double lat, double lon) {
  const int seconds = 36000 + record * 2;
  char time[16];
  std::snprintf(time, sizeof time, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
  const double latMin = std::fmod(-lat, 1.0) * 60;
  const double lonMin = std::fmod(-lon, 1.0) * 60;
  return {std::to_string(record), time, std::to_string(record + 12), std::to_string(deviation),
          "23", Fixed(latMin, 4), "S", "43", Fixed(lonMin, 4), "W", Fixed(12.5 + record % 7 * 0.1, 1),
          Fixed(45.0 + record % 11, 1), Fixed(lat, 6), Fixed(lon, 6), "23K",
          Fixed(683000 + record * 1.7, 3), Fixed(7456000 - record * 2.3, 3), "23", Fixed(latMin, 4), "S",
          "43", Fixed(lonMin, 4), "W", Fixed(lat, 6), Fixed(lon, 6), "23K",
          Fixed(683010 + record * 1.7, 3), Fixed(7456010 - record * 2.3, 3),
          record % 250 == 0 ? "anomaly checked" : ""};
}

struct DemoData {
  std::shared_ptr<CellTable> cells;
  std::vector<double> deviations;
};

DemoData MakeData(const tessaly::ViewSettings& view) {
  DemoData data{std::make_shared<CellTable>(tessaly::NewRecordTable()), {}};
  data.cells->SetRows(kRecords + 1);
  std::mt19937 random(7);
  std::normal_distribution<double> noise(0.0, 6.0);
  double level = 0;
  for (int record = 1; record <= kRecords; ++record) {
    level = level * 0.97 + noise(random);
    const double anomaly = 160 * std::exp(-std::pow((record - 700) / 25.0, 2)) -
                           90 * std::exp(-std::pow((record - 1900) / 40.0, 2));
    const long deviation = std::lround(level + anomaly);
    const std::vector<std::string> texts =
        RecordTexts(record, deviation, -23.5 - record * 1e-5, -43.2 - record * 1e-5);
    const std::vector<std::string_view> views(texts.begin(), texts.end());
    data.cells->SetRow(static_cast<std::size_t>(record), views);
    const tessaly::RowColours colours = tessaly::DeviationColours(record, deviation, view);
    data.cells->SetRowColor(static_cast<std::size_t>(record), colours.background);
    data.cells->SetRowFontColor(static_cast<std::size_t>(record), colours.font);
    data.deviations.push_back(static_cast<double>(deviation));
  }
  return data;
}

tessaly::TPainelGridOk* MakeGrid(DemoData& data, QWidget* parent) {
  auto* grid = new tessaly::TPainelGridOk(parent);
  tessaly::TInformacaoGrid& info = grid->InformacaoGrid();
  info.ShowCells(data.cells);
  tessaly::FitColumnWidths(*grid, tessaly::kRecordLayout);
  info.SetLinhaFixa(true);
  info.SetLinhaSeleciona(true);
  info.SetScrollBar(tessaly::TScrollStyle::ssBoth);
  return grid;
}

tessaly::TGraficoOK* MakeChart(DemoData& data, const tessaly::ViewSettings& view, QWidget* parent) {
  auto* chart = new tessaly::TGraficoOK(parent);
  tessaly::ApplyChartDesignSettings(*chart);
  chart->Grafico().Linha().MostraValores(data.deviations);
  tessaly::ShowLogWindowControls(*chart);
  tessaly::ApplyViewSettings(*chart, view);
  return chart;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const tessaly::ViewSettings view = DemoViewSettings();
  DemoData data = MakeData(view);

  QWidget window;
  window.setWindowTitle(QStringLiteral("Tessaly widgets"));
  auto* layout = new QVBoxLayout(&window);
  auto* split = new QSplitter(Qt::Vertical, &window);
  auto* grid = MakeGrid(data, split);
  auto* chartArea = new QWidget(split);
  auto* chartLayout = new QVBoxLayout(chartArea);
  chartLayout->setContentsMargins(0, 0, 0, 0);
  auto* centre = new QPushButton(QStringLiteral("Y - 0"), chartArea);
  centre->setFixedWidth(60);
  auto* chart = MakeChart(data, view, chartArea);
  chartLayout->addWidget(centre);
  chartLayout->addWidget(chart, 1);
  split->addWidget(grid);
  split->addWidget(chartArea);
  split->setSizes({430, 400});
  layout->addWidget(split);

  // Clicks and keys on either control select the same record in both.
  grid->AoClicar = [chart](int Linha, int) {
    if (Linha > 0) chart->SelecionaPonto(Linha - 1);
  };
  grid->AoSelecionarLinha = [chart](int Linha) { chart->SelecionaPonto(Linha - 1); };
  chart->AoClicar = [grid](tessaly::TLinha*, bool&, double X, double) {
    grid->SelectRow(static_cast<int>(X) + 1, false);
  };
  QObject::connect(centre, &QPushButton::clicked, chart, [chart] { chart->CentralizaY(0); });

  window.resize(1260, 880);
  window.show();
  grid->SelectRow(700, true);
  chart->SelecionaPonto(699);
  return app.exec();
}
