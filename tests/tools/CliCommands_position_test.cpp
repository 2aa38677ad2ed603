// tessaly-cli position: records of generated surveys positioned from their
// reception times and NMEA files, judged by the generator's truth; the CSV it
// writes; what it refuses.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "core/SettingsFile.h"
#include "core/SettingsStore.h"
#include "core/UTMLaLo.h"
#include "support/Generator.h"
#include "tools/CliRun.h"

namespace tessaly {
namespace {

using testing::Cli;
using testing::CommandRun;
using testing::ReadBytes;
using testing::TempHome;
using testing::WriteBytes;

std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  for (const std::string& line : testing::TextLines(text)) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    while (true) {
      const std::size_t comma = line.find(',', start);
      cells.push_back(line.substr(start, comma - start));
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
    rows.push_back(cells);
  }
  return rows;
}

// Metres between two positions given as decimal-degree texts, through the
// UTM projection of the first one's zone.
double Metres(const std::string& lat1, const std::string& lon1, const std::string& lat2, const std::string& lon2) {
  UtmPosition a, b;
  EXPECT_TRUE(LatLonToUtm(kWgs84Datum, std::stod(lat1), std::stod(lon1), a));
  EXPECT_TRUE(LatLonToUtmInZone(kWgs84Datum, std::stod(lat2), std::stod(lon2), a.zoneNumber, std::stod(lat1) < 0, b));
  return std::hypot(a.easting - b.easting, a.northing - b.northing);
}

// Columns of the truth file and of the output.
enum Truth { kTRow, kTUtc, kTAntennaLat, kTAntennaLon, kTFishLat, kTFishLon, kTOnLine };
enum Out { kRow, kUtc, kAntennaLat, kAntennaLon, kFishLat, kFishLon, kZone, kEast, kNorth, kDev, kDepth, kFlags };

class PositionCommand : public ::testing::Test {
 protected:
  // A survey of `kind` with its times, NMEA and truth beside it.
  void Generate(const std::string& options) {
    ASSERT_TRUE(testing::GenerateLog(options + " --nmea-out " + log_ + ".nmea --times-out " + log_ +
                                         ".times --gps-truth-out " + truth_,
                                     log_));
  }
  CommandRun Position(std::vector<std::string> options) {
    options.push_back(log_);
    options.push_back(out_);
    options.insert(options.begin(), "position");
    return Cli(home_, options);
  }
  std::vector<std::vector<std::string>> Output() { return CsvRows(ReadBytes(out_)); }
  std::vector<std::vector<std::string>> TruthRows() { return CsvRows(ReadBytes(truth_)); }

