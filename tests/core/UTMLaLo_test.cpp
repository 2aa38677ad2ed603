#include "core/UTMLaLo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace tessaly {
namespace {

UtmPosition Project(double latitude, double longitude, int datum = kWgs84Datum) {
  UtmPosition p;
  EXPECT_TRUE(LatLonToUtm(datum, latitude, longitude, p));
  return p;
}

TEST(UtmLetterDesignator, EightDegreeBandsIncludeTheirUpperLimit) {
  EXPECT_EQ(UtmLetterDesignator(45.20575), 'T');
  EXPECT_EQ(UtmLetterDesignator(-33.9), 'H');
  EXPECT_EQ(UtmLetterDesignator(72.0), 'W');
  EXPECT_EQ(UtmLetterDesignator(72.0001), 'X');
  EXPECT_EQ(UtmLetterDesignator(80.0), 'X');
  EXPECT_EQ(UtmLetterDesignator(81.0), 'Z');
  EXPECT_EQ(UtmLetterDesignator(8.0), 'N');
  EXPECT_EQ(UtmLetterDesignator(0.0001), 'N');
  EXPECT_EQ(UtmLetterDesignator(0.0), 'M');
  EXPECT_EQ(UtmLetterDesignator(-8.0), 'L');
  EXPECT_EQ(UtmLetterDesignator(-79.9), 'C');
  EXPECT_EQ(UtmLetterDesignator(-80.0), 'Z');
  EXPECT_EQ(UtmLetterDesignator(-72.0), 'C');
  EXPECT_EQ(UtmLetterDesignator(-71.9), 'D');
  EXPECT_EQ(UtmLetterDesignator(56.5), 'V');
  EXPECT_EQ(UtmLetterDesignator(40.0), 'S');
}

TEST(LatLonToUtm, ZoneAndCentralMeridianFollowTheLongitude) {
  const UtmPosition halifax = Project(45.20575, -63.5);
  EXPECT_EQ(halifax.zoneNumber, 20);
  EXPECT_EQ(halifax.bandLetter, 'T');
  // -63.5 is half a degree west of the central meridian -63
  EXPECT_LT(halifax.easting, 500000.0);
  EXPECT_NEAR(Project(45.20575, -62.5).easting - 500000.0, 500000.0 - halifax.easting, 1e-6);
  EXPECT_EQ(Project(50.0, 7.0).zoneNumber, 32);
  EXPECT_NEAR(Project(50.0, 9.0).easting, 500000.0, 1e-6);
  EXPECT_EQ(Project(10.0, -180.0).zoneNumber, 1);
}

TEST(LatLonToUtm, SouthernLatitudesIncludeTheFalseNorthing) {
  const UtmPosition sydney = Project(-33.9, 151.2);
  EXPECT_EQ(sydney.bandLetter, 'H');
  EXPECT_EQ(sydney.zoneNumber, 56);
  EXPECT_GT(sydney.northing, 6200000.0);
  EXPECT_LT(sydney.northing, 6300000.0);
  EXPECT_NEAR(sydney.northing + Project(33.9, 151.2).northing, 10000000.0, 1e-6);
}

TEST(LatLonToUtm, MetresMatchKnownValues) {
  // On the central meridian the northing is the scaled meridian arc,
  // 4 984 944.378 m to 45 degrees on WGS 84; the whole-metre polar radius
  // (0.314 m short) shortens the arc by 0.357 m, the rounded degree factor by
  // another 6 mm.
  const UtmPosition onMeridian = Project(45.0, -63.0);
  EXPECT_NEAR(onMeridian.easting, 500000.0, 1e-6);
  EXPECT_NEAR(onMeridian.northing, 0.9996 * (4984944.378 - 0.357 - 0.006), 0.01);
  // Textbook example on Clarke 1866: 40.5 N, 73.5 W.
  const UtmPosition clarke = Project(40.5, -73.5, 4);
  EXPECT_EQ(clarke.zoneNumber, 18);
  EXPECT_NEAR(clarke.easting, 627106.5, 1.0);
  EXPECT_NEAR(clarke.northing, 4484124.4, 1.0);
}

TEST(LatLonToUtm, EllipsoidChangesTheResult) {
  EXPECT_GT(std::abs(Project(45.0, -63.5, 0).northing - Project(45.0, -63.5).northing), 100.0);
  EXPECT_DOUBLE_EQ(Project(45.0, -63.5, 10).northing, Project(45.0, -63.5, 22).northing);
  UtmPosition p;
  EXPECT_FALSE(LatLonToUtm(-1, 45.0, -63.0, p));
  EXPECT_FALSE(LatLonToUtm(23, 45.0, -63.0, p));
}

// Transverse Mercator by Krueger's series in the third flattening (the usual
// reference formulae, accurate to well under a millimetre within a few
// degrees of the meridian): an independent check of the projection into a
// foreign zone. Same ellipsoid as the table's WGS 84 row.
UtmPosition KruegerReference(double latitude, double longitude, double centralMeridian, bool southern) {
  const double a = 6378137.0, b = 6356752.0;
  const double f = (a - b) / a, n = f / (2.0 - f);
  const double bigA = a / (1.0 + n) * (1.0 + n * n / 4.0 + n * n * n * n / 64.0);
  const double alpha[3] = {n / 2.0 - 2.0 * n * n / 3.0 + 5.0 * n * n * n / 16.0,
                           13.0 * n * n / 48.0 - 3.0 * n * n * n / 5.0, 61.0 * n * n * n / 240.0};
  const double rad = M_PI / 180.0;
  const double phi = latitude * rad, lambda = (longitude - centralMeridian) * rad;
  const double root = 2.0 * std::sqrt(n) / (1.0 + n);
  const double t = std::sinh(std::atanh(std::sin(phi)) - root * std::atanh(root * std::sin(phi)));
  const double xi = std::atan2(t, std::cos(lambda));
  const double eta = std::atanh(std::sin(lambda) / std::sqrt(1.0 + t * t));
  double e = eta, nn = xi;
  for (int j = 1; j <= 3; ++j) {
    e += alpha[j - 1] * std::cos(2 * j * xi) * std::sinh(2 * j * eta);
    nn += alpha[j - 1] * std::sin(2 * j * xi) * std::cosh(2 * j * eta);
  }
  UtmPosition p;
  p.easting = 500000.0 + 0.9996 * bigA * e;
  p.northing = (southern ? 10000000.0 : 0.0) + 0.9996 * bigA * nn;
  return p;
}

UtmPosition ProjectInZone(double latitude, double longitude, int zone, bool southern) {
  UtmPosition p;
  EXPECT_TRUE(LatLonToUtmInZone(kWgs84Datum, latitude, longitude, zone, southern, p));
  return p;
}

TEST(LatLonToUtmInZone, OwnZoneGivesTheOrdinaryProjection) {
  for (const auto& [lat, lon] : {std::pair{45.20575, -63.5}, {-33.9, 151.2}, {0.5, 0.5}, {70.0, -179.0}}) {
    const UtmPosition own = Project(lat, lon);
    const UtmPosition forced = ProjectInZone(lat, lon, own.zoneNumber, lat < 0.0);
    EXPECT_EQ(forced.zoneNumber, own.zoneNumber);
    EXPECT_EQ(forced.bandLetter, own.bandLetter);
    EXPECT_NEAR(forced.easting, own.easting, 1e-6);
    EXPECT_NEAR(forced.northing, own.northing, 1e-6);
  }
}

TEST(LatLonToUtmInZone, PointEastOfAZoneBorderMatchesTheWesternZonesReference) {
  // -60 is the border of zones 20 (meridian -63) and 21; about 1 km east of
  // it at 45 N.
  const double lat = 45.0, lon = -60.0 + 1000.0 / 78847.0;
  ASSERT_EQ(Project(lat, lon).zoneNumber, 21);
  const UtmPosition west = ProjectInZone(lat, lon, 20, false);
  const UtmPosition reference = KruegerReference(lat, lon, -63.0, false);
  EXPECT_EQ(west.zoneNumber, 20);
  EXPECT_NEAR(west.easting, reference.easting, 0.05);
  EXPECT_NEAR(west.northing, reference.northing, 0.05);
  // Continuous across the border: 2 km west of that point, in zone 20 anyway.
  const UtmPosition before = Project(lat, -60.0 - 1000.0 / 78847.0);
  EXPECT_NEAR(west.easting - before.easting, 2000.0, 5.0);
}

TEST(LatLonToUtmInZone, SouthernHemisphereAndTheAntimeridian) {
  // South of the equator in zone 56's western neighbour.
  const UtmPosition south = ProjectInZone(-33.9, 150.1, 55, true);
  const UtmPosition southReference = KruegerReference(-33.9, 150.1, 147.0, true);
  EXPECT_NEAR(south.easting, southReference.easting, 0.05);
  EXPECT_NEAR(south.northing, southReference.northing, 0.05);
  // A track of a southern zone that crosses the equator keeps the false
  // northing, so it stays continuous.
  EXPECT_NEAR(ProjectInZone(0.01, 150.1, 55, true).northing, KruegerReference(0.01, 150.1, 147.0, true).northing,
              0.05);
  EXPECT_GT(ProjectInZone(0.01, 150.1, 55, true).northing, 10000000.0);
  // 179.9 E seen from zone 1 lies just west of it, not 360 degrees away.
  const UtmPosition across = ProjectInZone(10.0, 179.9, 1, false);
  const UtmPosition acrossReference = KruegerReference(10.0, -180.1, -177.0, false);
  EXPECT_NEAR(across.easting, acrossReference.easting, 0.05);
  EXPECT_NEAR(across.northing, acrossReference.northing, 0.05);
}

TEST(LatLonToUtmInZone, RefusesWhatDoesNotProject) {
  UtmPosition p;
  EXPECT_FALSE(LatLonToUtmInZone(kWgs84Datum, 45.0, -63.0, 0, false, p));
  EXPECT_FALSE(LatLonToUtmInZone(kWgs84Datum, 45.0, -63.0, 61, false, p));
  EXPECT_FALSE(LatLonToUtmInZone(23, 45.0, -63.0, 20, false, p));
  EXPECT_FALSE(LatLonToUtmInZone(kWgs84Datum, 90.0, -63.0, 20, false, p));
  EXPECT_FALSE(LatLonToUtmInZone(kWgs84Datum, std::nan(""), -63.0, 20, false, p));
  EXPECT_FALSE(LatLonToUtmInZone(kWgs84Datum, 45.0, 181.0, 20, false, p));
  EXPECT_FALSE(LatLonToUtmInZone(kWgs84Datum, 45.0, -63.0 + kLargestZoneDistance + 0.01, 20, false, p));
  EXPECT_TRUE(LatLonToUtmInZone(kWgs84Datum, 45.0, -63.0 + kLargestZoneDistance, 20, false, p));
}

TEST(Ellipsoids, TableHoldsTheTwentyThreeNamesInOrder) {
  ASSERT_EQ(kEllipsoids.size(), 23u);
  EXPECT_EQ(kEllipsoids[0].name, "Airy");
  EXPECT_EQ(kEllipsoids[3].name, "Bessel 1841 (Nambia) ");
  EXPECT_EQ(kEllipsoids[7].name, "Fischer 1960(Mercury)");
  EXPECT_EQ(kEllipsoids[13].name, "International");
  EXPECT_EQ(kEllipsoids[22].name, "WGS 84");
  EXPECT_EQ(kEllipsoids[22].equatorialRadius, 6378137.0);
  EXPECT_EQ(kEllipsoids[22].polarRadius, 6356752.0);
}

}  // namespace
}  // namespace tessaly
