// The simulator's faults: reproducible by seed, and each of the stated form.
#include "tools/sim/FaultInjector.h"

#include <gtest/gtest.h>

#include <set>
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

// With --garbage-any the noise may hold any byte, but its last one ends a
// line, so it never completes the record after it.
TEST(FaultInjector, AnyGarbageHoldsRecordStartsAndLineEndsAndEndsALine) {
  FaultSettings settings;
  settings.garbage = 1.0;
  settings.garbageAny = true;
  int dollars = 0, innerBreaks = 0, crEnds = 0, lfEnds = 0;
  for (const Step& step : Plan(settings, 2000)) {
    ASSERT_FALSE(step.garbage.empty());
    ASSERT_LE(step.garbage.size(), kMaxGarbageBytes);
    const char last = step.garbage.back();
    ASSERT_TRUE(last == '\r' || last == '\n');
    crEnds += last == '\r';
    lfEnds += last == '\n';
    const std::string inside = step.garbage.substr(0, step.garbage.size() - 1);
    dollars += inside.find('$') != std::string::npos;
    innerBreaks += inside.find_first_of("\r\n") != std::string::npos;
  }
  EXPECT_GT(dollars, 20);
  EXPECT_GT(innerBreaks, 20);
  EXPECT_GT(crEnds, 800);
  EXPECT_GT(lfEnds, 800);
}

// "$KVMGD,+00042,...": the break falls after 7 to 12 bytes, so the first part
// is "$KVMGD," up to "$KVMGD,+0004" and the second holds no header.
TEST(FaultInjector, ALineBreakFallsInsideTheSecondFieldAndTheRecordGoesWhole) {
  FaultSettings settings;
  settings.broken = 1.0;
  settings.split = 1.0;
  std::set<std::size_t> places;
  std::set<std::string> breaks;
  for (const Step& step : Plan(settings, 600)) {
    places.insert(step.breakAt);
    breaks.insert(step.lineBreak);
    EXPECT_TRUE(step.cuts.empty());  // a broken record goes in one write
  }
  EXPECT_EQ(places, (std::set<std::size_t>{7, 8, 9, 10, 11, 12}));
  EXPECT_EQ(breaks, (std::set<std::string>{"\r", "\n", "\r\n"}));
  FaultInjector faults(settings);
  EXPECT_EQ(faults.Next("$MGD,,x\r\n", 1).breakAt, 5u);   // an empty field: right after the comma
  EXPECT_EQ(faults.Next("$KVMGD,7\r\n", 1).breakAt, 7u);  // a one-byte field
  EXPECT_EQ(faults.Next("no comma\r\n", 1).breakAt, 0u);
}

// A hang-up in flight sends 0 to 4 whole records and part of the next one,
// cut before its line end; the last record left is never sent whole.
TEST(FaultInjector, RecordsInFlightLeaveTheLastOneCutBeforeItsLineEnd) {
  FaultSettings settings;
  settings.hangupInFlight = true;
  FaultInjector faults(settings);
  const std::vector<std::string> records(10, kRecord);
  std::set<std::size_t> counts, cuts;
  int wholeButTheEnd = 0, atOnce = 0, longestLinger = 0;
  for (int i = 0; i < 1000; ++i) {
    const Flight flight = faults.InFlight(records, 3);
    counts.insert(flight.records);
    cuts.insert(flight.cut);
    wholeButTheEnd += flight.cut == kRecord.size() - 2;
    atOnce += flight.lingerMs == 0;
    longestLinger = std::max(longestLinger, flight.lingerMs);
  }
  EXPECT_EQ(counts, (std::set<std::size_t>{0, 1, 2, 3, 4}));
  EXPECT_EQ(*cuts.begin(), 1u);
  EXPECT_EQ(*cuts.rbegin(), kRecord.size() - 2);  // all but CR LF
  EXPECT_NEAR(wholeButTheEnd, 500, 60);            // the hardest cut half the time
  EXPECT_NEAR(atOnce, 500, 60);
  EXPECT_EQ(longestLinger, kMaxFlightLingerMs);
  for (int i = 0; i < 50; ++i) {
    const Flight last = faults.InFlight(records, 8);
    EXPECT_LE(last.records, 1u);
  }
  EXPECT_EQ(faults.InFlight({"x", "\r\n"}, 1).cut, 0u);  // nothing before the line end
}

}  // namespace
}  // namespace tessaly::sim
