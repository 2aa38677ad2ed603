#include "core/LogPartWriter.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <string>

#include "core/Clock.h"
#include "support/FileBytes.h"
#include "support/FileSizeLimit.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

TEST(PartFileName, InsertsTheNumberBeforeTheExtensionOfAnyLength) {
  EXPECT_EQ(PartFileName("/d/survey.kvl", 0), "/d/survey.kvl");
  EXPECT_EQ(PartFileName("/d/survey.kvl", 1), "/d/survey_1.kvl");
  EXPECT_EQ(PartFileName("/d/survey.kvl", 12), "/d/survey_12.kvl");
  EXPECT_EQ(PartFileName("/d/line.longext", 2), "/d/line_2.longext");
  EXPECT_EQ(PartFileName("/d/line.x", 3), "/d/line_3.x");
  EXPECT_EQ(PartFileName("/d.old/noext", 1), "/d.old/noext_1");
}

// Every later part counts, past a gap too: a part number that is not one
// (leading zero, other stem or extension) does not.
TEST(PartFileName, ExistingLaterPartsAreListedInOrderGapsIncluded) {
  testing::TempHome home;
  const std::string base = home.Path("s.zpT");
  EXPECT_TRUE(ExistingLaterParts(base).empty());
  for (const char* name : {"s_1.zpT", "s_2.zpT", "s_10.zpT", "s_4.zpT", "s_05.zpT", "s_x.zpT", "t_3.zpT", "s_3.kvl"})
    WriteBytes(home.Path(name), "x");
  EXPECT_EQ(ExistingLaterParts(base), (std::vector<std::string>{home.Path("s_1.zpT"), home.Path("s_2.zpT"),
                                                                home.Path("s_4.zpT"), home.Path("s_10.zpT")}));
}

class PartWriter : public ::testing::Test {
 protected:
  std::string Base() const { return home_.Path("survey.kvl"); }
  testing::TempHome home_;
};

TEST_F(PartWriter, WritesWholeRecordsWithCrLfAndChangesPartWhenOneIsFull) {
  LogPartWriter writer(2);
  ASSERT_EQ(writer.Open(Base()), "");
  const std::string longRecord = "$KVMGD,-00002,063,18.000,W,44,17.968,N,054.6,076.8";  // 50 characters
  for (const std::string& r : {longRecord, std::string("$KVMGD,+2"), std::string("$KVMGD,+3"), std::string("$KVMGD,+4"),
                               std::string("$KVMGD,+5")})
    ASSERT_EQ(writer.Append(r), "");
  EXPECT_EQ(ReadBytes(Base()), longRecord + "\r\n$KVMGD,+2\r\n");
  EXPECT_EQ(ReadBytes(home_.Path("survey_1.kvl")), "$KVMGD,+3\r\n$KVMGD,+4\r\n");
  EXPECT_EQ(ReadBytes(home_.Path("survey_2.kvl")), "$KVMGD,+5\r\n");
  EXPECT_EQ(writer.Parts().size(), 3u);
  EXPECT_EQ(writer.RecordCount(), 5u);
  writer.Close();
  EXPECT_FALSE(writer.IsOpen());
  EXPECT_NE(writer.Append("$KVMGD,+6"), "");
}

TEST_F(PartWriter, SplitsAtThe33000RecordsOfARealSession) {
  LogPartWriter writer;
  ASSERT_EQ(writer.Open(Base()), "");
  for (int n = 0; n < 66001; ++n) ASSERT_EQ(writer.Append("$KVMGD,+00001,52341.3,077"), "");
  writer.Close();
  const auto size = [](const std::string& path) { return std::filesystem::file_size(path); };
  EXPECT_EQ(size(Base()), 33000u * 27);
  EXPECT_EQ(size(home_.Path("survey_1.kvl")), 33000u * 27);
  EXPECT_EQ(size(home_.Path("survey_2.kvl")), 27u);
}

// A sync is asked for, not timed here (the session decides when): it runs
// on the writer's thread, and only when something was written since.
TEST_F(PartWriter, SyncsWhenAskedAfterRecordsWereWritten) {
  std::atomic<int> syncs{0};
  LogFileCalls calls = LogFileCalls::System();
  calls.fdatasync = [&](int fd) {
    ++syncs;
    return ::fdatasync(fd);
  };
  LogPartWriter writer(kRecordsPerPart, calls);
  ASSERT_EQ(writer.Open(Base()), "");
  EXPECT_FALSE(writer.RequestSync());
  ASSERT_EQ(writer.Append("$KVMGD,+1"), "");
  EXPECT_TRUE(writer.RequestSync());
  writer.WaitForSyncs();
  EXPECT_EQ(syncs, 1);
  EXPECT_EQ(writer.SyncCount(), 1u);
  EXPECT_FALSE(writer.RequestSync());
  EXPECT_EQ(writer.Close(), "");
  EXPECT_EQ(syncs, 2);  // closing syncs the part
}

