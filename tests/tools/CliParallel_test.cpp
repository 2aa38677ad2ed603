// A season's logs exported at once with GNU parallel, as the README shows:
// on one machine, and over "ssh" to two hosts sharing the folder (a stand-in
// ssh runs the jobs here). With --reproducible every file is byte for byte
// the one a serial run writes, whichever job wrote it and in what order.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/Command.h"
#include "support/FileBytes.h"
#include "support/Generator.h"
#include "support/TempHome.h"
#include "tools/CliRun.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;

constexpr int kLogs = 20;
constexpr const char* kFormats[] = {"xyz", "csv", "geojson", "kml"};

// Log i is written in format i mod 4: every format is among the files.
std::string OutputName(int log) { return "log" + std::to_string(log) + "." + kFormats[log % 4]; }

class CliParallel : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(home_.Path("season"));
    for (const char* folder : {"serial", "local", "hosts"}) fs::create_directories(home_.Path(folder));
    for (int log = 0; log < kLogs; ++log) {
      const std::string options = "--kind kvl --lines 2 --line-length 300 --line-spacing 40 --bad-fraction 0.02 --seed " +
                                  std::to_string(log + 1);
      ASSERT_TRUE(testing::GenerateLog(options, home_.Path("season/log" + std::to_string(log) + ".kvl")));
    }
    for (int log = 0; log < kLogs; ++log) {
      const testing::CommandRun run = testing::Cli(
          home_, {"export", "--reproducible", home_.Path("season/log" + std::to_string(log) + ".kvl"),
                  home_.Path("serial/" + OutputName(log))});
      ASSERT_EQ(run.exitCode, 0) << run.err;
    }
  }

  // Runs GNU parallel in the home folder over the logs: the README's
  // command with `options`, each log's output in `folder` in its format.
  testing::CommandRun Parallel(const std::string& options, const std::string& folder) {
    std::string logs;
    for (int log = 0; log < kLogs; ++log) logs += " season/log" + std::to_string(log) + ".kvl";
    const std::string command = "parallel " + options + " --xapply " + testing::ShellQuote(TESSALY_CLI) +
                                " export --reproducible {1} " + folder + "/{1/.}.{2} ::: " + logs +
                                " ::: xyz csv geojson kml";
    return testing::RunCommand("sh", {"-c", command}, home_.Home(), {"TESSALY_HOME=" + home_.Home()}, home_.Home());
  }

  void ExpectSameFilesAsSerial(const std::string& folder) {
    for (int log = 0; log < kLogs; ++log) {
      const std::string serial = ReadBytes(home_.Path("serial/" + OutputName(log)));
      ASSERT_FALSE(serial.empty()) << OutputName(log);
      EXPECT_EQ(ReadBytes(home_.Path(folder + "/" + OutputName(log))), serial) << folder << "/" << OutputName(log);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(home_.Path(folder)), fs::directory_iterator()), kLogs);
  }

  testing::TempHome home_;
};

TEST_F(CliParallel, OneMachineWritesTheSerialRunsFiles) {
  const testing::CommandRun run = Parallel("-j 4", "local");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ExpectSameFilesAsSerial("local");
}

// --sshlogin to two hosts of two jobs each: the stand-in ssh drops the host
// name and runs the job here, as a host sharing the folder would, with the
// SHELL a login there sets (parallel's remote worker runs the job in $SHELL
// and exits 0 having run nothing when it is unset).
TEST_F(CliParallel, SeveralHostsOverSshWriteTheSerialRunsFiles) {
  const std::string ssh = home_.Path("fake-ssh");
  testing::WriteBytes(ssh, "#!/bin/sh\necho \"$1\" >> \"$0.hosts\"\nshift\n[ \"$1\" = \"--\" ] && shift\nSHELL=/bin/sh exec sh -c \"$*\"\n");
  ::chmod(ssh.c_str(), 0755);
  const testing::CommandRun run =
      Parallel("--ssh " + testing::ShellQuote(ssh) + " --sshlogin 2/alpha,2/bravo --workdir .", "hosts");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ExpectSameFilesAsSerial("hosts");
  const std::string hosts = ReadBytes(ssh + ".hosts");
  EXPECT_NE(hosts.find("alpha"), std::string::npos);
  EXPECT_NE(hosts.find("bravo"), std::string::npos);
}

}  // namespace
}  // namespace tessaly
