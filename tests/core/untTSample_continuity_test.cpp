// The continuity memory: degrees and towfish depth compared with the last
// line that passed the same check.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/SampleSetUp.h"

namespace tessaly::test {
namespace {

std::string Rtc(const std::string& lonDeg, const std::string& latDeg, const std::string& depth,
                const std::string& dev = "+00042") {
  return "$KVMGD," + dev + "," + lonDeg + ",18.000,W," + latDeg + ",17.968,N," + depth + ",076.5";
}

// Results of feeding the lines in order to one fresh RTC sample.
std::vector<std::string> Feed(const std::vector<std::string>& lines, TSample* sample = nullptr) {
  auto own = MakeSample(skRTC);
  TSample& s = sample != nullptr ? *sample : *own;
  std::vector<std::string> results;
  for (const auto& line : lines) results.push_back(s.Parse(line) == 0 ? "ok" : s.FErrorText);
  return results;
}

using Results = std::vector<std::string>;

TEST(SampleContinuity, LatitudeMayChangeByOneDegreePerAcceptedLine) {
  EXPECT_EQ(Feed({Rtc("063", "45", "10.0"), Rtc("063", "47", "10.0")}),
            (Results{"ok", "Latitude Degrees is worng"}));
  EXPECT_EQ(Feed({Rtc("063", "45", "10.0"), Rtc("063", "46", "10.0"), Rtc("063", "47", "10.0")}),
            (Results{"ok", "ok", "ok"}));
  EXPECT_EQ(Feed({Rtc("063", "45", "10.0"), Rtc("063", "44", "10.0"), Rtc("063", "43", "10.0")}),
            (Results{"ok", "ok", "ok"}));
}

TEST(SampleContinuity, LongitudeMayChangeByOneDegreePerAcceptedLine) {
  EXPECT_EQ(Feed({Rtc("063", "45", "10.0"), Rtc("061", "45", "10.0"), Rtc("064", "45", "10.0")}),
            (Results{"ok", "Longitude Degrees is worng", "ok"}));
}

TEST(SampleContinuity, ARejectedJumpLeavesTheMemory) {
  auto s = MakeSample(skRTC);
  EXPECT_EQ(Feed({Rtc("063", "45", "10.0"), Rtc("063", "47", "10.0"), Rtc("063", "46", "10.0"),
                  Rtc("063", "48", "10.0")},
                 s.get()),
            (Results{"ok", "Latitude Degrees is worng", "ok", "Latitude Degrees is worng"}));
  EXPECT_EQ(s->FPrevLatDeg, "46");
}

TEST(SampleContinuity, LinesRejectedEarlierDoNotUpdateTheMemory) {
  auto s = MakeSample(skRTC);
  EXPECT_EQ(Feed({Rtc("063", "45", "10.0"), Rtc("070", "50", "40.0", "001234"), Rtc("063", "0x", "10.0"),
                  Rtc("064", "46", "14.0")},
                 s.get()),
            (Results{"ok", "Missing sign on Deviation Field", "Latitude Degrees is non-numeric", "ok"}));
  EXPECT_EQ(s->FPrevLonDeg, "064");
  EXPECT_EQ(s->FPrevLatDeg, "46");
  EXPECT_EQ(s->FPrevTowDepth, "14.0");
}

TEST(SampleContinuity, DegreesPassedBeforeALaterFailureAreRemembered) {
  auto s = MakeSample(skRTC);
  EXPECT_EQ(Feed({Rtc("063", "45", "10.0"), Rtc("064", "46", "bad")}, s.get()),
            (Results{"ok", "Invalid Towfish Depth value"}));
  EXPECT_EQ(s->FPrevLonDeg, "064");
  EXPECT_EQ(s->FPrevLatDeg, "46");
  EXPECT_EQ(s->FPrevTowDepth, "10.0");
}

TEST(SampleContinuity, MemoryStartsEmptySoTheFirstLineSetsIt) {
  auto s = MakeSample(skRTC);
  EXPECT_TRUE(s->FPrevLatDeg.empty());
  EXPECT_EQ(Feed({Rtc("170", "80", "300.0")}, s.get()), (Results{"ok"}));
  EXPECT_EQ(s->FPrevLonDeg, "170");
}

TEST(SampleContinuity, TowfishDepthMayChangeByFiveMetres) {
  EXPECT_EQ(Feed({Rtc("063", "45", "10.0"), Rtc("063", "45", "15.0")}), (Results{"ok", "ok"}));
  EXPECT_EQ(Feed({Rtc("063", "45", "10.0"), Rtc("063", "45", "15.1")}),
            (Results{"ok", "Invalid Towfish Depth value"}));
  EXPECT_EQ(Feed({Rtc("063", "45", "10.0"), Rtc("063", "45", "4.9")}),
            (Results{"ok", "Invalid Towfish Depth value"}));
}

TEST(SampleContinuity, ZeroDepthTextAlwaysPassesAndIsRemembered) {
  auto s = MakeSample(skRTC);
  EXPECT_EQ(Feed({Rtc("063", "45", "10.0"), Rtc("063", "45", "0.0"), Rtc("063", "45", "4.0"),
                  Rtc("063", "45", "0.0"), Rtc("063", "45", "20.0")},
                 s.get()),
            (Results{"ok", "ok", "ok", "ok", "Invalid Towfish Depth value"}));
  EXPECT_EQ(s->FPrevTowDepth, "0.0");
  // "0" is not the zero text: it is compared like any depth.
  EXPECT_EQ(Feed({Rtc("063", "45", "10.0"), Rtc("063", "45", "0")}),
            (Results{"ok", "Invalid Towfish Depth value"}));
}

TEST(SampleContinuity, EmptyDepthReadsAsZeroWithoutTouchingTheMemory) {
  auto s = MakeSample(skRTC);
  EXPECT_EQ(Feed({Rtc("063", "45", "10.0"), Rtc("063", "45", ""), Rtc("063", "45", "15.0")}, s.get()),
            (Results{"ok", "ok", "ok"}));
  EXPECT_EQ(Feed({Rtc("063", "45", "10.0"), Rtc("063", "45", ""), Rtc("063", "45", "16.0")}),
            (Results{"ok", "ok", "Invalid Towfish Depth value"}));
}

TEST(SampleContinuity, KvlFilesCarryTheMemoryAcrossDegreeBoundaries) {
  auto s = MakeSample(skKVL);
  EXPECT_EQ(s->Parse("$KVMGD,+00042,4459.999,N,06359.999,W,25.3,78.4"), 0);
  EXPECT_EQ(s->Parse("$KVMGD,+00042,4500.001,N,06400.001,W,25.3,78.4"), 0);
  EXPECT_EQ(s->Parse("$KVMGD,+00042,4700.001,N,06400.001,W,25.3,78.4"), -1);
  EXPECT_EQ(s->FErrorText, "Latitude Degrees is worng");
  EXPECT_EQ(s->FPrevLatDeg, "45");
  EXPECT_EQ(s->FPrevLonDeg, "064");
}

}  // namespace
}  // namespace tessaly::test
