// A live session with its reception times and a GPS on a second port, in
// simulated time: fake devices, a manual clock, real files, the expected
// lines of the side files written out by hand.
#include "core/LiveSession.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "core/NmeaLog.h"
#include "support/FakeTransport.h"
#include "support/FileBytes.h"
#include "support/GpsTruth.h"
#include "support/LiveRecords.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

using testing::FakeTransport;
using testing::KvRecords;
using testing::LiveRecorder;
using testing::ReadBytes;
using testing::TextLines;
using testing::ZpxRecord;

constexpr std::int64_t kSurveyStartUtc = 1'800'000'000 * kNsPerSecond;  // 2027-01-15T08:00:00.000Z

std::string Gga(std::int64_t utcNs, double metresNorth) {
  return testing::GgaText(utcNs / kNsPerMs % 86'400'000, testing::PointAt({0.0, metresNorth}));
}

class GpsSession : public ::testing::Test {
 protected:
  GpsSession() {
    options_.rescueFolder = home_.Path("Lib");
    options_.layback.cableOut = 50.0;
    options_.layback.defaultDepth = 10.0;
  }
  LiveSession& Started(const std::string& name, LogVariantId variant, bool withGps = true) {
    base_ = home_.Path(name);
    if (withGps) options_.gps = &gps_;
    session_ = std::make_unique<LiveSession>(FindLogVariant(variant), device_, clock_, seen_, options_);
    EXPECT_EQ(session_->Start(base_, FindEarlierLogFiles(base_)), "");
    return *session_;
  }
  void Advance(std::int64_t ms) { clock_.Advance(ms * kNsPerMs); }
  void Record(const std::string& text) {
    device_.Push(text + "\r\n");
    session_->Poll();
  }
  void Sentence(const std::string& text) {
    gps_.Push(text + "\r\n");
    session_->Poll();
  }
  // `seconds` of survey at 2 m/s due north: a GGA at every whole second, a
  // ZEPH record every 100 ms from 50 ms on, a tick every 100 ms.
  void Survey(int seconds) {
    for (int tenth = 0; tenth < seconds * 10; ++tenth) {
      const double t = elapsedMs_ / 1000.0;
      if (elapsedMs_ % 1000 == 0) Sentence(Gga(clock_.UtcNs(), 2.0 * t));
      Advance(50);
      Record(ZpxRecord(++records_));
      Advance(50);
      elapsedMs_ += 100;
      session_->Tick();
    }
  }
  std::string Side(std::size_t part, std::string_view suffix) const {
    return ReadBytes(SideFileName(PartFileName(base_, part), suffix));
  }

  testing::TempHome home_;
  ManualClock clock_{kSurveyStartUtc, 5 * kNsPerSecond};
  FakeTransport device_, gps_;
  LiveRecorder seen_;
  LiveSessionOptions options_;
  std::unique_ptr<LiveSession> session_;
  std::string base_;
  int records_ = 0;
  std::int64_t elapsedMs_ = 0;
};

TEST_F(GpsSession, EveryPartHasTheReceptionTimeOfEachRecordInItsRowOrder) {
  options_.recordsPerPart = 2;
  Started("survey.kvl", LogVariantId::KV7100, false);
  for (int n = 1; n <= 3; ++n) {
    Advance(n == 1 ? 7 : 1250);
    Record(testing::KvRecord(n));
  }
  EXPECT_EQ(Side(0, kTimesSuffix),
            "1\t2027-01-15T08:00:00.007Z\t5007000000\r\n"
            "2\t2027-01-15T08:00:01.257Z\t6257000000\r\n");
  EXPECT_EQ(Side(1, kTimesSuffix), "1\t2027-01-15T08:00:02.507Z\t7507000000\r\n");
  EXPECT_FALSE(std::filesystem::exists(SideFileName(base_, kNmeaSuffix)));  // no GPS port
  EXPECT_EQ(session_->SetCableOut(60), "No GPS port is set.");
  const std::vector<std::string> inUse = session_->FilesInUse();
  EXPECT_NE(std::find(inUse.begin(), inUse.end(), SideFileName(PartFileName(base_, 1), kTimesSuffix)), inUse.end());
}

