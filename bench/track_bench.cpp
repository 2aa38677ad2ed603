// The track model's side of painting a track: decimating a view into screen
// cells and drawing the points into an 800 x 600 image, for the same survey
// recorded as 1,000 and as 1,000,000 records; and the model's bytes per
// record. bench/track_ratio.sh runs it and prints the ratios.
//
//   build/bin/track_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//
// BM_TrackPaint/<records>/<zoom>: zoom 1 is the fit-all view, 8 eight times
// closer around the survey's centre. The paint clears the image, decimates
// into kTrackCellPixels cells and draws kTrackPointPixels points, as the
// window and the picture do.
// BM_TrackMemory/<records> reports MemoryBytes() / Size() as
// bytes_per_record (target at most 16).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "core/TrackModel.h"
#include "core/TrackStyle.h"

namespace {

using tessaly::DrawnPoint;
using tessaly::TrackModel;
using tessaly::TrackView;

constexpr int kWidth = 800, kHeight = 600;
constexpr int kLines = 40;
constexpr double kLineMetres = 4000.0, kLineSpacing = 100.0;
constexpr double kMetresPerDegreeLat = 111132.0, kMetresPerDegreeLon = 79600.0;

// A survey of kLines parallel lines run back and forth, joined by
// half-circle turns, sampled at `records` evenly spaced points; the
// deviation is a little noise plus three anomalies on the ground.
struct Survey {
  TrackModel model;
  std::vector<double> deviations;
};

double Anomaly(double east, double north) {
  constexpr double kSpots[3][3] = {{1200, 800, 400}, {2600, 2500, -250}, {3500, 1700, 120}};
  double sum = 0;
  for (const auto& spot : kSpots) {
    const double d2 = (east - spot[0]) * (east - spot[0]) + (north - spot[1]) * (north - spot[1]);
    sum += spot[2] * std::exp(-d2 / (2 * 40.0 * 40.0));
  }
  return sum;
}

// The point `s` metres along the survey path.
void PathPoint(double s, double& east, double& north) {
  const double turn = M_PI * kLineSpacing / 2.0;
  const double leg = kLineMetres + turn;
  const int line = std::min(static_cast<int>(s / leg), kLines - 1);
  const double along = s - line * leg;
  const bool forward = line % 2 == 0;
  const double base = line * kLineSpacing;
  if (along <= kLineMetres || line == kLines - 1) {
    east = forward ? along : kLineMetres - along;
    north = base;
    return;
  }
  const double angle = (along - kLineMetres) / (kLineSpacing / 2.0);
  east = forward ? kLineMetres + kLineSpacing / 2.0 * std::sin(angle) : -kLineSpacing / 2.0 * std::sin(angle);
  north = base + kLineSpacing / 2.0 * (1.0 - std::cos(angle));
}

const Survey& SurveyOf(std::int64_t records) {
  static std::vector<std::pair<std::int64_t, Survey>> made;
  for (const auto& [count, survey] : made)
    if (count == records) return survey;
  Survey survey;
  const double length = kLines * kLineMetres + (kLines - 1) * M_PI * kLineSpacing / 2.0;
  for (std::int64_t i = 0; i < records; ++i) {
    double east = 0, north = 0;
    PathPoint(length * static_cast<double>(i) / static_cast<double>(records), east, north);
    const double deviation = Anomaly(east, north) + static_cast<double>(i % 7) - 3.0;
    survey.deviations.push_back(deviation);
    survey.model.Append(44.3 + north / kMetresPerDegreeLat, -63.3 + east / kMetresPerDegreeLon, deviation);
  }
  made.emplace_back(records, std::move(survey));
  return made.back().second;
}

void BM_TrackPaint(benchmark::State& state) {
  const Survey& survey = SurveyOf(state.range(0));
  TrackView view = *survey.model.FitAll(kWidth, kHeight, 10);
  view.metresPerPixel /= static_cast<double>(state.range(1));
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(kWidth) * kHeight);
  tessaly::PixelBuffer image{pixels.data(), kWidth, kHeight, kWidth};
  std::vector<DrawnPoint> points;
  for (auto _ : state) {
    std::fill(pixels.begin(), pixels.end(), 0xFFFFFFFFu);
    survey.model.Decimate(view, survey.deviations, tessaly::kTrackCellPixels, points);
    tessaly::DrawTrackPoints(points, survey.deviations, 250.0, tessaly::kTrackPointPixels, image);
    benchmark::DoNotOptimize(pixels.data());
  }
  state.counters["points"] = static_cast<double>(points.size());
}

BENCHMARK(BM_TrackPaint)
    ->ArgsProduct({{1000, 1000000}, {1, 8}})
    ->Unit(benchmark::kMicrosecond);

void BM_TrackMemory(benchmark::State& state) {
  const Survey& survey = SurveyOf(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(survey.model.MemoryBytes());
  state.counters["bytes_per_record"] =
      static_cast<double>(survey.model.MemoryBytes()) / static_cast<double>(survey.model.Size());
}

BENCHMARK(BM_TrackMemory)->Arg(1000)->Arg(1000000)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
