// tessaly-live-log log run as a service would run it: no display, stopped
// by a signal, judged against the generator's own records.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "core/EventsFile.h"
#include "support/Simulator.h"
#include "tools/CliRun.h"

namespace tessaly {
namespace {

using testing::ReadBytes;

std::vector<std::string> LinesOf(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(bytes.substr(start, end - start));
  return lines;
}

class HeadlessLogger : public ::testing::Test {
 protected:
  std::vector<std::string> Environment() const {
    return {"TESSALY_HOME=" + home_.Home(), "TESSALY_SERIAL_DEVICE=" + home_.Path("tty%d"), "QT_QPA_PLATFORM=",
            "DISPLAY=", "WAYLAND_DISPLAY="};
  }
  pid_t Start(const std::vector<std::string>& args) {
    return testing::StartProgram(TESSALY_LIVE_LOG, args, home_.Home(), Environment());
  }
  testing::CommandRun Wait(pid_t logger) {
    bool timedOut = false;
    testing::CommandRun run = testing::WaitForCli(home_, logger, std::chrono::seconds(30), timedOut);
    EXPECT_FALSE(timedOut);
    return run;
  }
  // The generator's records, every one valid, and the simulator sending them.
  std::vector<std::string> Stream(int records, const std::string& rate) {
    simtest::Generate("--kind kvl --records " + std::to_string(records) + " --seed 3 --bad-fraction 0",
                      home_.Path("source.kvl"));
    sim_ = std::make_unique<simtest::SimProcess>(
        std::vector<std::string>{"stream", "--baud", "115200", "--rate", rate, "--wait-open", "--link",
                                 home_.Path("tty1"), "--sent", home_.Path("sent.txt"), home_.Path("source.kvl")},
        home_.Path("sim-stderr.txt"));
    EXPECT_FALSE(sim_->NextDevice().empty());
    return LinesOf(ReadBytes(home_.Path("source.kvl")));
  }