// Failed syncs and closes are the disk's way of saying records may be lost:
// they are kept until taken, and Close reports them.
TEST_F(PartWriter, FailedSyncsAndClosesAreReported) {
  LogFileCalls calls = LogFileCalls::System();
  calls.fdatasync = [](int) {
    errno = EIO;
    return -1;
  };
  LogPartWriter writer(kRecordsPerPart, calls);
  ASSERT_EQ(writer.Open(Base()), "");
  ASSERT_EQ(writer.Append("$KVMGD,+1"), "");
  writer.RequestSync();
  writer.WaitForSyncs();
  EXPECT_EQ(writer.TakeDiskError(), "Cannot write the log " + Base() + " to disk: Input/output error");
  EXPECT_EQ(writer.TakeDiskError(), "");
  EXPECT_EQ(writer.Close(), "Cannot write the log " + Base() + " to disk: Input/output error");

  calls = LogFileCalls::System();
  calls.close = [](int fd) {
    ::close(fd);
    errno = ENOSPC;
    return -1;
  };
  LogPartWriter closing(kRecordsPerPart, calls);
  ASSERT_EQ(closing.Open(Base()), "");
  EXPECT_EQ(closing.Close(), "Cannot close the log " + Base() + ": No space left on device");
}

TEST_F(PartWriter, CreatesAPartOnlyWhenTheGuardAllows) {
  LogPartWriter writer(1);
  writer.SetCreateGuard([this](const std::string& path) {
    return path == home_.Path("survey_1.kvl") ? std::string("not this one") : std::string();
  });
  ASSERT_EQ(writer.Open(Base()), "");
  ASSERT_EQ(writer.Append("$KVMGD,+1"), "");
  EXPECT_EQ(writer.Append("$KVMGD,+2"), "not this one");
  EXPECT_TRUE(writer.HasPending());
  EXPECT_EQ(writer.PendingText(), "$KVMGD,+2");
  EXPECT_FALSE(std::filesystem::exists(home_.Path("survey_1.kvl")));
}

TEST_F(PartWriter, CannotCreateALogInAMissingFolder) {
  LogPartWriter writer;
  EXPECT_NE(writer.Open(home_.Path("missing/survey.kvl")), "");
  EXPECT_FALSE(writer.IsOpen());
}

TEST_F(PartWriter, AFailedWriteKeepsTheRecordPendingAndLeavesOnlyCompleteRecords) {
  LogPartWriter writer;
  ASSERT_EQ(writer.Open(Base()), "");
  {
    testing::FileSizeLimit limit(25);  // room for two records of 12 bytes and part of a third
    ASSERT_EQ(writer.Append("$KVMGD,+01"), "");
    ASSERT_EQ(writer.Append("$KVMGD,+02"), "");
    // The limit cuts the write short; the message gives the system's reason.
    EXPECT_EQ(writer.Append("$KVMGD,+03"), "Cannot write the log " + Base() + ": File too large");
    EXPECT_TRUE(writer.HasPending());
    EXPECT_NE(writer.Append("$KVMGD,+04"), "");  // refused while one waits
    EXPECT_EQ(ReadBytes(Base()), "$KVMGD,+01\r\n$KVMGD,+02\r\n");
    EXPECT_NE(writer.WritePending(), "");
  }
  EXPECT_EQ(writer.WritePending(), "");
  EXPECT_FALSE(writer.HasPending());
  ASSERT_EQ(writer.Append("$KVMGD,+04"), "");
  EXPECT_EQ(ReadBytes(Base()), "$KVMGD,+01\r\n$KVMGD,+02\r\n$KVMGD,+03\r\n$KVMGD,+04\r\n");
  EXPECT_EQ(writer.RecordCount(), 4u);
}

TEST_F(PartWriter, CommentsGoToThePartOfTheirRowKeyedByTheRowWithinIt) {
  LogPartWriter writer(3);
  ASSERT_EQ(writer.Open(Base()), "");
  for (int n = 1; n <= 5; ++n) ASSERT_EQ(writer.Append("$KVMGD,+" + std::to_string(n)), "");
  EXPECT_EQ(writer.SetComment(2, "first"), "");
  EXPECT_EQ(writer.SetComment(5, "buoy"), "");
  EXPECT_EQ(writer.SetComment(4, "wreck"), "");
  EXPECT_EQ(writer.SetComment(5, "buoy 2"), "");
  EXPECT_EQ(ReadBytes(home_.Path("survey.cmt")), "2=first\r\n");
  EXPECT_EQ(ReadBytes(home_.Path("survey_1.cmt")), "2=buoy 2\r\n1=wreck\r\n");
  EXPECT_NE(writer.SetComment(6, "no such row"), "");
  EXPECT_EQ(writer.CommentsFileOfPart(1), home_.Path("survey_1.cmt"));
}

