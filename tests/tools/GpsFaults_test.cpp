// The simulated GPS's faults and its command line.
#include "tools/sim/GpsFaults.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/GpsTruth.h"

namespace tessaly::sim {
namespace {

using testing::WithChecksum;

struct InvalidCase {
  const char* body;
  const char* invalidBody;  // the fix marked invalid; the same for other types
};

class Invalidated : public ::testing::TestWithParam<InvalidCase> {};

TEST_P(Invalidated, MarksTheFixInvalidWithAGoodChecksum) {
  EXPECT_EQ(InvalidatedSentence(WithChecksum(GetParam().body)), WithChecksum(GetParam().invalidBody));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Invalidated,
    ::testing::Values(InvalidCase{"GNGGA,080000.00,4418.000000,N,06318.000000,W,2,12,0.7,3.0,M,-20.1,M,,",
                                  "GNGGA,080000.00,4418.000000,N,06318.000000,W,0,12,0.7,3.0,M,-20.1,M,,"},
                      InvalidCase{"GNRMC,080000.00,A,4418.000000,N,06318.000000,W,4.5,0.0,091226,,,D",
                                  "GNRMC,080000.00,V,4418.000000,N,06318.000000,W,4.5,0.0,091226,,,N"},
                      InvalidCase{"GPVTG,0.0,T,,M,4.5,N,8.3,K,D", "GPVTG,0.0,T,,M,4.5,N,8.3,K,N"},
                      InvalidCase{"HEHDT,0.0,T", "HEHDT,0.0,T"},
                      InvalidCase{"GPZDA,080000.00,09,12,2026,00,00", "GPZDA,080000.00,09,12,2026,00,00"}));

TEST(GpsFaults, ABadChecksumDiffersInItsLastDigit) {
  EXPECT_EQ(BadChecksumSentence("$HEHDT,0.0,T*2F"), "$HEHDT,0.0,T*20");
  EXPECT_EQ(BadChecksumSentence("$HEHDT,1.0,T*20"), "$HEHDT,1.0,T*21");
}

TEST(GpsFaults, TheSameSeedDrawsTheSameFaults) {
  GpsSettings settings;
  settings.badChecksum = 0.3;
  settings.invalidFix = 0.5;
  const auto draw = [&](std::uint64_t seed) {
    GpsFaults faults(settings, seed);
    std::string drawn;
    for (int i = 0; i < 200; ++i) drawn += faults.InvalidEpoch() ? 'V' : faults.BadChecksum() ? 'C' : 'S';
    return drawn;
  };
  EXPECT_EQ(draw(4), draw(4));
  EXPECT_NE(draw(4), draw(5));
  const std::string drawn = draw(4);
  EXPECT_GT(std::count(drawn.begin(), drawn.end(), 'V'), 70);
  EXPECT_GT(std::count(drawn.begin(), drawn.end(), 'C'), 15);
  settings = GpsSettings{};
  GpsFaults none(settings, 4);
  for (int i = 0; i < 100; ++i) EXPECT_FALSE(none.InvalidEpoch() || none.BadChecksum());
}

struct GpsCommandLine {
  std::vector<const char*> arguments;
  const char* error;  // empty: accepted
};

class GpsOptions : public ::testing::TestWithParam<GpsCommandLine> {};

TEST_P(GpsOptions, AreCheckedAsTheUsageSays) {
  std::vector<char*> argv{const_cast<char*>("tessaly-sim")};
  for (const char* argument : GetParam().arguments) argv.push_back(const_cast<char*>(argument));
  SimOptions options;
  const auto error = ParseSimOptions(static_cast<int>(argv.size()), argv.data(), options);
  EXPECT_EQ(error.value_or(""), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GpsOptions,
    ::testing::Values(
        GpsCommandLine{{"stream", "--gps", "g.nmea", "--gps-link", "/tmp/g", "--gps-invalid", "0.5", "--gps-baud",
                        "38400", "--gps-dropout-every", "10", "--gps-dropout-ms", "3000", "--gps-bad-checksum", "0.1",
                        "log.zpx"},
                       ""},
        GpsCommandLine{{"stream", "--gps", "g.nmea", "log.zpx"}, "--gps needs --gps-link"},
        GpsCommandLine{{"stream", "--gps-link", "/tmp/g", "log.zpx"}, "--gps-link and --gps-sent need --gps"},
        GpsCommandLine{{"stream", "--gps", "g", "--gps-link", "l", "--gps-invalid", "2", "log.zpx"},
                       "--gps-invalid takes a chance from 0 to 1, not 2"},
        GpsCommandLine{{"stream", "--gps", "g", "--gps-link", "l", "--gps-dropout-every", "0", "log.zpx"},
                       "--gps-dropout-every takes a number of epochs from 1, not 0"},
        GpsCommandLine{{"dump", "--gps", "g", "set.kvs"}, "--gps does not apply to dump"}));

}  // namespace
}  // namespace tessaly::sim
