#include "core/UTMLaLo.h"

#include <cmath>

namespace tessaly {

const std::array<TEllipsoid, 23> kEllipsoids{{
    {"Airy", 6377563, 6356257},
    {"Australian National", 6378160, 6356775},
    {"Bessel 1841", 6377397, 6356079},
    {"Bessel 1841 (Nambia) ", 6377484, 6356166},
    {"Clarke 1866", 6378206, 6356583},
    {"Clarke 1880", 6378249, 6356515},
    {"Everest", 6377276, 6356075},
    {"Fischer 1960(Mercury)", 6378166, 6356784},
    {"Fischer 1968", 6378150, 6356768},
    {"GRS 1967", 6378160, 6356775},
    {"GRS 1980", 6378137, 6356752},
    {"Helmert 1906", 6378200, 6356818},
    {"Hough", 6378270, 6356794},
    {"International", 6378388, 6356912},
    {"Krassovsky", 6378245, 6356863},
    {"Modified Airy", 6377340, 6356034},
    {"Modified Everest", 6377304, 6356103},
    {"Modified Fischer 1960", 6378155, 6356773},
    {"South American 1969", 6378160, 6356775},
    {"WGS 60", 6378165, 6356783},
    {"WGS 66", 6378145, 6356760},
    {"WGS 72", 6378135, 6356751},
    {"WGS 84", 6378137, 6356752},
}};

namespace {

constexpr double kDegToRad = 0.0174532925;
constexpr double kScale = 0.9996;

// Series terms that depend on the ellipsoid only.
struct Projection {
  double a = 0, e2 = 0, ep2 = 0, m1 = 0, m2 = 0, m3 = 0, m4 = 0;
};

Projection MakeProjection(const TEllipsoid& ellipsoid) {
  Projection p;
  p.a = ellipsoid.equatorialRadius;
  const double b = ellipsoid.polarRadius;
  p.e2 = (p.a * p.a - b * b) / (p.a * p.a);
  p.ep2 = p.e2 / (1.0 - p.e2);
  const double e4 = p.e2 * p.e2, e6 = e4 * p.e2;
  p.m1 = 1.0 - p.e2 / 4.0 - 3.0 * e4 / 64.0 - 5.0 * e6 / 256.0;
  p.m2 = 3.0 * p.e2 / 8.0 + 3.0 * e4 / 32.0 + 45.0 * e6 / 1024.0;
  p.m3 = 15.0 * e4 / 256.0 + 45.0 * e6 / 1024.0;
  p.m4 = 35.0 * e6 / 3072.0;
  return p;
}

const Projection& ProjectionFor(int index) {
  static const auto table = [] {
    std::array<Projection, kEllipsoids.size()> all{};
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = MakeProjection(kEllipsoids[i]);
    return all;
  }();
  return table[static_cast<std::size_t>(index)];
}

}  // namespace

char UtmLetterDesignator(double latitude) {
  static constexpr char kBands[] = "CDEFGHJKLMNPQRSTUVWX";
  if (!(latitude > -80.0 && latitude <= 80.0)) return 'Z';
  // Dividing by 8 is exact, so the band limits fall exactly on whole numbers.
  const int band = static_cast<int>(std::ceil(latitude / 8.0)) + 9;
  return kBands[band];
}

namespace {

// Transverse Mercator of a position `longitudeFromMeridian` degrees east of
// its zone's central meridian; the northing is negative south of the equator
// (no false northing yet).
void Project(const Projection& p, double latitude, double longitudeFromMeridian, UtmPosition& result) {
  const double phi = latitude * kDegToRad;
  const double sinPhi = std::sin(phi), cosPhi = std::cos(phi);
  const double tanPhi = sinPhi / cosPhi;
  const double n = p.a / std::sqrt(1.0 - p.e2 * sinPhi * sinPhi);
  const double t = tanPhi * tanPhi;
  const double c = p.ep2 * cosPhi * cosPhi;
  const double a = cosPhi * longitudeFromMeridian * kDegToRad;
  // sin 2φ, sin 4φ and sin 6φ by the multiple-angle identities.
  const double sin2 = 2.0 * sinPhi * cosPhi, cos2 = cosPhi * cosPhi - sinPhi * sinPhi;
  const double sin4 = 2.0 * sin2 * cos2, cos4 = cos2 * cos2 - sin2 * sin2;
  const double sin6 = sin4 * cos2 + cos4 * sin2;
  const double m = p.a * (p.m1 * phi - p.m2 * sin2 + p.m3 * sin4 - p.m4 * sin6);

  const double a2 = a * a, a3 = a2 * a, a4 = a3 * a, a5 = a4 * a, a6 = a5 * a;
  result.easting = kScale * n *
                       (a + (1.0 - t + c) * a3 / 6.0 +
                        (5.0 - 18.0 * t + t * t + 72.0 * c - 58.0 * p.ep2) * a5 / 120.0) +
                   500000.0;
  result.northing =
      kScale * (m + n * tanPhi *
                        (a2 / 2.0 + (5.0 - t + 9.0 * c + 4.0 * c * c) * a4 / 24.0 +
                         (61.0 - 58.0 * t + t * t + 600.0 * c - 330.0 * p.ep2) * a6 / 720.0));
}

bool ValidDatum(int ellipsoidIndex) {
  return ellipsoidIndex >= 0 && ellipsoidIndex < static_cast<int>(kEllipsoids.size());
}

constexpr double kFalseNorthing = 10000000.0;

}  // namespace

int UtmZoneNumber(double longitude) {
  return static_cast<int>(std::floor((longitude + 180.0) / 6.0)) + 1;
}

bool LatLonToUtmZone(int ellipsoidIndex, double latitude, double longitude, UtmPosition& result) {
  if (!ValidDatum(ellipsoidIndex)) return false;
  // Beyond ten billion degrees the zone number would not fit an int; a
  // record's degrees (32-bit whole numbers) never come near.
  constexpr double kLargestLongitude = 1e10;
  if (!std::isfinite(latitude) || !(std::fabs(longitude) <= kLargestLongitude)) return false;
  result.zoneNumber = UtmZoneNumber(longitude);
  result.bandLetter = UtmLetterDesignator(latitude);
  return true;
}

bool LatLonToUtm(int ellipsoidIndex, double latitude, double longitude, UtmPosition& result) {
  if (!LatLonToUtmZone(ellipsoidIndex, latitude, longitude, result)) return false;
  Project(ProjectionFor(ellipsoidIndex), latitude, longitude - (6.0 * result.zoneNumber - 183.0), result);
  if (latitude < 0.0) result.northing += kFalseNorthing;
  return true;
}

bool LatLonToUtmInZone(int ellipsoidIndex, double latitude, double longitude, int zoneNumber,
                       bool southern, UtmPosition& result) {
  if (!ValidDatum(ellipsoidIndex) || zoneNumber < 1 || zoneNumber > 60) return false;
  if (!(std::fabs(latitude) < 90.0) || !(std::fabs(longitude) <= 180.0)) return false;
  // The shorter way round: a zone-60 point seen from zone 1 lies just west.
  const double fromMeridian = std::remainder(longitude - (6.0 * zoneNumber - 183.0), 360.0);
  if (std::fabs(fromMeridian) > kLargestZoneDistance) return false;
  result.zoneNumber = zoneNumber;
  result.bandLetter = UtmLetterDesignator(latitude);
  Project(ProjectionFor(ellipsoidIndex), latitude, fromMeridian, result);
  if (southern) result.northing += kFalseNorthing;
  return std::isfinite(result.easting) && std::isfinite(result.northing);
}

}  // namespace tessaly
