#include "core/ZoneProjector.h"

#include <algorithm>
#include <cmath>

#include "core/TransverseMercator.h"

namespace tessaly {

ZoneProjector::ZoneProjector(int mapDatum) : mapDatum_(mapDatum) {}

std::optional<PlanePoint> ZoneProjector::Project(double latitude, double longitude) {
  const bool firstZone = zone_ == 0;
  if (firstZone) {
    if (!(std::fabs(latitude) < 90.0 && std::fabs(longitude) <= 180.0)) return std::nullopt;
    zone_ = std::min(UtmZoneNumber(longitude), 60);  // 180 E is zone 60's edge
    southern_ = latitude < 0.0;
  }
  UtmPosition utm;
  if (ExactUtmInZone(mapDatum_, latitude, longitude, zone_, southern_, utm)) return PlanePoint{utm.easting, utm.northing};
  if (firstZone) zone_ = 0;  // an unknown datum: no zone either
  return std::nullopt;
}

}  // namespace tessaly
