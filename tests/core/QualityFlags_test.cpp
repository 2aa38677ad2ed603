// Quality flags: each rule on hand-worked series, the whole series against a
// reference written here from the rules' definitions, the live form against
// the whole-series form, and a survey from the generator with injected
// spikes, steps, noise bursts and gaps.
#include "core/QualityFlags.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/FileBytes.h"
#include "support/Generator.h"
#include "support/TempHome.h"

namespace tessaly::quality_flags_test {

constexpr std::int64_t kMs = 1'000'000;

QualitySettings Settings(double floor = 50.0, double envelope = 12.0) { return {floor, envelope, 1.0, 80.0}; }

std::vector<QualityFinding> Flags(const std::vector<double>& values, const QualitySettings& settings = Settings(),
                                  const std::vector<std::int64_t>& times = {},
                                  const std::vector<double>& depths = {}) {
  return FlagSeries(values, depths, times, settings);
}

// ---- Hand-worked series ----

TEST(QualityFlags, HandWorkedDeviationSeries) {
  struct Case {
    const char* name;
    std::vector<double> values;
    double floor;
    std::vector<QualityFinding> findings;
  };
  auto flat = [](std::size_t n, std::size_t at, double add) {
    std::vector<double> v(n, 0.0);
    v[at] += add;
    return v;
  };
  auto step = [](std::size_t n, std::size_t at, double by) {
    std::vector<double> v(n, 0.0);
    for (std::size_t i = at; i < n; ++i) v[i] = by;
    return v;
  };
  const Case cases[] = {
      {"quiet", std::vector<double>(20, 7.0), 50, {}},
      {"spike of 100", flat(21, 10, 100), 50, {{10, kFlagSpike, 100}}},
      {"dip of 100", flat(21, 10, -100), 50, {{10, kFlagSpike, -100}}},
      // Under the floor it is no spike, but 6 x 40 / 16 = 15 is noise.
      {"spike of 40", flat(21, 10, 40), 50, {{10, kFlagNoise, 15}}},
      {"spike of 30", flat(21, 10, 30), 50, {}},  // 6 x 30 / 16 = 11.25
      // A step of 100: -300/16 and +300/16 at the records beside it.
      {"step of 100", step(21, 10, 100), 50, {{9, kFlagNoise, -18.75}, {10, kFlagNoise, 18.75}}},
      {"step of 60", step(21, 10, 60), 50, {}},  // 180/16 = 11.25
      // The first two and the last two records have no neighbours enough
      // to be judged spikes; the noise of records 2 and 3 still sees one.
      {"spike at 1", flat(21, 1, 500), 50, {{2, kFlagNoise, -125}, {3, kFlagNoise, 31.25}}},
      {"spike at 19", flat(21, 19, 500), 50, {}},
      {"spike at 18", flat(21, 18, 500), 50, {{18, kFlagSpike, 500}}},
      // Every third record 30 above: residuals 30, 0, 0; their median is 0,
      // so the floor decides.
      {"floor 20", {0, 0, 30, 0, 0, 30, 0, 0, 30, 0, 0}, 20, {{2, kFlagSpike, 30}, {5, kFlagSpike, 30}, {8, kFlagSpike, 30}}},
  };
  for (const Case& c : cases) {
    const auto findings = Flags(c.values, Settings(c.floor, 12.0));
    EXPECT_EQ(findings, c.findings) << c.name;
  }
}

TEST(QualityFlags, GapsBetweenReceptionTimes) {
  struct Case {
    const char* name;
    std::vector<std::int64_t> intervalsMs;  // before records 1, 2, ...
    std::vector<QualityFinding> findings;
  };
  const Case cases[] = {
      {"one and a half times", {100, 100, 100, 150, 100}, {}},
      {"longer", {100, 100, 100, 151, 100}, {{4, kFlagGap, 0.151}}},
      {"backwards", {100, 100, 100, -20, 100}, {{4, kFlagGap, -0.02}}},
      {"backwards early", {100, -5, 100}, {{2, kFlagGap, -0.005}}},
      {"long but too early to judge", {100, 100, 900, 100}, {}},
      {"the median, not the mean", {100, 100, 100, 100, 5000, 100, 160}, {{5, kFlagGap, 5.0}, {7, kFlagGap, 0.16}}},
      {"within the reception's jitter", {4, 4, 4, 50, 4, 0, 0, 16}, {}},
      {"beyond it", {4, 4, 4, 51, 4}, {{4, kFlagGap, 0.051}}},
  };
  for (const Case& c : cases) {
    std::vector<std::int64_t> times{1'000 * kMs};
    for (const std::int64_t ms : c.intervalsMs) times.push_back(times.back() + ms * kMs);
    const std::vector<double> values(times.size(), 0.0);
    const auto findings = Flags(values, Settings(), times);
    ASSERT_EQ(findings.size(), c.findings.size()) << c.name;
    for (std::size_t i = 0; i < findings.size(); ++i) {
      EXPECT_EQ(findings[i].record, c.findings[i].record) << c.name;
      EXPECT_EQ(findings[i].flag, kFlagGap) << c.name;
      EXPECT_NEAR(findings[i].value, c.findings[i].value, 1e-9) << c.name;
    }
  }
}

TEST(QualityFlags, DepthOutsideTheRange) {
  const std::vector<double> depths = {1.0, 0.99, 80.0, 80.5, kNoDepth, -3.0, 40.0};
  const auto findings = Flags(std::vector<double>(depths.size(), 0.0), Settings(), {}, depths);
  const std::vector<QualityFinding> expected = {{1, kFlagDepth, 0.99}, {3, kFlagDepth, 80.5}, {5, kFlagDepth, -3.0}};
  EXPECT_EQ(findings, expected);
}

TEST(QualityFlags, MaskGathersTheFlagsOfEachRecord) {
  const std::vector<QualityFinding> findings = {{1, kFlagSpike, 1}, {1, kFlagDepth, 2}, {3, kFlagGap, 3},
                                                {9, kFlagNoise, 4}};
  EXPECT_EQ(FlagMask(5, findings), (std::vector<std::uint8_t>{0, kFlagSpike | kFlagDepth, 0, kFlagGap, 0}));
  EXPECT_EQ(QualityFlagName(kFlagSpike), "Spike");
  EXPECT_EQ(QualityFlagName(kFlagNoise), "Noise");
  EXPECT_EQ(QualityFlagName(kFlagGap), "Gap");
  EXPECT_EQ(QualityFlagName(kFlagDepth), "Depth");
}

// ---- The rules as written, worked out directly ----

double MedianOf(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

std::vector<QualityFinding> Reference(const std::vector<double>& x, const std::vector<std::int64_t>& t,
                                      const QualitySettings& s) {
  const std::size_t n = x.size();
  std::vector<QualityFinding> found;
  std::vector<double> cleaned = x, residuals;
  for (std::size_t i = 2; i + 2 < n; ++i) {
    const double m = MedianOf({x[i - 2], x[i - 1], x[i], x[i + 1], x[i + 2]});
    const std::size_t from = residuals.size() > 100 ? residuals.size() - 100 : 0;
    const std::vector<double> last(residuals.begin() + static_cast<std::ptrdiff_t>(from), residuals.end());
    const double threshold = last.empty() ? s.spikeFloor : std::max(s.spikeFloor, 5.0 * MedianOf(last));
    if (std::fabs(x[i] - m) > threshold) {
      found.push_back({i, kFlagSpike, x[i] - m});
      cleaned[i] = m;
    }
    residuals.push_back(std::fabs(x[i] - m));
  }
  for (std::size_t i = 2; i + 4 < n; ++i) {
    const double q = (cleaned[i - 2] - 4 * cleaned[i - 1] + 6 * cleaned[i] - 4 * cleaned[i + 1] + cleaned[i + 2]) / 16;
    if (std::fabs(q) > s.noiseEnvelope) found.push_back({i, kFlagNoise, q});
  }
  std::vector<double> intervals;
  for (std::size_t i = 1; i < t.size(); ++i) {
    const double d = static_cast<double>(t[i] - t[i - 1]);
    const std::size_t from = intervals.size() > 100 ? intervals.size() - 100 : 0;
    const std::vector<double> last(intervals.begin() + static_cast<std::ptrdiff_t>(from), intervals.end());
    if (d < 0 || (last.size() >= 3 && MedianOf(last) > 0 && d > 1.5 * MedianOf(last) && d > 50e6))
      found.push_back({i, kFlagGap, d / 1e9});
    if (d >= 0) intervals.push_back(d);
  }
  std::sort(found.begin(), found.end(), [](const QualityFinding& a, const QualityFinding& b) {
    return a.record != b.record ? a.record < b.record : a.flag < b.flag;
  });
  return found;
}

// A wandering background with spikes, steps and noise, and reception times
// with jitter, gaps and steps back.
struct RandomSeries {
  std::vector<double> values;
  std::vector<std::int64_t> times;
};

RandomSeries MakeRandomSeries(unsigned seed, std::size_t n) {
  std::mt19937 random(seed);
  std::normal_distribution<double> walk(0.0, 6.0);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  RandomSeries s;
  double level = 0.0;
  std::int64_t time = 0;
  for (std::size_t i = 0; i < n; ++i) {
    level += walk(random);
    if (unit(random) < 0.01) level += 300.0 * (unit(random) - 0.5);
    double value = std::round(level);
    if (unit(random) < 0.02) value += 400.0 * (unit(random) - 0.5);
    s.values.push_back(value);
    time += 100 * kMs + static_cast<std::int64_t>(10 * kMs * unit(random));
    if (unit(random) < 0.01) time += static_cast<std::int64_t>(2000 * kMs * unit(random));
    if (unit(random) < 0.003) time -= 300 * kMs;
    s.times.push_back(time);
  }
  return s;
}

TEST(QualityFlags, WholeSeriesFollowsTheRulesAsWritten) {
  for (const unsigned seed : {1u, 2u, 3u}) {
    const RandomSeries s = MakeRandomSeries(seed, 3000);
    const auto findings = Flags(s.values, Settings(), s.times);
    const auto expected = Reference(s.values, s.times, Settings());
    ASSERT_GT(expected.size(), 50u);
    ASSERT_EQ(findings.size(), expected.size()) << seed;
    for (std::size_t i = 0; i < findings.size(); ++i) {
      EXPECT_EQ(findings[i].record, expected[i].record) << seed << " finding " << i;
      EXPECT_EQ(findings[i].flag, expected[i].flag) << seed << " finding " << i;
      EXPECT_NEAR(findings[i].value, expected[i].value, 1e-9) << seed << " finding " << i;
    }
  }
}

// What the live flagger has said about records up to four before the newest
// is what the whole series says about them.
TEST(QualityFlags, LiveFormEqualsTheWholeSeriesOnceTheNeighboursHaveArrived) {
  const RandomSeries s = MakeRandomSeries(9, 2000);
  const auto whole = Flags(s.values, Settings(), s.times);
  QualityFlagger live(Settings());
  std::vector<QualityFinding> said;
  for (std::size_t n = 0; n < s.values.size(); ++n) {
    QualityRecord record;
    record.value = s.values[n];
    record.receivedNs = s.times[n];
    live.Add(record, said);
    if (n < 4) continue;
    std::multiset<std::pair<std::size_t, int>> settledLive, settledWhole;
    for (const QualityFinding& f : said) {
      ASSERT_LE(f.record, n) << "a finding about a record not yet received";
      if (f.record + 4 <= n) settledLive.insert({f.record, f.flag});
    }
    for (const QualityFinding& f : whole)
      if (f.record + 4 <= n) settledWhole.insert({f.record, f.flag});
    ASSERT_EQ(settledLive, settledWhole) << "after record " << n;
  }
  EXPECT_EQ(said.size(), whole.size());
}

// ---- A generated survey with injected faults ----

// The deviations of a ZEPH 2 log from the generator at 10 records a second,
// read from its lines ("$KVMGD,+00042,52341.2,087").
std::vector<double> GeneratedDeviations(int records, int seed) {
  testing::TempHome home;
  const std::string path = home.Path("survey.zpx");
  if (!testing::GenerateLog(testing::SurveyOptions("zpx", records, 0.0, seed) + " --rate 10", path)) return {};
  std::vector<double> values;
  std::istringstream lines(testing::ReadBytes(path));
  for (std::string line; std::getline(lines, line);) {
    const auto comma = line.find(',');
    values.push_back(std::stod(line.substr(comma + 1, line.find(',', comma + 1) - comma - 1)));
  }
  return values;
}

// One injected fault: the records it may flag, and the flag it must raise
// on one of them at least.
struct Injected {
  std::size_t first, last;
  std::uint8_t expected;  // any of these flags
  const char* kind;
};

TEST(QualityFlags, EveryInjectedFaultIsFlaggedAndCleanRecordsAlmostNever) {
  constexpr int kRecords = 30000;
  std::vector<double> values = GeneratedDeviations(kRecords, 4);
  ASSERT_EQ(values.size(), static_cast<std::size_t>(kRecords));
  std::mt19937 random(17);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  auto sign = [&] { return unit(random) < 0.5 ? -1.0 : 1.0; };
  std::vector<std::int64_t> times;
  for (int i = 0; i < kRecords; ++i)
    times.push_back(1'000'000 * kMs + i * 100 * kMs + static_cast<std::int64_t>(8 * kMs * unit(random)));

  // A fault every 500 records, in turn: spike, step, noise burst, gap, time
  // going back.
  std::vector<Injected> injected;
  for (std::size_t at = 500, turn = 0; at + 500 < values.size(); at += 500, ++turn) {
    switch (turn % 5) {
      case 0:
        values[at] += sign() * (100.0 + 900.0 * unit(random));
        injected.push_back({at, at, kFlagSpike, "spike"});
        break;
      case 1: {
        const double by = sign() * (100.0 + 400.0 * unit(random));
        for (std::size_t i = at; i < values.size(); ++i) values[i] += by;
        injected.push_back({at - 2, at + 1, kFlagNoise, "step"});
        break;
      }
      case 2:
        for (std::size_t i = at; i < at + 20; ++i) values[i] += std::round(160.0 * (unit(random) - 0.5));
        injected.push_back({at - 2, at + 21, kFlagNoise | kFlagSpike, "noise burst"});
        break;
      case 3: {
        const auto gap = static_cast<std::int64_t>((300 + 2700 * unit(random)) * kMs);
        for (std::size_t i = at; i < times.size(); ++i) times[i] += gap;
        injected.push_back({at, at, kFlagGap, "gap"});
        break;
      }
      case 4:
        times[at] = times[at - 1] - 200 * kMs;
        injected.push_back({at, at + 1, kFlagGap, "time back"});
        break;
    }
  }
  const auto findings = Flags(values, Settings(), times);
  const std::vector<std::uint8_t> mask = FlagMask(values.size(), findings);

  std::vector<bool> faulty(values.size(), false);
  for (const Injected& fault : injected) {
    bool flagged = false;
    for (std::size_t i = fault.first; i <= fault.last; ++i) {
      faulty[i] = true;
      flagged = flagged || (mask[i] & fault.expected) != 0;
    }
    EXPECT_TRUE(flagged) << fault.kind << " at " << fault.first;
  }
  std::size_t clean = 0, cleanFlagged = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (faulty[i]) continue;
    ++clean;
    if (mask[i]) ++cleanFlagged;
  }
  EXPECT_LT(static_cast<double>(cleanFlagged), 0.001 * static_cast<double>(clean))
      << cleanFlagged << " of " << clean << " clean records flagged";
  RecordProperty("clean_flagged", std::to_string(cleanFlagged) + " of " + std::to_string(clean));
}

}  // namespace tessaly::quality_flags_test
