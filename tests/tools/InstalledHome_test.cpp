// tessaly-cli placed as a package installs it (PREFIX/bin, its defaults in
// PREFIX/share/tessaly, no Lib/ beside it) keeps its settings in the user's
// data folder, copied from the defaults at the first start and never
// replaced afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/SettingsStore.h"
#include "support/Command.h"
#include "support/FileBytes.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using testing::CommandRun;
using testing::ReadBytes;
using testing::TempHome;

// A prefix with tessaly-cli in bin/ and default settings whose map datum is 13.
struct InstalledCli {
  TempHome root;
  std::string cli = root.Path("usr/bin/tessaly-cli");
  InstalledCli() {
    fs::create_directories(root.Path("usr/bin"));
    fs::create_directories(root.Path("usr/share/tessaly/Lib"));
    fs::copy_file(TESSALY_CLI, cli);
    WriteMapDatum(root.Path("usr/share/tessaly/Lib/UTM.ega"), 13);
  }
  // `utm` of one position, as a user with the home folder `home` runs it.
  CommandRun Utm(const std::string& home, const std::string& xdgDataHome = "") const {
    return testing::RunCommand(cli, {"utm", "45.2", "-63.5"}, root.Home(),
                               {"TESSALY_HOME=", "HOME=" + home, "XDG_DATA_HOME=" + xdgDataHome});
  }
};

// The same position with a datum named on the command line.
std::string UtmWithDatum(const TempHome& scratch, int datum) {
  return testing::RunCommand(TESSALY_CLI, {"utm", "--datum", std::to_string(datum), "45.2", "-63.5"}, scratch.Home())
      .out;
}

TEST(InstalledHome, TheFirstStartCopiesTheDefaultsAndLaterStartsKeepTheUsersSettings) {
  InstalledCli installed;
  const std::string home = installed.root.Path("home");
  fs::create_directories(home);
  const CommandRun first = installed.Utm(home);
  ASSERT_EQ(first.exitCode, 0) << first.err;
  EXPECT_EQ(first.err, "");
  EXPECT_EQ(first.out, UtmWithDatum(installed.root, 13));
  const std::string userLib = home + "/.local/share/tessaly/Lib/";
  EXPECT_EQ(ReadBytes(userLib + "UTM.ega"), ReadBytes(installed.root.Path("usr/share/tessaly/Lib/UTM.ega")));
  EXPECT_FALSE(fs::exists(installed.root.Path("usr/bin/Lib")));

  WriteMapDatum(userLib + "UTM.ega", 5);  // the user's choice
  EXPECT_EQ(installed.Utm(home).out, UtmWithDatum(installed.root, 5));
  EXPECT_EQ(ReadMapDatum(userLib + "UTM.ega"), 5);
}

TEST(InstalledHome, XdgDataHomeNamesTheUsersDataFolder) {
  InstalledCli installed;
  const CommandRun run = installed.Utm(installed.root.Path("home"), installed.root.Path("data"));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadMapDatum(installed.root.Path("data/tessaly/Lib/UTM.ega")), 13);
  EXPECT_FALSE(fs::exists(installed.root.Path("home/.local")));
}

// track reads two settings files, and says once why there are none.
TEST(InstalledHome, AUserFolderThatCannotBeMadeIsReportedOnceAndTheDefaultsUsed) {
  InstalledCli installed;
  testing::WriteBytes(installed.root.Path("home"), "a file, not a folder");
  const std::string log = std::string(TESSALY_SOURCE_DIR) + "/Projects/line01.kvl";
  const CommandRun run = testing::RunCommand(installed.cli, {"track", log, installed.root.Path("track.png")},
                                             installed.root.Home(),
                                             {"TESSALY_HOME=", "HOME=" + installed.root.Path("home"), "XDG_DATA_HOME="});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRUE(fs::exists(installed.root.Path("track.png")));
  EXPECT_EQ(run.err, "Cannot copy the default settings into " + installed.root.Path("home/.local/share/tessaly/") +
                         ": " + installed.root.Path("home/.local/share/tessaly/Lib") + ": Not a directory\n");
  EXPECT_EQ(installed.Utm(installed.root.Path("home")).out, UtmWithDatum(installed.root, 22));
}

}  // namespace
}  // namespace tessaly
