#include "core/Layback.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tessaly {
namespace {

constexpr double kWgs84A = 6378137.0;
constexpr double kWgs84E2 = 0.00669437999014;
constexpr double kDegrees = 180.0 / std::numbers::pi;
// A tow point that moved less than this is not added to the track again.
constexpr double kTrackStepMetres = 0.05;

// Metres per radian of latitude (meridian) and of longitude (along the
// parallel) at a latitude.
struct Radii {
  double meridian, parallel;
};
Radii RadiiAt(double latitude) {
  const double s = std::sin(latitude / kDegrees);
  const double w = 1.0 - kWgs84E2 * s * s;
  const double n = kWgs84A / std::sqrt(w);
  return {kWgs84A * (1.0 - kWgs84E2) / (w * std::sqrt(w)), n * std::cos(latitude / kDegrees)};
}

double Length(const EastNorth& v) { return std::hypot(v.east, v.north); }

EastNorth Along(double course, double metres) {
  return {metres * std::sin(course / kDegrees), metres * std::cos(course / kDegrees)};
}

}  // namespace

EastNorth MetresBetween(const GeoPosition& from, const GeoPosition& to) {
  const Radii r = RadiiAt(from.latitude);
  double dLon = to.longitude - from.longitude;
  if (dLon > 180.0) dLon -= 360.0;
  if (dLon < -180.0) dLon += 360.0;
  return {dLon / kDegrees * r.parallel, (to.latitude - from.latitude) / kDegrees * r.meridian};
}

GeoPosition MoveBy(const GeoPosition& from, const EastNorth& offset) {
  const Radii r = RadiiAt(from.latitude);
  double longitude = from.longitude + offset.east / r.parallel * kDegrees;
  if (longitude >= 180.0) longitude -= 360.0;
  if (longitude < -180.0) longitude += 360.0;
  return {from.latitude + offset.north / r.meridian * kDegrees, longitude};
}

TowfishEstimate TowfishTracker::Next(const TowfishInput& input) {
  TowfishEstimate estimate;
  estimate.depth = input.recordDepth.value_or(settings_.defaultDepth);
  if (!input.antenna) return estimate;
  estimate.courseTrue = CourseMadeGood(input.utcNs, *input.antenna);
  if (!estimate.courseTrue) {
    estimate.noCourse = true;
    return estimate;
  }
  const double course = *estimate.courseTrue;
  if (estimate.depth > input.cableOut) {
    estimate.depthOverCable = true;
    return estimate;
  }
  const double layback = std::sqrt(input.cableOut * input.cableOut - estimate.depth * estimate.depth);
  const EastNorth astern = Along(course, -settings_.towPointAstern);
  const EastNorth starboard = Along(course + 90.0, settings_.towPointStarboard);
  const GeoPosition towPoint =
      MoveBy(*input.antenna, {astern.east + starboard.east, astern.north + starboard.north});
  KeepTowPoint(towPoint, layback);
  estimate.towfish = settings_.mode == LaybackMode::FollowTheFish ? FollowedFish(towPoint, layback, course)
                                                                  : MoveBy(towPoint, Along(course, -layback));
  return estimate;
}

// The bearing from the antenna's position smoothingSeconds ago (the newest
// kept at or before then; the oldest kept when none is) to its position now.
std::optional<double> TowfishTracker::CourseMadeGood(std::int64_t utcNs, const GeoPosition& antenna) {
  antennaHistory_.push_back({utcNs, antenna});
  const auto window = static_cast<std::int64_t>(settings_.smoothingSeconds * 1e9);
  while (antennaHistory_.size() > 2 && antennaHistory_[1].utcNs <= utcNs - window) antennaHistory_.pop_front();
  const EastNorth moved = MetresBetween(antennaHistory_.front().point, antenna);
  if (Length(moved) >= kMinCourseMetres) {
    double course = std::atan2(moved.east, moved.north) * kDegrees;
    if (course < 0.0) course += 360.0;
    lastCourse_ = course;
  }
  return lastCourse_;
}

void TowfishTracker::KeepTowPoint(const GeoPosition& towPoint, double layback) {
  if (towTrack_.empty()) {
    towTrack_.push_back({towPoint, 0.0});
    return;
  }
  const double step = Length(MetresBetween(towTrack_.back().point, towPoint));
  if (step < kTrackStepMetres) return;
  towTrack_.push_back({towPoint, towTrack_.back().pathMetres + step});
  // Keep twice the layback of track and some, for a cable paid out later.
  const double keep = 2.0 * layback + 100.0;
  while (towTrack_.size() > 2 && towTrack_.back().pathMetres - towTrack_[1].pathMetres > keep) towTrack_.pop_front();
}

// Walks the tow point's track back from its newest point to where it first
// lies `layback` from the tow point, and returns that point of the track.
GeoPosition TowfishTracker::FollowedFish(const GeoPosition& towPoint, double layback, double course) {
  EastNorth nearer{};  // the track point after the one looked at, from the tow point
  for (auto it = towTrack_.rbegin(); it != towTrack_.rend(); ++it) {
    const EastNorth farther = MetresBetween(towPoint, it->point);
    const double distance = Length(farther);
    if (distance >= layback) {
      // The point of the segment nearer..farther at `layback`: the root of
      // |nearer + u (farther - nearer)| = layback with u in [0, 1].
      const EastNorth d{farther.east - nearer.east, farther.north - nearer.north};
      const double dd = d.east * d.east + d.north * d.north;
      const double ad = nearer.east * d.east + nearer.north * d.north;
      const double aa = nearer.east * nearer.east + nearer.north * nearer.north;
      const double u = dd > 0.0 ? (-ad + std::sqrt(std::max(0.0, ad * ad - dd * (aa - layback * layback)))) / dd : 1.0;
      return MoveBy(towPoint, {nearer.east + u * d.east, nearer.north + u * d.north});
    }
    nearer = farther;
  }
  return MoveBy(towPoint, Along(course, -layback));
}

}  // namespace tessaly
