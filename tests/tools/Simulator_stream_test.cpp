// tessaly-sim stream through a pseudo-terminal: pacing, faults read back
// from the slave side, hang-ups and stopping.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "support/Simulator.h"
#include "tools/sim/DataSet.h"

namespace tessaly::simtest {
namespace {

using std::chrono::duration;

std::string LinkTarget(const std::string& link) {
  char target[PATH_MAX];
  const ssize_t size = ::readlink(link.c_str(), target, sizeof target);
  return size < 0 ? std::string() : std::string(target, static_cast<std::size_t>(size));
}

bool Exists(const std::string& path) {
  struct stat status {};
  return ::lstat(path.c_str(), &status) == 0;
}

class SimStreamTest : public ::testing::Test {
 protected:
  // A KVL log of `records` records (49 bytes each with CR LF).
  std::string Log(int records, const std::string& extra = "") {
    const std::string path = dir_.Path("survey" + std::to_string(records) + ".kvl");
    Generate("--kind kvl --records " + std::to_string(records) + " " + extra, path);
    return path;
  }

  std::string Sent() const { return dir_.Path("sent.txt"); }
  std::string Errors() const { return dir_.Path("stderr.txt"); }

  // Runs the simulator with `arguments` (--sent and --wait-open added) and
  // reads its one device to the end.
  Received RunAndRead(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin() + 1, {"--wait-open", "--sent", Sent()});
    SimProcess sim(arguments, Errors());
    EXPECT_TRUE(sim.Started());
    const std::string device = sim.NextDevice();
    EXPECT_FALSE(device.empty()) << ReadBytes(Errors());
    const Received received = ReadUntilHangup(device);
    EXPECT_TRUE(received.hungUp);
    EXPECT_EQ(sim.Wait(), 0) << ReadBytes(Errors());
    return received;
  }

