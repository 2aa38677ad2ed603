// Geographic to UTM conversion on a choice of reference ellipsoids.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tessaly {

struct TEllipsoid {
  std::string_view name;
  double equatorialRadius;  // a, metres
  double polarRadius;       // b, metres
};

// The reference ellipsoids; the index is the stored map datum.
extern const std::array<TEllipsoid, 23> kEllipsoids;
constexpr int kWgs84Datum = 22;

struct UtmPosition {
  double northing = 0.0;  // metres, false northing included south of the equator
  double easting = 0.0;   // metres
  char bandLetter = 'Z';
  int zoneNumber = 0;
};

// Latitude band of a latitude: 8-degree bands "C" to "X" (each including its
// upper limit), "Z" outside -80 < latitude <= 80.
char UtmLetterDesignator(double latitude);

// Projects signed decimal degrees (north and east positive). False when the
// ellipsoid index is outside the table, when a coordinate is not a finite
// number, or when the longitude is beyond ten billion degrees (its zone
// number would not fit an int).
bool LatLonToUtm(int ellipsoidIndex, double latitude, double longitude, UtmPosition& result);
// LatLonToUtm's zone and band alone (northing and easting left at 0), with
// its result, without the projection.
bool LatLonToUtmZone(int ellipsoidIndex, double latitude, double longitude, UtmPosition& result);

// The UTM zone of a longitude (1 to 60 from -180 to 180).
int UtmZoneNumber(double longitude);

// Farthest a position may lie from a zone's central meridian, in degrees of
// longitude, to be projected into that zone: three zones either side.
inline constexpr double kLargestZoneDistance = 18.0;

// Projects signed decimal degrees into the given zone (1 to 60) instead of
// the position's own, the shorter way round the globe, adding the false
// northing when `southern` (so a track that crosses the equator or a zone
// border stays continuous). False for a datum or zone outside the tables, a
// latitude not within -90 < latitude < 90, a longitude not within -180 to
// 180 or more than kLargestZoneDistance from the zone's central meridian.
bool LatLonToUtmInZone(int ellipsoidIndex, double latitude, double longitude, int zoneNumber,
                       bool southern, UtmPosition& result);

}  // namespace tessaly
