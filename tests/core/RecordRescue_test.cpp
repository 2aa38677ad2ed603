#include "core/RecordRescue.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/FileBytes.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

TEST(RecordRescue, NamesTheFileAfterTheLog) {
  EXPECT_EQ(RescueFileName("/d/survey.kvl", "", 1), "/d/survey-rescued.kvl");
  EXPECT_EQ(RescueFileName("/d/survey.kvl", "", 3), "/d/survey-rescued-3.kvl");
  EXPECT_EQ(RescueFileName("/d.x/noext", "", 1), "/d.x/noext-rescued");
  EXPECT_EQ(RescueFileName("/d/survey_2.zpT", "/home/u/Lib", 1), "/home/u/Lib/survey_2-rescued.zpT");
  EXPECT_EQ(RescueFileName("/d/survey.kvl", "/home/u/Lib/", 2), "/home/u/Lib/survey-rescued-2.kvl");
}

// Records get line ends, chunks do not; an existing file is never touched.
TEST(RecordRescue, WritesANewFileBesideTheLog) {
  testing::TempHome home;
  testing::WriteBytes(home.Path("survey-rescued.kvl"), "an earlier rescue\r\n");
  const RescueResult records = RescueRecords({"$KVMGD,+1", "$KVMGD,+2"}, true, home.Path("survey.kvl"), "");
  EXPECT_EQ(records.file, home.Path("survey-rescued-2.kvl"));
  EXPECT_EQ(records.written, 2u);
  EXPECT_EQ(records.problem, "");
  EXPECT_EQ(testing::ReadBytes(records.file), "$KVMGD,+1\r\n$KVMGD,+2\r\n");
  EXPECT_EQ(testing::ReadBytes(home.Path("survey-rescued.kvl")), "an earlier rescue\r\n");

  const RescueResult chunks = RescueRecords({"ab\r", "c"}, false, home.Path("capture.oth"), "");
  EXPECT_EQ(testing::ReadBytes(chunks.file), "ab\rc");
  EXPECT_EQ(RescueRecords({}, true, home.Path("x.kvl"), "").file, "");
}

TEST(RecordRescue, FallsBackToTheOtherFolderWhenTheLogsRefuses) {
  testing::TempHome home;
  const RescueResult moved = RescueRecords({"r"}, true, home.Path("gone/survey.kvl"), home.Path("Lib"));
  EXPECT_EQ(moved.file, home.Path("Lib/survey-rescued.kvl"));
  EXPECT_EQ(moved.written, 1u);
  EXPECT_NE(moved.problem.find(home.Path("gone/survey-rescued.kvl")), std::string::npos) << moved.problem;

  const RescueResult nowhere = RescueRecords({"r"}, true, home.Path("gone/survey.kvl"), home.Path("none"));
  EXPECT_EQ(nowhere.file, "");
  EXPECT_EQ(nowhere.written, 0u);
  EXPECT_NE(nowhere.problem.find("No such file or directory"), std::string::npos) << nowhere.problem;
}

}  // namespace
}  // namespace tessaly