  TempDir dir_;
};

std::size_t TotalSize(const std::vector<std::string>& records) {
  std::size_t size = 0;
  for (const std::string& record : records) size += record.size();
  return size;
}

// --- Pacing ------------------------------------------------------------------

struct LineCase {
  const char* name;
  std::vector<std::string> lineOptions;
  double bitsPerByte;
  int records;
};

void PrintTo(const LineCase& line, std::ostream* os) { *os << line.name; }

class SimPacing : public SimStreamTest, public ::testing::WithParamInterface<LineCase> {};

// The simulator's clock starts once the reader has opened the device, so
// the time from before the start to the last byte can only be longer than
// the line needs, however busy the machine is.
TEST_P(SimPacing, ARunIsNeverFasterThanItsBaudRate) {
  const LineCase& line = GetParam();
  const std::string log = Log(line.records);
  std::vector<std::string> arguments{"stream", "--baud", "9600", "--rate", "0"};
  arguments.insert(arguments.end(), line.lineOptions.begin(), line.lineOptions.end());
  arguments.push_back(log);
  const auto start = Clock::now();
  const Received received = RunAndRead(arguments);

  const std::vector<std::string> records = sim::StreamRecords(log);
  ASSERT_EQ(received.bytes.size(), TotalSize(records));
  const double seconds = duration<double>(received.lastByte - start).count();
  EXPECT_GE(seconds, static_cast<double>(received.bytes.size()) * line.bitsPerByte / 9600.0);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SimPacing,
    ::testing::Values(LineCase{"8N1_2000_bytes", {}, 10.0, 41},
                      LineCase{"7E2_1000_bytes", {"--data-bits", "7", "--parity", "even", "--stop-bits", "2"}, 11.0, 21},
                      LineCase{"8M1_1000_bytes", {"--parity", "mark"}, 11.0, 21}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST_F(SimStreamTest, RecordsAreNeverFasterThanTheRecordRate) {
  const std::string log = Log(10);
  const auto start = Clock::now();
  const Received received = RunAndRead({"stream", "--baud", "115200", "--rate", "20", log});
  EXPECT_EQ(received.bytes.size(), TotalSize(sim::StreamRecords(log)));
  EXPECT_GE(duration<double>(received.lastByte - start).count(), 9 / 20.0);
}

// --- Faults, read back from the slave side ------------------------------------

struct FaultCase {
  const char* name;
  std::vector<std::string> options;
  char tag;  // the report line the fault shows as
};

void PrintTo(const FaultCase& fault, std::ostream* os) { *os << fault.name; }

class SimFaults : public SimStreamTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(SimFaults, TheReaderGetsExactlyWhatTheReportListsAndEveryRecord) {
  const std::string log = Log(60, "--bad-fraction 0.1 --seed 4");
  std::vector<std::string> arguments{"stream", "--baud", "115200", "--rate", "0", "--seed", "9"};
  arguments.insert(arguments.end(), GetParam().options.begin(), GetParam().options.end());
  arguments.push_back(log);
  const auto start = Clock::now();
  const Received received = RunAndRead(arguments);

  const std::vector<SentEvent> events = ReadSentReport(Sent());
  const std::vector<std::string> devices = BytesPerDevice(events);
  ASSERT_EQ(devices.size(), 1u);
  EXPECT_EQ(received.bytes, devices[0]);
  EXPECT_EQ(SentRecords(events), sim::StreamRecords(log));
  EXPECT_GT(CountEvents(events, GetParam().tag), 3u);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().tag, 'E');
  EXPECT_EQ(events.back().text, "0");

  int pausedMs = 0;
  for (const SentEvent& event : events)
    if (event.tag == 'P') pausedMs += std::stoi(event.text);
  EXPECT_GE(duration<double>(received.lastByte - start).count(), pausedMs / 1000.0);
}

INSTANTIATE_TEST_SUITE_P(
    EachFault, SimFaults,
    ::testing::Values(FaultCase{"split", {"--split", "0.5"}, 'S'}, FaultCase{"garbage", {"--garbage", "0.3"}, 'G'},
                      FaultCase{"burst", {"--burst", "0.3"}, 'B'},
                      FaultCase{"pause", {"--pause", "0.1", "--pause-ms", "40"}, 'P'},
                      FaultCase{"all", {"--split", "0.3", "--garbage", "0.3", "--burst", "0.2", "--pause", "0.1",
                                        "--pause-ms", "20"}, 'G'}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

TEST_F(SimStreamTest, TheSameSeedSendsTheSameFaults) {
  const std::string log = Log(40);
  const auto report = [&](const std::string& seed) {
    SimProcess sim({"stream", "--baud", "115200", "--rate", "0", "--split", "0.3", "--garbage", "0.3", "--burst",
                    "0.2", "--seed", seed, "--sent", Sent(), log},
                   Errors());
    EXPECT_FALSE(sim.NextDevice().empty());
    EXPECT_EQ(sim.Wait(), 0) << ReadBytes(Errors());  // nobody reads: it ends at once after sending
    std::vector<SentEvent> events = ReadSentReport(Sent());
    std::string text;
    for (const SentEvent& event : events)  // which device, and what nobody read, depend on the machine
      if (event.tag != 'D' && event.tag != 'E') text += std::string(1, event.tag) + " " + event.text + "\n";
    return text;
  };
  const std::string first = report("5");
  EXPECT_NE(first.find("\nG "), std::string::npos);
  EXPECT_EQ(report("5"), first);
  EXPECT_NE(report("6"), first);
}

// --- Hang-up -------------------------------------------------------------------

TEST_F(SimStreamTest, AfterAHangUpANewDeviceAppearsAtTheLink) {
  const std::string log = Log(12);
  const std::string link = dir_.Path("tty-sim");
  SimProcess sim({"stream", "--baud", "115200", "--rate", "0", "--hangup-after", "5", "--hangup-ms", "150",
                  "--wait-open", "--link", link, "--sent", Sent(), log},
                 Errors());
  std::vector<std::string> received;
  for (int session = 0; session < 3; ++session) {
    const std::string device = sim.NextDevice();
    ASSERT_FALSE(device.empty()) << "device " << session << ": " << ReadBytes(Errors());
    EXPECT_EQ(LinkTarget(link), device);
    const Received part = ReadUntilHangup(link);
    EXPECT_TRUE(part.hungUp);
    received.push_back(part.bytes);
  }
  EXPECT_EQ(sim.Wait(), 0) << ReadBytes(Errors());
  EXPECT_FALSE(Exists(link));

  const std::vector<SentEvent> events = ReadSentReport(Sent());
  EXPECT_EQ(received, BytesPerDevice(events));
  EXPECT_EQ(SentRecords(events), sim::StreamRecords(log));
  std::vector<std::string> hangups;
  for (const SentEvent& event : events)
    if (event.tag == 'H') hangups.push_back(event.text);
  EXPECT_EQ(hangups, (std::vector<std::string>{"150 0", "150 0"}));
  const std::vector<std::string> records = sim::StreamRecords(log);
  EXPECT_EQ(received[0].size(), TotalSize({records.begin(), records.begin() + 5}));
  EXPECT_EQ(received[2].size(), TotalSize({records.begin() + 10, records.end()}));
}

// --- Line breaks in records, any garbage, records in flight ----------------------

// The lines of a generated log (CR LF ends), 1-based: lines[n - 1].
std::vector<std::string> FileLines(const std::string& bytes) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < bytes.size();) {
    const std::size_t end = bytes.find("\r\n", start);
    lines.push_back(bytes.substr(start, end - start));
    start = end == std::string::npos ? bytes.size() : end + 2;
  }
  return lines;
}

// Records broken by a line break and noise holding '$', CR and LF: the
// reader gets the report's bytes; every record sent names its line of the
// file, each line once and in order, and a broken record is that line with
// one line break put in where the report says, inside its second field.
TEST_F(SimStreamTest, BrokenRecordsAndAnyGarbageAreReportedWithTheirLinesOfTheFile) {
  const std::string log = Log(120, "--bad-fraction 0.1 --seed 4");
  const Received received = RunAndRead({"stream", "--baud", "115200", "--rate", "0", "--seed", "3", "--broken", "0.2",
                                        "--garbage", "0.3", "--garbage-any", log});
  const std::vector<SentEvent> events = ReadSentReport(Sent());
  EXPECT_EQ(std::vector<std::string>{received.bytes}, BytesPerDevice(events));
  const std::vector<std::string> lines = FileLines(ReadBytes(log));
  std::size_t line = 0, previous = 0, broken = 0, records = 0, noisy = 0;
  for (const SentEvent& event : events) {
    if (event.tag == 'L') {
      line = std::stoul(event.text);
      ASSERT_GT(line, previous);
      for (std::size_t skipped = previous + 1; skipped < line; ++skipped)
        EXPECT_TRUE(lines[skipped - 1].empty()) << "line " << skipped << " was not sent";
      previous = line;
    } else if (event.tag == 'R' || event.tag == 'S') {
      ++records;
      EXPECT_EQ(EventBytes(event), lines[line - 1] + "\r\n");
    } else if (event.tag == 'X') {
      ++broken;
      const std::size_t at = std::stoul(event.text);
      const std::string bytes = EventBytes(event), expected = lines[line - 1] + "\r\n";
      const std::size_t breakSize = bytes.size() - expected.size();
      ASSERT_TRUE(breakSize == 1 || breakSize == 2) << event.text;
      EXPECT_EQ(bytes.substr(0, at) + bytes.substr(at + breakSize), expected);
      EXPECT_EQ(bytes.substr(at, breakSize).find_first_not_of("\r\n"), std::string::npos);
      const std::size_t comma = expected.find(',');
      EXPECT_GT(at, comma);
      EXPECT_LT(at, expected.find_first_of(",\r", comma + 1));
    } else if (event.tag == 'G') {
      noisy += EventBytes(event).find('$') != std::string::npos;
    }
  }
  EXPECT_EQ(records + broken, sim::StreamRecords(log).size());
  EXPECT_GT(broken, 10u);
  EXPECT_GT(noisy, 0u);
}

// A hang-up in flight: each device's reader gets a prefix of what the report
// says went to it, at least all that came before the records in flight; a
// cut record is the start of its line, without its line end; every line of
// the file is sent once, whole or cut, in order.
TEST_F(SimStreamTest, AHangUpInFlightCutsARecordAndTheNextDeviceGoesOnAfterIt) {
  const std::string log = Log(40);
  const std::string link = dir_.Path("tty-flight");
  SimProcess sim({"stream", "--baud", "115200", "--rate", "0", "--seed", "2", "--hangup-after", "6", "--hangup-ms",
                  "100", "--hangup-in-flight", "--wait-open", "--link", link, "--sent", Sent(), log},
                 Errors());
  std::vector<std::string> received;
  for (std::string device = sim.NextDevice(); !device.empty(); device = sim.NextDevice(std::chrono::seconds(3)))
    received.push_back(ReadUntilHangup(link).bytes);
  EXPECT_EQ(sim.Wait(), 0) << ReadBytes(Errors());

  const std::vector<SentEvent> events = ReadSentReport(Sent());
  const std::vector<std::string> sent = BytesPerDevice(events);
  ASSERT_EQ(received.size(), sent.size());
  ASSERT_GE(sent.size(), 4u);
  std::vector<std::size_t> beforeFlight;  // per device: bytes sent before its F write
  const std::vector<std::string> lines = FileLines(ReadBytes(log));
  std::size_t line = 0, expectedLine = 1, cuts = 0, sentBytes = 0;
  for (const SentEvent& event : events) {
    if (event.tag == 'D') sentBytes = 0;
    if (event.tag == 'F') beforeFlight.push_back(sentBytes);
    sentBytes += EventBytes(event).size();
    if (event.tag == 'L') {
      line = std::stoul(event.text);
      EXPECT_EQ(line, expectedLine++);
    } else if (event.tag == 'C') {
      ++cuts;
      const std::string part = EventBytes(event);
      EXPECT_FALSE(part.empty());
      EXPECT_EQ(lines[line - 1].substr(0, part.size()), part);
    }
  }
  EXPECT_EQ(expectedLine, 41u);
  EXPECT_GE(cuts, 3u);
  ASSERT_EQ(beforeFlight.size(), sent.size() - 1);
  for (std::size_t i = 0; i < sent.size(); ++i) {
    EXPECT_EQ(sent[i].substr(0, received[i].size()), received[i]) << "device " << i;
    if (i < beforeFlight.size()) {
      EXPECT_GE(received[i].size(), beforeFlight[i]) << "device " << i;
    }
  }
}

// --- Stopping and the link ------------------------------------------------------

class SimStopSignal : public SimStreamTest, public ::testing::WithParamInterface<int> {};

TEST_P(SimStopSignal, StopsCleanlyAndRemovesItsLink) {
  const std::string log = Log(20);
  const std::string link = dir_.Path("tty-stop");
  SimProcess sim({"stream", "--loop", "--baud", "115200", "--rate", "50", "--link", link, "--sent", Sent(), log},
                 Errors());
  const std::string device = sim.NextDevice();
  ASSERT_FALSE(device.empty()) << ReadBytes(Errors());
  EXPECT_EQ(LinkTarget(link), device);
  ::usleep(200000);
  sim.Signal(GetParam());
  EXPECT_EQ(sim.Wait(std::chrono::seconds(5)), 0) << ReadBytes(Errors());
  EXPECT_FALSE(Exists(link));
  const std::vector<SentEvent> events = ReadSentReport(Sent());
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().tag, 'E');
  EXPECT_GT(SentRecords(events).size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Signals, SimStopSignal, ::testing::Values(SIGTERM, SIGINT),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string(info.param == SIGTERM ? "SIGTERM" : "SIGINT");
                         });

TEST_F(SimStreamTest, AStaleLinkIsReplacedButNeverAFile) {
  const std::string log = Log(3);
  const std::string link = dir_.Path("tty-stale");
  std::filesystem::create_symlink(dir_.Path("gone"), link);
  {
    SimProcess sim({"stream", "--rate", "0", "--link", link, log}, Errors());
    const std::string device = sim.NextDevice();
    ASSERT_FALSE(device.empty()) << ReadBytes(Errors());
    EXPECT_EQ(LinkTarget(link), device);
    EXPECT_EQ(sim.Wait(), 0);
  }
  const std::string file = dir_.Path("notes.txt");
  WriteBytes(file, "keep me");
  SimProcess sim({"stream", "--link", file, log}, Errors());
  EXPECT_EQ(sim.Wait(), 1);
  EXPECT_EQ(ReadBytes(Errors()), "tessaly-sim: will not replace " + file + ": it is not a symbolic link\n");
  EXPECT_EQ(ReadBytes(file), "keep me");
}

TEST_F(SimStreamTest, FilesAndCommandLinesItCannotUseAreReported) {
  SimProcess missing({"stream", dir_.Path("none.kvl")}, Errors());
  EXPECT_EQ(missing.Wait(), 1);
  EXPECT_NE(ReadBytes(Errors()).find("cannot read " + dir_.Path("none.kvl")), std::string::npos);
  SimProcess usage({"stream", "--rate", "fast", Log(3)}, Errors());
  EXPECT_EQ(usage.Wait(), 2);
  EXPECT_EQ(ReadBytes(Errors()).rfind("tessaly-sim: --rate takes records per second", 0), 0u);
}

}  // namespace
}  // namespace tessaly::simtest
