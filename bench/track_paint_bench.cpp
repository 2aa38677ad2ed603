// The track plot: its paint time against the number of records, and the
// memory the track adds to an open document.
//
//   QT_QPA_PLATFORM=offscreen build/bin/track_paint_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//
// BM_TrackPaint/<records>/<change> renders an 800 x 600 plot fitted to a
// survey of <records> records (lines 2 km long, 25 m apart, a record every
// 2.3 m, as the survey generator lays them out). Before every paint the
// view changes by <change>: 0 nothing (a new ring, a menu closing: the
// point image is reused), 1 a pan by a pixel (the image scrolls and only
// the exposed strip is decimated and drawn), 2 a zoom step in or out about
// the centre (the whole view is decimated and drawn anew, so its cost grows
// with the screen cells the track covers). The target: a million records
// at most 1.2 times a thousand. BM_TrackMemory builds the track of the one-million
// record log bench/data/kvl_1m.kvl (or TESSALY_BENCH_FILE; made by
// bench/make_data.sh) as the document window does and reports the bytes it
// adds per record (target at most 16): the model's buffers, and the plot's,
// which hold nothing per record.
#include <benchmark/benchmark.h>

#include "bench/QtBenchmarkMain.h"

#include <QImage>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/LiveRecordStore.h"
#include "core/LogDocument.h"
#include "core/TrackModel.h"
#include "widgets/TrackPlot.h"

namespace {

using tessaly::RecordSource;
using tessaly::TrackModel;

// Deviations of a survey, held as a live session holds them: noise, with an
// anomaly every few thousand records.
std::shared_ptr<tessaly::LiveRecordStore> SurveyDeviations(std::size_t records) {
  auto source = std::make_shared<tessaly::LiveRecordStore>(tessaly::kRecordLayout);
  const tessaly::ViewSettings view;
  for (std::size_t i = 0; i < records; ++i)
    source->AppendRecord("", {}, static_cast<int>(i * 7919 % 13) - 6 + (i % 3331 < 12 ? 180 : 0), view);
  return source;
}

// Survey lines running north and south, stepping east, from 44.30 N 63.30 W.
std::shared_ptr<TrackModel> SurveyTrack(const RecordSource& source) {
  constexpr double kStep = 2.3, kLineLength = 2000.0, kSpacing = 25.0;
  constexpr double kMetresPerDegreeLat = 111132.0;
  const double metresPerDegreeLon = kMetresPerDegreeLat * std::cos(44.30 * M_PI / 180.0);
  const auto perLine = static_cast<std::size_t>(kLineLength / kStep);
  auto model = std::make_shared<TrackModel>();
  const std::span<const double> deviations = source.ChartValues();
  for (std::size_t i = 0; i < deviations.size(); ++i) {
    const std::size_t line = i / perLine, along = i % perLine;
    const double north = (line % 2 == 0 ? along : perLine - along) * kStep;
    const double east = line * kSpacing;
    model->Append(44.30 + north / kMetresPerDegreeLat, -63.30 + east / metresPerDegreeLon, deviations[i]);
  }
  return model;
}

enum ViewChange { kUnchanged = 0, kPan = 1, kZoom = 2 };

// Every other call undoes the change before it.
void ChangeView(tessaly::TrackView& view, ViewChange change, bool back) {
  constexpr double kZoomStep = 1.25;  // one wheel notch
  if (change == kPan) view.centreEasting += (back ? -1.0 : 1.0) * view.metresPerPixel;
  if (change == kZoom) view.metresPerPixel *= back ? 1.0 / kZoomStep : kZoomStep;
}

void BM_TrackPaint(benchmark::State& state) {
  auto source = SurveyDeviations(static_cast<std::size_t>(state.range(0)));
  auto model = SurveyTrack(*source);
  tessaly::TrackPlot plot;
  plot.resize(800, 600);
  plot.SetLimit(50);
  plot.SetTrack(source, model);
  plot.FitAll();
  const auto change = static_cast<ViewChange>(state.range(1));
  tessaly::TrackView view = plot.View();
  bool back = false;
  QImage image(plot.size(), QImage::Format_RGB32);
  for (auto _ : state) {
    if (change != kUnchanged) {
      ChangeView(view, change, back);
      back = !back;
      plot.SetView(view);
    }
    plot.render(&image);
    benchmark::ClobberMemory();
  }
  state.counters["points_drawn"] = static_cast<double>(plot.DrawnPoints().size());
}
BENCHMARK(BM_TrackPaint)
    ->ArgsProduct({{1000, 1000000}, {kUnchanged, kPan, kZoom}})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

std::string InputFile() {
  if (const char* file = std::getenv("TESSALY_BENCH_FILE")) return file;
  return "bench/data/kvl_1m.kvl";
}

void BM_TrackMemory(benchmark::State& state) {
  if (!std::filesystem::exists(InputFile())) {
    state.SkipWithError(("missing " + InputFile() + ": run bench/make_data.sh").c_str());
    return;
  }
  auto document = std::make_shared<tessaly::LogDocument>();
  if (document->OpenLog(InputFile(), tessaly::LoadOptions()) != tessaly::LoadStatus::Loaded) {
    state.SkipWithError("the file did not load");
    return;
  }
  std::size_t modelBytes = 0, records = 0;
  for (auto _ : state) {
    auto model = std::make_shared<TrackModel>();
    tessaly::BuildTrack(*document, *model);
    modelBytes = model->MemoryBytes();
    records = model->Size();
    benchmark::DoNotOptimize(model);
  }
  state.counters["records"] = static_cast<double>(records);
  state.counters["bytes_per_record"] = static_cast<double>(modelBytes) / static_cast<double>(records);
}
BENCHMARK(BM_TrackMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return tessaly::bench::RunQtBenchmarks(argc, argv); }
