// tessaly-sim's GPS: the generator's NMEA sent through a second
// pseudo-terminal at its own pace, with the faults its report lists, read
// back from the slave side through our framer, decoder and fix timeline.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/FixTimeline.h"
#include "core/NmeaFramer.h"
#include "core/NmeaSentence.h"
#include "support/Simulator.h"

namespace tessaly::simtest {
namespace {

namespace fs = std::filesystem;

using testing::TextLines;

class SimGps : public ::testing::Test {
 protected:
  // Runs the simulator sending a generated ZEPH log and its GPS file, both
  // at 10 Hz for `seconds`; reads both devices to their end.
  void Run(const std::string& generatorOptions, int seconds, const std::vector<std::string>& gpsOptions) {
    const std::string log = dir_.Path("survey.zpx"), nmea = dir_.Path("survey.zpx.nmea");
    Generate("--kind zpx --rate 10 --gps-rate 10 --records " + std::to_string(seconds * 10) + " --nmea-out " + nmea +
                 " " + generatorOptions,
             log);
    fileSentences_.clear();
    for (const std::string& line : TextLines(ReadBytes(nmea))) fileSentences_.push_back(line.substr(line.find('\t') + 1));
    std::vector<std::string> arguments{"stream", "--wait-open", "--rate", "10", "--baud", "115200", "--gps", nmea,
                                       "--gps-link", Link(), "--gps-baud", "38400", "--gps-sent", Report()};
    arguments.insert(arguments.end(), gpsOptions.begin(), gpsOptions.end());
    arguments.push_back(log);
    SimProcess sim(arguments, dir_.Path("stderr.txt"));
    ASSERT_TRUE(sim.Started());
    const std::string device = sim.NextDevice();
    ASSERT_FALSE(device.empty()) << ReadBytes(dir_.Path("stderr.txt"));
    for (int i = 0; i < 500 && ::access(Link().c_str(), F_OK) != 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    // The GPS link is held open before the instrument's device is opened
    // (which starts both streams), so no sentence meets a terminal nobody has
    // open, however late the reader's thread starts.
    const int held = ::open(Link().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(held, 0) << Link();
    auto gps = std::async(std::launch::async, [this] { return ReadUntilHangup(Link()); });
    records_ = ReadUntilHangup(device);
    gps_ = gps.get();
    ::close(held);
    EXPECT_TRUE(gps_.hungUp);
    EXPECT_EQ(sim.Wait(), 0) << ReadBytes(dir_.Path("stderr.txt"));
  }

  std::string Link() const { return dir_.Path("gps-link"); }
  std::string Report() const { return dir_.Path("gps-sent.txt"); }

  // The report's lines as tag and text.
  std::vector<std::pair<char, std::string>> ReportLines() const {
    std::vector<std::pair<char, std::string>> lines;
    for (const std::string& line : TextLines(ReadBytes(Report()))) lines.emplace_back(line[0], line.substr(2));
    return lines;
  }

  TempDir dir_;
  std::vector<std::string> fileSentences_;
  Received records_, gps_;
};

// The instrument's and the GPS's devices are made on two threads at once:
// each link names a device of its own, run after run.
TEST_F(SimGps, TheInstrumentAndTheGpsHaveDevicesOfTheirOwn) {
  const std::string log = dir_.Path("survey.zpx"), nmea = dir_.Path("survey.zpx.nmea");
  Generate("--kind zpx --rate 10 --gps-rate 10 --records 10 --nmea-out " + nmea, log);
  const std::string instrumentLink = dir_.Path("tty1");
  for (int run = 0; run < 200; ++run) {  // the race is rare: many runs to meet it
    fs::remove(Link());  // the last run's, left by its kill
    SimProcess sim({"stream", "--wait-open", "--link", instrumentLink, "--gps", nmea, "--gps-link", Link(), log},
                   dir_.Path("stderr.txt"));
    const std::string device = sim.NextDevice();
    ASSERT_FALSE(device.empty()) << ReadBytes(dir_.Path("stderr.txt"));
    for (int i = 0; i < 500 && ::access(Link().c_str(), F_OK) != 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const std::string instrument = fs::read_symlink(instrumentLink).string(), gps = fs::read_symlink(Link()).string();
    ASSERT_EQ(instrument, device) << "run " << run;
    ASSERT_NE(gps, device) << "run " << run;
    ASSERT_TRUE(fs::exists(gps)) << gps;
  }
}

TEST_F(SimGps, SendsTheFileAtItsOwnPaceBesideTheRecords) {
  Run("", 3, {});
  std::string expected;
  for (const std::string& sentence : fileSentences_) expected += sentence + "\r\n";
  EXPECT_EQ(gps_.bytes, expected);
  EXPECT_EQ(fileSentences_.size(), 30u * 5u);
  // 30 epochs 0.1 s apart: the last goes 2.9 s after the first.
  EXPECT_GE(std::chrono::duration<double>(gps_.lastByte - gps_.opened).count(), 2.7);
  EXPECT_EQ(TextLines(records_.bytes).size(), 30u);
}

TEST_F(SimGps, FaultsAreWhatTheReportSaysAndNeverUsed) {
  Run("--seed 3", 6, {"--seed", "7", "--gps-bad-checksum", "0.1", "--gps-invalid", "0.2", "--gps-dropout-every",
                      "15", "--gps-dropout-ms", "1000"});
  const auto report = ReportLines();
  // What went over the line is exactly what the report lists.
  std::string listed;
  std::size_t dropouts = 0, bad = 0, invalid = 0;
  for (const auto& [tag, text] : report) {
    if (tag == 'D') ++dropouts;
    else listed += text + "\r\n";
    bad += tag == 'C';
    invalid += tag == 'V';
  }
  EXPECT_EQ(gps_.bytes, listed);
  EXPECT_GT(dropouts, 1u);
  EXPECT_GT(bad, 5u);
  EXPECT_GT(invalid, 5u);

  // The fixes our side may use: epochs (from a GGA) with no sentence marked
  // invalid and a position sentence sent as in the file.
  std::size_t usableEpochs = 0;
  bool invalidEpoch = false, goodPosition = false, inEpoch = false;
  const auto close = [&] { usableEpochs += inEpoch && !invalidEpoch && goodPosition; };
  for (const auto& [tag, text] : report) {
    if (tag == 'D') continue;
    const std::string type = text.substr(3, 3);
    if (type == "GGA") {
      close();
      inEpoch = true;
      invalidEpoch = goodPosition = false;
    }
    invalidEpoch |= tag == 'V';
    goodPosition |= tag == 'S' && (type == "GGA" || type == "RMC");
  }
  close();

  NmeaFramer framer;
  FixTimeline timeline;
  std::int64_t received = 0;
  std::size_t decoded = 0;
  framer.Feed(gps_.bytes, [&](std::string_view sentence) {
    const bool checksumBad = CheckNmeaChecksum(sentence) != NmeaChecksum::Ok;
    const auto d = DecodeNmea(sentence);
    EXPECT_EQ(d.has_value(), !checksumBad) << sentence;
    if (!d) return;
    ++decoded;
    timeline.Add(received += 20 * kNsPerMs, *d);
  });
  EXPECT_EQ(framer.Counted().garbageBytes, 0u);
  EXPECT_EQ(decoded + bad, report.size() - dropouts);
  EXPECT_EQ(timeline.ValidCount(), usableEpochs);
}

TEST_F(SimGps, ARunOverMidnightKeepsItsFixesInOrder) {
  Run("--start-date 2026-12-31 --start-time 23:59:58.5", 3, {});
  NmeaFramer framer;
  FixTimeline timeline;
  std::int64_t received = 0;
  framer.Feed(gps_.bytes, [&](std::string_view sentence) {
    if (const auto d = DecodeNmea(sentence)) timeline.Add(received += kNsPerMs, *d);
  });
  ASSERT_EQ(timeline.Fixes().size(), 30u);
  EXPECT_EQ(FormatUtcMillis(*timeline.Fixes().front().gpsUtcNs), "2026-12-31T23:59:58.500Z");
  EXPECT_EQ(FormatUtcMillis(*timeline.Fixes().back().gpsUtcNs), "2027-01-01T00:00:01.400Z");
  for (std::size_t i = 1; i < timeline.Fixes().size(); ++i)
    EXPECT_EQ(*timeline.Fixes()[i].gpsUtcNs - *timeline.Fixes()[i - 1].gpsUtcNs, 100 * kNsPerMs) << i;
}

}  // namespace
}  // namespace tessaly::simtest
