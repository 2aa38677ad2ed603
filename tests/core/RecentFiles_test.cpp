#include "core/RecentFiles.h"

#include <gtest/gtest.h>

#include "core/SettingsFile.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

class RecentFiles : public ::testing::Test {
 protected:
  std::vector<std::string> List() { return ReadSettingsValues(list_); }
  void WriteList(const std::vector<std::string>& paths) { WriteSettingsValues(list_, paths); }

  testing::TempHome dir_;
  std::string list_ = dir_.Lib("Files.ega");
};

TEST_F(RecentFiles, AddToMissingFileCreatesOneLineList) {
  AddRecentFile(list_, "/p/a.KVS");
  EXPECT_EQ(List(), (std::vector<std::string>{"/p/a.KVS"}));
  EXPECT_EQ(ReadRecentFiles(list_), List());
}

TEST_F(RecentFiles, NinthFileKeepsTheFirstSevenOldLines) {
  std::vector<std::string> eight;
  for (int i = 1; i <= 8; ++i) eight.push_back("/p/" + std::to_string(i));
  WriteList(eight);
  AddRecentFile(list_, "/p/new");
  EXPECT_EQ(List(), (std::vector<std::string>{"/p/new", "/p/1", "/p/2", "/p/3", "/p/4", "/p/5", "/p/6", "/p/7"}));
}

TEST_F(RecentFiles, ReopeningMovesToTopWithoutDuplicate) {
  WriteList({"/p/a", "/p/b", "/p/c"});
  AddRecentFile(list_, "/p/c");
  EXPECT_EQ(List(), (std::vector<std::string>{"/p/c", "/p/a", "/p/b"}));
}

TEST_F(RecentFiles, PathsDifferingInCaseAreDifferentFiles) {
  WriteList({"/p/a.kvs"});
  AddRecentFile(list_, "/p/A.KVS");
  EXPECT_EQ(List(), (std::vector<std::string>{"/p/A.KVS", "/p/a.kvs"}));
}

TEST_F(RecentFiles, EmptyLineEndsTheList) {
  WriteList({"/p/a", "", "/p/b"});
  EXPECT_EQ(ReadRecentFiles(list_), (std::vector<std::string>{"/p/a"}));
  AddRecentFile(list_, "/p/n");
  EXPECT_EQ(List(), (std::vector<std::string>{"/p/n", "/p/a"}));
}

TEST_F(RecentFiles, RemoveDropsThePathAndKeepsAtMostSeven) {
  std::vector<std::string> eight;
  for (int i = 1; i <= 8; ++i) eight.push_back("/p/" + std::to_string(i));
  WriteList(eight);
  RemoveRecentFile(list_, "/p/3");
  EXPECT_EQ(List(), (std::vector<std::string>{"/p/1", "/p/2", "/p/4", "/p/5", "/p/6", "/p/7"}));
  RemoveRecentFile(list_, "/p/absent");
  EXPECT_EQ(List().size(), 6u);
}

TEST_F(RecentFiles, Utf8PathsSurvive) {
  AddRecentFile(list_, "/home/léa/© Été.KVS");
  AddRecentFile(list_, "/x");
  EXPECT_EQ(ReadRecentFiles(list_), (std::vector<std::string>{"/x", "/home/léa/© Été.KVS"}));
}

TEST_F(RecentFiles, MissingListFileIsAnErrorWhenReading) {
  EXPECT_THROW(ReadRecentFiles(list_), SettingsError);
}

TEST_F(RecentFiles, UnwritableListGivesAnError) {
  EXPECT_THROW(AddRecentFile(dir_.Lib("no-such-folder/Files.ega"), "/p/a"), SettingsError);
}

}  // namespace
}  // namespace tessaly
