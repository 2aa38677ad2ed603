// One plane for a survey: the zone of the first position, whatever zone a
// later position falls in, and positions projected into their own zone on
// other threads taken where that zone is the survey's.
#include "core/ZoneProjector.h"

#include <gtest/gtest.h>

#include "core/UTMLaLo.h"

namespace tessaly {
namespace {

// From gdaltransform (PROJ 9), WGS 84, UTM zone 20 north:
//   echo "-63.5 44.0" | gdaltransform -s_srs EPSG:4326 -t_srs EPSG:32620
constexpr PlanePoint kFirstInZone20{459912.926017832, 4871994.34702622};
//   echo "-59.5 45.3" | gdaltransform -s_srs EPSG:4326 -t_srs EPSG:32620
constexpr PlanePoint kZone21PointInZone20{774408.619131655, 5022238.63414558};  // 45.3 N 59.5 W

TEST(ZoneProjector, APositionMadeInItsOwnZoneIsTakenOnlyInTheSurveysZone) {
  ZoneProjector projector(kWgs84Datum);
  const std::optional<ZonedPoint> first = ProjectInOwnZone(kWgs84Datum, 44.0, -63.5);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->zone, 20);
  EXPECT_FALSE(first->southern);
  const std::optional<PlanePoint> a = projector.Project(44.0, -63.5, &*first);
  ASSERT_TRUE(a);
  EXPECT_NEAR(a->x, kFirstInZone20.x, 0.001);
  EXPECT_NEAR(a->y, kFirstInZone20.y, 0.001);
  EXPECT_EQ(projector.Zone(), 20);

  // Its own zone is 21: the survey's plane is zone 20's.
  const std::optional<ZonedPoint> east = ProjectInOwnZone(kWgs84Datum, 45.3, -59.5);
  ASSERT_TRUE(east);
  EXPECT_EQ(east->zone, 21);
  const std::optional<PlanePoint> b = projector.Project(45.3, -59.5, &*east);
  ASSERT_TRUE(b);
  EXPECT_NEAR(b->x, kZone21PointInZone20.x, 0.001);
  EXPECT_NEAR(b->y, kZone21PointInZone20.y, 0.001);

  // Made in the survey's zone, it is not made again.
  const ZonedPoint made{20, false, {1.0, 2.0}};
  const std::optional<PlanePoint> c = projector.Project(45.3, -59.5, &made);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->x, 1.0);
  EXPECT_EQ(c->y, 2.0);
}

TEST(ZoneProjector, WhatIsNotAPositionHasNoZoneOfItsOwn) {
  EXPECT_FALSE(ProjectInOwnZone(kWgs84Datum, 90.0, 10.0));
  EXPECT_FALSE(ProjectInOwnZone(kWgs84Datum, 10.0, 180.5));
  EXPECT_FALSE(ProjectInOwnZone(-1, 10.0, 10.0));
  const std::optional<ZonedPoint> edge = ProjectInOwnZone(kWgs84Datum, -10.0, 180.0);
  ASSERT_TRUE(edge);
  EXPECT_EQ(edge->zone, 60);
  EXPECT_TRUE(edge->southern);
}

}  // namespace
}  // namespace tessaly
