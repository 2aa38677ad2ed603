// tessaly-cli on hostile files: empty and binary files, a 100 MB line, lines
// of 1 MB, NUL bytes, invalid UTF-8 in names and contents, a folder, a FIFO,
// and a broken Lib/UTM.ega. Each command answers with its result or message
// and exit status, returns at once, and writes only the files asked for.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/SettingsLine.h"
#include "support/FolderListing.h"
#include "tools/CliRun.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using testing::CommandRun;
using testing::Listing;
using testing::ReadBytes;
using testing::StartCli;
using testing::TempHome;
using testing::WriteBytes;

constexpr std::size_t kMiB = std::size_t{1} << 20;
const std::string kRecord = "$KVMGD,+00042,4418.000,N,06318.000,W,25.3,78.4";

// Runs the tool and waits at most two minutes for it: a tool that waits for
// input (a FIFO) is killed and the test fails, instead of hanging.
CommandRun CliWithin(const TempHome& home, const std::vector<std::string>& args) {
  bool timedOut = false;
  const CommandRun run = testing::WaitForCli(home, testing::StartCli(home, args), std::chrono::minutes(2), timedOut);
  EXPECT_FALSE(timedOut) << "tessaly-cli did not return: " << args[0] << " " << args[1];
  return run;
}

class CliHostileFiles : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(Work("")); }
  std::string Work(const std::string& name) const { return home_.Path("work/" + name); }

  // kind, export (with an error list) and pnav of one file, with what each
  // must say; only export's two outputs may appear, and only when it succeeds.
  void ExpectAnswers(const std::string& path, const std::string& kind, int exportStatus,
                     const std::string& exportMessage) {
    const auto before = Listing(Work(""));
    const CommandRun kindRun = CliWithin(home_, {"kind", path});
    EXPECT_EQ(kindRun.exitCode, kind.empty() ? 1 : 0) << kindRun.err;
    EXPECT_EQ(kindRun.out, kind);
    const CommandRun exported = CliWithin(home_, {"export", "--errors", Work("errors.txt"), path, Work("out.vdg")});
    EXPECT_EQ(exported.exitCode, exportStatus) << exported.err;
    EXPECT_NE(exported.err.find(exportMessage), std::string::npos) << exported.err;
    const CommandRun nav = CliWithin(home_, {"pnav", "--link", "@0=Dev", path, Work("nav.vdg")});
    EXPECT_EQ(nav.exitCode, 1) << nav.err;
    EXPECT_FALSE(nav.err.empty());
    EXPECT_FALSE(fs::exists(Work("nav.vdg")));
    auto after = Listing(Work(""));
    if (exportStatus == 0) {
      std::erase_if(after, [](const std::string& entry) {
        return entry.starts_with("out.vdg ") || entry.starts_with("errors.txt ");
      });
      fs::remove(Work("out.vdg"));
      fs::remove(Work("errors.txt"));
    }
    EXPECT_EQ(after, before);
  }

  TempHome home_;
};

TEST_F(CliHostileFiles, EmptyAndBinaryFiles) {
  WriteBytes(Work("empty.kvl"), "");
  ExpectAnswers(Work("empty.kvl"), "empty\tempty\n", 1, "File empty.");
  std::mt19937 random(15);
  std::string noise(64 * 1024, '\0');
  for (char& c : noise) c = static_cast<char>('\x80' | (random() & 0x7F));  // no line breaks: one line
  WriteBytes(Work("noise.kvl"), noise);
  ExpectAnswers(Work("noise.kvl"), ".KVL\tUnknown\n", 1, "Unknown file type: " + Work("noise.kvl"));
}

