#include "core/ZoneProjector.h"

#include <algorithm>
#include <cmath>

#include "core/TransverseMercator.h"

namespace tessaly {

namespace {

// The zone and hemisphere a first position sets; none for what is not a
// position.
std::optional<ZonedPoint> OwnZone(double latitude, double longitude) {
  if (!(std::fabs(latitude) < 90.0 && std::fabs(longitude) <= 180.0)) return std::nullopt;
  return ZonedPoint{std::min(UtmZoneNumber(longitude), 60), latitude < 0.0, {}};  // 180 E is zone 60's edge
}

std::optional<PlanePoint> ProjectInZone(int mapDatum, double latitude, double longitude, int zone, bool southern) {
  UtmPosition utm;
  if (!ExactUtmInZone(mapDatum, latitude, longitude, zone, southern, utm)) return std::nullopt;
  return PlanePoint{utm.easting, utm.northing};
}

}  // namespace

std::optional<ZonedPoint> ProjectInOwnZone(int mapDatum, double latitude, double longitude) {
  std::optional<ZonedPoint> own = OwnZone(latitude, longitude);
  if (!own) return std::nullopt;
  const std::optional<PlanePoint> point = ProjectInZone(mapDatum, latitude, longitude, own->zone, own->southern);
  if (!point) return std::nullopt;
  own->point = *point;
  return own;
}

ZoneProjector::ZoneProjector(int mapDatum) : mapDatum_(mapDatum) {}

std::optional<PlanePoint> ZoneProjector::Project(double latitude, double longitude, const ZonedPoint* own) {
  const bool firstZone = zone_ == 0;
  if (firstZone) {
    const std::optional<ZonedPoint> zone = OwnZone(latitude, longitude);
    if (!zone) return std::nullopt;
    zone_ = zone->zone;
    southern_ = zone->southern;
  }
  if (own && own->zone == zone_ && own->southern == southern_) return own->point;
  if (const std::optional<PlanePoint> point = ProjectInZone(mapDatum_, latitude, longitude, zone_, southern_))
    return point;
  if (firstZone) zone_ = 0;  // an unknown datum: no zone either
  return std::nullopt;
}

}  // namespace tessaly
