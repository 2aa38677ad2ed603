// Every program prints the build's version with --version and nothing else;
// the window program does so without a display, so without opening a window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Command.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

struct VersionCase {
  std::string name, binary;
};

std::vector<VersionCase> Programs() {
  const std::string bin = TESSALY_BIN_DIR;
  std::vector<VersionCase> programs = {{"tessaly-cli", TESSALY_CLI}, {"tessaly-sim", bin + "/tessaly-sim"}};
#ifdef TESSALY_GUI_PROGRAMS
  programs.push_back({"tessaly-live-log", bin + "/tessaly-live-log"});
  programs.push_back({"tessaly", bin + "/tessaly"});
#endif
  return programs;
}

TEST(ProgramVersion, EveryProgramPrintsTheBuildsVersion) {
  testing::TempHome home;
  for (const VersionCase& program : Programs()) {
    // No display at all: a program that made a window would fail here.
    const testing::CommandRun run = testing::RunCommand(
        program.binary, {"--version"}, home.Home(), {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=xcb"});
    EXPECT_EQ(run.exitCode, 0) << program.name << run.err;
    EXPECT_EQ(run.out, program.name + " " TESSALY_PROJECT_VERSION "\n");
    EXPECT_EQ(run.err, "") << program.name;
  }
}

}  // namespace
}  // namespace tessaly
