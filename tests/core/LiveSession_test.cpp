// The live session in simulated time: a fake device, a manual clock, real
// files (and real file-system conditions where they can be made), the
// expected log written out by hand.
#include "core/LiveSession.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/LiveRecordRules.h"
#include "support/FakeTransport.h"
#include "support/FileBytes.h"
#include "support/FileSizeLimit.h"
#include "support/LiveRecords.h"
#include "support/LiveSessionRig.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

using testing::FakeTransport;
using testing::KvRecord;
using testing::KvRecords;
using testing::LiveRecorder;
using testing::ReadBytes;
using testing::WriteBytes;

class LiveSessionTest : public ::testing::Test, protected testing::LiveSessionRig {
 protected:
  std::size_t RecordSize() const { return KvRecord(1).size() + 2; }
};

TEST_F(LiveSessionTest, WritesEachValidRecordAtOnceAndListsTheRejectedOnes) {
  Started(Base());
  clock_.Advance(3 * kNsPerMs);
  Send("noise " + KvRecord(1) + "\r\n$KVMGD,000003,4417.968,N,06318.000,W,54.5,76.6\r\n" + KvRecord(2) + "\n" +
       KvRecord(3).substr(0, 20));
  EXPECT_EQ(ReadBytes(Base()), KvRecords(1, 2));  // written before Poll returned
  ASSERT_EQ(seen_.accepted.size(), 2u);
  const LiveRecord& first = seen_.accepted[0];
  EXPECT_EQ(first.row, 1u);
  EXPECT_EQ(first.text, "$KVMGD,-00099,4417.001,N,06318.000,W,54.5,76.6");
  EXPECT_EQ(first.utcNs, kStartUtcNs + 3 * kNsPerMs);
  EXPECT_EQ(first.monotonicNs, 3 * kNsPerMs);
  const auto cell = [&first](GridColumn column) { return first.cells[column - kFirstRecordColumn]; };
  const std::vector<std::string> fields{cell(kColDev),      cell(kColTfLatDeg), cell(kColTfLatMin), cell(kColTfLatHemi),
                                        cell(kColTfLonDeg), cell(kColTfLonMin), cell(kColTfLonHemi), cell(kColTfDepth),
                                        cell(kColSounder)};
  EXPECT_EQ(fields, (std::vector<std::string>{"-00099", "44", "17.001", "N", "063", "18.000", "W", "54.5", "76.6"}));
  EXPECT_EQ(cell(kColTime), "");  // the window gives the time of reception
  EXPECT_NEAR(first.numbers.towfish.latitude, 44 + 17.001 / 60, 1e-9);
  EXPECT_NEAR(first.numbers.towfish.longitude, -(63 + 18.0 / 60), 1e-9);
  EXPECT_EQ(seen_.accepted[1].row, 2u);
  ASSERT_EQ(seen_.rejected.size(), 1u);
  EXPECT_EQ(seen_.rejected[0].message, "Missing sign on Deviation Field");
  EXPECT_EQ(seen_.rejected[0].rowsBefore, 1u);
  EXPECT_EQ(session_->RecordCount(), 2u);
  EXPECT_EQ(seen_.parts, std::vector<std::string>{Base()});
}

// A record longer than the live bound, or holding bytes that are not
// printable text after a valid beginning, is listed with its own message and
// never written; the next record is.
TEST_F(LiveSessionTest, RefusesRecordsTooLongOrHoldingOtherBytes) {
  struct Case {
    std::string tail;
    std::string_view message;
  };
  const Case cases[] = {
      {std::string(60000, '7'), kLiveRecordTooLong},
      {std::string("\0\xff", 2) + "\x1b[2J", kLiveRecordNotText},
      {"\x1b[31m", kLiveRecordNotText},
      {std::string(1, '\x7f'), kLiveRecordNotText},
      {"," + std::string(256 - KvRecord(0).size(), 'x'), kLiveRecordTooLong},
  };
  Started(Base());
  int n = 0;
  std::string expected;
  for (const Case& c : cases) {
    n += 2;
    Send(KvRecord(n - 1) + c.tail + "\r\n" + KvRecord(n) + "\r\n");
    expected += KvRecord(n) + "\r\n";
    ASSERT_FALSE(seen_.rejected.empty());
    EXPECT_EQ(seen_.rejected.back().message, c.message) << c.tail.size();
    EXPECT_LE(seen_.rejected.back().text.size(), kMaxLiveRecordBytes);
  }
  EXPECT_EQ(seen_.rejected.size(), std::size(cases));
  EXPECT_EQ(ReadBytes(Base()), expected);
  EXPECT_EQ(LiveRecordProblem(std::string(kMaxLiveRecordBytes, 'a')), "");  // the bound itself is allowed
}

