// The simulator's faults: reproducible by seed, and each of the stated form.
#include "tools/sim/FaultInjector.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessaly::sim {
namespace {

const std::string kRecord = "$KVMGD,+00042,4418.000,N,06318.000,W,25.3,78.4\r\n";

std::vector<Step> Plan(const FaultSettings& settings, int records) {
  FaultInjector faults(settings);
  std::vector<Step> steps;
  for (int i = 0; i < records;) {
    steps.push_back(faults.Next(kRecord, static_cast<std::size_t>(records - i)));
    i += static_cast<int>(steps.back().records);
  }
  return steps;
}

bool SameSteps(const std::vector<Step>& a, const std::vector<Step>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].garbage != b[i].garbage || a[i].records != b[i].records || a[i].cuts != b[i].cuts ||
        a[i].pauseMs != b[i].pauseMs)
      return false;
  return true;
}

FaultSettings Everything(std::uint64_t seed) {
  FaultSettings settings;
  settings.garbage = settings.split = settings.burst = settings.pause = 0.3;
  settings.pauseMs = 70;
  settings.seed = seed;
  return settings;
}

TEST(FaultInjector, NoFaultsAskedNoFaultsMade) {
  for (const Step& step : Plan(FaultSettings{}, 200)) {
    EXPECT_TRUE(step.garbage.empty());
    EXPECT_EQ(step.records, 1u);
    EXPECT_TRUE(step.cuts.empty());
    EXPECT_EQ(step.pauseMs, 0);
  }
}

TEST(FaultInjector, TheSameSeedGivesTheSameFaultsAnotherSeedOthers) {
  EXPECT_TRUE(SameSteps(Plan(Everything(7), 300), Plan(Everything(7), 300)));
  EXPECT_FALSE(SameSteps(Plan(Everything(7), 300), Plan(Everything(8), 300)));
}

TEST(FaultInjector, EveryFaultAppearsAtAboutItsChance) {
  int garbage = 0, bursts = 0, splits = 0, pauses = 0;
  const std::vector<Step> steps = Plan(Everything(3), 3000);
  for (const Step& step : steps) {
    garbage += !step.garbage.empty();
    bursts += step.records > 1;
    splits += !step.cuts.empty();
    pauses += step.pauseMs > 0;
  }
  const double n = static_cast<double>(steps.size());
  EXPECT_NEAR(garbage / n, 0.3, 0.05);
  EXPECT_NEAR(bursts / n, 0.3, 0.05);
  EXPECT_NEAR(splits / n, 0.7 * 0.3, 0.05);  // a burst is never split
  EXPECT_NEAR(pauses / n, 0.3, 0.05);
}

TEST(FaultInjector, GarbageIsShortAndNeverStartsARecordOrEndsALine) {
  FaultSettings settings;
  settings.garbage = 1.0;
  std::size_t longest = 0;
  for (const Step& step : Plan(settings, 500)) {
    ASSERT_FALSE(step.garbage.empty());
    longest = std::max(longest, step.garbage.size());
    EXPECT_EQ(step.garbage.find_first_of("$\r\n"), std::string::npos);
  }
  EXPECT_EQ(longest, kMaxGarbageBytes);
}

TEST(FaultInjector, CutsLieStrictlyInsideTheRecordInOrder) {
  FaultSettings settings;
  settings.split = 1.0;
  std::size_t mostCuts = 0;
  for (const Step& step : Plan(settings, 500)) {
    ASSERT_FALSE(step.cuts.empty());
    mostCuts = std::max(mostCuts, step.cuts.size());
    for (std::size_t i = 0; i < step.cuts.size(); ++i) {
      EXPECT_GT(step.cuts[i], i == 0 ? 0u : step.cuts[i - 1]);
      EXPECT_LT(step.cuts[i], kRecord.size());
    }
  }
  EXPECT_EQ(mostCuts, kMaxSplitWrites - 1);
  FaultInjector faults(settings);
  EXPECT_TRUE(faults.Next("x", 1).cuts.empty());  // a single byte cannot be cut
  EXPECT_EQ(faults.Next("xy", 1).cuts, std::vector<std::size_t>{1});
}

TEST(FaultInjector, BurstsStayWithinTheRecordsAvailable) {
  FaultSettings settings;
  settings.burst = 1.0;
  FaultInjector faults(settings);
  for (int i = 0; i < 200; ++i) {
    const Step step = faults.Next(kRecord, 3);
    EXPECT_GE(step.records, 2u);
    EXPECT_LE(step.records, 3u);
  }
  EXPECT_EQ(faults.Next(kRecord, 1).records, 1u);  // the last record has no company
  std::size_t largest = 0;
  for (int i = 0; i < 200; ++i) largest = std::max(largest, faults.Next(kRecord, 100).records);
  EXPECT_EQ(largest, kMaxBurstRecords);
}

}  // namespace
}  // namespace tessaly::sim
