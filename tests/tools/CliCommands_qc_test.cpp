// tessaly-cli qc: the quality report of a log, with the thresholds of
// Lib/Alarms.ega, and what it refuses to write over.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/AlarmSettings.h"
#include "core/SettingsFile.h"
#include "support/DocumentFiles.h"
#include "tools/CliRun.h"

namespace tessaly::qc_command_test {

using testing::Cli;
using testing::CommandRun;
using testing::ReadBytes;
using testing::TempHome;
using testing::WriteBytes;

// 21 KVL records of deviation 0 at 3 m, but: record 4 (grid row 5) at 0.5 m,
// record 10 (row 11) a deviation of 300, record 16 (row 17) one of -80.
std::string Log() {
  std::vector<std::string> lines;
  for (int i = 0; i < 21; ++i)
    lines.push_back(testing::KvlLine(i == 10 ? "+00300" : i == 16 ? "-00080" : "+00000", i == 4 ? "0.5" : "3.0"));
  return testing::CrLfLines(lines);
}

class QcCommand : public ::testing::Test {
 protected:
  QcCommand() { WriteBytes(home_.Path("survey.kvl"), Log()); }
  CommandRun Qc(const std::string& out) { return Cli(home_, {"qc", home_.Path("survey.kvl"), out}); }
  TempHome home_;
};

TEST_F(QcCommand, ALinePerFlagInGridOrder) {
  const CommandRun run = Qc(home_.Path("survey-qc.csv"));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadBytes(home_.Path("survey-qc.csv")),
            "row,time,flag,value\r\n"
            "5,,Depth,0.5\r\n"
            "11,,Spike,300\r\n"
            "17,,Spike,-80\r\n");
}

TEST_F(QcCommand, ThresholdsComeFromTheAlarmSettings) {
  AlarmSettings settings;
  // -80 is no spike any more, but noise: -4 x -80 / 16 = 20 at record 15
  // (row 16), 6 x -80 / 16 = -30 at record 16; record 17 waits for a fourth
  // record after it, which never comes.
  settings.spikeFloorKv7100 = 100;
  settings.depthMin = 0.5;
  WriteAlarmSettings(home_.Lib("Alarms.ega"), settings);
  ASSERT_EQ(Qc(home_.Path("qc.csv")).exitCode, 0);
  EXPECT_EQ(ReadBytes(home_.Path("qc.csv")), "row,time,flag,value\r\n11,,Spike,300\r\n16,,Noise,20\r\n17,,Noise,-30\r\n");
}

// Beside the log, its reception times: 0.1 s apart, but row 20 comes 3 s
// after row 19. The times are those of the file, the interval a gap.
TEST_F(QcCommand, TheTimeIsTheReceptionTimeWhereTheLogHasIt) {
  std::string times;
  for (int row = 1; row <= 21; ++row) {
    const int tenths = row <= 19 ? row - 1 : row + 28;
    times += std::to_string(row) + "\t2027-01-01T00:00:0" + std::to_string(tenths / 10) + "." +
             std::to_string(tenths % 10) + "00Z\t0\r\n";
  }
  WriteBytes(home_.Path("survey.kvl.times"), times);
  WriteBytes(home_.Path("survey.kvl.nmea"), "");
  ASSERT_EQ(Qc(home_.Path("qc.csv")).exitCode, 0);
  EXPECT_EQ(ReadBytes(home_.Path("qc.csv")),
            "row,time,flag,value\r\n"
            "5,2027-01-01T00:00:00.400Z,Depth,0.5\r\n"
            "11,2027-01-01T00:00:01.000Z,Spike,300\r\n"
            "17,2027-01-01T00:00:01.600Z,Spike,-80\r\n"
            "20,2027-01-01T00:00:04.800Z,Gap,3\r\n");
}

TEST_F(QcCommand, UnreadableSettingsWriteNothing) {
  WriteSettingsValues(home_.Lib("Alarms.ega"), {"1", "eighty"});
  const CommandRun run = Qc(home_.Path("qc.csv"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("'eighty' is not a valid number"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("nothing was written"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(home_.Path("qc.csv")));
}

// The rule is the output rule's (OutputRule_test); the command follows it.
TEST_F(QcCommand, NeverWritesOverTheLogAndRefusesBadUse) {
  const CommandRun run = Qc(home_.Path("./survey.kvl"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("is the log"), std::string::npos) << run.err;
  EXPECT_EQ(ReadBytes(home_.Path("survey.kvl")), Log());
  EXPECT_EQ(Cli(home_, {"qc", home_.Path("survey.kvl")}).exitCode, 2);
  EXPECT_EQ(Cli(home_, {"qc", "--size", "800x600", home_.Path("survey.kvl"), home_.Path("x.csv")}).exitCode, 2);
}

}  // namespace tessaly::qc_command_test
