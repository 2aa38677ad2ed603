#include "core/TransverseMercator.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tessaly {
namespace {

// Every definition gives the table's radii to the metre they were rounded
// to: the two tables name the same ellipsoids, row for row.
TEST(EllipsoidDefinitions, AgreeWithTheRoundedTable) {
  for (std::size_t i = 0; i < kEllipsoids.size(); ++i) {
    const EllipsoidDefinition& definition = kEllipsoidDefinitions[i];
    const double polar = definition.equatorialRadius * (1.0 - 1.0 / definition.inverseFlattening);
    EXPECT_NEAR(definition.equatorialRadius, kEllipsoids[i].equatorialRadius, 1.0) << kEllipsoids[i].name;
    EXPECT_NEAR(polar, kEllipsoids[i].polarRadius, 1.0) << kEllipsoids[i].name;
  }
}

constexpr int kInternationalDatum = 13;
constexpr int kClarke1866Datum = 4;

struct Reference {
  int datum;
  double latitude, longitude;
  int zone;
  bool southern;
  double easting, northing;  // as PROJ 9 (gdaltransform of GDAL 3.6) gives them
};

// Written down from gdaltransform, e.g.
//   echo "-63.5 44.0" | gdaltransform -s_srs EPSG:4326 -t_srs EPSG:32620
// and, for the other ellipsoids, "+proj=utm +zone=31 +ellps=intl" and
// "+proj=utm +zone=60 +south +ellps=clrk66".
constexpr Reference kReferences[] = {
    {kWgs84Datum, 44.0, -63.5, 20, false, 459912.926017832, 4871994.34702622},
    {kWgs84Datum, 45.3, -60.2, 20, false, 719527.374947238, 5020091.77081416},  // 2.8 degrees east
    {kWgs84Datum, 10.0, -66.9, 20, false, 72264.9467666839, 1107943.29205037},  // 3.9 degrees west
    {kWgs84Datum, -33.9, 151.2, 56, true, 333568.941011552, 6247473.33684402},
    {kInternationalDatum, 48.85, 2.35, 31, false, 452312.630749807, 5411091.99205282},
    {kInternationalDatum, 70.5, -3.5, 31, false, 258231.815236351, 7834786.97546627},  // zone 30's point
    {kClarke1866Datum, -10.0, -179.9, 60, true, 839907.084811099, 8893058.9764419},    // across 180
};

TEST(ExactUtmInZone, AgreesWithProjToAMillimetre) {
  for (const Reference& r : kReferences) {
    UtmPosition utm;
    ASSERT_TRUE(ExactUtmInZone(r.datum, r.latitude, r.longitude, r.zone, r.southern, utm)) << r.latitude;
    EXPECT_EQ(utm.zoneNumber, r.zone);
    EXPECT_NEAR(utm.easting, r.easting, 0.001) << r.latitude << " " << r.longitude;
    EXPECT_NEAR(utm.northing, r.northing, 0.001) << r.latitude << " " << r.longitude;
  }
}

TEST(ExactUtmInZone, RefusesWhatDoesNotProject) {
  UtmPosition p;
  EXPECT_FALSE(ExactUtmInZone(-1, 45.0, -63.0, 20, false, p));
  EXPECT_FALSE(ExactUtmInZone(23, 45.0, -63.0, 20, false, p));
  EXPECT_FALSE(ExactUtmInZone(kWgs84Datum, 45.0, -63.0, 0, false, p));
  EXPECT_FALSE(ExactUtmInZone(kWgs84Datum, 45.0, -63.0, 61, false, p));
  EXPECT_FALSE(ExactUtmInZone(kWgs84Datum, 90.0, -63.0, 20, false, p));
  EXPECT_FALSE(ExactUtmInZone(kWgs84Datum, 45.0, 180.5, 1, false, p));
  EXPECT_FALSE(ExactUtmInZone(kWgs84Datum, 45.0, -40.0, 20, false, p));  // 23 degrees off
  EXPECT_FALSE(ExactUtmInZone(kWgs84Datum, NAN, -63.0, 20, false, p));
}

}  // namespace
}  // namespace tessaly
