// The track model: positions in one zone, empty slots, bounds, fit-all and
// the decimation of a view into screen cells.
#include "core/TrackModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <tuple>

namespace tessaly {
namespace {

std::vector<DrawnPoint> Sorted(std::vector<DrawnPoint> points) {
  std::sort(points.begin(), points.end(), [](const DrawnPoint& a, const DrawnPoint& b) {
    return std::tie(a.y, a.x, a.record) < std::tie(b.y, b.x, b.record);
  });
  return points;
}

// Every record's cell worked out from Position() alone, keeping the largest
// absolute deviation (the earlier record on a tie).
std::vector<DrawnPoint> BruteForce(const TrackModel& model, const TrackView& view,
                                   const std::vector<double>& deviations, int cell) {
  std::map<std::pair<int, int>, std::uint32_t> best;
  for (std::size_t i = 0; i < model.Size(); ++i) {
    const auto p = model.Position(i);
    if (!p) continue;
    const double px = (p->easting - view.centreEasting) / view.metresPerPixel + view.width / 2.0;
    const double py = (view.centreNorthing - p->northing) / view.metresPerPixel + view.height / 2.0;
    if (px < 0 || py < 0 || px >= view.width || py >= view.height) continue;
    const std::pair<int, int> key{static_cast<int>(px) / cell, static_cast<int>(py) / cell};
    const auto found = best.find(key);
    if (found == best.end() || std::fabs(deviations[i]) > std::fabs(deviations[found->second]))
      best[key] = static_cast<std::uint32_t>(i);
  }
  std::vector<DrawnPoint> points;
  for (const auto& [key, record] : best) points.push_back({key.first * cell, key.second * cell, record});
  return Sorted(points);
}

std::vector<DrawnPoint> Decimated(const TrackModel& model, const TrackView& view,
                                  const std::vector<double>& deviations, int cell) {
  std::vector<DrawnPoint> out{{-1, -1, 99}};  // replaced, not added to
  model.Decimate(view, deviations, cell, out);
  return Sorted(out);
}

TEST(TrackModel, PositionsLieInTheFirstPositionsZone) {
  TrackModel model;
  EXPECT_EQ(model.Zone(), 0);
  EXPECT_FALSE(model.Bounds());
  EXPECT_FALSE(model.FitAll(800, 600, 10));
  model.AppendMissing();
  model.Append(44.3, -60.2, 5.0);            // zone 20, near its eastern border
  model.Append(44.3, -59.8, -7.0);           // zone 21
  model.Append(std::nan(""), -60.0, 1.0);    // not a number
  model.Append(44.3, 400.0, 1.0);            // no longitude
  model.Append(44.3, -63.0 + 40.0, 1.0);     // far outside the zone
  EXPECT_EQ(model.Size(), 6u);
  EXPECT_EQ(model.PositionCount(), 2u);
  EXPECT_EQ(model.Zone(), 20);
  EXPECT_FALSE(model.SouthernHemisphere());
  for (std::size_t empty : {0u, 3u, 4u, 5u, 6u}) EXPECT_FALSE(model.Position(empty)) << empty;

  UtmPosition own, east;
  ASSERT_TRUE(LatLonToUtm(kWgs84Datum, 44.3, -60.2, own));
  ASSERT_TRUE(LatLonToUtmInZone(kWgs84Datum, 44.3, -59.8, 20, false, east));
  const auto first = model.Position(1), second = model.Position(2);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(second->zoneNumber, 20);
  EXPECT_NEAR(first->easting, own.easting, 0.02);
  EXPECT_NEAR(first->northing, own.northing, 0.02);
  EXPECT_NEAR(second->easting, east.easting, 0.02);
  EXPECT_NEAR(second->northing, east.northing, 0.02);
  // About 32 km apart along the parallel, not a zone's width.
  EXPECT_NEAR(second->easting - first->easting, 31850.0, 300.0);

  const auto bounds = model.Bounds();
  ASSERT_TRUE(bounds);
  EXPECT_DOUBLE_EQ(bounds->minEasting, first->easting);
  EXPECT_DOUBLE_EQ(bounds->maxEasting, second->easting);
  EXPECT_DOUBLE_EQ(bounds->minNorthing, std::min(first->northing, second->northing));
  EXPECT_DOUBLE_EQ(bounds->maxNorthing, std::max(first->northing, second->northing));

  model.Clear();
  EXPECT_EQ(model.Size(), 0u);
  EXPECT_EQ(model.Zone(), 0);
}

TEST(TrackModel, SouthernTrackCrossingTheEquatorStaysContinuous) {
  TrackModel model;
  model.Append(-0.01, 10.0, 0.0);
  model.Append(0.01, 10.0, 0.0);
  ASSERT_EQ(model.PositionCount(), 2u);
  EXPECT_TRUE(model.SouthernHemisphere());
  EXPECT_EQ(model.Zone(), 32);
  EXPECT_NEAR(model.Position(1)->northing - model.Position(0)->northing, 2211.0, 5.0);
  EXPECT_GT(model.Position(1)->northing, 10000000.0);
}

TEST(TrackModel, FitAllShowsEveryPositionInsideTheMargins) {
  TrackModel model;
  std::mt19937 random(7);
  std::uniform_real_distribution<double> lat(44.20, 44.30), lon(-63.40, -63.20);
  for (int i = 0; i < 500; ++i) model.Append(lat(random), lon(random), 0.0);
  const auto view = model.FitAll(800, 600, 20);
  ASSERT_TRUE(view);
  const auto bounds = *model.Bounds();
  // Equal scales: the wider extent fills the pixels between the margins.
  EXPECT_NEAR(view->metresPerPixel,
              std::max((bounds.maxEasting - bounds.minEasting) / 759.0, (bounds.maxNorthing - bounds.minNorthing) / 559.0),
              1e-9);
  double left = 800, right = 0, top = 600, bottom = 0;
  for (std::size_t i = 0; i < model.Size(); ++i) {
    const auto p = model.Position(i);
    const double px = (p->easting - view->centreEasting) / view->metresPerPixel + 400.0;
    const double py = (view->centreNorthing - p->northing) / view->metresPerPixel + 300.0;
    left = std::min(left, px), right = std::max(right, px);
    top = std::min(top, py), bottom = std::max(bottom, py);
  }
  EXPECT_GE(left, 20.0);
  EXPECT_LT(right, 780.0);
  EXPECT_GE(top, 20.0);
  EXPECT_LT(bottom, 580.0);
  // The wider extent touches both margins' last pixels.
  EXPECT_TRUE(std::min(left, top) < 21.0);
  std::vector<DrawnPoint> out;
  // One position still gets a usable view.
  TrackModel single;
  single.Append(44.0, -63.0, 0.0);
  const auto one = single.FitAll(100, 100, 10);
  ASSERT_TRUE(one);
  EXPECT_GT(one->metresPerPixel, 0.0);
  single.Decimate(*one, std::vector<double>{3.0}, 2, out);
  EXPECT_EQ(Sorted(out), (std::vector<DrawnPoint>{{50, 50, 0}}));
}

// Records placed by hand in a view of 1 m per pixel around the first one.
class HandPlacedTrack : public ::testing::Test {
 protected:
  void SetUp() override {
    model_.Append(45.0, -63.0, 0.0);
    origin_ = *model_.Position(0);
    view_ = {origin_.easting, origin_.northing, 1.0, 100, 80};
  }
  // A position `east` and `north` metres from the first, back in degrees
  // (near enough: the cells are 4 m and the points sit mid-cell).
  void AppendAt(double east, double north, double deviation) {
    model_.Append(45.0 + north / 111132.0, -63.0 + east / 78847.0, deviation);
  }

