// Navigation lines: GPS only ('p') and towfish plus GPS ('+').
#include <gtest/gtest.h>

#include <string>

#include "support/SampleSetUp.h"

namespace tessaly::test {
namespace {

const char* const kGpsOnly = "08:00:00.00,4418.0000,N,06318.0000,W,000.0,4.5,+00011,54.5,76.5";

std::string PlusLine(const std::string& towfish, const std::string& fixLat = "4418.0000",
                     const std::string& fixLon = "06318.0000", const std::string& dev = "+00042") {
  return "08:00:00.00," + fixLat + ",N," + fixLon + ",W,000.0,4.5," + towfish + "," + dev + ",25.3,78.4";
}

TEST(SampleNavigation, GpsOnlyModeMovesTheFixToTheGpsSetAndZeroesTheTowfish) {
  auto s = MakeNavigationSample('p');
  ASSERT_EQ(s->Parse(kGpsOnly), 0) << s->FErrorText;
  EXPECT_EQ(s->FNavTime, "08:00:00.00");
  EXPECT_EQ(s->FNavAux, "000.0");
  EXPECT_EQ(s->FDev, "+00011");
  EXPECT_EQ(s->FTowDepth, "54.5");
  EXPECT_EQ(s->FSounder, "76.5");
  EXPECT_EQ(s->FGpsLatDeg, "44");
  EXPECT_EQ(s->FGpsLatMin, "18.0000");
  EXPECT_EQ(s->FGpsLatHemi, "N");
  EXPECT_EQ(s->FGpsLonDeg, "063");
  EXPECT_EQ(s->FGpsLonMin, "18.0000");
  EXPECT_EQ(s->FGpsLonHemi, "W");
  EXPECT_EQ(s->FGpsDecLat, "+44.30000");
  EXPECT_EQ(s->FGpsDecLon, "-63.30000");
  EXPECT_EQ(s->FGpsZone, "20 T");
  EXPECT_EQ(s->FGpsNorth.size(), 11u);
  for (const std::string* zero : {&s->FLatDeg, &s->FLatMin, &s->FLonDeg, &s->FLonMin, &s->FTfDecLat,
                                  &s->FTfDecLon, &s->FTfNorth, &s->FTfEast})
    EXPECT_EQ(*zero, "0");
  EXPECT_TRUE(s->FLatHemi.empty());
  EXPECT_TRUE(s->FLonHemi.empty());
  EXPECT_TRUE(s->FTfZone.empty());
}

TEST(SampleNavigation, TowfishModeReadsSignedDecimalDegrees) {
  auto s = MakeNavigationSample('+');
  ASSERT_EQ(s->Parse(PlusLine("TF:44.2994600:-63.3000000")), 0) << s->FErrorText;
  EXPECT_EQ(s->FNavTowPos, "TF:44.2994600:-63.3000000");
  EXPECT_EQ(s->FLatDeg, "44");
  EXPECT_EQ(s->FLatMin, "17.968");
  EXPECT_EQ(s->FLatHemi, "N");
  EXPECT_EQ(s->FLonDeg, "063");
  EXPECT_EQ(s->FLonMin, "18.000");
  EXPECT_EQ(s->FLonHemi, "W");
  EXPECT_EQ(s->FTfDecLat, "+44.29946");
  EXPECT_EQ(s->FTfDecLon, "-63.30000");
  EXPECT_EQ(s->FTfZone, "20 T");
  EXPECT_EQ(s->FGpsLatMin, "18.0000");
  EXPECT_EQ(s->FGpsDecLat, "+44.30000");
  EXPECT_EQ(s->FGpsDecLon, "-63.30000");
  EXPECT_NE(s->FTfNorth, s->FGpsNorth);
}

TEST(SampleNavigation, TowfishDegreesAndMinutesArePadded) {
  auto s = MakeNavigationSample('+');
  ASSERT_EQ(s->Parse(PlusLine("TF:-5.0100000:+7.0500000")), 0) << s->FErrorText;
  EXPECT_EQ(s->FLatDeg, "05");
  EXPECT_EQ(s->FLatMin, "00.600");
  EXPECT_EQ(s->FLatHemi, "S");
  EXPECT_EQ(s->FLonDeg, "007");
  EXPECT_EQ(s->FLonMin, "03.000");
  EXPECT_EQ(s->FLonHemi, "E");
  EXPECT_EQ(s->FTfDecLat, "-5.01000");
  EXPECT_EQ(s->FTfDecLon, "+7.05000");
  EXPECT_EQ(s->FTfZone, "32 M");
}

TEST(SampleNavigation, ANonNumericTowfishPositionLeavesItsMessageButKeepsTheLine) {
  auto s = MakeNavigationSample('+');
  EXPECT_EQ(s->Parse(PlusLine("TF:44.29x:-63.3")), 0);
  EXPECT_EQ(s->FErrorText, "Latitude Degrees is non-numeric");
  EXPECT_EQ(s->FGpsDecLat, "+44.30000");
  EXPECT_EQ(s->Parse(PlusLine("TF:44.2994600:-63")), 0);
  EXPECT_EQ(s->FErrorText, "Longitude Degrees is non-numeric");
  // a later failing check replaces that message
  EXPECT_EQ(s->Parse(PlusLine("TF:44.29x:-63.3", "4418.0000", "06318.0000", "001234")), -1);
  EXPECT_EQ(s->FErrorText, "Missing sign on Deviation Field");
}

TEST(SampleNavigation, NonNumericFixMinutesRejectTheLineLongitudeFirst) {
  auto p = MakeNavigationSample('p');
  EXPECT_EQ(p->Parse("08:00:00.00,4418.00x0,N,0631x.0000,W,000.0,4.5,+00011,54.5,76.5"), -1);
  EXPECT_EQ(p->FErrorText, "Longitude Degrees is non-numeric");
  EXPECT_EQ(p->Parse("08:00:00.00,4418.00x0,N,06318.0000,W,000.0,4.5,+00011,54.5,76.5"), -1);
  EXPECT_EQ(p->FErrorText, "Latitude Degrees is non-numeric");
  // without a point the minutes end in "." and are no number
  EXPECT_EQ(p->Parse("08:00:00.00,4418,N,06318.0000,W,000.0,4.5,+00011,54.5,76.5"), -1);
  EXPECT_EQ(p->FErrorText, "Latitude Degrees is non-numeric");
  auto plus = MakeNavigationSample('+');
  EXPECT_EQ(plus->Parse(PlusLine("TF:44.2994600:-63.3000000", "4418.0000", "0631x.0000")), -1);
  EXPECT_EQ(plus->FErrorText, "Longitude Degrees is non-numeric");
}

TEST(SampleNavigation, TheMarkColumnIsReplacedByTheConversion) {
  auto s = MakeNavigationSample('+');
  ASSERT_TRUE(s->HasField(sfMark));
  ASSERT_EQ(s->Parse(PlusLine("TF:44.2994600:-63.3000000")), 0);
  EXPECT_EQ(s->FTfDecLat, "+44.29946");
}

TEST(SampleNavigation, DepthAndSounderComeFromTheLinkedChannels) {
  auto s = MakeNavigationSample('+');
  ASSERT_EQ(s->Parse(PlusLine("TF:44.2994600:-63.3000000")), 0);
  EXPECT_EQ(s->FTowDepth, "25.3");
  EXPECT_EQ(s->FSounder, "78.4");
  std::string deeper = PlusLine("TF:44.2994600:-63.3000000");
  deeper.replace(deeper.find(",25.3,"), 6, ",45.3,");
  EXPECT_EQ(s->Parse(deeper), -1);
  EXPECT_EQ(s->FErrorText, "Invalid Towfish Depth value");
}

}  // namespace
}  // namespace tessaly::test
