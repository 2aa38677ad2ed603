// Positioning a log from the files beside it as the records come: the same
// positions as the whole files read at once, whatever the survey, in a
// minute's worth of fixes however long the survey; what it leaves out and
// how it names its layback.
#include "core/LogPositioner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/LogDocument.h"
#include "support/FileBytes.h"
#include "support/Generator.h"
#include "support/GpsTruth.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

using testing::ReadBytes;
using testing::TempHome;
using testing::WriteBytes;

// The records' depths, as the document reads them.
std::vector<RecordNumbers> NumbersOf(const std::string& log) {
  LogDocument doc;
  LoadOptions load;
  load.sideFiles = false;
  EXPECT_EQ(doc.OpenLog(log, load), LoadStatus::Loaded);
  return {doc.Numbers().begin(), doc.Numbers().end()};
}

// Every record positioned from the whole files read at once.
std::vector<PositionedRecord> WholeFiles(const std::string& log, const std::vector<RecordNumbers>& numbers,
                                         const LaybackSettings& settings) {
  const LogSideFiles files = SideFilesOf(log);
  const ReceptionTimesFile times = ReadReceptionTimes(files.times);
  const NmeaLogFile nmea = ReadNmeaLog(files.nmea);
  CableHistory cable(settings.cableOut);
  std::vector<std::string> problems;
  std::error_code missing;
  if (std::filesystem::exists(files.cable, missing)) {
    EXPECT_EQ(ReadCableHistory(files.cable, cable, problems), "");
  }
  RecordPositioner positioner(nmea.timeline, cable, settings);
  std::vector<PositionedRecord> out;
  for (std::size_t row = 1; row <= numbers.size(); ++row)
    out.push_back(positioner.Position(FactsOf(row, numbers[row - 1]), TimeOfRow(times.times, row)));
  return out;
}

void ExpectSame(const PositionedRecord& a, const PositionedRecord& b) {
  const auto same = [](const std::optional<GeoPosition>& p, const std::optional<GeoPosition>& q) {
    return p.has_value() == q.has_value() && (!p || (p->latitude == q->latitude && p->longitude == q->longitude));
  };
  EXPECT_EQ(a.row, b.row);
  EXPECT_EQ(a.receivedUtcNs, b.receivedUtcNs) << a.row;
  EXPECT_TRUE(same(a.antenna, b.antenna)) << a.row;
  EXPECT_TRUE(same(a.towfish, b.towfish)) << a.row;
  EXPECT_EQ(a.depth, b.depth) << a.row;
  EXPECT_EQ(a.cableOut, b.cableOut) << a.row;
  EXPECT_EQ(a.flags, b.flags) << a.row;
}

struct SurveyCase {
  const char* name;
  const char* generator;  // options beside the kind, records and side files
  const char* cable;      // the .cable file's text; empty: none
  LaybackMode mode;
};

void PrintTo(const SurveyCase& c, std::ostream* out) { *out << c.name; }

class StreamedPositions : public ::testing::TestWithParam<SurveyCase> {};

