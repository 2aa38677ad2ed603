#include "core/RecordRescue.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/FileBytes.h"
#include "support/FileSizeLimit.h"
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
  ASSERT_EQ(records.files.size(), 1u);
  EXPECT_EQ(records.files[0].path, home.Path("survey-rescued-2.kvl"));
  EXPECT_EQ(records.files[0].records, 2u);
  EXPECT_EQ(records.written, 2u);
  EXPECT_EQ(records.problem, "");
  EXPECT_EQ(testing::ReadBytes(records.files[0].path), "$KVMGD,+1\r\n$KVMGD,+2\r\n");
  EXPECT_EQ(testing::ReadBytes(home.Path("survey-rescued.kvl")), "an earlier rescue\r\n");

  const RescueResult chunks = RescueRecords({"ab\r", "c"}, false, home.Path("capture.oth"), "");
  EXPECT_EQ(testing::ReadBytes(chunks.files.at(0).path), "ab\rc");
  EXPECT_TRUE(RescueRecords({}, true, home.Path("x.kvl"), "").files.empty());
}

TEST(RecordRescue, FallsBackToTheOtherFolderWhenTheLogsRefuses) {
  testing::TempHome home;
  const RescueResult moved = RescueRecords({"r"}, true, home.Path("gone/survey.kvl"), home.Path("Lib"));
  ASSERT_EQ(moved.files.size(), 1u);
  EXPECT_EQ(moved.files[0].path, home.Path("Lib/survey-rescued.kvl"));
  EXPECT_EQ(moved.written, 1u);
  EXPECT_NE(moved.problem.find(home.Path("gone/survey-rescued.kvl")), std::string::npos) << moved.problem;

  const RescueResult nowhere = RescueRecords({"r"}, true, home.Path("gone/survey.kvl"), home.Path("none"));
  EXPECT_TRUE(nowhere.files.empty());
  EXPECT_EQ(nowhere.written, 0u);
  EXPECT_NE(nowhere.problem.find("No such file or directory"), std::string::npos) << nowhere.problem;
}

// A folder that takes only some (a file-size limit) keeps those, whole and
// in order; the rest go to the fallback folder, and what neither takes is
// left out.
TEST(RecordRescue, KeepsWhatEachFolderTakesRecordByRecord) {
  testing::TempHome home;
  std::filesystem::create_directories(home.Path("logs"));
  const std::vector<std::string> records{"$KVMGD,+01", "$KVMGD,+02", "$KVMGD,+03", "$KVMGD,+04", "$KVMGD,+05",
                                         "$KVMGD,+06", "$KVMGD,+07"};
  testing::FileSizeLimit limit(2 * 12 + 5);  // two records of 12 bytes a file, and part of a third
  const RescueResult result = RescueRecords(records, true, home.Path("logs/survey.kvl"), home.Path("Lib"));
  ASSERT_EQ(result.files.size(), 2u);
  EXPECT_EQ(result.files[0].path, home.Path("logs/survey-rescued.kvl"));
  EXPECT_EQ(result.files[0].records, 2u);
  EXPECT_EQ(result.files[1].path, home.Path("Lib/survey-rescued.kvl"));
  EXPECT_EQ(result.files[1].records, 2u);
  EXPECT_EQ(result.written, 4u);
  EXPECT_EQ(testing::ReadBytes(result.files[0].path), "$KVMGD,+01\r\n$KVMGD,+02\r\n");
  EXPECT_EQ(testing::ReadBytes(result.files[1].path), "$KVMGD,+03\r\n$KVMGD,+04\r\n");
  EXPECT_NE(result.problem.find("File too large"), std::string::npos) << result.problem;
}

}  // namespace
}  // namespace tessaly