TEST_F(LiveSessionTest, StartsAPartEveryNRecordsReportedByItsFullName) {
  options_.recordsPerPart = 3;
  Started(Base());
  Send(KvRecords(1, 7));
  const std::vector<std::string> parts{Base(), home_.Path("survey_1.kvl"), home_.Path("survey_2.kvl")};
  EXPECT_EQ(seen_.parts, parts);
  EXPECT_EQ(ReadBytes(parts[0]), KvRecords(1, 3));
  EXPECT_EQ(ReadBytes(parts[1]), KvRecords(4, 3));
  EXPECT_EQ(ReadBytes(parts[2]), KvRecords(7, 1));
  EXPECT_EQ(session_->SetComment(5, "buoy"), "");
  EXPECT_EQ(ReadBytes(home_.Path("survey_1.cmt")), "2=buoy\r\n");
  EXPECT_NE(session_->SetComment(8, "no such row"), "");
}

// Ten minutes: records five a second, a silence of a minute, the device
// unplugged for two minutes (opened again every second), parts of 500
// records. Runs in simulated time.
TEST_F(LiveSessionTest, TenSimulatedMinutesOfRecordsSilenceReconnectsAndParts) {
  options_.recordsPerPart = 500;
  Started(Base());
  std::string sent;
  int n = 0, attemptsBeforeUnplug = 0;
  const auto sending = [](std::int64_t at) { return at < 120'000 || (at >= 180'000 && at < 300'000) || at >= 420'000; };
  RunFor(600'000, [&](std::int64_t at) {
    if (at == 300'000) {
      device_.Unplug();
      attemptsBeforeUnplug = device_.OpenAttempts();
    }
    if (at == 420'000) device_.PlugInAgain();
    if (at % 200 != 0 || !sending(at) || !device_.PortOpen()) return;
    sent += KvRecords(++n, 1);
    device_.Push(KvRecords(n, 1));
  });
  EXPECT_EQ(seen_.Count(LiveEvent::Silence), 1u);
  EXPECT_EQ(seen_.Count(LiveEvent::DataAgain), 1u);
  EXPECT_EQ(seen_.Count(LiveEvent::DeviceLost), 1u);
  EXPECT_EQ(seen_.Count(LiveEvent::DeviceBack), 1u);
  const int attempts = device_.OpenAttempts() - attemptsBeforeUnplug;
  EXPECT_GE(attempts, 119);  // one a second for two minutes
  EXPECT_LE(attempts, 121);
  EXPECT_EQ(session_->State(), LiveState::Logging);
  EXPECT_GT(n, 2000);  // seven of the ten minutes at five a second
  EXPECT_EQ(Logged(), sent);
  EXPECT_EQ(session_->Parts().size(), (static_cast<std::size_t>(n) + 499) / 500);
}