TEST_F(CliHostileFiles, AHundredMegabyteLineAndLinesOfAMegabyte) {
  {
    std::ofstream out(Work("oneline.kvl"), std::ios::binary);
    const std::string piece(kMiB, 'A');
    for (int i = 0; i < 100; ++i) out << piece;
  }
  ExpectAnswers(Work("oneline.kvl"), ".KVL\tUnknown\n", 1, "Unknown file type");

  std::string lines = kRecord + "\r\n";
  for (int i = 0; i < 4; ++i) lines += "$KVMGD," + std::string(kMiB, '5') + "\r\n";
  WriteBytes(Work("long.kvl"), lines);
  const CommandRun run = CliWithin(home_, {"export", "--errors", Work("errors.txt"), Work("long.kvl"), Work("out.vdg")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string errors = ReadBytes(Work("errors.txt"));
  EXPECT_EQ(errors.find("1 - Deviation Field missing or wrong length - expected length of: 5\r\n$KVMGD,5555"), 0u);
  EXPECT_TRUE(errors.ends_with("5555\r\nLine: 5\r\n\r\n"));
  EXPECT_GT(errors.size(), 4 * kMiB);
  fs::remove(Work("errors.txt"));
  fs::remove(Work("out.vdg"));
  ExpectAnswers(Work("long.kvl"), ".KVL\tKV7100 Log\n", 0, "");
}

TEST_F(CliHostileFiles, NulBytesAndInvalidUtf8InNamesAndContents) {
  const std::string name = Work("survey\xff\xfe.kvl");
  const std::string nul("$KVMGD,+00\0" "42,4418.000,N,06318.000,W,25.3,78.4", 46);
  WriteBytes(name, kRecord + "\r\n" + nul + "\r\n" + kRecord.substr(0, 44) + "\xc3\x28\r\n");
  ExpectAnswers(name, ".KVL\tKV7100 Log\n", 0, "");
  const CommandRun run = CliWithin(home_, {"export", "--errors", Work("errors\xc3\x28.txt"), name, Work("out\xff.vdg")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadBytes(Work("errors\xc3\x28.txt")),
            "1 - Deviation is non-numeric\r\n" + nul + "\r\nLine: 2\r\n\r\n2 - Invalid Sounder value\r\n" +
                kRecord.substr(0, 44) + "\xc3\x28\r\nLine: 3\r\n\r\n");
  EXPECT_NE(ReadBytes(Work("out\xff.vdg")).find("\r\n1,,1,+00042,"), std::string::npos);
}

TEST_F(CliHostileFiles, AFolderOrAFifoIsRefusedAtOnce) {
  fs::create_directory(Work("folder.kvl"));
  ExpectAnswers(Work("folder.kvl"), "", 1, Work("folder.kvl") + " is a folder");
  ASSERT_EQ(::mkfifo(Work("fifo.kvl").c_str(), 0644), 0);
  ExpectAnswers(Work("fifo.kvl"), "", 1, Work("fifo.kvl") + " is not a regular file");
}

TEST_F(CliHostileFiles, ABrokenStoredMapDatumFallsBackToWgs84) {
  const CommandRun wgs84 = CliWithin(home_, {"utm", "--datum", "22", "44.3", "-63.3"});
  ASSERT_EQ(wgs84.exitCode, 0);
  const std::string lib = home_.Path("Lib/UTM.ega");
  const std::string good = EncodeLine("0") + "\r\n";
  for (const std::string& broken : {good.substr(0, 50), std::string(), good + std::string(2 * kMiB, 'x'),
                                    EncodeLine(std::string(500000, '1')) + "\r\n", std::string("\x00\xff\r\x9c", 4)}) {
    WriteBytes(lib, broken);
    const CommandRun run = CliWithin(home_, {"utm", "44.3", "-63.3"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, wgs84.out);
  }
  for (const bool fifo : {false, true}) {
    fs::remove_all(lib);
    if (fifo) ASSERT_EQ(::mkfifo(lib.c_str(), 0644), 0);
    else fs::create_directory(lib);
    const CommandRun run = CliWithin(home_, {"utm", "44.3", "-63.3"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, wgs84.out);
  }
}

}  // namespace
}  // namespace tessaly