TEST_F(PartWriter, NeverWritesCommentsOverTheLogItself) {
  LogPartWriter writer;
  ASSERT_EQ(writer.Open(home_.Path("survey.cmt")), "");
  ASSERT_EQ(writer.Append("$KVMGD,+1"), "");
  EXPECT_NE(writer.SetComment(1, "x"), "");
  EXPECT_EQ(ReadBytes(home_.Path("survey.cmt")), "$KVMGD,+1\r\n");
}

// The time goes first; a record that then fails takes its time back out, so
// the part and its times keep the same rows whatever fails.
TEST_F(PartWriter, WritesEachRecordsTimeBeforeItAndTakesItBackWhenTheRecordFails) {
  bool logFails = false;
  LogFileCalls calls = LogFileCalls::System();
  calls.pwrite = [&](int fd, const void* data, std::size_t size, off_t offset) -> ssize_t {
    if (logFails && testing::DescriptorPath(fd) == home_.Path("survey_1.kvl")) {
      errno = EIO;
      return -1;
    }
    return ::pwrite(fd, data, size, offset);
  };
  LogPartWriter writer(2, calls);
  writer.SetSideFiles(true, {".nmea"});
  ASSERT_EQ(writer.Open(Base()), "");
  const std::int64_t t = 1'800'000'000 * kNsPerSecond;
  ASSERT_EQ(writer.Append("$KVMGD,+1", {0, t, 11}), "");
  ASSERT_EQ(writer.AppendSideLine(0, "a sentence"), "");
  ASSERT_EQ(writer.Append("$KVMGD,+2", {0, t + kNsPerMs, 12}), "");
  logFails = true;
  EXPECT_NE(writer.Append("$KVMGD,+3", {0, t + 2 * kNsPerMs, 13}), "");
  EXPECT_EQ(ReadBytes(home_.Path("survey_1.kvl.times")), "");
  logFails = false;
  ASSERT_EQ(writer.WritePending(), "");
  ASSERT_EQ(writer.AppendSideLine(0, "another"), "");
  EXPECT_EQ(ReadBytes(Base() + ".times"),
            "1\t2027-01-15T08:00:00.000Z\t11\r\n2\t2027-01-15T08:00:00.001Z\t12\r\n");
  EXPECT_EQ(ReadBytes(home_.Path("survey_1.kvl.times")), "1\t2027-01-15T08:00:00.002Z\t13\r\n");
  EXPECT_EQ(ReadBytes(home_.Path("survey_1.kvl")), "$KVMGD,+3\r\n");
  EXPECT_EQ(ReadBytes(Base() + ".nmea"), "a sentence\r\n");
  EXPECT_EQ(ReadBytes(home_.Path("survey_1.kvl.nmea")), "another\r\n");
  EXPECT_EQ(writer.SideFilesOfPart(1),
            (std::vector<std::string>{home_.Path("survey_1.kvl.times"), home_.Path("survey_1.kvl.nmea")}));
}

// A sync makes the times durable around the log: every record it made
// durable had its time written before the times' second sync. Failures of
// the times are the log's; those of the owner's side files are apart.
TEST_F(PartWriter, SyncsTheTimesAroundTheLogAndTellsSideFileFailuresApart) {
  std::vector<std::string> synced;
  std::string failing;
  LogFileCalls calls = LogFileCalls::System();
  calls.fdatasync = [&](int fd) {
    synced.push_back(testing::DescriptorPath(fd));
    if (synced.back() != failing) return 0;
    errno = EIO;
    return -1;
  };
  LogPartWriter writer(kRecordsPerPart, calls);
  writer.SetSideFiles(true, {".nmea"});
  ASSERT_EQ(writer.Open(Base()), "");
  ASSERT_EQ(writer.Append("$KVMGD,+1", {0, 0, 0}), "");
  writer.RequestSync();
  writer.WaitForSyncs();
  EXPECT_EQ(synced, (std::vector<std::string>{Base() + ".times", Base(), Base() + ".times", Base() + ".nmea"}));

  struct Case {
    std::string failing;
    bool logError;
  };
  for (const Case& c : {Case{Base() + ".nmea", false}, Case{Base() + ".times", true}}) {
    SCOPED_TRACE(c.failing);
    failing = c.failing;
    ASSERT_EQ(writer.Append("$KVMGD,+2", {0, 0, 0}), "");
    writer.RequestSync();
    writer.WaitForSyncs();
    const std::string logError = writer.TakeDiskError(), sideError = writer.TakeSideError();
    EXPECT_EQ(logError.empty(), !c.logError) << logError;
    EXPECT_EQ(sideError.empty(), c.logError) << sideError;
    EXPECT_NE((logError + sideError).find(c.failing), std::string::npos);
  }
  failing.clear();
}

}  // namespace
}  // namespace tessaly