TEST_F(LiveSessionTest, SyncsToDiskEveryHalfSecondWhileRecordsArrive) {
  std::atomic<int> syncs{0};
  options_.fileCalls.fdatasync = [&](int fd) {
    syncs += testing::DescriptorPath(fd) == Base();  // the log's, not its times'
    return 0;
  };
  Started(Base());
  int n = 0;
  // Each sync is waited for before the next tick, so that none is merged
  // with the next.
  const auto syncsAfter = [&](std::int64_t ms, bool records) {
    for (std::int64_t at = kTickMs; at <= ms; at += kTickMs) {
      clock_.Advance(kTickMs * kNsPerMs);
      if (records) device_.Push(KvRecords(++n, 1));
      session_->Tick();
      session_->WaitForDisk();
    }
    return syncs.load();
  };
  EXPECT_EQ(syncsAfter(400, true), 0);
  EXPECT_EQ(syncsAfter(100, true), 1);
  EXPECT_EQ(syncsAfter(9500, true), 20);
  EXPECT_EQ(syncsAfter(5000, false), 20);  // nothing written, nothing to sync
  EXPECT_EQ(syncsAfter(100, true), 21);   // a record after a while is synced at once
  session_.reset();  // before the count it syncs into at its end
}

// A sync that fails (an I/O error at write-back) means records said to be
// written may not be on the disk: writing stops there, records are held, and
// Resume writes them.
TEST_F(LiveSessionTest, AFailedSyncIsAFailedWrite) {
  std::atomic<bool> failing{true};
  options_.fileCalls.fdatasync = [&](int) {
    if (!failing) return 0;
    errno = EIO;
    return -1;
  };
  Started(Base());
  Send(KvRecords(1, 2));
  RunFor(500);
  session_->WaitForDisk();
  RunFor(100);
  ASSERT_EQ(seen_.Count(LiveEvent::WriteFailed), 1u);
  EXPECT_NE(seen_.last.writeError.find("Input/output error"), std::string::npos) << seen_.last.writeError;
  EXPECT_EQ(session_->State(), LiveState::Paused);
  Send(KvRecords(3, 2));
  EXPECT_EQ(ReadBytes(Base()), KvRecords(1, 2));
  EXPECT_EQ(seen_.last.heldRecords, 0u);  // the status was sent before they came
  EXPECT_EQ(session_->Status().heldRecords, 2u);
  failing = false;
  session_->Resume();
  EXPECT_EQ(seen_.events.back(), LiveEvent::WriteResumed);
  EXPECT_EQ(ReadBytes(Base()), KvRecords(1, 4));
  session_.reset();  // before the flag its syncs read
}

// The file-size limit stands for a full disk: the port is still read, the
// records are held and written first, in order, on Resume; the message names
// the real cause.
TEST_F(LiveSessionTest, AFailedWriteHoldsWhatArrivesAndResumeWritesItFirst) {
  Started(Base());
  Send(KvRecords(1, 3));
  {
    testing::FileSizeLimit limit(3 * RecordSize() + 10);
    Send(KvRecords(4, 7));
    EXPECT_EQ(seen_.Count(LiveEvent::WriteFailed), 1u);
    EXPECT_NE(seen_.last.writeError.find("File too large"), std::string::npos) << seen_.last.writeError;
    EXPECT_EQ(session_->State(), LiveState::Paused);
    EXPECT_TRUE(device_.PortOpen());
    EXPECT_EQ(session_->Status().heldRecords, 7u);
    session_->Resume();  // the disk is still full
    EXPECT_EQ(seen_.Count(LiveEvent::WriteFailed), 2u);
  }
  EXPECT_EQ(ReadBytes(Base()), KvRecords(1, 3));
  EXPECT_EQ(seen_.accepted.size(), 10u);
  session_->Resume();
  EXPECT_EQ(session_->State(), LiveState::Logging);
  Send(KvRecords(11, 1));
  EXPECT_EQ(ReadBytes(Base()), KvRecords(1, 11));
}

TEST_F(LiveSessionTest, RecordsBeyondTheMemoryBoundAreLostOldestFirst) {
  options_.heldBytesLimit = 3 * (sizeof(HeldRecords::Record) + KvRecord(1).size());
  Started(Base());
  Send(KvRecords(1, 3));
  {
    testing::FileSizeLimit limit(3 * RecordSize() + 10);
    Send(KvRecords(4, 6));  // 4 waits in the writer, 5 and 6 are dropped for 7, 8 and 9
    RunFor(100);
  }
  EXPECT_EQ(seen_.Count(LiveEvent::RecordsLost), 1u);
  EXPECT_EQ(seen_.last.lostRecords, 2u);
  session_->Resume();
  EXPECT_EQ(ReadBytes(Base()), KvRecords(1, 4) + KvRecords(7, 3));
  // Rows keep their numbers in the session; the log's rows close up.
  EXPECT_NE(session_->SetComment(5, "gone"), "");
  EXPECT_EQ(session_->SetComment(8, "kept"), "");
  EXPECT_EQ(ReadBytes(home_.Path("survey.cmt")), "6=kept\r\n");
}

