// Layback: where the towfish is, from the antenna's positions, the cable out
// and the towfish's depth.
//
// The tow point lies at a fixed offset from the GPS antenna in the ship's
// frame: `towPointAstern` metres astern and `towPointStarboard` metres to
// starboard, the ship's axis taken along the course made good. The course
// made good is the bearing from the antenna's position `smoothingSeconds`
// before to its position now (the oldest position kept when the survey is
// younger), so it follows the track, not the yaw of the hull; while the
// antenna has moved less than kMinCourseMetres in that time the last course
// stays, and before there was one the towfish has no position.
//
// The cable hangs from the tow point to the towfish at its depth: the
// towfish lies sqrt(cable² − depth²) behind the tow point horizontally. The
// depth is the record's towfish depth where the record has one, else the set
// depth; a depth greater than the cable out is flagged and the towfish left
// without a position.
//
// Modes:
//   AlongCourse   - the towfish is astern of the tow point along the course
//                   made good.
//   FollowTheFish - the towfish is on the tow point's own past track, where
//                   that track lies at the horizontal layback from the tow
//                   point now: through a turn the fish keeps to the water the
//                   ship went through, as a towed body does. Until the track
//                   is long enough it is placed as AlongCourse.
//
// Distances of tens of metres are worked in a plane tangent to the WGS 84
// ellipsoid at the antenna (millimetres over a few hundred metres).
#pragma once

#include <cstdint>
#include <deque>
#include <optional>

#include "core/NmeaSentence.h"

namespace tessaly {

enum class LaybackMode : std::uint8_t { AlongCourse = 0, FollowTheFish = 1 };

struct LaybackSettings {
  double cableOut = 50.0;          // metres; the value when no change was recorded
  double towPointAstern = 0.0;     // metres astern of the antenna
  double towPointStarboard = 0.0;  // metres to starboard of the antenna
  double defaultDepth = 0.0;       // metres; for records without a towfish depth
  LaybackMode mode = LaybackMode::AlongCourse;
  double smoothingSeconds = 30.0;

  bool operator==(const LaybackSettings&) const = default;
};

inline constexpr double kMinCourseMetres = 1.0;

// Metres east and north from `from` to `to`, and the point that far from
// `from`, in the plane tangent at `from`.
struct EastNorth {
  double east = 0.0, north = 0.0;
};
EastNorth MetresBetween(const GeoPosition& from, const GeoPosition& to);
GeoPosition MoveBy(const GeoPosition& from, const EastNorth& offset);

struct TowfishInput {
  std::int64_t utcNs = 0;             // the record's reception time
  std::optional<GeoPosition> antenna;    // none when the record has no GPS position
  double cableOut = 0.0;
  std::optional<double> recordDepth;  // the record's towfish depth, where it has one
};

struct TowfishEstimate {
  std::optional<GeoPosition> towfish;
  std::optional<double> courseTrue;  // degrees, the course made good used
  double depth = 0.0;                // the depth used
  bool depthOverCable = false;
  bool noCourse = false;
};

// Places the towfish of each record in turn; records come in reception
// order. Keeps only what the smoothing time and the cable need.
class TowfishTracker {
 public:
  explicit TowfishTracker(const LaybackSettings& settings) : settings_(settings) {}
  TowfishEstimate Next(const TowfishInput& input);

 private:
  struct Timed {
    std::int64_t utcNs;
    GeoPosition point;
  };
  struct TrackPoint {
    GeoPosition point;
    double pathMetres;  // along the tow point's track from its first point
  };

  std::optional<double> CourseMadeGood(std::int64_t utcNs, const GeoPosition& antenna);
  GeoPosition FollowedFish(const GeoPosition& towPoint, double layback, double course);
  void KeepTowPoint(const GeoPosition& towPoint, double layback);

  LaybackSettings settings_;
  std::deque<Timed> antennaHistory_;
  std::optional<double> lastCourse_;
  std::deque<TrackPoint> towTrack_;
};

}  // namespace tessaly
