#include "core/UTMLaLo.h"

#include <gtest/gtest.h>

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
