// Under a locale whose decimal separator is ",", numbers are still read and
// written as the records expect, both through the process locale and through
// an explicit separator.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/Positions.h"
#include "support/SampleSetUp.h"

namespace tessaly::test {
namespace {

constexpr const char* kKvl = "$KVMGD,+00042,4418.000,N,06318.000,W,25.3,78.4";
constexpr const char* kPlus =
    "08:00:00.00,4418.0000,N,06318.0000,W,000.0,4.5,TF:44.2994600:-63.3000000,+00042,25.3,78.4";

// Parses the reference lines; empty text when everything is as expected,
// otherwise what differs.
std::string CommaSeparatorMismatches(TSample& kvl, TSample& plus) {
  std::string problems;
  const auto expect = [&](bool ok, const std::string& what) {
    if (!ok) problems += what + "\n";
  };
  expect(kvl.Parse(kKvl) == 0, "KVL line rejected: " + kvl.FErrorText);
  expect(kvl.FTfDecLat == "+44.30000", "decimal latitude " + kvl.FTfDecLat);
  expect(kvl.FTfDecLon == "-63.30000", "decimal longitude " + kvl.FTfDecLon);
  expect(kvl.FTfNorth.find(',') == 7 && kvl.FTfNorth.find('.') == std::string::npos, "northing " + kvl.FTfNorth);
  expect(kvl.FTfEast.find(',') == 6, "easting " + kvl.FTfEast);
  expect(kvl.Parse("$KVMGD,+00042,4418.000,N,06318.000,W,30.3,78.4") == 0, "depth 30.3 after 25.3 rejected");
  expect(kvl.Parse("$KVMGD,+00042,4418.000,N,06318.000,W,35.4,78.4") != 0, "depth 35.4 after 30.3 accepted");
  expect(plus.Parse(kPlus) == 0, "navigation line rejected: " + plus.FErrorText);
  expect(plus.FLatMin == "17,968", "towfish minutes " + plus.FLatMin);
  expect(plus.FTfDecLat == "+44.29946", "towfish decimal latitude " + plus.FTfDecLat);
  return problems;
}

TEST(SampleLocale, ExplicitCommaSeparatorReadsAndWritesNumbersWithIt) {
  auto kvl = MakeSample(skKVL, ',');
  auto plus = MakeNavigationSample('+', ',');
  EXPECT_EQ(CommaSeparatorMismatches(*kvl, *plus), "");
}

TEST(SampleLocale, PointSeparatorDoesNotReadCommaMinutes) {
  auto point = MakeSample(skKVG, '.');
  const std::string line = std::string(50, ' ') + "+00011 44 12,345N 063 18.000W";
  EXPECT_EQ(point->Parse(line), -1);
  EXPECT_EQ(point->FErrorText, "Invalid Position value");
  auto comma = MakeSample(skKVG, ',');
  EXPECT_EQ(comma->Parse(line), 0);
  EXPECT_EQ(comma->FTfDecLat, "+44.20575");
}

TEST(SampleLocale, ProcessLocaleWithCommaSeparatorGivesTheSameResults) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  const std::string restore = previous != nullptr ? previous : "C";
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr)
    GTEST_SKIP() << "locale de_DE.UTF-8 is not generated on this machine (scripts/deps.sh makes it)";
  std::setlocale(LC_NUMERIC, restore.c_str());

  // The separator is taken once per process, so the check runs in a fresh one.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
        TSample kvl;
        kvl.FDevDigits = 5;
        kvl.SetHeader("$KVMGD");
        kvl.SetKind(skKVL);
        auto plus = MakeNavigationSample('+', LocaleDecimalSeparator());
        std::string problems = CommaSeparatorMismatches(kvl, *plus);
        if (LocaleDecimalSeparator() != ',' || kvl.FDecimalSeparator != ',') problems += "separator not taken\n";
        std::fputs(problems.c_str(), stderr);
        std::exit(problems.empty() ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace tessaly::test
