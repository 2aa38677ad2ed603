#include "core/LogPartWriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

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

TEST(PartFileName, ExistingLaterPartsAreListedUpToTheFirstGap) {
  testing::TempHome home;
  const std::string base = home.Path("s.zpT");
  EXPECT_TRUE(ExistingLaterParts(base).empty());
  WriteBytes(home.Path("s_1.zpT"), "x");
  WriteBytes(home.Path("s_2.zpT"), "x");
  WriteBytes(home.Path("s_4.zpT"), "x");
  EXPECT_EQ(ExistingLaterParts(base), (std::vector<std::string>{home.Path("s_1.zpT"), home.Path("s_2.zpT")}));
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

TEST_F(PartWriter, SyncsToDiskWhileRecordsArrive) {
  LogPartWriter writer;
  ASSERT_EQ(writer.Open(Base()), "");
  ASSERT_EQ(writer.Append("$KVMGD,+1"), "");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (writer.SyncCount() == 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_GE(writer.SyncCount(), 1u);
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
    EXPECT_NE(writer.Append("$KVMGD,+03"), "");
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

}  // namespace
}  // namespace tessaly
