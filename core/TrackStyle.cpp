#include "core/TrackStyle.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace tessaly {

namespace {

struct Channels {
  double r, g, b;
};

// The positive half of the scale from 0 to +limit; the negative half is the
// same with red and blue swapped.
constexpr std::array<Channels, 3> kPositiveStops{{{142, 142, 142}, {236, 128, 64}, {208, 24, 32}}};

Rgb Pack(const Channels& c) {
  const auto channel = [](double v) { return static_cast<Rgb>(std::lround(std::clamp(v, 0.0, 255.0))); };
  return channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
}

Channels Mix(const Channels& from, const Channels& to, double t) {
  return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t};
}

// 0 at the centre, 1 at the ends and beyond.
double ScaleFraction(double deviation, double limit) {
  if (deviation == 0.0) return 0.0;
  if (!(limit > 0.0)) return 1.0;
  return std::min(std::fabs(deviation) / limit, 1.0);
}

double AbsOrZero(double value) { return std::isnan(value) ? 0.0 : std::fabs(value); }

}  // namespace

double TrackScaleLimit(double limit) { return std::isnan(limit) ? 0.0 : std::fabs(limit); }

Rgb TrackDeviationColour(double deviation, double limit) {
  if (std::isnan(deviation)) deviation = 0.0;
  limit = TrackScaleLimit(limit);
  const double t = ScaleFraction(deviation, limit) * (kPositiveStops.size() - 1);
  const std::size_t stop = std::min(static_cast<std::size_t>(t), kPositiveStops.size() - 2);
  Channels c = Mix(kPositiveStops[stop], kPositiveStops[stop + 1], t - stop);
  if (deviation < 0.0) std::swap(c.r, c.b);
  return Pack(c);
}

double ScaleBarMetres(double metresPerPixel, int maxPixels) {
  const double longest = metresPerPixel * maxPixels;
  if (!(longest > 0.0) || !std::isfinite(longest)) return 0.0;
  // A relative allowance keeps an exact fit (5 m in 50 px at 0.1 m/px)
  // from being lost to rounding.
  const double allowed = longest * (1.0 + 1e-9);
  const double power = std::pow(10.0, std::floor(std::log10(longest)));
  for (const double step : {5.0, 2.0})
    if (step * power <= allowed) return step * power;
  return power;
}

void DrawTrackPoints(std::span<const DrawnPoint> points, std::span<const double> deviations, double limit,
                     int pointPixels, PixelBuffer& image) {
  const auto deviationOf = [&](const DrawnPoint& p) {
    return p.record < deviations.size() ? deviations[p.record] : 0.0;
  };
  // Drawing order: by |deviation|, then as given.
  std::vector<std::pair<double, std::uint32_t>> order;
  order.reserve(points.size());
  for (std::size_t i = 0; i < points.size(); ++i)
    order.emplace_back(AbsOrZero(deviationOf(points[i])), static_cast<std::uint32_t>(i));
  std::sort(order.begin(), order.end());
  const int size = std::max(pointPixels, 1);
  for (const auto& [rank, i] : order) {
    const DrawnPoint& p = points[i];
    FillRect(image, p.x, p.y, size, size, 0xFF000000u | TrackDeviationColour(deviationOf(p), limit));
  }
}

void DrawTrackPointsByLine(std::span<const DrawnPoint> points, std::span<const double> deviations, double limit,
                           int pointPixels, const RecordLines& lines, PixelBuffer& image) {
  if (lines.Lines().empty()) {
    DrawTrackPoints(points, deviations, limit, pointPixels, image);
    return;
  }
  std::vector<DrawnPoint> onLines;
  onLines.reserve(points.size());
  const int centre = std::max(pointPixels, 1) / 2;
  for (const DrawnPoint& point : points) {
    if (lines.LineOf(point.record) != 0) onLines.push_back(point);
    else FillRect(image, point.x + centre, point.y + centre, 1, 1, 0xFF000000u | kTrackTurnColour);
  }
  DrawTrackPoints(onLines, deviations, limit, pointPixels, image);
}

void FillRect(PixelBuffer& image, int x, int y, int width, int height, std::uint32_t pixel) {
  const int x0 = std::max(x, 0), x1 = std::min(x + width, image.width);
  const int y0 = std::max(y, 0), y1 = std::min(y + height, image.height);
  if (x0 >= x1) return;
  for (int row = y0; row < y1; ++row) {
    std::uint32_t* line = image.pixels + row * image.stride;
    std::fill(line + x0, line + x1, pixel);
  }
}

}  // namespace tessaly