// Stop writes what is pending and held; what the log's disk still refuses
// goes to a rescue file beside the log, else into the settings folder, and
// the report says how many went where.
TEST_F(LiveSessionTest, StopRescuesWhatTheLogCannotTake) {
  struct Case {
    const char* name;
    bool limitAtStop;
    bool logFolderGone;
    bool rescueFolderGone;
    const char* rescuedTo;  // relative to the home, or "" for the log
    std::uint64_t logged, rescued, lost;
  };
  const Case cases[] = {
      {"disk freed before Stop", false, false, false, "", 7, 0, 0},
      {"disk still full", true, false, false, "logs/survey-rescued.kvl", 4, 3, 0},
      {"log folder gone", true, true, false, "Lib/survey-rescued.kvl", 4, 3, 0},
      {"nowhere to go", true, true, true, "", 4, 0, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::create_directories(home_.Path("logs"));
    options_.rescueFolder = c.rescueFolderGone ? home_.Path("missing") : home_.Path("Lib");
    const std::string base = home_.Path("logs/survey.kvl");
    Started(base);
    StopReport report;
    {
      testing::FileSizeLimit limit(4 * RecordSize() + RecordSize() / 2);
      Send(KvRecords(1, 7));
      if (c.logFolderGone) std::filesystem::remove_all(home_.Path("logs"));
      if (!c.limitAtStop) {
        testing::FileSizeLimit unlimited(RLIM_INFINITY);
        report = session_->Stop();
      } else {
        report = session_->Stop();
      }
    }
    EXPECT_EQ(report.recordsLogged, c.logged);
    EXPECT_EQ(report.rescued, c.rescued);
    EXPECT_EQ(report.lost, c.lost);
    if (!c.logFolderGone) {
      EXPECT_EQ(ReadBytes(base), KvRecords(1, static_cast<int>(c.logged)));
    }
    if (c.rescued > 0) {
      ASSERT_EQ(report.rescueFiles.size(), 1u);
      EXPECT_EQ(report.rescueFiles[0].path, home_.Path(c.rescuedTo));
      EXPECT_EQ(ReadBytes(report.rescueFiles[0].path), KvRecords(5, 3));
    }
    if (c.rescued + c.lost > 0) {
      EXPECT_NE(report.problem, "");
    }
    EXPECT_EQ(session_->State(), LiveState::Stopped);
    ASSERT_FALSE(seen_.stops.empty());
    EXPECT_EQ(seen_.stops.back().rescued, report.rescued);
    session_.reset();
    std::filesystem::remove_all(home_.Path("logs"));
    std::filesystem::remove(home_.Path("Lib/survey-rescued.kvl"));
  }
}

TEST_F(LiveSessionTest, DestroyingARunningSessionWritesWhatItReceived) {
  Started(Base());
  {
    testing::FileSizeLimit limit(2 * RecordSize());
    Send(KvRecords(1, 5));
  }
  session_.reset();
  EXPECT_EQ(ReadBytes(Base()), KvRecords(1, 5));
  ASSERT_EQ(seen_.stops.size(), 1u);
  EXPECT_EQ(seen_.stops[0].recordsLogged, 5u);
}

// A device lost and back is logged on when it is the same one; a different
// device under the same name waits for the user.
TEST_F(LiveSessionTest, ADifferentDeviceUnderTheNameWaitsForTheUser) {
  DeviceIdentity adapter;
  adapter.name = "/dev/serial/by-id/usb-adapter";
  adapter.resolvedPath = "/dev/ttyUSB0";
  adapter.deviceNumber = 0xbc00;
  adapter.usbModel = "0403:6001";
  adapter.usbSerial = "A1";
  DeviceIdentity sameOnAnotherNode = adapter;
  sameOnAnotherNode.resolvedPath = "/dev/ttyUSB1";
  sameOnAnotherNode.deviceNumber = 0xbc01;
  DeviceIdentity another = adapter;
  another.usbSerial = "B2";
  struct Case {
    const char* name;
    DeviceIdentity comesBack;
    bool logsOn;
  };
  for (const Case& c : {Case{"same adapter", sameOnAnotherNode, true}, Case{"another adapter", another, false}}) {
    SCOPED_TRACE(c.name);
    device_.PlugIn(adapter);
    Started(Base());
    Send(KvRecords(1, 2));
    device_.Unplug();
    RunFor(200);
    device_.PlugIn(c.comesBack);
    RunFor(1000);
    device_.Push(KvRecords(3, 2));
    RunFor(100);
    if (c.logsOn) {
      EXPECT_EQ(seen_.Count(LiveEvent::DeviceBack), 1u);
      EXPECT_EQ(ReadBytes(Base()), KvRecords(1, 4));
    } else {
      EXPECT_EQ(seen_.Count(LiveEvent::OtherDevice), 1u);
      EXPECT_EQ(session_->State(), LiveState::Paused);
      EXPECT_TRUE(session_->Status().otherDevice);
      EXPECT_NE(session_->Status().deviceText.find("B2"), std::string::npos);
      EXPECT_FALSE(device_.PortOpen());
      EXPECT_EQ(ReadBytes(Base()), KvRecords(1, 2));
      session_->Resume();  // the user says so
      EXPECT_EQ(session_->State(), LiveState::Logging);
      Send(KvRecords(5, 1));
      EXPECT_EQ(ReadBytes(Base()), KvRecords(1, 2) + KvRecords(5, 1));
    }
    session_.reset();
  }
}

TEST_F(LiveSessionTest, PauseClosesThePortAndDropsAPartlyReceivedRecord) {
  Started(Base());
  Send(KvRecords(1, 1) + KvRecord(2).substr(0, 30));
  session_->Pause();
  EXPECT_FALSE(device_.PortOpen());
  EXPECT_EQ(seen_.events.back(), LiveEvent::Paused);
  EXPECT_EQ(session_->State(), LiveState::Paused);
  session_->Resume();
  EXPECT_TRUE(device_.PortOpen());
  EXPECT_EQ(seen_.events.back(), LiveEvent::Resumed);
  Send(KvRecord(2).substr(30) + "\r\n" + KvRecords(3, 1));
  EXPECT_EQ(ReadBytes(Base()), KvRecords(1, 1) + KvRecords(3, 1));
}

TEST_F(LiveSessionTest, StartOpensTheDeviceBeforeTouchingAnyFile) {
  WriteBytes(home_.Path("survey.cmt"), "1=old\r\n");
  device_.Unplug();
  Make();
  EXPECT_NE(session_->Start(Base(), FindEarlierLogFiles(Base())), "");
  EXPECT_EQ(session_->State(), LiveState::Idle);
  EXPECT_FALSE(std::filesystem::exists(Base()));
  EXPECT_EQ(ReadBytes(home_.Path("survey.cmt")), "1=old\r\n");
}

// Comments of an earlier log of the name are set aside, never deleted, so
// they do not attach to the new records; parts without consent are not
// replaced.
TEST_F(LiveSessionTest, EarlierCommentsAreSetAsideAndPartsReplacedOnlyWithConsent) {
  for (const char* name : {"survey.kvl", "survey_1.kvl", "survey_3.kvl"}) WriteBytes(home_.Path(name), "old\r\n");
  WriteBytes(home_.Path("survey.cmt"), "2=old\r\n");
  WriteBytes(home_.Path("survey_3.cmt"), "1=old\r\n");
  const EarlierLogFiles earlier = FindEarlierLogFiles(Base());
  EXPECT_EQ(earlier.logs, (std::vector<std::string>{Base(), home_.Path("survey_1.kvl"), home_.Path("survey_3.kvl")}));
  EXPECT_EQ(earlier.comments, (std::vector<std::string>{home_.Path("survey.cmt"), home_.Path("survey_3.cmt")}));

  options_.recordsPerPart = 2;
  Make();
  ASSERT_EQ(session_->Start(Base(), {{Base()}, earlier.comments, {}}), "");
  EXPECT_FALSE(std::filesystem::exists(home_.Path("survey.cmt")));
  EXPECT_EQ(ReadBytes(home_.Path("survey.cmt.replaced")), "2=old\r\n");
  EXPECT_EQ(ReadBytes(home_.Path("survey_3.cmt.replaced")), "1=old\r\n");
  Send(KvRecords(1, 3));
  EXPECT_EQ(session_->SetComment(1, "new"), "");
  EXPECT_EQ(ReadBytes(home_.Path("survey.cmt")), "1=new\r\n");
  // survey_1.kvl was not agreed to: the third record waits.
  EXPECT_EQ(ReadBytes(home_.Path("survey_1.kvl")), "old\r\n");
  EXPECT_EQ(seen_.Count(LiveEvent::WriteFailed), 1u);
  EXPECT_NE(seen_.last.writeError.find("survey_1.kvl"), std::string::npos);
}

// A file an open window uses is never replaced, consent or not.
TEST_F(LiveSessionTest, NeverReplacesAFileAnOpenWindowUses) {
  WriteBytes(home_.Path("survey_1.kvl"), "open elsewhere\r\n");
  options_.recordsPerPart = 1;
  Make();
  const std::vector<GuardedFile> inUse{{home_.Path("survey_1.kvl"), "in use by \"survey_1.kvl - KV7100 Log\""}};
  ASSERT_EQ(session_->Start(Base(), FindEarlierLogFiles(Base()), inUse), "");
  Send(KvRecords(1, 2));
  EXPECT_EQ(seen_.Count(LiveEvent::WriteFailed), 1u);
  EXPECT_NE(seen_.last.writeError.find("in use by"), std::string::npos) << seen_.last.writeError;
  EXPECT_EQ(ReadBytes(home_.Path("survey_1.kvl")), "open elsewhere\r\n");
  session_.reset();
  EXPECT_EQ(ReadBytes(home_.Path("survey-rescued.kvl")), KvRecords(2, 1));
}

TEST_F(LiveSessionTest, ARawCaptureWritesEveryChunkAsReceived) {
  Started(home_.Path("capture.oth"), LogVariantId::Other);
  const std::string chunks[] = {"abc\r\n\x01", "garbage $KVMGD,+1", std::string(300, 'z') + "\n"};
  for (const std::string& chunk : chunks) Send(chunk);
  EXPECT_EQ(ReadBytes(home_.Path("capture.oth")), chunks[0] + chunks[1] + chunks[2]);
  EXPECT_EQ(seen_.AcceptedTexts(), std::vector<std::string>(std::begin(chunks), std::end(chunks)));
  EXPECT_EQ(session_->RecordCount(), 0u);
  EXPECT_TRUE(seen_.rejected.empty());
}

// A close that fails (the disk's last word on the part) is a failed write:
// at a part change the session pauses, at Stop the report says so.
TEST_F(LiveSessionTest, AFailedCloseIsAFailedWrite) {
  options_.recordsPerPart = 2;
  options_.fileCalls.close = [](int fd) {
    ::close(fd);
    errno = EIO;
    return -1;
  };
  Started(Base());
  Send(KvRecords(1, 3));
  RunFor(100);
  EXPECT_EQ(seen_.Count(LiveEvent::WriteFailed), 1u);
  EXPECT_NE(seen_.last.writeError.find("Cannot close the log " + Base()), std::string::npos) << seen_.last.writeError;
  const StopReport report = session_->Stop();
  EXPECT_NE(report.problem.find("Cannot close the log"), std::string::npos) << report.problem;
  EXPECT_EQ(ReadBytes(home_.Path("survey_1.kvl")), KvRecords(3, 1));
}

}  // namespace
}  // namespace tessaly