// Every sentence goes to the part's NMEA file as received, after its UTC
// reception time; a bad checksum is kept and marked, never used; bytes that
// are no sentence are counted. A raw capture has no records to time.
TEST_F(GpsSession, SentencesAreWrittenBesideThePartWithTheirTimes) {
  Started("capture.oth", LogVariantId::Other);
  const std::string good = Gga(clock_.UtcNs(), 0.0);
  std::string bad = good;
  bad[10] = bad[10] == '1' ? '2' : '1';
  Advance(12);
  gps_.Push("noise" + good.substr(0, 20));
  session_->Poll();
  Advance(3);
  Sentence(good.substr(20));
  Advance(100);
  Sentence(bad + "\r\n$HEHDT,274.07,T");
  Record("anything");
  session_->Tick();
  EXPECT_EQ(Side(0, kNmeaSuffix), "2027-01-15T08:00:00.015Z\t" + good + "\r\n2027-01-15T08:00:00.115Z\t" + bad +
                                      "\tbad checksum\r\n2027-01-15T08:00:00.115Z\t$HEHDT,274.07,T\tno checksum\r\n");
  EXPECT_FALSE(std::filesystem::exists(SideFileName(base_, kTimesSuffix)));
  ASSERT_FALSE(seen_.gps.empty());
  const LiveGpsStatus& status = seen_.gps.back();
  EXPECT_EQ(status.port.state, GpsPortState::Open);
  EXPECT_EQ(status.port.sentences, 3u);
  EXPECT_EQ(status.port.badChecksums, 2u);
  EXPECT_EQ(status.port.garbageBytes, 5u);
  ASSERT_TRUE(status.latestValid);
  EXPECT_EQ(status.latestValid->satellites, 12);
  ASSERT_TRUE(session_->GpsStatusNow());
  EXPECT_EQ(session_->GpsStatusNow()->ageNs, 100 * kNsPerMs);
  EXPECT_EQ(seen_.positionReports, 0u);
}

// The GPS goes away and comes back while the records go on: it never
// pauses them, and a different device under its name is not read until the
// user says so.
TEST_F(GpsSession, AGpsLostOrReplacedNeverStopsTheRecords) {
  Started("survey.zpx", LogVariantId::ZpxKV);
  Survey(2);
  gps_.Unplug();
  session_->Tick();
  Survey(3);
  EXPECT_EQ(seen_.gps.back().port.state, GpsPortState::Lost);
  DeviceIdentity other;
  other.name = "/dev/fake0";
  other.deviceNumber = 0x0401;
  gps_.PlugIn(other);
  Survey(2);
  EXPECT_EQ(seen_.gps.back().port.state, GpsPortState::OtherDevice);
  EXPECT_FALSE(gps_.PortOpen());
  session_->UseOtherGps();
  EXPECT_EQ(seen_.gps.back().port.state, GpsPortState::Open);
  Survey(1);
  EXPECT_EQ(session_->State(), LiveState::Logging);
  EXPECT_TRUE(seen_.events.size() == 1 && seen_.events[0] == LiveEvent::Started);
  EXPECT_EQ(TextLines(ReadBytes(base_)).size(), 80u);
  EXPECT_EQ(TextLines(Side(0, kTimesSuffix)).size(), 80u);
  // Fixes at 0, 1 and 7 s: the records in between have none.
  EXPECT_EQ(TextLines(Side(0, kNmeaSuffix)).size(), 3u);
  EXPECT_EQ(seen_.positions.at(40).position.flags, kNoFix);
}

// Each part's NMEA file begins with the sentences of the five seconds
// before it, its cable file with the cable out then; the cable out's
// changes are lines of the part's cable file.
TEST_F(GpsSession, ANewPartBeginsWithTheSecondsBeforeItAndTheCableOut) {
  options_.recordsPerPart = 75;
  Started("survey.zpx", LogVariantId::ZpxKV);
  Survey(3);
  Advance(20);
  EXPECT_EQ(session_->SetCableOut(62.5), "");
  EXPECT_EQ(session_->SetCableOut(-1), "\"Cable out (m):\" must be from 0 to 10000.");
  Survey(7);
  const std::vector<std::string> first = TextLines(Side(0, kNmeaSuffix)), second = TextLines(Side(1, kNmeaSuffix));
  // From 3 s on everything comes 20 ms later. Fixes at 0 to 7.02 s in the
  // first part (its last record came at 7.47 s); the second part began at
  // 7.57 s with the fixes of the five seconds before, then those of 8.02 and
  // 9.02 s.
  ASSERT_EQ(first.size(), 8u);
  ASSERT_EQ(second.size(), 7u);
  EXPECT_EQ(std::vector<std::string>(second.begin(), second.begin() + 5),
            std::vector<std::string>(first.begin() + 3, first.end()));
  EXPECT_EQ(second[5].substr(0, 25), "2027-01-15T08:00:08.020Z\t");
  EXPECT_EQ(Side(0, kCableSuffix), "2027-01-15T08:00:00.000Z\t50\r\n2027-01-15T08:00:03.020Z\t62.5\r\n");
  EXPECT_EQ(Side(1, kCableSuffix), "2027-01-15T08:00:07.570Z\t62.5\r\n");
  // The first record of the second part lies between the fixes at 7 and 8 s.
  const LivePosition& firstOfSecond = seen_.positions.at(76);
  EXPECT_EQ(firstOfSecond.position.row, 1u);
  EXPECT_EQ(firstOfSecond.position.flags & (kExtrapolated | kNoFix), 0);
  EXPECT_EQ(firstOfSecond.position.cableOut, 62.5);
  EXPECT_EQ(seen_.positions.size(), 100u);
}