  testing::TempHome home_;
  std::unique_ptr<simtest::SimProcess> sim_;
};

TEST_F(HeadlessLogger, RefusesBadValuesWithItsUsage) {
  const std::vector<std::vector<std::string>> commands{
      {"log", "--baud", "x", "out.kvl"},          {"log", "--records-per-part", "-1", "out.kvl"},
      {"log", "--records-per-part", "0", "out.kvl"}, {"log", "--seconds", "soon", "out.kvl"},
      {"log", "--variant", "abc", "out.kvl"},     {"log"},
  };
  for (const auto& command : commands) {
    const testing::CommandRun run = testing::RunCommand(TESSALY_LIVE_LOG, command, home_.Home(), Environment());
    EXPECT_EQ(run.exitCode, 2) << command[1];
    EXPECT_EQ(run.err.rfind("tessaly-live-log: ", 0), 0u) << run.err;  // why, first
    EXPECT_NE(run.err.find("\nusage: tessaly-live-log"), std::string::npos) << run.err;
  }
  const testing::CommandRun check =
      testing::RunCommand(TESSALY_LIVE_LOG, {"check", "--prefix", "-2", "sent", "part"}, home_.Home(), Environment());
  EXPECT_EQ(check.exitCode, 2);
}

// SIGTERM ends the run cleanly: every record it took is in the log.
TEST_F(HeadlessLogger, StopsOnSigtermWithEveryRecordItReceivedInTheLog) {
  const std::vector<std::string> records = Stream(400, "100");
  const pid_t logger = Start({"log", "--records-per-part", "150", home_.Path("survey.kvl")});
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  ::kill(logger, SIGTERM);
  const testing::CommandRun run = Wait(logger);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  std::string logged;
  for (const char* part : {"survey.kvl", "survey_1.kvl", "survey_2.kvl"}) logged += ReadBytes(home_.Path(part));
  const std::vector<std::string> lines = LinesOf(logged);
  ASSERT_GT(lines.size(), 50u);
  ASSERT_LT(lines.size(), records.size());
  EXPECT_EQ(lines, std::vector<std::string>(records.begin(), records.begin() + lines.size()));
  EXPECT_NE(run.out.find("part " + home_.Path("survey.kvl") + "\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("records " + std::to_string(lines.size()) + "\n"), std::string::npos) << run.out;
}

// A file-size limit (prlimit) fails the writes: the logger survives, holds
// what arrives and rescues it beside the log at the end, and says so.
TEST_F(HeadlessLogger, AFileSizeLimitEndsInARescueNotACrash) {
  const std::vector<std::string> records = Stream(60, "200");
  const std::size_t limit = 30 * (records[0].size() + 2) + 10;
  const pid_t logger = testing::StartProgram(
      "/usr/bin/prlimit", {"--fsize=" + std::to_string(limit), TESSALY_LIVE_LOG, "log", home_.Path("survey.kvl")},
      home_.Home(), Environment());
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  ::kill(logger, SIGTERM);
  const testing::CommandRun run = Wait(logger);
  EXPECT_EQ(run.exitCode, 1) << run.err;  // not every record is in the log
  EXPECT_NE(run.err.find("File too large"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("30 records could not be written to the log; they were saved in " +
                         home_.Path("survey-rescued.kvl")),
            std::string::npos)
      << run.err;
  const std::vector<std::string> logged = LinesOf(ReadBytes(home_.Path("survey.kvl")));
  const std::vector<std::string> rescued = LinesOf(ReadBytes(home_.Path("survey-rescued.kvl")));
  EXPECT_EQ(logged, std::vector<std::string>(records.begin(), records.begin() + 30));
  EXPECT_EQ(rescued, std::vector<std::string>(records.begin() + 30, records.end()));
}

// The watch of an unattended logger, from outside: the simulator stopped
// (SIGSTOP) then started again; each change is said on standard error and
// written to the events file beside the log, with the row it came at. (A
// disk nearly full here would add its own changes: only "No data" is
// judged.)
TEST_F(HeadlessLogger, SaysEachChangeOfTheWatchOnStandardErrorAndInTheEventsFile) {
  const std::vector<std::string> records = Stream(1000, "20");
  const pid_t logger = Start({"log", home_.Path("survey.kvl")});
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  sim_->Signal(SIGSTOP);
  std::this_thread::sleep_for(std::chrono::milliseconds(4000));
  sim_->Signal(SIGCONT);
  std::this_thread::sleep_for(std::chrono::milliseconds(1000));
  ::kill(logger, SIGTERM);
  const testing::CommandRun run = Wait(logger);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EventsFileContent file = ReadEventsFile(EventsFileName(home_.Path("survey.kvl")));
  EXPECT_TRUE(file.problems.empty());
  std::erase_if(file.events, [](const WatchEvent& event) { return event.event != "No data"; });
  ASSERT_EQ(file.events.size(), 2u) << run.err;
  EXPECT_EQ(file.events[0].event, "No data");
  EXPECT_EQ(file.events[0].state, "alarm");
  EXPECT_EQ(file.events[1].state, "normal");
  const std::vector<std::string> logged = LinesOf(ReadBytes(home_.Path("survey.kvl")));
  EXPECT_GT(file.events[0].row, 10u);
  EXPECT_GT(file.events[1].row, file.events[0].row);
  EXPECT_LE(file.events[1].row, logged.size());
  EXPECT_EQ(logged, std::vector<std::string>(records.begin(), records.begin() + logged.size()));
  for (const WatchEvent& event : file.events)
    EXPECT_NE(run.err.find("tessaly-live-log: " + DescribeWatchEvent(event) + "\n"), std::string::npos) << run.err;
}

TEST_F(HeadlessLogger, ReplacesAnEarlierLogOnlyWhenTold) {
  testing::WriteBytes(home_.Path("survey.kvl"), "an earlier survey\r\n");
  const testing::CommandRun refused = Wait(Start({"log", "--seconds", "1", home_.Path("survey.kvl")}));
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("survey.kvl"), std::string::npos) << refused.err;
  EXPECT_EQ(ReadBytes(home_.Path("survey.kvl")), "an earlier survey\r\n");

  const std::vector<std::string> records = Stream(20, "0");
  const testing::CommandRun replaced = Wait(Start({"log", "--seconds", "2", "--replace", home_.Path("survey.kvl")}));
  EXPECT_EQ(replaced.exitCode, 0) << replaced.err;
  EXPECT_EQ(LinesOf(ReadBytes(home_.Path("survey.kvl"))), records);
}

}  // namespace
}  // namespace tessaly
