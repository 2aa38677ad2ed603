// Positions that cannot be derived leave nothing of earlier lines behind, and
// kinds without a header give a line whose position does not convert a
// message of its own.
#include <gtest/gtest.h>

#include <string>

#include "support/SampleSetUp.h"

namespace tessaly::test {
namespace {

void ExpectTowfishDerivedEmpty(const TSample& s) {
  EXPECT_TRUE(s.FTfDecLat.empty()) << s.FTfDecLat;
  EXPECT_TRUE(s.FTfDecLon.empty()) << s.FTfDecLon;
  EXPECT_TRUE(s.FTfZone.empty()) << s.FTfZone;
  EXPECT_TRUE(s.FTfNorth.empty()) << s.FTfNorth;
  EXPECT_TRUE(s.FTfEast.empty()) << s.FTfEast;
}

void ExpectGpsDerivedEmpty(const TSample& s) {
  EXPECT_TRUE(s.FGpsDecLat.empty()) << s.FGpsDecLat;
  EXPECT_TRUE(s.FGpsDecLon.empty()) << s.FGpsDecLon;
  EXPECT_TRUE(s.FGpsZone.empty()) << s.FGpsZone;
  EXPECT_TRUE(s.FGpsNorth.empty()) << s.FGpsNorth;
  EXPECT_TRUE(s.FGpsEast.empty()) << s.FGpsEast;
}

TEST(SampleUnconvertedPositions, KvlLineAcceptedWithoutPositionShowsNoEarlierPosition) {
  auto s = MakeSample(skKVL);
  ASSERT_EQ(s->Parse("$KVMGD,+00042,4418.000,N,06318.000,W,25.3,78.4"), 0);
  ASSERT_FALSE(s->FTfNorth.empty());
  // "1x.000" passes the minutes check (one numeric part) but is no number
  EXPECT_EQ(s->Parse("$KVMGD,+00042,4418.000,N,0631x.000,W,25.3,78.4"), 0);
  ExpectTowfishDerivedEmpty(*s);
}

TEST(SampleUnconvertedPositions, EmptyHemisphereEmptiesTheDerivedFields) {
  auto s = MakeSample(skKVG);
  ASSERT_EQ(s->Parse("44,17.968N,063,18.000W,+00013"), 0);
  EXPECT_EQ(s->Parse("44,17.968,063,18.000W,+00013"), -1);
  EXPECT_EQ(s->FErrorText, "Latitude N/S Field is larger than 1 digit");
  ExpectTowfishDerivedEmpty(*s);
}

TEST(SampleUnconvertedPositions, FailedTowfishPartEmptiesTheTowfishSet) {
  auto s = MakeNavigationSample('+');
  const std::string good =
      "08:00:00.00,4418.0000,N,06318.0000,W,000.0,4.5,TF:44.2994600:-63.3000000,+00042,25.3,78.4";
  ASSERT_EQ(s->Parse(good), 0);
  std::string bad = good;
  bad.replace(bad.find("2994600"), 7, "29x4600");
  EXPECT_EQ(s->Parse(bad), 0);
  EXPECT_EQ(s->FErrorText, "Latitude Degrees is non-numeric");
  for (const std::string* text : {&s->FLatDeg, &s->FLatMin, &s->FLatHemi, &s->FLonDeg, &s->FLonMin, &s->FLonHemi})
    EXPECT_TRUE(text->empty()) << *text;
  ExpectTowfishDerivedEmpty(*s);
  EXPECT_EQ(s->FGpsDecLat, "+44.30000");
}

TEST(SampleUnconvertedPositions, UnconvertedFixEmptiesTheGpsSet) {
  auto s = MakeNavigationSample('p');
  ASSERT_EQ(s->Parse("08:00:00.00,4418.0000,N,06318.0000,W,000.0,4.5,+00011,54.5,76.5"), 0);
  EXPECT_EQ(s->Parse("08:00:00.00,4x18.0000,N,06318.0000,W,000.0,4.5,+00011,54.5,76.5"), -1);
  ExpectGpsDerivedEmpty(*s);
  EXPECT_EQ(s->Parse("08:00:00.00,4418.0000,N,06318.00x0,W,000.0,4.5,+00011,54.5,76.5"), -1);
  ExpectGpsDerivedEmpty(*s);
  auto plus = MakeNavigationSample('+');
  EXPECT_EQ(plus->Parse("08:00:00.00,4418.0000,,06318.0000,W,000.0,4.5,TF:44.2994600:-63.3,+00042,25.3,78.4"),
            -1);
  ExpectGpsDerivedEmpty(*plus);
}

TEST(SampleUnconvertedPositions, TowfishPositionThatDoesNotConvertEndsTheWholeConversion) {
  auto s = MakeNavigationSample('+');
  ASSERT_EQ(s->Parse("08:00:00.00,4418.0000,N,06318.0000,W,000.0,4.5,TF:44.29:-63.3,+00042,25.3,78.4"), 0);
  // "-5" is a whole number, but "0.-5" is no number
  EXPECT_EQ(s->Parse("08:00:00.00,4418.0000,N,06318.0000,W,000.0,4.5,TF:44.-5:-63.3,+00042,25.3,78.4"), -1);
  EXPECT_EQ(s->FErrorText, "Invalid Position value");
  ExpectTowfishDerivedEmpty(*s);
  ExpectGpsDerivedEmpty(*s);
  EXPECT_TRUE(s->FGpsLatDeg.empty());
}

TEST(SampleUnconvertedPositions, KindsWithoutHeaderReportTheFirstFailingCheck) {
  auto s = MakeSample(skKVS);
  EXPECT_EQ(s->Parse("001234,44 18.000N 063 18.000W,25.3,78.4"), -1);
  ASSERT_EQ(s->FErrorText, "Missing sign on Deviation Field");
  // empty hemisphere: the position does not convert and the check says why
  EXPECT_EQ(s->Parse("+00042,44 18.000N 063 18.000,25.3,78.4"), -1);
  EXPECT_EQ(s->FErrorText, "Longitude E/W Field is larger than 1 digit");
  EXPECT_EQ(s->Parse("+00042,44 18.000N 06x 18.000W,25.3,78.4"), -1);
  EXPECT_EQ(s->FErrorText, "Longitude Degrees is non-numeric");
}

TEST(SampleUnconvertedPositions, KindsWithoutHeaderNameAnInvalidPositionWhenEveryCheckPasses) {
  auto kvs = MakeSample(skKVS);
  EXPECT_EQ(kvs->Parse("001234,44 18.000N 063 18.000W,25.3,78.4"), -1);
  EXPECT_EQ(kvs->Parse("+00042,44 1x.000N 063 18.000W,25.3,78.4"), -1);
  EXPECT_EQ(kvs->FErrorText, "Invalid Position value");
  auto kvg = MakeSample(skKVG);
  EXPECT_EQ(kvg->Parse("44,18.00xN,063,18.000W,+00013"), -1);
  EXPECT_EQ(kvg->FErrorText, "Invalid Position value");
  auto nav = MakeNavigationSample('p');
  EXPECT_EQ(nav->Parse("08:00:00.00,4x18.0000,N,06318.0000,W,000.0,4.5,+00011,54.5,76.5"), -1);
  EXPECT_EQ(nav->FErrorText, "Invalid Position value");
}

TEST(SampleUnconvertedPositions, ChecksOfARejectedPositionStillUpdateTheMemory) {
  auto s = MakeSample(skKVS);
  ASSERT_EQ(s->Parse("+00042,44 18.000N 063 18.000W,25.3,78.4"), 0);
  EXPECT_EQ(s->Parse("+00042,45 1x.000N 064 18.000W,29.3,78.4"), -1);
  EXPECT_EQ(s->FPrevLatDeg, "45");
  EXPECT_EQ(s->FPrevLonDeg, "064");
  EXPECT_EQ(s->FPrevTowDepth, "29.3");
  // a jump is still found first
  EXPECT_EQ(s->Parse("+00042,47 1x.000N 064 18.000W,29.3,78.4"), -1);
  EXPECT_EQ(s->FErrorText, "Latitude Degrees is worng");
}

TEST(SampleUnconvertedPositions, DepthThatPassesTheNumberTestButDoesNotConvertIsRejected) {
  auto s = MakeSample(skKVL);
  ASSERT_EQ(s->Parse("$KVMGD,+00042,4418.000,N,06318.000,W,25.3,78.4"), 0);
  EXPECT_EQ(s->Parse("$KVMGD,+00042,4418.000,N,06318.000,W,25.-5,78.4"), -1);
  EXPECT_EQ(s->FErrorText, "Invalid Towfish Depth value");
  EXPECT_EQ(s->FPrevTowDepth, "25.3");
  EXPECT_EQ(s->Parse("$KVMGD,+00042,4418.000,N,06318.000,W,26.0,78.4"), 0);
}

}  // namespace
}  // namespace tessaly::test