  TrackModel model_;
  UtmPosition origin_;
  TrackView view_;
};

TEST_F(HandPlacedTrack, LargestAbsoluteDeviationOfACellIsDrawn) {
  // First record sits at pixel (50, 40): cell (12, 10) of 4-pixel cells.
  AppendAt(1.5, -1.5, 30.0);     // pixel (51, 41), same cell
  AppendAt(0.5, -2.5, -80.0);    // pixel (50, 42), same cell, the negative anomaly
  model_.AppendMissing();
  AppendAt(-1.5, -3.5, 79.0);    // pixel (48, 43), same cell, smaller
  AppendAt(-9.5, 9.5, 5.0);      // pixel (40, 30): cell (10, 7)
  AppendAt(-60.0, 0.0, 500.0);   // left of the view
  AppendAt(0.0, 50.0, 500.0);    // above it
  const std::vector<double> deviations{0.0, 30.0, -80.0, 1000.0, 79.0, 5.0, 500.0, 500.0};
  EXPECT_EQ(Decimated(model_, view_, deviations, 4),
            (std::vector<DrawnPoint>{{40, 28, 5}, {48, 40, 2}}));
  // One-pixel cells part them.
  EXPECT_EQ(Decimated(model_, view_, deviations, 1).size(), 5u);
  // A chart shorter than the track (a live view between updates) is read
  // only as far as it goes.
  EXPECT_EQ(Decimated(model_, view_, {0.0, 30.0}, 1).size(), 5u);
}

TEST_F(HandPlacedTrack, EqualDeviationsGoToTheEarlierRecord) {
  AppendAt(0.5, -0.5, -6.0);
  AppendAt(1.0, -1.0, 6.0);
  EXPECT_EQ(Decimated(model_, view_, {1.0, -6.0, 6.0}, 4), (std::vector<DrawnPoint>{{48, 40, 1}}));
  TrackView empty = view_;
  empty.width = 0;
  EXPECT_TRUE(Decimated(model_, empty, {1.0}, 4).empty());
  // A view of too many cells draws nothing rather than taking gigabytes.
  TrackView huge = view_;
  huge.width = huge.height = 100000;
  EXPECT_TRUE(Decimated(model_, huge, {1.0}, 1).empty());
  EXPECT_EQ(Decimated(model_, huge, {1.0}, 64).size(), 1u);
}

TEST(TrackModelDecimate, MatchesABruteForceOnRandomTracks) {
  std::mt19937 random(11);
  for (int round = 0; round < 20; ++round) {
    TrackModel model;
    std::vector<double> deviations;
    std::uniform_real_distribution<double> step(-0.0004, 0.0004), dev(-100.0, 100.0), chance(0.0, 1.0);
    double lat = -10.0 + round, lon = 5.0 + round * 0.3;
    const int records = 3000 + round * 500;
    for (int i = 0; i < records; ++i) {
      lat += step(random);
      lon += step(random);
      deviations.push_back(std::round(dev(random)));  // whole numbers: plenty of ties
      if (chance(random) < 0.05)
        model.AppendMissing();
      else
        model.Append(lat, lon, deviations.back());
    }
    TrackView view = *model.FitAll(320 + round * 7, 200 + round * 5, 0);
    const int cell = 1 + round % 4;
    EXPECT_EQ(Decimated(model, view, deviations, cell), BruteForce(model, view, deviations, cell)) << round;
    // Zoomed out: whole runs of records, and runs of runs, share a cell.
    TrackView far = view;
    far.metresPerPixel *= 25.0;
    far.centreNorthing += 20.0 * far.metresPerPixel;
    EXPECT_EQ(Decimated(model, far, deviations, cell), BruteForce(model, far, deviations, cell)) << round;
    // Zoomed in on a corner: most of the track lies outside.
    view.metresPerPixel /= 6.0;
    view.centreEasting += view.width * view.metresPerPixel;
    EXPECT_EQ(Decimated(model, view, deviations, cell), BruteForce(model, view, deviations, cell)) << round;
  }
}

// A live session's positions are worked out again as fixes arrive: records
// moved, given a position or losing it leave the index as if the track had
// been built with their last positions.
TEST(TrackModelReplace, KeepsTheDecimationAndBoundsOfTheLastPositions) {
  std::mt19937 random(5);
  std::uniform_real_distribution<double> step(-0.0004, 0.0004), dev(-100.0, 100.0), chance(0.0, 1.0);
  TrackModel model;
  std::vector<double> deviations;
  std::vector<GeoPosition> positions;
  double lat = 44.0, lon = -63.0;
  for (int i = 0; i < 5000; ++i) {
    lat += step(random);
    lon += step(random);
    deviations.push_back(std::round(dev(random)));
    positions.push_back(i > 0 && chance(random) < 0.05 ? GeoPosition{} : GeoPosition{lat, lon});
    if (positions.back().Known()) model.Append(lat, lon, deviations.back());
    else model.AppendMissing();
  }
  std::uniform_int_distribution<std::size_t> which(1, positions.size() - 1);
  for (int change = 0; change < 600; ++change) {
    const std::size_t i = which(random);
    const double u = chance(random);
    // Moved a little, moved far (the bounds grow), or taken away.
    positions[i] = u < 0.6 ? GeoPosition{lat + step(random) * 40, lon + step(random) * 40}
                   : u < 0.7 ? GeoPosition{lat + 0.05, lon - 0.05}
                             : GeoPosition{};
    const std::uint64_t before = model.Revision();
    model.Replace(i, positions[i], deviations);
    EXPECT_GT(model.Revision(), before);
  }
  std::size_t known = 0;
  double minE = 1e18, maxE = -1e18, minN = 1e18, maxN = -1e18;
  for (std::size_t i = 0; i < model.Size(); ++i) {
    const auto p = model.Position(i);
    EXPECT_EQ(p.has_value(), positions[i].Known()) << i;
    if (!p) continue;
    ++known;
    minE = std::min(minE, p->easting), maxE = std::max(maxE, p->easting);
    minN = std::min(minN, p->northing), maxN = std::max(maxN, p->northing);
  }
  EXPECT_EQ(model.PositionCount(), known);
  const TrackBounds bounds = *model.Bounds();
  EXPECT_NEAR(bounds.minEasting, minE, 1e-3);
  EXPECT_NEAR(bounds.maxEasting, maxE, 1e-3);
  EXPECT_NEAR(bounds.minNorthing, minN, 1e-3);
  EXPECT_NEAR(bounds.maxNorthing, maxN, 1e-3);
  TrackView view = *model.FitAll(400, 300, 0);
  for (const double zoom : {1.0, 30.0}) {
    TrackView shown = view;
    shown.metresPerPixel *= zoom;
    EXPECT_EQ(Decimated(model, shown, deviations, 1), BruteForce(model, shown, deviations, 1)) << zoom;
  }
}

TEST(TrackModel, HoldsAtMostSixteenBytesPerRecord) {
  TrackModel model;
  for (int i = 0; i < 200000; ++i) {
    if (i % 10 == 3)
      model.AppendMissing();
    else
      model.Append(44.0 + i * 1e-6, -63.0 + i * 1e-6, i % 100);
  }
  EXPECT_LE(model.MemoryBytes(), 16u * model.Size());
  // Not zero either: the positions themselves are counted.
  EXPECT_GE(model.MemoryBytes(), 8u * model.Size());
}

}  // namespace
}  // namespace tessaly
