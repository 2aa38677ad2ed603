// The progress line of tessaly-cli: its text and pace (on a memory stream
// with a hand-moved clock), and the tool drawing it on a terminal (a
// pseudo-terminal) and nothing when standard error is a file.
#include "tools/cli/CliProgress.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "support/Command.h"
#include "support/FileBytes.h"
#include "support/FileSizeLimit.h"
#include "support/Generator.h"
#include "support/TempHome.h"
#include "tools/CliRun.h"

namespace tessaly {
namespace {

using cli::ProgressLine;
using testing::TempHome;

const std::string kClear = "\r\033[K";

// What a progress line wrote, caught in memory.
class CaughtStream {
 public:
  CaughtStream() : stream_(open_memstream(&data_, &size_)) {}
  ~CaughtStream() {
    if (stream_) std::fclose(stream_);
    std::free(data_);
  }
  std::FILE* Stream() const { return stream_; }
  std::string Text() {
    std::fflush(stream_);
    return std::string(data_, size_);
  }

 private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* stream_;
};

TEST(CliProgressLine, DrawsPercentageAndRecordsThenClearsTheLine) {
  struct Case {
    std::uint64_t done, total, records;
    std::string text;
  };
  const std::vector<Case> cases = {
      {0, 1000, 0, "Exporting: 0%, 0 records"},
      {421, 1000, 12345, "Exporting: 42%, 12345 records"},
      {999, 1000, 7, "Exporting: 99%, 7 records"},
      {1000, 1000, 80000, "Exporting: 100%, 80000 records"},
      {1200, 1000, 3, "Exporting: 100%, 3 records"},  // a file that grew while read
      {500, 0, 9, "Exporting: 9 records"},            // no size known: no percentage
      {5000000000000ull, 10000000000000ull, 4000000000ull, "Exporting: 50%, 4000000000 records"},
  };
  for (const Case& c : cases) {
    CaughtStream caught;
    ManualClock clock;
    {
      ProgressLine line(caught.Stream(), true, clock);
      line.Show(c.done, c.total, c.records);
      EXPECT_EQ(caught.Text(), kClear + c.text) << c.text;
    }
    EXPECT_EQ(caught.Text(), kClear + c.text + kClear) << c.text;
  }
}

TEST(CliProgressLine, RedrawsAtMostFourTimesASecond) {
  CaughtStream caught;
  ManualClock clock;
  std::string expected;
  {
    ProgressLine line(caught.Stream(), true, clock);
    // Every 10 ms for 1.2 s: drawn at once, then at 250, 500, 750 and 1000 ms.
    for (int ms = 0; ms <= 1200; ms += 10) {
      line.Show(ms, 1200, ms / 10);
      clock.Advance(10 * kNsPerMs);
    }
    for (const int ms : {0, 250, 500, 750, 1000})
      expected += kClear + ("Exporting: " + std::to_string(ms * 100 / 1200) + "%, " + std::to_string(ms / 10) +
                            " records");
    EXPECT_EQ(caught.Text(), expected);
  }
  EXPECT_EQ(caught.Text(), expected + kClear);
}

TEST(CliProgressLine, WritesNothingWhenNotEnabled) {
  CaughtStream caught;
  ManualClock clock;
  {
    ProgressLine line(caught.Stream(), false, clock);
    for (int i = 0; i < 10; ++i) {
      line.Show(i, 10, i);
      clock.Advance(kNsPerSecond);
    }
  }
  EXPECT_EQ(caught.Text(), "");
}

TEST(CliProgressLine, ALineNeverDrawnIsNotCleared) {
  CaughtStream caught;
  ManualClock clock;
  { ProgressLine line(caught.Stream(), true, clock); }
  EXPECT_EQ(caught.Text(), "");
}

// Runs tessaly-cli with its standard error on a pseudo-terminal; returns
// what the terminal received and sets the exit code.
std::string RunOnTerminal(const TempHome& home, const std::vector<std::string>& args, int& exitCode) {
  int master = -1, slave = -1;
  if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return "openpty failed";
  // The tool keeps only its standard error on the terminal.
  ::fcntl(master, F_SETFD, FD_CLOEXEC);
  ::fcntl(slave, F_SETFD, FD_CLOEXEC);
  const pid_t pid = testing::StartCli(home, args, slave);
  ::close(slave);
  std::string received;
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(master, buffer, sizeof buffer);
    if (got > 0) received.append(buffer, static_cast<std::size_t>(got));
    else if (got < 0 && errno == EINTR) continue;
    else break;  // EIO: the tool closed the terminal's last descriptor
  }
  ::close(master);
  int status = 0;
  ::waitpid(pid, &status, 0);
  exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return received;
}

TEST(CliProgress, AnExportOnATerminalShowsItsProgressAndClearsIt) {
  TempHome home;
  const int records = 60000;
  ASSERT_TRUE(testing::GenerateLog(testing::SurveyOptions("kvl", records, 0.0, 3), home.Path("big.kvl")));
  int exitCode = -1;
  const std::string shown = RunOnTerminal(home, {"export", home.Path("big.kvl"), home.Path("big.vdg")}, exitCode);
  ASSERT_EQ(exitCode, 0) << shown;
  // Only progress lines, each starting by clearing the line, and a clear at the end.
  const std::regex drawing("\r\033\\[KExporting: ([0-9]+)%, ([0-9]+) records");
  ASSERT_GE(shown.size(), 2 * kClear.size()) << shown;
  ASSERT_EQ(shown.substr(shown.size() - kClear.size()), kClear);
  const std::string drawings = shown.substr(0, shown.size() - kClear.size());
  int lastPercent = -1, count = 0;
  long long lastRecords = -1;
  for (std::sregex_iterator it(drawings.begin(), drawings.end(), drawing), end; it != end; ++it, ++count) {
    const int percent = std::stoi((*it)[1]);
    const long long done = std::stoll((*it)[2]);
    EXPECT_GE(percent, lastPercent);
    EXPECT_LE(percent, 100);
    EXPECT_GE(done, lastRecords);
    EXPECT_LE(done, records);
    lastPercent = percent;
    lastRecords = done;
  }
  EXPECT_GE(count, 1);
  EXPECT_EQ(std::regex_replace(drawings, drawing, ""), "") << "anything but progress lines";
  // The export itself is whole: the caption line and one line per record.
  const std::string vdg = testing::ReadBytes(home.Path("big.vdg"));
  EXPECT_EQ(static_cast<int>(std::count(vdg.begin(), vdg.end(), '\n')), records + 1);
}

TEST(CliProgress, AMessageAfterTheProgressStartsOnAClearedLine) {
  TempHome home;
  ASSERT_TRUE(testing::GenerateLog(testing::SurveyOptions("kvl", 20000, 0.0, 3), home.Path("log.kvl")));
  int exitCode = -1;
  std::string shown;
  {  // a disk that fills up after 256 KiB of the export
    testing::FileSizeLimit limit(256 * 1024);
    shown = RunOnTerminal(home, {"export", home.Path("log.kvl"), home.Path("out.vdg")}, exitCode);
  }
  EXPECT_EQ(exitCode, 1);
  const std::size_t clear = shown.rfind(kClear);
  ASSERT_NE(clear, std::string::npos) << shown;
  EXPECT_NE(shown.substr(0, clear).find("Exporting: "), std::string::npos) << shown;
  const std::string message = shown.substr(clear + kClear.size());
  EXPECT_NE(message, "") << shown;
  EXPECT_EQ(message.find("Exporting"), std::string::npos) << shown;
}

TEST(CliProgress, NothingWhenStandardErrorIsNotATerminal) {
  TempHome home;
  ASSERT_TRUE(testing::GenerateLog(testing::SurveyOptions("kvl", 60000, 0.0, 3), home.Path("big.kvl")));
  const testing::CommandRun run = testing::Cli(home, {"export", home.Path("big.kvl"), home.Path("big.vdg")});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
}

}  // namespace
}  // namespace tessaly
