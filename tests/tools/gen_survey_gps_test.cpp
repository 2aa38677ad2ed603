// The survey generator's GPS files: they leave the log as it was, and hold
// what a live session keeps beside a part.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/UTMLaLo.h"
#include "support/FileBytes.h"
#include "support/Generator.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

using testing::ReadBytes;
using testing::TempHome;
using testing::TextLines;

std::string Field(const std::string& line, std::size_t index, char separator) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < index; ++i) start = line.find(separator, start) + 1;
  return line.substr(start, line.find(separator, start) - start);
}

// The exclusive or of the characters between "$" and "*", worked here.
bool ChecksumHolds(const std::string& sentence) {
  const std::size_t star = sentence.rfind('*');
  if (sentence.empty() || sentence[0] != '$' || star == std::string::npos) return false;
  unsigned sum = 0;
  for (std::size_t i = 1; i < star; ++i) sum ^= static_cast<unsigned char>(sentence[i]);
  char hex[3];
  std::snprintf(hex, sizeof hex, "%02X", sum);
  return sentence.substr(star + 1) == hex;
}

TEST(SurveyGeneratorGps, FilesBesideTheLogLeaveTheLogAsItWas) {
  TempHome home;
  for (const std::string kind : {"kvl", "zpx", "pnav-plus"}) {
    const std::string options = "--kind " + kind + " --records 300 --rate 10 --bad-fraction 0.1 --seed 9";
    ASSERT_TRUE(testing::GenerateLog(options, home.Path("plain")));
    ASSERT_TRUE(testing::GenerateLog(options + " --nmea-out " + home.Path("n") + " --times-out " + home.Path("t") +
                                         " --gps-truth-out " + home.Path("u"),
                                     home.Path("with")));
    EXPECT_EQ(ReadBytes(home.Path("with")), ReadBytes(home.Path("plain"))) << kind;
  }
}

TEST(SurveyGeneratorGps, NmeaHoldsEveryEpochWithGoodChecksumsInTimeOrder) {
  TempHome home;
  ASSERT_TRUE(testing::GenerateLog("--kind zpx --records 100 --rate 10 --gps-rate 5 --gps-dropout 4,2 --nmea-out " +
                                       home.Path("s.nmea") + " --times-out " + home.Path("s.times"),
                                   home.Path("s.zpx")));
  const auto lines = TextLines(ReadBytes(home.Path("s.nmea")));
  // 9.9 s of records: epochs every 0.2 s from 0 to 9.8, less the ten in 4 to 6 s.
  ASSERT_EQ(lines.size(), (50u - 10u) * 5u);
  std::string previous;
  std::multiset<std::string> types;
  for (const std::string& line : lines) {
    const std::string time = Field(line, 0, '\t'), sentence = Field(line, 1, '\t');
    EXPECT_TRUE(ChecksumHolds(sentence)) << line;
    EXPECT_GT(time, previous) << line;
    EXPECT_TRUE(time < "2026-12-09T08:00:04" || time >= "2026-12-09T08:00:06") << line;
    previous = time;
    types.insert(sentence.substr(3, 3));
  }
  for (const char* type : {"GGA", "RMC", "VTG", "HDT", "ZDA"}) EXPECT_EQ(types.count(type), 40u) << type;
  const auto times = TextLines(ReadBytes(home.Path("s.times")));
  ASSERT_EQ(times.size(), 100u);
  EXPECT_EQ(times[0], "1\t2026-12-09T08:00:00.000Z\t1000000000000");
  EXPECT_EQ(times[99], "100\t2026-12-09T08:00:09.900Z\t1009900000000");
}

TEST(SurveyGeneratorGps, TheLogsTowfishHangsTheCableBehindTheAntenna) {
  TempHome home;
  ASSERT_TRUE(testing::GenerateLog("--kind kvl --records 600 --rate 1 --cable 80 --gps-truth-out " + home.Path("truth"),
                                   home.Path("s.kvl")));
  const auto log = TextLines(ReadBytes(home.Path("s.kvl")));
  const auto truth = TextLines(ReadBytes(home.Path("truth")));
  ASSERT_EQ(truth.size(), log.size() + 1);
  int checked = 0;
  for (std::size_t i = 0; i < log.size(); ++i) {
    const std::string& t = truth[i + 1];
    if (Field(t, 6, ',') != "1") continue;  // on a survey line
    const std::string latText = Field(log[i], 2, ','), lonText = Field(log[i], 4, ',');
    const double lat = std::stod(latText.substr(0, 2)) + std::stod(latText.substr(2)) / 60.0;
    const double lon = -(std::stod(lonText.substr(0, 3)) + std::stod(lonText.substr(3)) / 60.0);
    const double depth = std::stod(Field(log[i], 6, ','));
    UtmPosition antenna, fish;
    ASSERT_TRUE(LatLonToUtm(kWgs84Datum, std::stod(Field(t, 2, ',')), std::stod(Field(t, 3, ',')), antenna));
    ASSERT_TRUE(LatLonToUtmInZone(kWgs84Datum, lat, lon, antenna.zoneNumber, false, fish));
    const double apart = std::hypot(antenna.easting - fish.easting, antenna.northing - fish.northing);
    // The log holds thousandths of a minute: 1.9 m north-south, 1.3 m east-west.
    EXPECT_NEAR(apart, std::sqrt(80.0 * 80.0 - depth * depth), 2.5) << i;
    ++checked;
  }
  EXPECT_GT(checked, 300);
}

}  // namespace
}  // namespace tessaly
