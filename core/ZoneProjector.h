// ZoneProjector: positions on one plane, for whatever computes distances
// and courses over a survey (the survey lines) or hands metres to a
// processor (X and Y of the line-cut exports).
//
// The zone and hemisphere are those of the first position projected; the
// later positions go into that zone whatever their own, so a survey across a
// zone border or the equator stays one continuous plane. The projection is
// the exact one (TransverseMercator.h).
#pragma once

#include <optional>

#include "core/CourseLines.h"

namespace tessaly {

class ZoneProjector {
 public:
  explicit ZoneProjector(int mapDatum);

  // Easting and northing of signed decimal degrees; none for a position
  // that does not project (not a position, or too far from the zone).
  std::optional<PlanePoint> Project(double latitude, double longitude);
  // The zone of every result; 0 while no position has been projected.
  int Zone() const { return zone_; }
  bool Southern() const { return southern_; }

 private:
  int mapDatum_;
  int zone_ = 0;
  bool southern_ = false;
};

}  // namespace tessaly