TEST_P(StreamedPositions, AreThoseOfTheWholeFiles) {
  const SurveyCase& c = GetParam();
  TempHome home;
  const std::string log = home.Path("survey.kvl");
  ASSERT_TRUE(testing::GenerateLog(std::string("--kind kvl --records 1500 --cable 70 ") + c.generator +
                                       " --nmea-out " + log + ".nmea --times-out " + log + ".times",
                                   log));
  if (*c.cable) WriteBytes(log + ".cable", c.cable);
  LaybackSettings settings;
  settings.cableOut = 70.0;
  settings.mode = c.mode;
  const std::vector<RecordNumbers> numbers = NumbersOf(log);
  ASSERT_EQ(numbers.size(), 1500u);
  const std::vector<PositionedRecord> whole = WholeFiles(log, numbers, settings);
  LogPositioner streamed;
  ASSERT_EQ(streamed.Open(SideFilesOf(log), settings), "");
  std::size_t positioned = 0;
  for (std::size_t row = 1; row <= numbers.size(); ++row) {
    const PositionedRecord record = streamed.Next(FactsOf(row, numbers[row - 1]));
    ExpectSame(record, whole[row - 1]);
    positioned += record.towfish.has_value();
  }
  EXPECT_GT(positioned, 1000u);  // the comparison is not of empty records
  EXPECT_EQ(streamed.Error(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Surveys, StreamedPositions,
    ::testing::Values(SurveyCase{"TenHertzFollowingTheFish", "--rate 10 --gps-rate 10", "", LaybackMode::FollowTheFish},
                      SurveyCase{"OneHertzFixesAlongCourse", "--rate 10 --gps-rate 1", "", LaybackMode::AlongCourse},
                      SurveyCase{"SlowRecordsFastFixes", "--rate 1 --gps-rate 10 --seed 3", "", LaybackMode::AlongCourse},
                      SurveyCase{"Dropouts", "--rate 10 --gps-rate 5 --gps-dropout 20,3 --gps-dropout 60,30", "",
                                 LaybackMode::FollowTheFish},
                      // The first records come before the first fix, which
                      // is extrapolated back from a fix 0.1 s after it.
                      SurveyCase{"RecordsBeforeTheFirstOfFastFixes", "--rate 10 --gps-rate 20 --gps-dropout 0,1", "",
                                 LaybackMode::AlongCourse},
                      SurveyCase{"OverMidnightWithACableChange",
                                 "--rate 10 --gps-rate 2 --start-time 23:59:30 --start-date 2026-12-31",
                                 "2027-01-01T00:00:40.000Z\t90\r\n", LaybackMode::AlongCourse}),
    [](const auto& info) { return std::string(info.param.name); });

// An hour of 10 Hz fixes, written here, positioned at 10 records a second.
TEST(LogPositioner, HoldsAboutAMinuteOfFixesWhateverTheSurveysLength) {
  TempHome home;
  const std::string log = home.Path("long.zpx");
  constexpr std::int64_t kStart = 20819LL * 86400 * kNsPerSecond;  // 2027-01-01T00:00:00Z
  std::string times, nmea;
  for (int tenth = 0; tenth < 36000; ++tenth) {
    const std::int64_t t = kStart + tenth * (kNsPerSecond / 10);
    times += std::to_string(tenth + 1) + "\t" + FormatUtcMillis(t + 50 * kNsPerMs) + "\t" + std::to_string(tenth) + "\r\n";
    nmea += FormatUtcMillis(t) + "\t" +
            testing::GgaText(static_cast<MsOfDay>(tenth * 100), testing::PointAt({0.0, 0.2 * tenth})) + "\r\n";
  }
  WriteBytes(log + ".times", times);
  WriteBytes(log + ".nmea", nmea);
  LogPositioner positioner;
  ASSERT_EQ(positioner.Open(SideFilesOf(log), {}), "");
  std::size_t most = 0, positioned = 0;
  for (std::uint64_t row = 1; row <= 36000; ++row) {
    positioned += positioner.Next({row, {}}).towfish.has_value();
    most = std::max(most, positioner.HeldFixes());
  }
  EXPECT_GT(positioned, 35000u);
  // A minute and some seconds at 10 Hz, twice over between two forgettings.
  EXPECT_LE(most, 2u * (LogPositioner::kKeptSeconds + 10) * 10);
}

TEST(LogPositioner, ListsTheLinesItLeavesOut) {
  TempHome home;
  const std::string log = home.Path("survey.kvl");
  WriteBytes(log + ".times", "1\t2027-01-01T00:00:00.000Z\t1\r\nnot a time\r\n3\t2027-01-01T00:00:01.000Z\t2\r\n"
                             "2\t2027-01-01T00:00:02.000Z\t3\r\n4\t2027-01-01T00:00:03.000Z\t4\r\n");
  WriteBytes(log + ".nmea", "garbage\r\n");
  WriteBytes(log + ".cable", "2027-01-01T00:00:00.500Z\t80\r\nsixty\r\n");
  LogPositioner positioner;
  ASSERT_EQ(positioner.Open(SideFilesOf(log), {}), "");
  std::vector<std::uint64_t> timed;
  for (std::uint64_t row = 1; row <= 4; ++row)
    if (positioner.Next({row, {}}).receivedUtcNs) timed.push_back(row);
  EXPECT_EQ(timed, (std::vector<std::uint64_t>{1, 3, 4}));
  EXPECT_EQ(positioner.Problems(),
            (std::vector<std::string>{log + ".cable: line 2: not a UTC time and metres of cable",
                                      log + ".times: line 2: not a row, a UTC time and a clock reading",
                                      log + ".times: line 4: row 2 does not follow row 3"}));
  EXPECT_EQ(positioner.ProblemCount(), 3u);
  EXPECT_EQ(positioner.NmeaCounts().badLines, 1u);
}

TEST(LogPositioner, TakesTheCableFileUnlessToldNotTo) {
  TempHome home;
  const std::string log = home.Path("survey.kvl");
  WriteBytes(log + ".times", "1\t2027-01-01T00:00:00.000Z\t1\r\n2\t2027-01-01T00:00:02.000Z\t2\r\n");
  WriteBytes(log + ".nmea", "");
  WriteBytes(log + ".cable", "2027-01-01T00:00:01.000Z\t80\r\n");
  LaybackSettings settings;
  settings.cableOut = 40.0;
  LogPositioner withFile, without;
  ASSERT_EQ(withFile.Open(SideFilesOf(log), settings), "");
  ASSERT_EQ(without.Open(SideFilesOf(log), settings, false), "");
  EXPECT_EQ(withFile.Next({1, {}}).cableOut, 40.0);
  EXPECT_EQ(withFile.Next({2, {}}).cableOut, 80.0);
  EXPECT_EQ(without.Next({1, {}}).cableOut, 40.0);
  EXPECT_EQ(without.Next({2, {}}).cableOut, 40.0);
  EXPECT_EQ(withFile.Description(),
            "cable 40 m (changes from survey.kvl.cable), tow point 0 m astern and 0 m to starboard of the antenna, "
            "depth 0 m where a record has none, along course, course made good over 30 s");
  settings.mode = LaybackMode::FollowTheFish;
  settings.towPointAstern = 5.5;
  settings.defaultDepth = 12;
  LogPositioner other;
  ASSERT_EQ(other.Open(SideFilesOf(log), settings, false), "");
  EXPECT_EQ(other.Description(), "cable 40 m, tow point 5.5 m astern and 0 m to starboard of the antenna, "
                                 "depth 12 m where a record has none, follow the fish, course made good over 30 s");
}

TEST(LogPositioner, NeedsTheTimesAndTheNmeaFile) {
  TempHome home;
  const std::string log = home.Path("survey.kvl");
  WriteBytes(log, "x\r\n");
  EXPECT_FALSE(HasPositioningFiles(log));
  WriteBytes(log + ".times", "");
  EXPECT_FALSE(HasPositioningFiles(log));
  LogPositioner positioner;
  EXPECT_NE(positioner.Open(SideFilesOf(log), {}).find(log + ".nmea"), std::string::npos);
  WriteBytes(log + ".nmea", "");
  EXPECT_TRUE(HasPositioningFiles(log));
  std::filesystem::remove(log + ".times");
  std::filesystem::create_directory(log + ".times");
  EXPECT_FALSE(HasPositioningFiles(log));
}

}  // namespace
}  // namespace tessaly
