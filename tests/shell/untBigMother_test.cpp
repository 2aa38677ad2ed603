// The base of every window: program folder, decimal separator, recent files,
// scrambling and replace-all.
#include "shell/untBigMother.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/RecentFiles.h"
#include "shell/AppContext.h"
#include "support/ShellTestHome.h"

namespace tessaly {
namespace {

TEST(WindowFamily, BigMotherTakesTheProgramFolderAndDecimalSeparator) {
  testing::ShellTestHome home;
  TfrmBigMother window;
  EXPECT_EQ(window.CurrentDir, home.Home());
  EXPECT_EQ(window.CurrentDir.back(), '/');
  EXPECT_EQ(window.DecSeparator.size(), 1);
  EXPECT_EQ(window.LibFile("View.ega"), home.Lib("View.ega"));
  EXPECT_EQ(window.size(), QSize(783, 390));
}

TEST(WindowFamily, RecentFilesGoThroughTheListFileAndTheHooks) {
  testing::ShellTestHome home;
  std::vector<std::string> added, removed;
  AppContext::Instance().OnRecentFileAdded = [&](const std::string& p) { added.push_back(p); };
  AppContext::Instance().OnRecentFileRemoved = [&](const std::string& p) { removed.push_back(p); };
  TfrmBigMother window;
  window.AddRecentFile("/p/a.KVS");
  window.AddRecentFile("/p/b.KVS");
  window.RemoveRecentFile("/p/a.KVS");
  EXPECT_EQ(ReadRecentFiles(home.Lib("Files.ega")), std::vector<std::string>{"/p/b.KVS"});
  EXPECT_EQ(added, (std::vector<std::string>{"/p/a.KVS", "/p/b.KVS"}));
  EXPECT_EQ(removed, std::vector<std::string>{"/p/a.KVS"});
}

TEST(WindowFamily, ScramblingAndReplaceAllAreTheCoreOnes) {
  EXPECT_EQ(TfrmBigMother::DecodeLine(TfrmBigMother::EncodeLine("9600")), "9600");
  EXPECT_EQ(TfrmBigMother::EncodeLine("").size(), 90u);
  EXPECT_EQ(TfrmBigMother::ReplaceAllText("&&Log &Other", "&", ""), "Log Other");
  EXPECT_EQ(TfrmBigMother::ReplaceAllText("Été.kvs", "KVS", "cmt"), "Été.cmt");
}

}  // namespace
}  // namespace tessaly
