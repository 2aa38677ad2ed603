// ZoneProjector: positions on one plane, for whatever computes distances
// and courses over a survey (the survey lines) or hands metres to a
// processor (X and Y of the line-cut exports).
//
// The zone and hemisphere are those of the first position projected; the
// later positions go into that zone whatever their own, so a survey across a
// zone border or the equator stays one continuous plane. The projection is
// the exact one (TransverseMercator.h).
//
// A position may come already projected into its own zone (ProjectInOwnZone,
// made on another thread): where that is the projector's zone, as it is for
// nearly every position of a survey, it is taken as it is.
#pragma once

#include <optional>

#include "core/CourseLines.h"

namespace tessaly {

// A position projected into a zone: the zone's number (1 to 60) and
// hemisphere, and the easting and northing there.
struct ZonedPoint {
  int zone = 0;
  bool southern = false;
  PlanePoint point;
};

// A position projected into the zone a projector would take from it as its
// first; none where it does not project.
std::optional<ZonedPoint> ProjectInOwnZone(int mapDatum, double latitude, double longitude);

class ZoneProjector {
 public:
  explicit ZoneProjector(int mapDatum);

  // Easting and northing of signed decimal degrees; none for a position
  // that does not project (not a position, or too far from the zone).
  // `own`, when given, is the same position's ProjectInOwnZone.
  std::optional<PlanePoint> Project(double latitude, double longitude, const ZonedPoint* own = nullptr);
  // The zone of every result; 0 while no position has been projected.
  int Zone() const { return zone_; }
  bool Southern() const { return southern_; }

 private:
  int mapDatum_;
  int zone_ = 0;
  bool southern_ = false;
};

}  // namespace tessaly