// The reception times are written before the record; a record whose time
// cannot be written is not written either, and waits with the others.
TEST_F(GpsSession, ARecordWhoseTimeCannotBeWrittenWaitsWithIt) {
  std::atomic<bool> timesFail{false};
  const LogFileCalls system = LogFileCalls::System();
  options_.fileCalls.pwrite = [&](int fd, const void* data, std::size_t size, off_t offset) -> ssize_t {
    if (timesFail && testing::DescriptorPath(fd).ends_with(".times")) {
      errno = ENOSPC;
      return -1;
    }
    return system.pwrite(fd, data, size, offset);
  };
  Started("survey.zpx", LogVariantId::ZpxKV);
  Survey(1);
  timesFail = true;
  Survey(1);
  EXPECT_EQ(session_->State(), LiveState::Paused);
  EXPECT_NE(seen_.last.writeError.find("No space left on device"), std::string::npos) << seen_.last.writeError;
  EXPECT_EQ(TextLines(ReadBytes(base_)).size(), 10u);
  EXPECT_EQ(TextLines(Side(0, kTimesSuffix)).size(), 10u);
  timesFail = false;
  session_->Resume();
  EXPECT_EQ(session_->State(), LiveState::Logging);
  const std::vector<std::string> times = TextLines(Side(0, kTimesSuffix));
  ASSERT_EQ(times.size(), 20u);
  EXPECT_EQ(TextLines(ReadBytes(base_)).size(), 20u);
  for (std::size_t i = 0; i < times.size(); ++i) EXPECT_EQ(ParseReceptionTime(times[i])->row, i + 1);
  EXPECT_EQ(seen_.positions.size(), 20u);  // positioned as written
}

// A failed write of the GPS's own file holds its lines in memory, in order,
// and never touches the records; a failed sync of the times is a failed
// write of the records.
TEST_F(GpsSession, FailuresOfTheGpsFilesNeverStopTheRecordsButTheTimesDo) {
  std::atomic<bool> nmeaFails{false}, timesSyncFails{false};
  const LogFileCalls system = LogFileCalls::System();
  options_.fileCalls.pwrite = [&](int fd, const void* data, std::size_t size, off_t offset) -> ssize_t {
    if (nmeaFails && testing::DescriptorPath(fd).ends_with(".nmea")) {
      errno = EIO;
      return -1;
    }
    return system.pwrite(fd, data, size, offset);
  };
  options_.fileCalls.fdatasync = [&](int fd) {
    if (timesSyncFails && testing::DescriptorPath(fd).ends_with(".times")) {
      errno = EIO;
      return -1;
    }
    return 0;
  };
  Started("survey.zpx", LogVariantId::ZpxKV);
  Survey(1);
  nmeaFails = true;
  Survey(3);
  EXPECT_EQ(session_->State(), LiveState::Logging);
  EXPECT_EQ(seen_.gps.back().port.heldLines, 3u);
  EXPECT_NE(seen_.gps.back().port.writeError.find("Input/output error"), std::string::npos);
  nmeaFails = false;
  Survey(1);
  EXPECT_EQ(seen_.gps.back().port.heldLines, 0u);
  std::string expected;
  for (int s = 0; s <= 4; ++s)
    expected += FormatNmeaLogLine(kSurveyStartUtc + s * kNsPerSecond, Gga(kSurveyStartUtc + s * kNsPerSecond, 2.0 * s)) + "\r\n";
  EXPECT_EQ(Side(0, kNmeaSuffix), expected);

  timesSyncFails = true;
  Survey(1);
  session_->WaitForDisk();
  Survey(1);
  EXPECT_EQ(session_->State(), LiveState::Paused);
  EXPECT_NE(seen_.last.writeError.find(".times to disk"), std::string::npos) << seen_.last.writeError;
  session_.reset();  // before the flags its syncs read
}

}  // namespace
}  // namespace tessaly
