#include "core/Layback.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/Clock.h"
#include "support/GpsTruth.h"

namespace tessaly {
namespace {

using testing::Metres;
using testing::MetresOf;
using testing::PointAt;


TEST(LocalMetres, MatchThePublishedLengthOfADegree) {
  // Published: at the equator a degree of latitude is 110,574.27 m and one of
  // longitude 111,319.49 m; at 60 degrees north 111,412.88 m and 55,799.98 m.
  struct Case {
    double latitude, metresPerDegreeLatitude, metresPerDegreeLongitude;
  };
  for (const Case c : {Case{0.0, 110574.27, 111319.49}, Case{60.0, 111412.88, 55799.98}}) {
    const GeoPosition from{c.latitude, 10.0};
    const EastNorth north = MetresBetween(from, {c.latitude + 0.001, 10.0});
    const EastNorth east = MetresBetween(from, {c.latitude, 10.001});
    EXPECT_NEAR(north.north, c.metresPerDegreeLatitude / 1000, 0.001);
    EXPECT_NEAR(east.east, c.metresPerDegreeLongitude / 1000, 0.001);
    const GeoPosition back = MoveBy(from, {east.east, north.north});
    EXPECT_NEAR(back.latitude, c.latitude + 0.001, 1e-10);
    EXPECT_NEAR(back.longitude, 10.001, 1e-10);
  }
}

// Runs a tracker over a ship going along `course` degrees at 2 m/s from
// (0, 0), records at 10 Hz, and returns the estimate of the last record
// with the antenna there.
struct ShipRun {
  TowfishEstimate last;
  Metres antenna;
};
ShipRun StraightRun(const LaybackSettings& settings, double course, double seconds, double cable,
                std::optional<double> depth) {
  TowfishTracker tracker(settings);
  ShipRun run;
  const double rad = course * std::acos(-1.0) / 180.0;
  for (int i = 0; i <= static_cast<int>(seconds * 10); ++i) {
    const double s = 0.2 * i;
    run.antenna = {s * std::sin(rad), s * std::cos(rad)};
    run.last = tracker.Next({i * kNsPerSecond / 10, PointAt(run.antenna), cable, depth});
  }
  return run;
}

struct LaybackCase {
  const char* name;
  LaybackMode mode;
  double course;
  double astern, starboard;
  double depth;
  Metres expected;  // towfish minus antenna, worked out by hand
};

class LaybackGeometry : public ::testing::TestWithParam<LaybackCase> {};

TEST_P(LaybackGeometry, PutsTheFishWhereTheCableHangs) {
  const LaybackCase& c = GetParam();
  LaybackSettings settings;
  settings.mode = c.mode;
  settings.towPointAstern = c.astern;
  settings.towPointStarboard = c.starboard;
  const ShipRun run = StraightRun(settings, c.course, 60.0, 50.0, c.depth);
  ASSERT_TRUE(run.last.towfish);
  EXPECT_NEAR(*run.last.courseTrue, c.course, 1e-6);
  const Metres fish = MetresOf(*run.last.towfish);
  EXPECT_NEAR(fish.east - run.antenna.east, c.expected.east, 0.01);
  EXPECT_NEAR(fish.north - run.antenna.north, c.expected.north, 0.01);
}

// sqrt(50² − 10²) = 48.990 m; sqrt(50² − 30²) = 40 m.
INSTANTIATE_TEST_SUITE_P(
    Cases, LaybackGeometry,
    ::testing::Values(LaybackCase{"NorthNoOffsets", LaybackMode::AlongCourse, 0.0, 0, 0, 10, {0.0, -48.990}},
                      LaybackCase{"EastNoOffsets", LaybackMode::AlongCourse, 90.0, 0, 0, 10, {-48.990, 0.0}},
                      LaybackCase{"NorthWithOffsets", LaybackMode::AlongCourse, 0.0, 5, 3, 30, {3.0, -45.0}},
                      LaybackCase{"EastWithOffsets", LaybackMode::AlongCourse, 90.0, 5, 3, 30, {-45.0, -3.0}},
                      LaybackCase{"SouthWestOffsets", LaybackMode::AlongCourse, 225.0, 0, 2, 30,
                                  {28.284 - 1.414, 28.284 + 1.414}},
                      LaybackCase{"FollowOnAStraightLine", LaybackMode::FollowTheFish, 0.0, 0, 0, 10, {0.0, -48.990}},
                      LaybackCase{"FollowWithOffsets", LaybackMode::FollowTheFish, 90.0, 5, 3, 30, {-45.0, -3.0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Layback, UsesTheRecordsDepthElseTheSetOne) {
  LaybackSettings settings;
  settings.defaultDepth = 30.0;
  EXPECT_EQ(StraightRun(settings, 0.0, 10.0, 50.0, std::nullopt).last.depth, 30.0);
  const ShipRun withDepth = StraightRun(settings, 0.0, 10.0, 50.0, 40.0);
  EXPECT_EQ(withDepth.last.depth, 40.0);
  EXPECT_NEAR(withDepth.antenna.north - MetresOf(*withDepth.last.towfish).north, 30.0, 0.01);
}

TEST(Layback, ADepthBeyondTheCableIsFlaggedNotSquareRooted) {
  const ShipRun run = StraightRun(LaybackSettings{}, 0.0, 10.0, 20.0, 20.5);
  EXPECT_TRUE(run.last.depthOverCable);
  EXPECT_FALSE(run.last.towfish);
  const ShipRun atCable = StraightRun(LaybackSettings{}, 0.0, 10.0, 20.0, 20.0);
  ASSERT_TRUE(atCable.last.towfish);  // hanging straight down
  EXPECT_NEAR(MetresOf(*atCable.last.towfish).north, atCable.antenna.north, 0.01);
}

TEST(Layback, NoCourseUntilTheShipHasMovedAMetre) {
  TowfishTracker tracker(LaybackSettings{});
  for (int i = 0; i < 5; ++i) {  // 0.2 m a record: 0.8 m after the fifth
    const TowfishEstimate e = tracker.Next({i * kNsPerSecond / 10, PointAt({0.0, 0.2 * i}), 50.0, 0.0});
    EXPECT_TRUE(e.noCourse) << i;
    EXPECT_FALSE(e.towfish) << i;
  }
  EXPECT_TRUE(tracker.Next({kNsPerSecond / 2, PointAt({0.0, 1.0}), 50.0, 0.0}).towfish);
}

TEST(Layback, AStoppedShipKeepsItsLastCourse) {
  TowfishTracker tracker(LaybackSettings{});
  for (int i = 0; i <= 100; ++i) tracker.Next({i * kNsPerSecond / 10, PointAt({0.2 * i, 0.0}), 50.0, 0.0});
  TowfishEstimate stopped;
  for (int i = 0; i < 600; ++i) stopped = tracker.Next({(11 + i) * kNsPerSecond, PointAt({20.0, 0.0}), 50.0, 0.0});
  EXPECT_NEAR(*stopped.courseTrue, 90.0, 1e-6);
  EXPECT_NEAR(MetresOf(*stopped.towfish).east, 20.0 - 50.0, 0.01);
}

TEST(Layback, TheCourseIsMadeGoodOverTheSmoothingTime) {
  // East for 60 s, then north: 10 s into the new leg the course made good
  // over 30 s points from 20 s back on the first leg: atan2(40, 20 m).
  LaybackSettings settings;
  settings.smoothingSeconds = 30.0;
  TowfishTracker tracker(settings);
  TowfishEstimate e;
  for (int i = 0; i <= 700; ++i) {
    const double t = 0.1 * i;
    const Metres m = t <= 60.0 ? Metres{2.0 * t, 0.0} : Metres{120.0, 2.0 * (t - 60.0)};
    e = tracker.Next({i * kNsPerSecond / 10, PointAt(m), 50.0, 0.0});
  }
  EXPECT_NEAR(*e.courseTrue, std::atan2(40.0, 20.0) * 180.0 / std::acos(-1.0), 0.01);
}

}  // namespace
}  // namespace tessaly
