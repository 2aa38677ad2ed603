// The two-stage parse (order-free part on another sample, continuity in file
// order) gives the same results, messages and memory as Parse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/SampleSetUp.h"

namespace tessaly::test {
namespace {

struct Outcome {
  int result;
  std::string error, prevLon, prevLat, prevDepth;
  bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os) {
  *os << o.result << " [" << o.error << "] " << o.prevLon << "/" << o.prevLat << "/" << o.prevDepth;
}

Outcome OutcomeOf(int result, const TSample& s) {
  return {result, s.FErrorText, s.FPrevLonDeg, s.FPrevLatDeg, s.FPrevTowDepth};
}

// Parses `lines` with Parse on one sample and in two stages (all verdicts
// first on a worker sample, then Resolve in order on a fresh sample).
void ExpectSameOutcomes(std::unique_ptr<TSample> sequential, std::unique_ptr<TSample> resolving,
                        const std::vector<std::string>& lines) {
  TSample worker('.');
  worker.CopySetUp(*resolving);
  std::vector<LineVerdict> verdicts(lines.size());
  std::vector<std::string> workerDecLat(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    worker.ParseDetached(lines[i], verdicts[i]);
    workerDecLat[i] = worker.FTfDecLat + worker.FGpsDecLat + worker.FTfNorth + worker.FGpsEast;
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Outcome expected = OutcomeOf(sequential->Parse(lines[i]), *sequential);
    const Outcome actual = OutcomeOf(resolving->Resolve(verdicts[i]), *resolving);
    ASSERT_EQ(actual, expected) << "line " << i + 1 << ": " << lines[i];
    if (expected.result == 0) {
      EXPECT_EQ(workerDecLat[i], sequential->FTfDecLat + sequential->FGpsDecLat + sequential->FTfNorth +
                                     sequential->FGpsEast);
    }
  }
}

TEST(TwoStageParse, MatchesParseOnGeneratedLogsOfEveryKind) {
  const struct {
    const char* arguments;
    std::uint8_t kind;
    char mode;
  } cases[] = {{"--kind kvl", skKVL, 0},       {"--kind kvs", skKVS, 0},
               {"--kind kvg", skKVG, 0},       {"--kind kvg --form comma", skKVG, 0},
               {"--kind rtc", skRTC, 0},       {"--kind zpt", skZPT, 0},
               {"--kind pnav-plus", skPNav, '+'}, {"--kind pnav-p", skPNav, 'p'}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    GeneratedLog log;
    ASSERT_TRUE(Generate(std::string(c.arguments) + " --records 800 --bad-fraction 0.2 --seed 5", log));
    const auto make = [&] { return c.kind == skPNav ? MakeNavigationSample(c.mode) : MakeSample(c.kind); };
    std::vector<std::string> data;
    for (const int number : DataLineNumbers(*make(), log.lines)) data.push_back(log.lines[number - 1]);
    ExpectSameOutcomes(make(), make(), data);
  }
}

TEST(TwoStageParse, ContinuityFailureBeforeALaterFormatFailureDecides) {
  const std::vector<std::string> lines = {
      "$KVMGD,+00010,063,18.000,W,44,18.000,N,010.0,020.0",
      // longitude jumps and the sounder is bad: the jump is reported
      "$KVMGD,+00010,066,18.000,W,44,18.000,N,010.0,2x",
      // latitude jumps and the minutes are bad: the jump is reported
      "$KVMGD,+00010,063,18.000,W,47,1x.3y5,N,010.0,020.0",
      // depth jumps and the sounder is bad: the jump is reported
      "$KVMGD,+00010,063,18.000,W,44,18.000,N,030.0,bad",
      "",
      "$KVMGD,+00010,064,18.000,W,45,18.000,N,012.0,020.0",
  };
  ExpectSameOutcomes(MakeSample(skRTC), MakeSample(skRTC), lines);
  auto sample = MakeSample(skRTC);
  std::vector<std::string> messages;
  for (const auto& line : lines) {
    sample->Parse(line);
    messages.push_back(sample->FErrorText);
  }
  EXPECT_EQ(messages[1], "Longitude Degrees is worng");
  EXPECT_EQ(messages[2], "Latitude Degrees is worng");
  EXPECT_EQ(messages[3], "Invalid Towfish Depth value");
  EXPECT_EQ(messages[4], "Empty Line");
  EXPECT_EQ(sample->FPrevLonDeg, "064");
  EXPECT_EQ(sample->FPrevLatDeg, "45");
  EXPECT_EQ(sample->FPrevTowDepth, "012.0");
}

TEST(TwoStageParse, CopySetUpTakesSettingsButNotMemoryNorFields) {
  auto source = MakeNavigationSample('+', ',');
  source->FMapDatum = 3;
  ASSERT_EQ(source->Parse("08:00:00.00,4418.0000,N,06318.0000,W,000.0,4.5,TF:44.2994600:-63.3000000,+00042,25.3,78.4"), 0);
  TSample copy('.');
  copy.CopySetUp(*source);
  EXPECT_EQ(copy.FKind, skPNav);
  EXPECT_EQ(copy.FFieldSet, source->FFieldSet);
  EXPECT_EQ(copy.FColumns, source->FColumns);
  EXPECT_EQ(copy.FNextColumn, source->FNextColumn);
  EXPECT_EQ(copy.FHeading, source->FHeading);
  EXPECT_EQ(copy.FDevDigits, 5);
  EXPECT_EQ(copy.FDecimalSeparator, ',');
  EXPECT_EQ(copy.FMapDatum, 3);
  EXPECT_EQ(copy.FPnav.FMode, '+');
  EXPECT_EQ(copy.FPnav.FMarkColumn, 2);
  EXPECT_EQ(copy.FPnav.FOwner, &copy);
  EXPECT_TRUE(copy.FPrevTowDepth.empty());
  EXPECT_TRUE(copy.FDev.empty());
}

}  // namespace
}  // namespace tessaly::test
