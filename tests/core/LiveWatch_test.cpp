// The watch of a live session, through the session in simulated time: a
// fake device, a manual clock, real files (a real small file system where
// one can be mounted), the alarms' moments and the events files' lines
// worked out by hand.
#include "core/LiveWatch.h"

#include <gtest/gtest.h>

#include <sys/mount.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/LiveSession.h"
#include "support/FakeTransport.h"
#include "support/FileBytes.h"
#include "support/GpsTruth.h"
#include "support/LiveRecords.h"
#include "support/LiveSessionRig.h"
#include "support/TempHome.h"

namespace tessaly {
namespace live_watch_test {

using testing::FakeTransport;
using testing::KvRecord;
using testing::KvRecordAtDepth;
using testing::KvRecords;
using testing::LiveRecorder;
using testing::ReadBytes;

constexpr MsOfDay kStartOfDayMs = 8 * 3600 * 1000;  // of the rig's kStartUtcNs

class LiveWatchTest : public ::testing::Test, protected testing::LiveSessionRig {
 protected:
  LiveWatchTest() {
    options_.watch.freeBytes = [this](const std::string& folder) {
      askedFolder_ = folder;
      return free_;
    };
  }
  // The session goes before the members its options point to.
  ~LiveWatchTest() override { session_.reset(); }

  // Ticks with one record a tick (10 a second), numbered on from the last.
  void RunRecords(std::int64_t ms, const std::function<void(std::int64_t)>& each = {}) {
    RunFor(ms, [&](std::int64_t at) {
      Send(KvRecord(++sent_) + "\r\n");
      if (each) each(at);
    });
  }
  std::vector<AlarmChange> ChangesOf(AlarmKind kind) const {
    std::vector<AlarmChange> changes;
    for (const AlarmChange& change : seen_.alarms)
      if (change.alarm == kind) changes.push_back(change);
    return changes;
  }
  std::string Events(const std::string& part) const { return ReadBytes(EventsFileName(part)); }

