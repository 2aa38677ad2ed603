// The figures a survey crew is promised, worked from tracks whose truth is
// known: the fixes are NMEA sentences of the true track, the records
// arrive between them, and every position is judged against the track.
#include "core/RecordPositions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

#include "support/GpsTruth.h"

namespace tessaly {
namespace {

using testing::AddFix;
using testing::Distance;
using testing::Metres;
using testing::MetresOf;
using testing::PointAt;

constexpr std::int64_t kStart = 20819LL * 86400 * kNsPerSecond + 8 * 3600 * kNsPerSecond;  // 2027-01-01T08:00:00Z
const double kPi = std::acos(-1.0);

using Track = std::function<Metres(double seconds)>;

// 1 Hz fixes of `track` from 0 to `seconds`, but none inside `dropout`
// (seconds, open interval).
FixTimeline FixesOf(const Track& track, double seconds, std::pair<double, double> dropout = {-1, -1}) {
  FixTimeline fixes;
  for (int t = 0; t <= static_cast<int>(seconds); ++t)
    if (!(t > dropout.first && t < dropout.second)) AddFix(fixes, kStart + t * kNsPerSecond, PointAt(track(t)));
  return fixes;
}

struct Positioned {
  double seconds;
  PositionedRecord record;
};

// Records at 10 Hz, 0.05 s after each tenth of a second, positioned in turn.
std::vector<Positioned> RecordsOf(const FixTimeline& fixes, double seconds, const LaybackSettings& settings,
                                  double depth = 10.0) {
  CableHistory cable(settings.cableOut);
  RecordPositioner positioner(fixes, cable, settings);
  std::vector<Positioned> out;
  for (int i = 0; 0.1 * i + 0.05 <= seconds; ++i) {
    const double t = 0.1 * i + 0.05;
    const ReceptionTime time{static_cast<std::uint64_t>(i + 1), kStart + std::llround(t * 1e9), 0};
    out.push_back({t, positioner.Position({time.row, depth}, time)});
  }
  return out;
}

Metres Straight(double t, double course, double speed) {
  const double rad = course * kPi / 180.0;
  return {speed * t * std::sin(rad), speed * t * std::cos(rad)};
}

TEST(RecordPositions, AntennaBetweenOneHertzFixesIsWithinFiveCentimetres) {
  const Track track = [](double t) { return Straight(t, 30.0, 2.0); };
  const auto records = RecordsOf(FixesOf(track, 60), 60, LaybackSettings{});
  double worst = 0.0;
  for (const auto& [t, record] : records) {
    ASSERT_TRUE(record.antenna) << t;
    EXPECT_EQ(record.flags & (kNoFix | kExtrapolated | kExtrapolationRefused), 0) << t;
    worst = std::max(worst, Distance(MetresOf(*record.antenna), track(t)));
  }
  EXPECT_LT(worst, 0.05);
}

TEST(RecordPositions, FiftyMetresOfCableTenDeepPutsTheFish48_99MetresAstern) {
  const Track track = [](double t) { return Straight(t, 0.0, 2.0); };
  LaybackSettings settings;
  settings.cableOut = 50.0;
  const auto records = RecordsOf(FixesOf(track, 60), 60, settings, 10.0);
  const PositionedRecord& last = records.back().record;
  ASSERT_TRUE(last.towfish);
  EXPECT_NEAR(track(records.back().seconds).north - MetresOf(*last.towfish).north, 48.99, 0.05);
  EXPECT_NEAR(MetresOf(*last.towfish).east, 0.0, 0.05);
}

// North for 100 s (200 m), a half turn of 100 m radius to the east, south
// for 100 s; 2 m/s.
Metres TurnTrack(double t) {
  constexpr double kRadius = 100.0, kSpeed = 2.0, kLeg = 100.0;
  const double turn = kPi * kRadius / kSpeed;
  if (t <= kLeg) return {0.0, kSpeed * t};
  if (t <= kLeg + turn) {
    const double a = (t - kLeg) * kSpeed / kRadius;
    return {kRadius - kRadius * std::cos(a), kSpeed * kLeg + kRadius * std::sin(a)};
  }
  return {2 * kRadius, kSpeed * kLeg - kSpeed * (t - kLeg - turn)};
}

// Distance from a point to the ship's track run up to `t`: to the legs run
// so far and to the part of the turn's circle (centre (100, 200)) passed.
double DistanceToSegment(const Metres& p, const Metres& a, const Metres& b) {
  const double dx = b.east - a.east, dy = b.north - a.north, length2 = dx * dx + dy * dy;
  const double u = length2 > 0 ? std::clamp(((p.east - a.east) * dx + (p.north - a.north) * dy) / length2, 0.0, 1.0) : 0.0;
  return Distance(p, {a.east + u * dx, a.north + u * dy});
}

double DistanceToPastTrack(const Metres& p, double t) {
  double best = DistanceToSegment(p, TurnTrack(0), TurnTrack(std::min(t, 100.0)));
  if (t <= 100.0) return best;
  const double turned = std::min(t - 100.0, kPi * 50.0) * 2.0 / 100.0;  // radians of the turn run
  double angle = kPi - std::atan2(p.north - 200.0, p.east - 100.0);   // the point's place along the turn
  if (angle >= 2 * kPi) angle -= 2 * kPi;
  best = std::min({best, Distance(p, TurnTrack(100.0)), Distance(p, TurnTrack(100.0 + turned * 50.0))});
  if (angle <= turned) best = std::min(best, std::fabs(Distance(p, {100.0, 200.0}) - 100.0));
  if (t > 100.0 + kPi * 50.0) best = std::min(best, DistanceToSegment(p, TurnTrack(100.0 + kPi * 50.0), TurnTrack(t)));
  return best;
}

double WorstDistanceFromTheShipsTrack(LaybackMode mode) {
  const double seconds = 100.0 + kPi * 50.0 + 60.0;
  LaybackSettings settings;
  settings.cableOut = 50.0;
  settings.mode = mode;
  const auto records = RecordsOf(FixesOf(TurnTrack, seconds), seconds, settings, 10.0);
  double worst = 0.0;
  for (std::size_t i = 300; i < records.size(); ++i) {  // from 60 m run on
    const auto& [t, record] = records[i];
    if (!record.towfish) return 1e9;
    worst = std::max(worst, DistanceToPastTrack(MetresOf(*record.towfish), t));
  }
  return worst;
}

TEST(RecordPositions, FollowingTheFishKeepsItOnTheShipsTrackThroughATurn) {
  EXPECT_LT(WorstDistanceFromTheShipsTrack(LaybackMode::FollowTheFish), 0.5);
  // Placed along the course made good, the fish leaves the track in the turn.
  EXPECT_GT(WorstDistanceFromTheShipsTrack(LaybackMode::AlongCourse), 2.0);
}

TEST(RecordPositions, ATargetCrossedOnOppositeLinesFallsInOnePlaceWithLayback) {
  // A target at the origin, crossed going north and going south; the fish
  // passes over it 48.99 m behind the antenna at t = 150.05 s on both lines.
  const double layback = std::sqrt(50.0 * 50.0 - 10.0 * 10.0);
  const double t = 150.05;
  const Track north = [&](double s) { return Metres{0.0, -2.0 * t + layback + 2.0 * s}; };
  const Track south = [&](double s) { return Metres{0.0, 2.0 * t - layback - 2.0 * s}; };
  LaybackSettings settings;
  settings.cableOut = 50.0;
  const auto atTarget = [&](const Track& line) {
    const auto records = RecordsOf(FixesOf(line, 200), 200, settings, 10.0);
    return records[1500].record;  // t = 150.05 s
  };
  const PositionedRecord a = atTarget(north), b = atTarget(south);
  ASSERT_TRUE(a.towfish && b.towfish);
  EXPECT_NEAR(Distance(MetresOf(*a.antenna), MetresOf(*b.antenna)), 97.98, 0.1);  // without layback
  EXPECT_LT(Distance(MetresOf(*a.towfish), MetresOf(*b.towfish)), 2.0);
  EXPECT_LT(Distance(MetresOf(*a.towfish), Metres{}), 1.0);
}

TEST(RecordPositions, RecordsInAThreeSecondDropoutAreFlaggedNotPositioned) {
  const Track track = [](double t) { return Straight(t, 45.0, 2.0); };
  // The fixes of 11, 12 and 13 s are lost.
  const auto records = RecordsOf(FixesOf(track, 30, {10.5, 13.5}), 30, LaybackSettings{});
  for (const auto& [t, record] : records) {
    const bool inDropout = t > 10.0 && t < 14.0;
    EXPECT_EQ(record.antenna.has_value(), !inDropout) << t;
    if (t > 1.0) {
      EXPECT_EQ(record.towfish.has_value(), !inDropout) << t;
    }
    EXPECT_EQ((record.flags & kNoFix) != 0, inDropout) << t;
  }
}

TEST(RecordPositions, OneLostFixIsBridged) {
  const Track track = [](double t) { return Straight(t, 45.0, 2.0); };
  for (const auto& [t, record] : RecordsOf(FixesOf(track, 30, {10.5, 11.5}), 30, LaybackSettings{}))
    EXPECT_TRUE(record.antenna) << t;
}

TEST(RecordPositions, ACableChangeMovesTheFishFromThenOn) {
  const Track track = [](double t) { return Straight(t, 0.0, 2.0); };
  const FixTimeline fixes = FixesOf(track, 120);
  CableHistory cable(50.0);
  cable.Change({kStart + 60 * kNsPerSecond, 30.0});
  RecordPositioner positioner(fixes, cable, LaybackSettings{});
  std::map<int, double> astern;  // by tenth of a second
  for (int i = 0; i < 1000; ++i) {
    const double t = 0.1 * i + 0.05;
    const ReceptionTime time{static_cast<std::uint64_t>(i + 1), kStart + std::llround(t * 1e9), 0};
    const PositionedRecord record = positioner.Position({time.row, 0.0}, time);
    if (record.towfish) astern[i] = track(t).north - MetresOf(*record.towfish).north;
  }
  EXPECT_NEAR(astern.at(599), 50.0, 0.05);  // 59.95 s
  EXPECT_NEAR(astern.at(600), 30.0, 0.05);  // 60.05 s
}

TEST(RecordPositions, ARecordWithoutATimeHasNoPosition) {
  const FixTimeline fixes = FixesOf([](double t) { return Straight(t, 0.0, 2.0); }, 10);
  CableHistory cable(50.0);
  RecordPositioner positioner(fixes, cable, LaybackSettings{});
  const PositionedRecord record = positioner.Position({4, std::nullopt}, std::nullopt);
  EXPECT_EQ(record.flags, kNoTime);
  EXPECT_FALSE(record.antenna);
  EXPECT_EQ(PositionFlagsText(kNoTime | kDepthOverCable), "no-time depth-over-cable");
  EXPECT_EQ(PositionFlagsText(0), "");
}

TEST(RecordPositions, AFishDeeperThanTheCableIsFlagged) {
  const auto records = RecordsOf(FixesOf([](double t) { return Straight(t, 0.0, 2.0); }, 10), 10, LaybackSettings{}, 60.0);
  EXPECT_EQ(records.back().record.flags, kDepthOverCable);
  EXPECT_FALSE(records.back().record.towfish);
  EXPECT_TRUE(records.back().record.antenna);
}

}  // namespace
}  // namespace tessaly
