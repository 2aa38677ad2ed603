// Paint time of the profile chart against its number of values at the same
// zoom, and the cost of adding a value.
//
//   QT_QPA_PLATFORM=offscreen build/bin/chart_paint_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//
// BM_ChartPaint/<values>/<slider> paints a 1200 x 400 chart scrolled to
// record 500 with the horizontal zoom slider at <slider> (52: 52 columns of 1
// record; 94: 10 columns of 25); a million values should cost at most 1.2
// times a thousand. BM_AddValue/<values already held> shows the cost of one
// AdicionaValor staying flat as the series grows.
#include <benchmark/benchmark.h>

#include "bench/QtBenchmarkMain.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QSlider>
#include <cmath>
#include <memory>
#include <vector>

#include "widgets/ChartSetup.h"
#include "widgets/GraficoOk.h"

namespace {

using tessaly::TGraficoOK;

std::vector<double> Profile(int count) {
  std::vector<double> values(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) values[static_cast<std::size_t>(i)] = 40 * std::sin(i * 0.05) + (i % 7) - 3;
  return values;
}

// A log window's chart showing `values` in place, as it shows a document's.
std::unique_ptr<TGraficoOK> MakeChart(const std::vector<double>& values) {
  auto chart = std::make_unique<TGraficoOK>();
  chart->resize(1200, 400);
  tessaly::ApplyChartDesignSettings(*chart);
  tessaly::TGraficoInf& settings = chart->Grafico();
  settings.SetEscalaX(true);
  settings.SetEscalaY(true);
  settings.SetNavegadorX(true);
  settings.SetNavegadorY(true);
  // In this order in the document window: the zoom slider's range then
  // follows the number of values.
  settings.SetMaxEscalaX(800);
  settings.Linha().MostraValores(values);
  settings.Linha().SetPostosVisiveis(true);
  settings.Linha().SetPontosTamanho(3);
  return chart;
}

void BM_ChartPaint(benchmark::State& state) {
  const std::vector<double> values = Profile(static_cast<int>(state.range(0)));
  auto chart = MakeChart(values);
  chart->EscalaXControl()->setValue(static_cast<int>(state.range(1)));
  chart->EscalaYControl()->setValue(45);
  chart->NavegadorXControl()->setValue(500);
  QImage image(chart->size(), QImage::Format_RGB32);
  for (auto _ : state) {
    chart->render(&image);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ChartPaint)
    ->Args({1000, 52})
    ->Args({1000000, 52})
    ->Args({1000, 94})
    ->Args({1000000, 94})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

void BM_AddValue(benchmark::State& state) {
  const std::vector<double> values = Profile(static_cast<int>(state.range(0)));
  auto chart = MakeChart(values);
  tessaly::TLinha& line = chart->Grafico().Linha();
  line.AdicionaValor(0);  // the values become the line's own here, not in the timed loop
  double value = 0;
  for (auto _ : state) {
    line.AdicionaValor(std::fmod(value, 50.0) - 25);  // no new peak after the first
    value += 1;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AddValue)->Arg(0)->Arg(1000000);

}  // namespace

int main(int argc, char** argv) { return tessaly::bench::RunQtBenchmarks(argc, argv); }
