// Every line of generated logs of every kind: exactly the faulty lines the
// generator lists are rejected, blank lines excepted (they are not data).
#include <gtest/gtest.h>

#include <string>

#include "support/SampleSetUp.h"

namespace tessaly::test {
namespace {

struct GeneratedCase {
  const char* name;
  const char* arguments;
  std::uint8_t kind;  // skPNav: navigation sample of mode `mode`
  char mode;
};

void PrintTo(const GeneratedCase& c, std::ostream* os) { *os << c.name; }

class GeneratedFiles : public ::testing::TestWithParam<GeneratedCase> {};

std::unique_ptr<TSample> SampleFor(const GeneratedCase& c) {
  return c.kind == skPNav ? MakeNavigationSample(c.mode) : MakeSample(c.kind);
}

TEST_P(GeneratedFiles, RejectsExactlyTheListedFaultyLines) {
  const GeneratedCase& c = GetParam();
  GeneratedLog log;
  ASSERT_TRUE(Generate(std::string(c.arguments) + " --records 1500 --bad-fraction 0.08 --seed 11", log));
  ASSERT_FALSE(log.faulty.empty());

  auto sample = SampleFor(c);
  std::set<int> rejected;
  int accepted = 0;
  for (const int number : DataLineNumbers(*sample, log.lines)) {
    const std::string& line = log.lines[static_cast<std::size_t>(number) - 1];
    if (line.empty()) {
      EXPECT_TRUE(log.blank.count(number)) << "unlisted blank line " << number;
      continue;
    }
    if (sample->Parse(line) != 0) {
      rejected.insert(number);
      EXPECT_FALSE(sample->FErrorText.empty()) << "line " << number;
    } else {
      ++accepted;
    }
  }
  EXPECT_EQ(rejected, log.faulty);
  EXPECT_GT(accepted, 1200);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, GeneratedFiles,
    ::testing::Values(GeneratedCase{"kvl", "--kind kvl", skKVL, 0},
                      GeneratedCase{"kvs", "--kind kvs", skKVS, 0},
                      GeneratedCase{"kvg_fixed", "--kind kvg --form fixed", skKVG, 0},
                      GeneratedCase{"kvg_comma", "--kind kvg --form comma", skKVG, 0},
                      GeneratedCase{"zpx_long", "--kind zpx --form long", skZPX, 0},
                      GeneratedCase{"zpx_short", "--kind zpx --form short", skZPX, 0},
                      GeneratedCase{"zpt_long", "--kind zpt --form long", skZPT, 0},
                      GeneratedCase{"zpt_short", "--kind zpt --form short", skZPT, 0},
                      GeneratedCase{"rtb", "--kind rtb", skRTB, 0},
                      GeneratedCase{"rtc", "--kind rtc", skRTC, 0},
                      GeneratedCase{"pnav_plus", "--kind pnav-plus", skPNav, '+'},
                      GeneratedCase{"pnav_p", "--kind pnav-p", skPNav, 'p'},
                      GeneratedCase{"kvl_south_east", "--kind kvl --start-lat -33.9 --start-lon 151.2", skKVL, 0},
                      GeneratedCase{"pnav_plus_south_east",
                                    "--kind pnav-plus --start-lat -33.9 --start-lon 151.2", skPNav, '+'}),
    [](const ::testing::TestParamInfo<GeneratedCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tessaly::test
