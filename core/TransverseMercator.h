// Exact UTM: the transverse Mercator by Krueger's series to the sixth power
// of the third flattening (accurate to well under a millimetre anywhere a
// zone reaches), on each ellipsoid's defining parameters.
//
// The grid's own conversion (UTMLaLo.h) works on the ellipsoid table's
// rounded polar radii and a shorter series; its texts and the VDG export
// keep that. What a processor computes with (the X and Y of the line-cut
// exports, the survey lines found from them) takes this one.
#pragma once

#include <array>

#include "core/UTMLaLo.h"

namespace tessaly {

// An ellipsoid as its definition gives it.
struct EllipsoidDefinition {
  double equatorialRadius;   // a, metres
  double inverseFlattening;  // 1 / f
};

// The defining parameters of the ellipsoids of kEllipsoids, row for row.
extern const std::array<EllipsoidDefinition, 23> kEllipsoidDefinitions;

// Projects signed decimal degrees into UTM zone `zoneNumber` (1 to 60), the
// shorter way round the globe, adding the false northing when `southern`.
// Refuses what LatLonToUtmInZone refuses: a datum or zone outside the
// tables, a latitude not within -90 < latitude < 90, a longitude not within
// -180 to 180 or more than kLargestZoneDistance from the zone's meridian.
bool ExactUtmInZone(int ellipsoidIndex, double latitude, double longitude, int zoneNumber, bool southern,
                    UtmPosition& result);

}  // namespace tessaly