  std::optional<std::uint64_t> free_ = 1'000'000'000'000;
  std::string askedFolder_;
  int sent_ = 0;
};

TEST(WatchedAlarms, FollowWhatTheVariantsRecordsCarryAndTheGpsPort) {
  struct Case {
    LogVariantId variant;
    bool depth, signal;
  };
  const Case cases[] = {
      {LogVariantId::KV7100, true, false},    {LogVariantId::ZpxKV, false, true},
      {LogVariantId::ZpxBT, false, true},     {LogVariantId::Rt4Basic, false, true},
      {LogVariantId::Rt4KvComp, true, false}, {LogVariantId::Other, false, false},
  };
  for (const Case& c : cases)
    for (const bool gps : {false, true}) {
      const WatchedAlarms watched = WatchedAlarmsOf(FindLogVariant(c.variant), gps);
      EXPECT_EQ(watched.depth, c.depth) << static_cast<int>(c.variant);
      EXPECT_EQ(watched.signal, c.signal) << static_cast<int>(c.variant);
      EXPECT_EQ(watched.gps, gps);
    }
}

// Records every 100 ms from 0.1 s to 5.0 s, then nothing: 3 s later, at the
// tick of 8.0 s, "No data"; the record at 10.0 s clears it at once.
TEST_F(LiveWatchTest, ASilenceAtTenRecordsASecondRaisesNoDataWithinThreeSecondsAndTheNextRecordClears) {
  Started();
  RunRecords(5000);
  RunFor(2900);
  EXPECT_TRUE(seen_.alarms.empty());
  RunFor(100);
  ASSERT_EQ(seen_.alarms.size(), 1u);
  EXPECT_EQ(seen_.alarms[0].alarm, AlarmKind::NoData);
  EXPECT_EQ(seen_.alarms[0].status.state, AlarmState::Alarm);
  RunFor(1900);
  EXPECT_EQ(seen_.alarms.size(), 1u);  // raised once
  RunRecords(100);
  ASSERT_EQ(seen_.alarms.size(), 2u);
  EXPECT_EQ(seen_.alarms[1].status.state, AlarmState::Normal);
  EXPECT_EQ(Events(Base()),
            "2027-01-15T08:00:08.000Z\t50\tNo data\talarm\t3\ts without a valid record\n"
            "2027-01-15T08:00:10.000Z\t51\tNo data\tnormal\t0\t\n");
  ASSERT_EQ(seen_.watchEvents.size(), 2u);
  EXPECT_EQ(FormatWatchEvent(seen_.watchEvents[0]), Events(Base()).substr(0, Events(Base()).find('\n') + 1));
}

// The GPS port sends a valid fix at 0.1 s, 1.1 s, ... 9.1 s and nothing
// until 25.1 s: older than 3 s at 12.2 s warns, none for 10 s at 19.1 s
// alarms, the fix at 25.1 s makes it a warning again until the fixes have
// held 2 s, at 27.1 s.
TEST_F(LiveWatchTest, AGpsDropoutOnTheSessionsGpsPortRaisesTheGpsWarningThenTheAlarm) {
  options_.gps = &gps_;
  Started();
  RunRecords(30000, [&](std::int64_t at) {
    if (at % 1000 == 100 && (at <= 9100 || at >= 25100)) {
      gps_.Push(testing::GgaText(kStartOfDayMs + static_cast<MsOfDay>(at), GeoPosition{44.3, -63.3}) + "\r\n");
      session_->Poll();
    }
  });
  const std::vector<AlarmChange> gps = ChangesOf(AlarmKind::Gps);
  ASSERT_EQ(gps.size(), 4u);
  // Back to a warning at the first fix again, normal once fixes have held 2 s.
  EXPECT_EQ(Events(Base()),
            "2027-01-15T08:00:12.200Z\t122\tGPS\twarning\t3.1\ts since the last fix\n"
            "2027-01-15T08:00:19.100Z\t191\tGPS\talarm\t10\ts without a valid fix\n"
            "2027-01-15T08:00:25.100Z\t251\tGPS\twarning\t16\ts without a valid fix\n"
            "2027-01-15T08:00:27.100Z\t271\tGPS\tnormal\t0\t\n");
  EXPECT_TRUE(ChangesOf(AlarmKind::Clock).empty());  // no date from the GPS: no time to compare
}

// Without a GPS port the GPS and clock alarms are not watched.
TEST_F(LiveWatchTest, WithoutAGpsPortTheGpsIsNotWatched) {
  Started();
  RunRecords(30000);
  EXPECT_TRUE(ChangesOf(AlarmKind::Gps).empty());
  EXPECT_FALSE(session_->Watched().gps);
}

// The GPS's own time, two seconds behind the system clock, once a date
// gives it.
TEST_F(LiveWatchTest, TheClockAlarmComparesTheSystemClockWithTheGpsTime) {
  FixTimeline timeline;
  options_.watch.gpsStatus = [&timeline](std::int64_t nowUtcNs) { return timeline.Status(nowUtcNs); };
  Started();
  RunRecords(3000, [&](std::int64_t at) {
    if (at % 1000 != 100) return;
    RmcSentence rmc;
    rmc.time = kStartOfDayMs + static_cast<MsOfDay>(at) - 2000;
    rmc.position = GeoPosition{44.3, -63.3};
    rmc.active = true;
    rmc.mode = 'A';
    rmc.date = CivilDate{2027, 1, 15};
    timeline.Add(clock_.UtcNs(), {"GP", rmc});
  });
  const std::vector<AlarmChange> clockChanges = ChangesOf(AlarmKind::Clock);
  ASSERT_EQ(clockChanges.size(), 1u);
  EXPECT_EQ(clockChanges[0].status, (AlarmStatus{AlarmState::Warning, 2.0, "s system clock ahead of GPS time"}));
  EXPECT_TRUE(ChangesOf(AlarmKind::Gps).empty());  // RMC alone says nothing of satellites or HDOP
}

// The towfish 1 cm deeper (or shallower) each record, 10 a second: below
// the rate limit, the alarm comes with the first depth past the range.
TEST_F(LiveWatchTest, ATowfishDepthRampRaisesTheDepthAlarmAtTheThresholdNotBefore) {
  struct Case {
    double start, step;
    std::uint64_t row;  // the first depth past the range
    const char* value;
  };
  const Case cases[] = {{75.0, 0.01, 502, "80.01"}, {6.0, -0.01, 502, "0.99"}};
  for (const Case& c : cases) {
    const std::string base = home_.Path("from" + std::to_string(static_cast<int>(c.start)) + ".kvl");
    Started(base);
    const std::int64_t start = Now();
    int n = 0;
    RunFor(60000, [&](std::int64_t) {
      ++n;
      Send(KvRecordAtDepth(n, c.start + c.step * (n - 1)) + "\r\n");
    });
    const std::vector<AlarmChange> depth = ChangesOf(AlarmKind::TowfishDepth);
    ASSERT_EQ(depth.size(), 1u) << c.start;
    EXPECT_EQ(depth[0].status.state, AlarmState::Alarm);
    EXPECT_EQ(depth[0].utcNs, kStartUtcNs + (start + 50200) * kNsPerMs);
    const std::string line = ReadBytes(EventsFileName(base));
    EXPECT_EQ(line.substr(line.find('\t')), "\t" + std::to_string(c.row) + "\tTowfish depth\talarm\t" + c.value +
                                                "\tm depth\n");
  }
}

// Each input reaches its alarm through the session: the sensor's readings
// of the kinds that carry them, the rejected records.
TEST_F(LiveWatchTest, RecordsAndRejectionsReachTheirAlarms) {
  struct Case {
    LogVariantId variant;
    std::string bytes;
    AlarmKind alarm;
    AlarmStatus status;
  };
  std::string rejected;
  for (int i = 0; i < 11; ++i) rejected += "$KVMGD,000003,4417.968,N,06318.000,W,54.5,76.6\r\n";
  const Case cases[] = {
      {LogVariantId::ZpxKV, "$KVMGD,+00042,52341.2,030\r\n", AlarmKind::Signal,
       {AlarmState::Warning, 30.0, "signal level"}},
      {LogVariantId::ZpxBT, "$BTGFG,+0004,90000.5,099\r\n", AlarmKind::Signal,
       {AlarmState::Alarm, 90000.5, "nT total field"}},
      {LogVariantId::Rt4Basic, "$MGD,-00120,52340,5\r\n", AlarmKind::Signal, {AlarmState::Warning, 5.0, "signal level"}},
      {LogVariantId::KV7100, rejected + KvRecord(1) + "\r\n", AlarmKind::BadRecords,
       {AlarmState::Warning, 1100.0 / 12.0, "% of the last framed records rejected"}},
  };
  int number = 0;
  for (const Case& c : cases) {
    Started(home_.Path("log" + std::to_string(++number)), c.variant);
    Send(c.bytes);
    RunFor(kTickMs);
    ASSERT_EQ(seen_.alarms.size(), 1u) << c.bytes;
    EXPECT_EQ(seen_.alarms[0].alarm, c.alarm);
    EXPECT_EQ(seen_.alarms[0].status, c.status) << c.bytes;
  }
}

// The free space of the log's folder, asked once a second, against levels
// set for a small disk.
TEST_F(LiveWatchTest, TheFreeSpaceOfTheLogsFolderRaisesTheDiskWarningAndAlarmAtTheirLevels) {
  options_.watch.alarms.diskWarningMb = 0.5;
  options_.watch.alarms.diskAlarmMb = 0.25;
  options_.watch.alarms.diskWarningHours = 0;
  struct Step {
    std::uint64_t free;
    AlarmState state;
  };
  const Step steps[] = {{500'000, AlarmState::Normal},
                        {499'999, AlarmState::Warning},
                        {250'000, AlarmState::Warning},
                        {249'999, AlarmState::Alarm},
                        {2'000'000, AlarmState::Normal}};
  Started();
  for (const Step& step : steps) {
    free_ = step.free;
    RunRecords(1000);
    const std::vector<AlarmChange> disk = ChangesOf(AlarmKind::Disk);
    const AlarmState state = disk.empty() ? AlarmState::Normal : disk.back().status.state;
    EXPECT_EQ(state, step.state) << step.free;
  }
  EXPECT_EQ(askedFolder_, home_.Path("").substr(0, home_.Path("").size() - 1));
  EXPECT_EQ(ChangesOf(AlarmKind::Disk).size(), 3u);
  EXPECT_EQ(ChangesOf(AlarmKind::Disk)[0].status.value, 0.499999);
}

// Comments go to the events file of the part holding their record, at its
// row there; marks to the current part's, at the last record received.
TEST_F(LiveWatchTest, CommentsAndMarksAreWrittenToTheEventsFileOfTheirPart) {
  options_.recordsPerPart = 10;
  Started();
  RunRecords(1500);
  EXPECT_EQ(session_->SetComment(3, "buoy7 \xc2\xb0 \xc3\xb1"), "");
  clock_.Advance(250 * kNsPerMs);
  EXPECT_EQ(session_->SetComment(12, "crossing\tthe cable"), "");
  EXPECT_EQ(session_->Mark("F11", ""), "");
  EXPECT_EQ(session_->Mark("F12", "start of line 7"), "");
  EXPECT_EQ(Events(Base()), "2027-01-15T08:00:01.500Z\t3\tComment\t\t\tbuoy7 \xc2\xb0 \xc3\xb1\n");
  EXPECT_EQ(Events(home_.Path("survey_1.kvl")),
            "2027-01-15T08:00:01.750Z\t2\tComment\t\t\tcrossing the cable\n"
            "2027-01-15T08:00:01.750Z\t5\tMark\tF11\t\t\n"
            "2027-01-15T08:00:01.750Z\t5\tMark\tF12\t\tstart of line 7\n");
  EXPECT_EQ(seen_.watchEvents.size(), 4u);
  const std::vector<std::string> inUse = session_->FilesInUse();
  EXPECT_NE(std::find(inUse.begin(), inUse.end(), EventsFileName(home_.Path("survey_1.kvl"))), inUse.end());
}

// An events file that cannot be written is said in the status; the records
// are written all the same, and the next event that can be written ends it.
TEST_F(LiveWatchTest, AnEventsFileThatCannotBeWrittenIsToldAndLoggingGoesOn) {
  Started();
  std::filesystem::create_directory(EventsFileName(Base()));
  RunRecords(300);
  EXPECT_EQ(session_->Mark("F11", ""), "");
  EXPECT_NE(seen_.last.eventsError.find("Cannot open " + EventsFileName(Base())), std::string::npos)
      << seen_.last.eventsError;
  EXPECT_EQ(seen_.Count(LiveEvent::EventsFile), 1u);
  EXPECT_EQ(seen_.watchEvents.size(), 1u);
  RunRecords(300);
  EXPECT_EQ(ReadBytes(Base()), KvRecords(1, 6));
  std::filesystem::remove(EventsFileName(Base()));
  EXPECT_EQ(session_->Mark("F12", ""), "");
  EXPECT_EQ(seen_.last.eventsError, "");
  EXPECT_EQ(seen_.Count(LiveEvent::EventsFile), 2u);
  EXPECT_EQ(Events(Base()), "2027-01-15T08:00:00.600Z\t6\tMark\tF12\t\t\n");
}

// The user's pause is no silence; after it the silence counts from the
// resume.
TEST_F(LiveWatchTest, NoDataWaitsWhileTheUserPausesAndCountsFromTheResume) {
  Started();
  RunRecords(1000);
  session_->Pause();
  RunFor(10000);
  EXPECT_TRUE(seen_.alarms.empty());
  session_->Resume();
  RunFor(2900);
  EXPECT_TRUE(seen_.alarms.empty());
  RunFor(100);
  ASSERT_EQ(seen_.alarms.size(), 1u);
  EXPECT_EQ(seen_.alarms[0].alarm, AlarmKind::NoData);
}

// Values falling steadily (1 a record) with one of them 470 too high: that
// record, and no other, is a spike, said once its neighbours have arrived.
TEST_F(LiveWatchTest, RecordsAreFlaggedAsTheyArrive) {
  Started();
  for (int n = 1; n <= 60; ++n) {
    std::string record = KvRecord(n);
    if (n == 30) record.replace(7, 6, "+00400");
    Send(record + "\r\n");
    if (n == 31) {
      EXPECT_TRUE(seen_.flags.empty());
    }
  }
  ASSERT_EQ(seen_.flags.size(), 1u);
  EXPECT_EQ(seen_.flags[0], (QualityFinding{30, kFlagSpike, 469.0}));
}

// Events files of an earlier log of the name are set aside with its
// comments, so the new log's watch starts on a file of its own.
TEST_F(LiveWatchTest, AnEarlierEventsFileIsSetAsideWhenTheLogIsReplaced) {
  testing::WriteBytes(Base(), KvRecords(1, 2));
  testing::WriteBytes(EventsFileName(Base()), "old\n");
  const EarlierLogFiles earlier = FindEarlierLogFiles(Base());
  EXPECT_EQ(earlier.events, std::vector<std::string>{EventsFileName(Base())});
  EXPECT_TRUE(earlier.BeyondTheLog(Base()));
  Started();
  EXPECT_EQ(ReadBytes(EventsFileName(Base()) + ".replaced"), "old\n");
  EXPECT_EQ(session_->Mark("F11", ""), "");
  EXPECT_EQ(Events(Base()), "2027-01-15T08:00:00.000Z\t0\tMark\tF11\t\t\n");
}

// ---- A real small file system ----

// A tmpfs of `bytes` on `folder` while it lives (mounting needs root).
class SmallFileSystem {
 public:
  SmallFileSystem(const std::string& folder, std::size_t bytes) : folder_(folder) {
    std::filesystem::create_directories(folder);
    const std::string size = "size=" + std::to_string(bytes);
    if (::mount("tmpfs", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, size.c_str()) != 0)
      error_ = std::strerror(errno);
  }
  ~SmallFileSystem() {
    if (error_.empty()) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  const std::string& Error() const { return error_; }

 private:
  std::string folder_;
  std::string error_;
};

// A 1 MiB disk with levels of 0.5 and 0.25 MB: at every tick the watch says
// what the file system's own count of free bytes says, and the log fills
// the disk to its last byte, then the session pauses holding the records;
// at Stop they go to rescue files, and log and rescue hold every record sent
// in order.
TEST_F(LiveWatchTest, ASmallFileSystemRaisesTheDiskAlarmsAndIsFilledToTheLastByteWithNothingLost) {
  SmallFileSystem disk(home_.Path("disk"), 1 << 20);
  if (!disk.Error().empty()) GTEST_SKIP() << "cannot mount a tmpfs here (" << disk.Error() << "): run as root";
  options_.watch.freeBytes = FreeBytesOfFileSystem;
  options_.watch.diskCheckNs = kTickMs * kNsPerMs;
  options_.watch.alarms.diskWarningMb = 0.5;
  options_.watch.alarms.diskAlarmMb = 0.25;
  options_.watch.alarms.diskWarningHours = 0;
  const std::string base = home_.Path("disk/survey.kvl");
  session_ = std::make_unique<LiveSession>(FindLogVariant(LogVariantId::KV7100), device_, clock_, seen_, options_);
  ASSERT_EQ(session_->Start(base, {}), "");
  constexpr int kPerTick = 100;
  int sent = 0;
  std::optional<std::uint64_t> freeAtFailure;
  while (sent < 40000 && seen_.Count(LiveEvent::WriteFailed) == 0) {
    Send(KvRecords(sent + 1, kPerTick));
    sent += kPerTick;
    if (seen_.Count(LiveEvent::WriteFailed) > 0) freeAtFailure = FreeBytesOfFileSystem(base);
    const double free = static_cast<double>(*FreeBytesOfFileSystem(base));
    clock_.Advance(kTickMs * kNsPerMs);
    session_->Tick();
    const std::vector<AlarmChange> changes = ChangesOf(AlarmKind::Disk);
    const AlarmState state = changes.empty() ? AlarmState::Normal : changes.back().status.state;
    const AlarmState expected = free < 250'000   ? AlarmState::Alarm
                                : free < 500'000 ? AlarmState::Warning
                                                 : AlarmState::Normal;
    ASSERT_EQ(state, expected) << free << " bytes free after " << sent << " records";
  }
  ASSERT_TRUE(freeAtFailure.has_value()) << "the disk never filled";
  EXPECT_EQ(*freeAtFailure, 0u);  // the log took the disk to its last byte
  EXPECT_EQ(ChangesOf(AlarmKind::Disk).size(), 2u);
  EXPECT_EQ(session_->State(), LiveState::Paused);
  Send(KvRecords(sent + 1, kPerTick));  // still received, held
  sent += kPerTick;
  const StopReport report = session_->Stop();
  EXPECT_EQ(report.lost, 0u);
  std::string kept = ReadBytes(base);
  for (const RescueFile& file : report.rescueFiles) kept += ReadBytes(file.path);
  EXPECT_EQ(kept, KvRecords(1, sent));
  EXPECT_EQ(report.recordsLogged + report.rescued, static_cast<std::uint64_t>(sent));
}

}  // namespace live_watch_test
}  // namespace tessaly