  TempHome home_;
  std::string log_ = home_.Path("survey.kvl"), out_ = home_.Path("positions.csv"), truth_ = home_.Path("truth.csv");
};

TEST_F(PositionCommand, MatchesTheGeneratorsTruth) {
  Generate("--kind kvl --records 3000 --rate 10 --gps-rate 10 --cable 70 --seed 5");
  const CommandRun run = Position({"--cable", "70", "--mode", "follow"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const auto out = Output(), truth = TruthRows();
  ASSERT_EQ(out.size(), truth.size());
  EXPECT_EQ(out[0][kRow] + "," + out[0][kUtc] + "," + out[0][kFlags], "Row,UTC,Flags");
  double worstAntenna = 0, worstFish = 0;
  std::size_t onLine = 0;
  for (std::size_t i = 1; i < out.size(); ++i) {
    const auto &o = out[i], &t = truth[i];
    ASSERT_EQ(o.size(), 12u) << i;
    EXPECT_EQ(o[kRow], t[kTRow]);
    EXPECT_EQ(o[kUtc], t[kTUtc]);
    ASSERT_FALSE(o[kAntennaLat].empty()) << i;
    worstAntenna = std::max(worstAntenna, Metres(o[kAntennaLat], o[kAntennaLon], t[kTAntennaLat], t[kTAntennaLon]));
    if (t[kTOnLine] != "1") continue;
    ++onLine;
    ASSERT_FALSE(o[kFishLat].empty()) << i;
    worstFish = std::max(worstFish, Metres(o[kFishLat], o[kFishLon], t[kTFishLat], t[kTFishLon]));
  }
  EXPECT_GT(onLine, 2000u);
  EXPECT_LT(worstAntenna, 0.05);
  EXPECT_LT(worstFish, 0.5);
}

TEST_F(PositionCommand, PutsTheFishWhereTheInstrumentSaysItIs) {
  // The log's own positions, to a thousandth of a minute (1.9 m north-south).
  Generate("--kind kvl --records 3000 --rate 10 --gps-rate 10 --cable 70 --seed 6");
  ASSERT_EQ(Position({"--cable", "70", "--mode", "follow"}).exitCode, 0);
  std::istringstream logText(ReadBytes(log_));
  std::string line;
  const auto out = Output(), truth = TruthRows();
  for (std::size_t row = 1; std::getline(logText, line); ++row) {
    if (truth[row][kTOnLine] != "1") continue;
    const auto cells = CsvRows(line)[0];  // $KVMGD,dev,DDMM.mmm,N,DDDMM.mmm,W,depth,sounder
    const double lat = std::stod(cells[2].substr(0, 2)) + std::stod(cells[2].substr(2)) / 60.0;
    const double lon = -(std::stod(cells[4].substr(0, 3)) + std::stod(cells[4].substr(3)) / 60.0);
    EXPECT_LT(Metres(out[row][kFishLat], out[row][kFishLon], std::to_string(lat), std::to_string(lon)), 2.0) << row;
    EXPECT_DOUBLE_EQ(std::stod(out[row][kDepth]), std::stod(cells[6])) << row;
  }
}

TEST_F(PositionCommand, RecordsInAThreeSecondDropoutAreFlaggedAndNotPositioned) {
  Generate("--kind zpx --records 600 --rate 10 --gps-rate 10 --gps-dropout 30,3 --seed 2");
  ASSERT_EQ(Position({"--cable", "50"}).exitCode, 0);
  const auto out = Output();
  std::size_t flagged = 0;
  for (std::size_t row = 1; row < out.size(); ++row) {
    const double t = (row - 1) / 10.0;  // seconds after the first record
    const bool inDropout = t > 29.95 && t < 33.0;
    EXPECT_EQ(out[row][kFlags] == "no-fix", inDropout) << row;
    EXPECT_EQ(out[row][kAntennaLat].empty(), inDropout) << row;
    EXPECT_EQ(out[row][kFishLat].empty(), inDropout || row <= 5) << row;
    flagged += inDropout;
  }
  EXPECT_EQ(flagged, 30u);
}

TEST_F(PositionCommand, ASurveyOverMidnightStaysPositionedAndInOrder) {
  Generate("--kind zpx --records 600 --rate 10 --gps-rate 1 --start-time 23:59:30 --start-date 2026-12-31");
  ASSERT_EQ(Position({"--cable", "50"}).exitCode, 0);
  const auto out = Output(), truth = TruthRows();
  EXPECT_EQ(out[1][kUtc], "2026-12-31T23:59:30.000Z");
  EXPECT_EQ(out[301][kUtc], "2027-01-01T00:00:00.000Z");
  for (std::size_t row = 1; row + 1 < out.size(); ++row) {
    EXPECT_FALSE(out[row][kAntennaLat].empty()) << row;
    EXPECT_LT(out[row][kUtc], out[row + 1][kUtc]) << row;
  }
}

TEST_F(PositionCommand, TakesTheLaybackOfThePositioningSettingsAndTheCableHistory) {
  Generate("--kind zpx --records 1200 --rate 10 --gps-rate 10 --seed 4");
  LaybackSettings settings;
  settings.cableOut = 30.0;
  settings.towPointAstern = 5.0;
  WriteLaybackSettings(home_.Lib("Positioning.ega"), settings);
  // The cable goes out to 80 m a minute in: 2026-12-09T08:01:00Z.
  WriteBytes(log_ + ".cable", "2026-12-09T08:01:00.000Z\t80\r\n");
  const auto astern = [&](std::size_t row) {
    const auto out = Output();
    return Metres(out[row][kAntennaLat], out[row][kAntennaLon], out[row][kFishLat], out[row][kFishLon]);
  };
  ASSERT_EQ(Position({}).exitCode, 0);
  EXPECT_NEAR(astern(500), 35.0, 0.5);   // 50 s: 30 m of cable and the tow point 5 m astern
  EXPECT_NEAR(astern(1100), 85.0, 1.0);  // 110 s
  ASSERT_EQ(Position({"--cable", "20", "--offset", "0,0", "--depth", "12"}).exitCode, 0);
  EXPECT_NEAR(astern(1100), 16.0, 0.5);  // sqrt(20² − 12²), the history set aside
}

TEST_F(PositionCommand, WritesTheCsvRowAsWorkedOutByHand) {
  // Two fixes a second apart, the second 0.06 minutes of latitude north of
  // the first; a record on each and one half way.
  WriteBytes(log_, "$KVMGD,+00042,4418.000,N,06318.000,W,25.3,78.4\r\n"
                   "$KVMGD,-00007,4418.000,N,06318.000,W,25.4,78.4\r\n"
                   "$KVMGD,+00001,4418.000,N,06318.000,W,25.5,78.4\r\n");
  WriteBytes(log_ + ".times", "1\t2026-12-09T08:00:00.000Z\t1000\r\n2\t2026-12-09T08:00:00.500Z\t2000\r\n"
                              "3\t2026-12-09T08:00:01.000Z\t3000\r\n");
  WriteBytes(log_ + ".nmea",
             "2026-12-09T08:00:00.000Z\t$GNGGA,080000.00,4418.000000,N,06318.000000,W,2,12,0.7,3.0,M,-20.1,M,,*47\r\n"
             "2026-12-09T08:00:01.000Z\t$GNGGA,080001.00,4418.060000,N,06318.000000,W,2,12,0.7,3.0,M,-20.1,M,,*40\r\n");
  const CommandRun run = Position({"--cable", "30", "--offset", "0,0", "--depth", "0"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string csv = ReadBytes(out_);
  const auto rows = CsvRows(csv);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(csv.substr(0, csv.find('\n') + 1),
            "Row,UTC,Antenna Latitude,Antenna Longitude,Towfish Latitude,Towfish Longitude,Towfish Zone,"
            "Towfish Easting,Towfish Northing,Deviation,Towfish Depth,Flags\r\n");
  EXPECT_EQ(csv.substr(csv.find('\n') + 1, csv.find('\n', csv.find('\n') + 1) - csv.find('\n')),
            "1,2026-12-09T08:00:00.000Z,44.30000000,-63.30000000,,,,,,42,25.3,no-course\r\n");
  // Half way: 44 degrees 18.030 minutes = 44.3005 degrees; the course is
  // north, so the fish is sqrt(30² - 25.4²) m south of the antenna, at the
  // record's depth.
  EXPECT_EQ(rows[2][kAntennaLat], "44.30050000");
  EXPECT_EQ(rows[2][kDev], "-7");
  EXPECT_EQ(rows[2][kFlags], "");
  EXPECT_EQ(rows[2][kZone], "20 T");
  EXPECT_EQ(rows[2][kDepth], "25.4");
  EXPECT_NEAR(Metres(rows[2][kAntennaLat], rows[2][kAntennaLon], rows[2][kFishLat], rows[2][kFishLon]),
              std::sqrt(30.0 * 30.0 - 25.4 * 25.4), 0.01);
  EXPECT_LT(std::stod(rows[2][kFishLat]), 44.3005);
  UtmPosition fish;
  ASSERT_TRUE(LatLonToUtm(kWgs84Datum, std::stod(rows[2][kFishLat]), std::stod(rows[2][kFishLon]), fish));
  EXPECT_NEAR(std::stod(rows[2][kEast]), fish.easting, 0.001);
  EXPECT_NEAR(std::stod(rows[2][kNorth]), fish.northing, 0.001);
}

TEST_F(PositionCommand, ADepthBeyondTheCableIsFlagged) {
  Generate("--kind kvl --records 200 --rate 10 --gps-rate 10 --cable 70");
  ASSERT_EQ(Position({"--cable", "3"}).exitCode, 0);  // every towfish is deeper than 3 m
  const auto out = Output();
  EXPECT_EQ(out[100][kFlags], "depth-over-cable");
  EXPECT_TRUE(out[100][kFishLat].empty());
  EXPECT_FALSE(out[100][kAntennaLat].empty());
}

struct BadOptions {
  const char* name;
  std::vector<std::string> args;
};

class PositionUsage : public ::testing::TestWithParam<BadOptions> {};

TEST_P(PositionUsage, IsRefusedWithExitTwoWritingNothing) {
  TempHome home;
  std::vector<std::string> args{"position"};
  args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
  const CommandRun run = Cli(home, args);
  EXPECT_EQ(run.exitCode, 2) << run.err;
  EXPECT_NE(run.err.find("usage"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(home.Path("o.csv")));
}

INSTANTIATE_TEST_SUITE_P(Cases, PositionUsage,
                         ::testing::Values(BadOptions{"NegativeCable", {"--cable", "-1", "a.kvl", "o.csv"}},
                                           BadOptions{"CableNotANumber", {"--cable", "x", "a.kvl", "o.csv"}},
                                           BadOptions{"CableTooLong", {"--cable", "10001", "a.kvl", "o.csv"}},
                                           BadOptions{"OneOffset", {"--offset", "1", "a.kvl", "o.csv"}},
                                           BadOptions{"OffsetWords", {"--offset", "a,b", "a.kvl", "o.csv"}},
                                           BadOptions{"UnknownMode", {"--mode", "sideways", "a.kvl", "o.csv"}},
                                           BadOptions{"NoSmoothing", {"--smooth", "0", "a.kvl", "o.csv"}},
                                           BadOptions{"NegativeDepth", {"--depth", "-1", "a.kvl", "o.csv"}},
                                           BadOptions{"EmptyTimes", {"--times", "", "a.kvl", "o.csv"}},
                                           BadOptions{"ForeignOption", {"--size", "200x200", "a.kvl", "o.csv"}},
                                           BadOptions{"OneOperand", {"a.kvl"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PositionCommand, NeverWritesOverItsInputs) {
  Generate("--kind kvl --records 50 --rate 10 --gps-rate 10 --cable 70");
  for (const std::string& target : {log_, log_ + ".times", log_ + ".nmea"}) {
    const std::string before = ReadBytes(target);
    const CommandRun run = Cli(home_, {"position", log_, target});
    EXPECT_EQ(run.exitCode, 1) << target;
    EXPECT_EQ(ReadBytes(target), before) << target;
  }
}

TEST_F(PositionCommand, SaysWhatIsMissing) {
  Generate("--kind kvl --records 50 --rate 10 --gps-rate 10 --cable 70");
  std::filesystem::remove(log_ + ".times");
  const CommandRun run = Position({});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find(log_ + ".times"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(out_));
  const CommandRun other = Position({"--times", home_.Path("elsewhere.times")});
  EXPECT_EQ(other.exitCode, 1);
}

}  // namespace
}  // namespace tessaly
