#include "core/TransverseMercator.h"

#include <cmath>
#include <numbers>

namespace tessaly {

const std::array<EllipsoidDefinition, 23> kEllipsoidDefinitions{{
    {6377563.396, 299.3249646},        // Airy 1830
    {6378160.0, 298.25},               // Australian National
    {6377397.155, 299.1528128},        // Bessel 1841
    {6377483.865, 299.1528128},        // Bessel 1841 (Namibia)
    {6378206.4, 294.9786982},          // Clarke 1866
    {6378249.145, 293.465},            // Clarke 1880
    {6377276.345, 300.8017},           // Everest 1830
    {6378166.0, 298.3},                // Fischer 1960 (Mercury)
    {6378150.0, 298.3},                // Fischer 1968
    {6378160.0, 298.247167427},        // GRS 1967
    {6378137.0, 298.257222101},        // GRS 1980
    {6378200.0, 298.3},                // Helmert 1906
    {6378270.0, 297.0},                // Hough
    {6378388.0, 297.0},                // International 1924
    {6378245.0, 298.3},                // Krassovsky
    {6377340.189, 299.3249646},        // Modified Airy
    {6377304.063, 300.8017},           // Modified Everest
    {6378155.0, 298.3},                // Modified Fischer 1960
    {6378160.0, 298.25},               // South American 1969
    {6378165.0, 298.3},                // WGS 60
    {6378145.0, 298.25},               // WGS 66
    {6378135.0, 298.26},               // WGS 72
    {6378137.0, 298.257223563},        // WGS 84
}};

namespace {

constexpr double kScale = 0.9996;
constexpr double kFalseEasting = 500000.0;
constexpr double kFalseNorthing = 10000000.0;
constexpr std::size_t kOrder = 6;

// What the series needs of one ellipsoid.
struct Series {
  double e = 0.0;              // eccentricity
  double rectifyingRadius = 0.0;  // A: the meridian's length over 2 pi
  std::array<double, kOrder> alpha{};
};

Series MakeSeries(const EllipsoidDefinition& ellipsoid) {
  const double f = 1.0 / ellipsoid.inverseFlattening;
  const double n = f / (2.0 - f);
  const double n2 = n * n, n3 = n2 * n, n4 = n3 * n, n5 = n4 * n, n6 = n5 * n;
  Series s;
  s.e = std::sqrt(f * (2.0 - f));
  s.rectifyingRadius = ellipsoid.equatorialRadius / (1.0 + n) * (1.0 + n2 / 4.0 + n4 / 64.0 + n6 / 256.0);
  s.alpha = {
      n / 2.0 - 2.0 / 3.0 * n2 + 5.0 / 16.0 * n3 + 41.0 / 180.0 * n4 - 127.0 / 288.0 * n5 + 7891.0 / 37800.0 * n6,
      13.0 / 48.0 * n2 - 3.0 / 5.0 * n3 + 557.0 / 1440.0 * n4 + 281.0 / 630.0 * n5 - 1983433.0 / 1935360.0 * n6,
      61.0 / 240.0 * n3 - 103.0 / 140.0 * n4 + 15061.0 / 26880.0 * n5 + 167603.0 / 181440.0 * n6,
      49561.0 / 161280.0 * n4 - 179.0 / 168.0 * n5 + 6601661.0 / 7257600.0 * n6,
      34729.0 / 80640.0 * n5 - 3418889.0 / 1995840.0 * n6,
      212378941.0 / 319334400.0 * n6,
  };
  return s;
}

const Series& SeriesFor(int index) {
  static const auto table = [] {
    std::array<Series, kEllipsoidDefinitions.size()> all{};
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = MakeSeries(kEllipsoidDefinitions[i]);
    return all;
  }();
  return table[static_cast<std::size_t>(index)];
}

// The tangent of the conformal latitude of the latitude whose tangent is
// `tau`, in the form that stays accurate near the poles.
double ConformalTangent(double tau, double e) {
  // Square roots rather than std::hypot: tau stays far below overflow
  // (tan 89.9999999 degrees is 6e8), and hypot costs several times more.
  const double root = std::sqrt(1.0 + tau * tau);
  const double sigma = std::sinh(e * std::atanh(e * tau / root));
  return tau * std::sqrt(1.0 + sigma * sigma) - sigma * root;
}

// Easting and northing (no false values) of a latitude and a longitude from
// the central meridian, both in radians. The series in the complex
// conformal coordinate z = xi' + i eta', sum of alpha_j sin(2jz), is summed
// by Clenshaw's recurrence, so sin 2z and cos 2z are all it needs. The
// complex arithmetic is written out in real parts.
void Project(const Series& s, double phi, double lambda, double& easting, double& northing) {
  const double tauPrime = ConformalTangent(std::tan(phi), s.e);
  const double sinLambda = std::sin(lambda), cosLambda = std::cos(lambda);
  // xi' and eta' are the angle and the area hyperbolic sine of a right
  // triangle's sides, so their doubles' sines and cosines follow from those
  // sides without more transcendental calls.
  const double r2 = tauPrime * tauPrime + cosLambda * cosLambda, r = std::sqrt(r2);
  const double xiPrime = std::atan2(tauPrime, cosLambda);
  const double sinhEta = sinLambda / r, coshEta = std::sqrt(1.0 + sinhEta * sinhEta);
  const double etaPrime = std::asinh(sinhEta);
  const double sin2Xi = 2.0 * tauPrime * cosLambda / r2, cos2Xi = (cosLambda * cosLambda - tauPrime * tauPrime) / r2;
  const double sinh2Eta = 2.0 * sinhEta * coshEta, cosh2Eta = 1.0 + 2.0 * sinhEta * sinhEta;
  // 2 cos 2z and sin 2z.
  const double ar = 2.0 * cos2Xi * cosh2Eta, ai = -2.0 * sin2Xi * sinh2Eta;
  const double sr = sin2Xi * cosh2Eta, si = cos2Xi * sinh2Eta;
  double b1r = 0.0, b1i = 0.0, b2r = 0.0, b2i = 0.0;
  for (std::size_t j = kOrder; j >= 1; --j) {
    const double b0r = s.alpha[j - 1] + ar * b1r - ai * b1i - b2r;
    const double b0i = ar * b1i + ai * b1r - b2i;
    b2r = b1r, b2i = b1i;
    b1r = b0r, b1i = b0i;
  }
  northing = kScale * s.rectifyingRadius * (xiPrime + b1r * sr - b1i * si);
  easting = kScale * s.rectifyingRadius * (etaPrime + b1r * si + b1i * sr);
}

}  // namespace

bool ExactUtmInZone(int ellipsoidIndex, double latitude, double longitude, int zoneNumber, bool southern,
                    UtmPosition& result) {
  if (ellipsoidIndex < 0 || ellipsoidIndex >= static_cast<int>(kEllipsoidDefinitions.size())) return false;
  if (zoneNumber < 1 || zoneNumber > 60) return false;
  if (!(std::fabs(latitude) < 90.0) || !(std::fabs(longitude) <= 180.0)) return false;
  const double fromMeridian = std::remainder(longitude - (6.0 * zoneNumber - 183.0), 360.0);
  if (std::fabs(fromMeridian) > kLargestZoneDistance) return false;
  constexpr double kRadians = std::numbers::pi / 180.0;
  double easting = 0.0, northing = 0.0;
  Project(SeriesFor(ellipsoidIndex), latitude * kRadians, fromMeridian * kRadians, easting, northing);
  result.zoneNumber = zoneNumber;
  result.bandLetter = UtmLetterDesignator(latitude);
  result.easting = easting + kFalseEasting;
  result.northing = northing + (southern ? kFalseNorthing : 0.0);
  return std::isfinite(result.easting) && std::isfinite(result.northing);
}

}  // namespace tessaly
