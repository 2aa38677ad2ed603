#include "core/FixTimeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace tessaly {
namespace {

constexpr std::int64_t kT0 = 1'800'000'000 * kNsPerSecond;  // 2027-01-15T08:00:00Z on the reception clock

DecodedSentence Gga(MsOfDay time, double latitude, double longitude, int quality = 1) {
  GgaSentence gga;
  gga.time = time;
  gga.position = GeoPosition{latitude, longitude};
  gga.quality = quality;
  gga.satellites = 9;
  gga.hdop = 0.8;
  return {"GP", gga};
}

DecodedSentence Rmc(MsOfDay time, double latitude, double longitude, bool active = true, char mode = 'A',
                    std::optional<CivilDate> date = std::nullopt) {
  RmcSentence rmc;
  rmc.time = time;
  rmc.position = GeoPosition{latitude, longitude};
  rmc.active = active;
  rmc.mode = mode;
  rmc.date = date;
  rmc.courseTrue = 12.5;
  return {"GN", rmc};
}

TEST(FixTimeline, SentencesOfOneEpochMakeOneFixAtTheFirstReception) {
  FixTimeline timeline;
  timeline.Add(kT0, Gga(1000, 44.0, -63.0));
  timeline.Add(kT0 + 20'000'000, Rmc(1000, 44.0, -63.0));
  timeline.Add(kT0 + 30'000'000, {"GP", VtgSentence{90.0, 4.0, 'A'}});
  timeline.Add(kT0 + 40'000'000, {"HE", HdtSentence{88.5}});
  timeline.Add(kT0 + kNsPerSecond, Gga(2000, 44.1, -63.0));
  ASSERT_EQ(timeline.Fixes().size(), 2u);
  const GpsFix& first = timeline.Fixes()[0];
  EXPECT_EQ(first.receivedUtcNs, kT0);
  EXPECT_TRUE(first.valid);
  EXPECT_EQ(first.courseTrue, 90.0);  // the VTG after the RMC
  EXPECT_EQ(first.speedKnots, 4.0);
  EXPECT_EQ(first.headingTrue, 88.5);
  EXPECT_EQ(first.satellites, 9);
  EXPECT_EQ(timeline.ValidCount(), 2u);
}

struct ValidityCase {
  const char* name;
  std::vector<DecodedSentence> epoch;
  bool valid;
};

class FixValidity : public ::testing::TestWithParam<ValidityCase> {};

TEST_P(FixValidity, AnyInvalidSentenceMakesTheFixUnusable) {
  FixTimeline timeline;
  for (const auto& sentence : GetParam().epoch) timeline.Add(kT0, sentence);
  ASSERT_EQ(timeline.Fixes().size(), 1u);
  EXPECT_EQ(timeline.Fixes()[0].valid, GetParam().valid);
  EXPECT_EQ(timeline.ValidCount(), GetParam().valid ? 1u : 0u);
  EXPECT_EQ(timeline.AntennaAt(kT0).position.has_value(), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FixValidity,
    ::testing::Values(ValidityCase{"GgaAndRmcValid", {Gga(1000, 1, 1), Rmc(1000, 1, 1)}, true},
                      ValidityCase{"GgaQualityZero", {Gga(1000, 1, 1, 0), Rmc(1000, 1, 1)}, false},
                      ValidityCase{"GgaEstimated", {Gga(1000, 1, 1, 6)}, false},
                      ValidityCase{"RmcStatusV", {Gga(1000, 1, 1), Rmc(1000, 1, 1, false)}, false},
                      ValidityCase{"RmcEstimatedMode", {Rmc(1000, 1, 1, true, 'E'), Gga(1000, 1, 1)}, false},
                      ValidityCase{"VtgEstimatedMode", {Gga(1000, 1, 1), {"GP", VtgSentence{1.0, 1.0, 'E'}}}, false},
                      ValidityCase{"RmcAlone", {Rmc(1000, 1, 1)}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FixTimeline, ASurveyOverMidnightKeepsItsDaysInOrder) {
  FixTimeline timeline;
  timeline.Add(kT0, {"GP", ZdaSentence{86'398'000, CivilDate{2026, 12, 31}}});
  timeline.Add(kT0 + 10'000'000, Gga(86'398'000, 1, 1));
  timeline.Add(kT0 + kNsPerSecond, Gga(86'399'000, 1, 1));
  timeline.Add(kT0 + 2 * kNsPerSecond, Gga(0, 1, 1));  // before the RMC of the new day
  timeline.Add(kT0 + 2 * kNsPerSecond + 10'000'000, Rmc(0, 1, 1, true, 'A', CivilDate{2027, 1, 1}));
  timeline.Add(kT0 + 3 * kNsPerSecond, Gga(1000, 1, 1));
  const auto& fixes = timeline.Fixes();
  ASSERT_EQ(fixes.size(), 4u);
  EXPECT_EQ(FormatUtcMillis(*fixes[0].gpsUtcNs), "2026-12-31T23:59:58.000Z");
  EXPECT_EQ(FormatUtcMillis(*fixes[1].gpsUtcNs), "2026-12-31T23:59:59.000Z");
  EXPECT_EQ(FormatUtcMillis(*fixes[2].gpsUtcNs), "2027-01-01T00:00:00.000Z");
  EXPECT_EQ(FormatUtcMillis(*fixes[3].gpsUtcNs), "2027-01-01T00:00:01.000Z");
}

TEST(FixTimeline, AGpsDateBeyondTheClocksRangeLeavesTheFixWithoutAGpsTime) {
  FixTimeline timeline;
  timeline.Add(kT0, {"GP", ZdaSentence{1000, CivilDate{9999, 12, 31}}});
  timeline.Add(kT0, Gga(1000, 1, 1));
  EXPECT_FALSE(timeline.Fixes()[0].gpsUtcNs);
  EXPECT_TRUE(timeline.Fixes()[0].valid);
}

TEST(FixTimeline, HasNoGpsDateBeforeADateSentence) {
  FixTimeline timeline;
  timeline.Add(kT0, Gga(1000, 1, 1));
  EXPECT_FALSE(timeline.Fixes()[0].gpsUtcNs);
  EXPECT_TRUE(timeline.Fixes()[0].valid);
}

// Valid fixes on the reception clock at 0, 1 and 2 s, then none until 6 s
// (a dropout), then 7 s; latitude rises 0.001 degree a second.
FixTimeline DropoutTimeline() {
  FixTimeline timeline;
  for (const int s : {0, 1, 2, 4, 6, 7})  // the fix at 4 s is invalid
    timeline.Add(kT0 + s * kNsPerSecond, Gga(1000 * (s + 1), 10.0 + 0.001 * s, 20.0, s == 4 ? 0 : 1));
  return timeline;
}

struct AntennaCase {
  const char* name;
  double seconds;
  AntennaState state;
  double latitude;  // the hand-worked latitude where there is a position
};

void PrintTo(const AntennaCase& c, std::ostream* out) { *out << c.name; }

class AntennaInterpolation : public ::testing::TestWithParam<AntennaCase> {};

TEST_P(AntennaInterpolation, FollowsTheRules) {
  const AntennaCase& c = GetParam();
  const AntennaEstimate estimate =
      DropoutTimeline().AntennaAt(kT0 + static_cast<std::int64_t>(std::llround(c.seconds * 1e9)));
  EXPECT_EQ(estimate.state, c.state);
  const bool hasPosition = c.state == AntennaState::Interpolated || c.state == AntennaState::Extrapolated;
  ASSERT_EQ(estimate.position.has_value(), hasPosition);
  if (!hasPosition) return;
  EXPECT_NEAR(estimate.position->latitude, c.latitude, 1e-12);
  EXPECT_DOUBLE_EQ(estimate.position->longitude, 20.0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AntennaInterpolation,
    ::testing::Values(AntennaCase{"OnAFix", 1.0, AntennaState::Interpolated, 10.001},
                      AntennaCase{"BetweenFixes", 0.25, AntennaState::Interpolated, 10.00025},
                      AntennaCase{"LastBeforeTheDropout", 2.0, AntennaState::Interpolated, 10.002},
                      AntennaCase{"JustIntoTheDropout", 2.1, AntennaState::NoFix, 0},
                      AntennaCase{"InTheDropout", 4.0, AntennaState::NoFix, 0},
                      AntennaCase{"JustBeforeItsEnd", 5.9, AntennaState::NoFix, 0},
                      AntennaCase{"AfterTheDropout", 6.5, AntennaState::Interpolated, 10.0065},
                      AntennaCase{"BeforeTheFirstWithinTwoSeconds", -2.0, AntennaState::Extrapolated, 9.998},
                      AntennaCase{"BeforeTheFirstTooFar", -2.001, AntennaState::ExtrapolationRefused, 0},
                      AntennaCase{"AfterTheLastWithinTwoSeconds", 8.5, AntennaState::Extrapolated, 10.0085},
                      AntennaCase{"AfterTheLastTooFar", 9.5, AntennaState::ExtrapolationRefused, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Ten minutes of 10 Hz fixes, every 50th invalid, none from 400 to 405 s.
FixTimeline LongTimeline() {
  FixTimeline timeline;
  for (int tenth = 0; tenth < 6000; ++tenth) {
    if (tenth >= 4000 && tenth < 4050) continue;
    timeline.Add(kT0 + tenth * (kNsPerSecond / 10), Gga(100 * tenth, 10.0 + 1e-5 * tenth, 20.0, tenth % 50 == 7 ? 0 : 1));
  }
  return timeline;
}

TEST(FixTimeline, ForgettingKeepsEveryAnswerFromThatMomentOn) {
  const FixTimeline whole = LongTimeline();
  FixTimeline kept = whole;
  const std::int64_t from = kT0 + 300 * kNsPerSecond;
  kept.ForgetBefore(from);
  // The valid fixes from 4 s before `from` on, and one before them.
  const auto needed = std::count_if(whole.Fixes().begin(), whole.Fixes().end(), [&](const GpsFix& fix) {
    return fix.valid && fix.receivedUtcNs >= from - 4 * kNsPerSecond;
  });
  EXPECT_EQ(kept.Fixes().size(), static_cast<std::size_t>(needed) + 1);
  for (std::int64_t t = from; t < kT0 + 610 * kNsPerSecond; t += 13 * kNsPerMs) {
    const AntennaEstimate a = whole.AntennaAt(t), b = kept.AntennaAt(t);
    ASSERT_EQ(a.state, b.state) << (t - kT0) / kNsPerMs << " ms";
    ASSERT_EQ(a.position.has_value(), b.position.has_value());
    if (a.position) {
      EXPECT_EQ(a.position->latitude, b.position->latitude);
      EXPECT_EQ(a.position->longitude, b.position->longitude);
    }
  }
  EXPECT_EQ(kept.Status(from)->latest.receivedUtcNs, whole.Status(from)->latest.receivedUtcNs);
  // Before the first kept fix the forgotten ones are missed: the answers
  // hold from `from` on only.
  EXPECT_NE(kept.AntennaAt(kT0 + 100 * kNsPerSecond).state, whole.AntennaAt(kT0 + 100 * kNsPerSecond).state);
}

TEST(FixTimeline, ForgettingBeforeADropoutStillKnowsThereWereFixes) {
  // The latest valid fix is kept however old: a moment long after it is
  // refused as too far beyond the last fix, not taken for "no fix yet".
  const FixTimeline whole = DropoutTimeline();
  FixTimeline kept = whole;
  kept.ForgetBefore(kT0 + 60 * kNsPerSecond);
  EXPECT_EQ(kept.Fixes().size(), 1u);  // the last fix, valid, is both
  EXPECT_EQ(kept.AntennaAt(kT0 + 60 * kNsPerSecond).state, AntennaState::ExtrapolationRefused);
  FixTimeline early = whole;
  early.ForgetBefore(kT0 + 5 * kNsPerSecond);
  EXPECT_EQ(early.AntennaAt(kT0 + 5 * kNsPerSecond).state, AntennaState::NoFix);
  EXPECT_NEAR(early.AntennaAt(kT0 + 6500 * kNsPerMs).position->latitude, 10.0065, 1e-12);
}

TEST(FixTimeline, RefusesEverythingWithoutAValidFix) {
  FixTimeline timeline;
  EXPECT_EQ(timeline.AntennaAt(kT0).state, AntennaState::NoFix);
  timeline.Add(kT0, Gga(1000, 1, 1, 0));
  EXPECT_EQ(timeline.AntennaAt(kT0).state, AntennaState::NoFix);
  timeline.Add(kT0 + kNsPerSecond, Gga(2000, 1, 1));
  EXPECT_EQ(timeline.AntennaAt(kT0 + kNsPerSecond + 1).state, AntennaState::ExtrapolationRefused);  // one fix: no velocity
}

TEST(FixTimeline, ExtrapolatesFromFixesFarEnoughApart) {
  // The last two fixes came a millisecond apart, the last a little off: the
  // velocity comes from the fix a second before instead.
  FixTimeline timeline;
  timeline.Add(kT0, Gga(1000, 10.000, 20.0));
  timeline.Add(kT0 + kNsPerSecond, Gga(2000, 10.001, 20.0));
  timeline.Add(kT0 + kNsPerSecond + kNsPerMs, Gga(2001, 10.0011, 20.0));
  const auto ahead = timeline.AntennaAt(kT0 + 3 * kNsPerSecond);
  ASSERT_EQ(ahead.state, AntennaState::Extrapolated);
  EXPECT_NEAR(ahead.position->latitude, 10.003, 0.001);
}

TEST(FixTimeline, InterpolatesTheShortWayAcrossTheDateLine) {
  FixTimeline timeline;
  timeline.Add(kT0, Gga(1000, 0.0, 179.9999));
  timeline.Add(kT0 + kNsPerSecond, Gga(2000, 0.0, -179.9999));
  const auto halfway = timeline.AntennaAt(kT0 + kNsPerSecond / 2);
  ASSERT_TRUE(halfway.position);
  EXPECT_NEAR(std::fabs(halfway.position->longitude), 180.0, 1e-9);
}

TEST(FixTimeline, StatusTellsTheLatestFixAndItsAge) {
  FixTimeline timeline;
  EXPECT_FALSE(timeline.Status(kT0));
  timeline.Add(kT0, Gga(1000, 1, 1));
  timeline.Add(kT0 + kNsPerSecond, Gga(2000, 1, 1, 0));
  const auto status = timeline.Status(kT0 + 3 * kNsPerSecond);
  ASSERT_TRUE(status);
  EXPECT_FALSE(status->latest.valid);
  EXPECT_EQ(status->ageNs, 2 * kNsPerSecond);
  ASSERT_TRUE(status->latestValid);
  EXPECT_EQ(status->latestValid->receivedUtcNs, kT0);
  EXPECT_EQ(status->latestValid->satellites, 9);
  EXPECT_EQ(status->latestValid->hdop, 0.8);
}

}  // namespace
}  // namespace tessaly
