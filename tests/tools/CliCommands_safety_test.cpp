// tessaly-cli never writes over a log: outputs that are the input, its
// comments file or the other output are refused whatever their spelling;
// outputs replace earlier files only when the export succeeded, also when it
// fails or is interrupted. And the argument checks of utm and pnav --link.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/FileSizeLimit.h"
#include "support/FolderListing.h"
#include "tools/CliRun.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using testing::Cli;
using testing::CommandRun;
using testing::Listing;
using testing::ReadBytes;
using testing::StartCli;
using testing::TempHome;
using testing::WriteBytes;

std::string Sample(const std::string& name) { return std::string(TESSALY_SOURCE_DIR) + "/Projects/" + name; }

bool HasTemporaryFile(const std::string& folder) {
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().extension() == ".tmp") return true;
  return false;
}

// A work folder holding a KVL log, its comments file and a navigation file.
class SafetyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(Work("sub"));
    fs::copy_file(Sample("line01.kvl"), Work("survey.kvl"));
    fs::copy_file(Sample("line08.pnav"), Work("nav.pnav"));
    WriteBytes(Work("survey.cmt"), "2=checked\r\n");
  }

  std::string Work(const std::string& name) const { return home_.Path("work/" + name); }

  // Runs a command that must be refused: exit 1, the message, nothing written.
  void ExpectRefused(const std::vector<std::string>& args, const std::string& message) {
    const std::vector<std::string> before = Listing(Work(""));
    const std::string log = ReadBytes(Work("survey.kvl")), comments = ReadBytes(Work("survey.cmt"));
    const CommandRun run = Cli(home_, args);
    EXPECT_EQ(run.exitCode, 1) << args.back();
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("nothing was written"), std::string::npos) << run.err;
    EXPECT_EQ(Listing(Work("")), before) << args.back();
    EXPECT_EQ(ReadBytes(Work("survey.kvl")), log);
    EXPECT_EQ(ReadBytes(Work("survey.cmt")), comments);
  }

  TempHome home_;
};

TEST_F(SafetyTest, AnOutputThatIsTheLogIsRefusedWhateverTheSpelling) {
  fs::create_hard_link(Work("survey.kvl"), Work("hard.kvl"));
  fs::create_symlink(Work("survey.kvl"), Work("link.vdg"));
  const std::string in = Work("survey.kvl");
  for (const std::string& out : {in, Work("./survey.kvl"), Work("sub/../survey.kvl"), home_.Path("work//survey.kvl"),
                                 Work("hard.kvl"), Work("link.vdg")}) {
    ExpectRefused({"export", in, out}, "is the file to export");
    ExpectRefused({"export", "--errors", out, in, Work("fresh.vdg")}, "is the file to export");
  }
  ExpectRefused({"export", Work("link.vdg"), in}, "is the file to export");
}

TEST_F(SafetyTest, AnOutputThatIsTheLogsCommentsFileIsRefusedEvenBeforeItExists) {
  const std::string in = Work("survey.kvl");
  ExpectRefused({"export", in, Work("sub/../survey.cmt")}, "is the comments file of the log");
  ExpectRefused({"export", "--errors", Work("survey.cmt"), in, Work("fresh.vdg")}, "is the comments file of the log");
  fs::remove(Work("survey.cmt"));
  const CommandRun run = Cli(home_, {"export", in, Work("survey.cmt")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("is the comments file of the log"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(Work("survey.cmt")));
}

TEST_F(SafetyTest, TheTwoOutputsMustBeDifferentFiles) {
  const std::string in = Work("survey.kvl");
  ExpectRefused({"export", "--errors", Work("./out.vdg"), in, Work("out.vdg")}, "is the output file");
  WriteBytes(Work("out.vdg"), "earlier\r\n");
  fs::create_hard_link(Work("out.vdg"), Work("errors.txt"));
  ExpectRefused({"export", "--errors", Work("errors.txt"), in, Work("out.vdg")}, "is the output file");
  EXPECT_EQ(ReadBytes(Work("out.vdg")), "earlier\r\n");
}

TEST_F(SafetyTest, ANavigationImportCannotWriteOverItsFile) {
  ExpectRefused({"pnav", "--link", "@0=Dev", Work("nav.pnav"), Work("sub/../nav.pnav")}, "is the file to export");
  ExpectRefused({"pnav", "--link", "@0=Dev", "--errors", Work("nav.pnav"), Work("nav.pnav"), Work("nav.vdg")},
                "is the file to export");
}

// Another survey log or a navigation file is never an output, whatever its
// name: the export exits 1 and the file keeps its bytes.
TEST_F(SafetyTest, AnotherSurveyLogOrNavigationFileIsNeverAnOutput) {
  const std::string in = Work("survey.kvl");
  fs::copy_file(Sample("line02.kvs"), Work("other.kvl"));
  fs::copy_file(Sample("line01.kvl"), Work("renamed.vdg"));
  ExpectRefused({"export", in, Work("other.kvl")}, "is a survey log (KV7100 Data String mode)");
  ExpectRefused({"export", in, Work("renamed.vdg")}, "is a survey log (KV7100 Log)");
  ExpectRefused({"export", in, Work("nav.pnav")}, "is a navigation file");
  ExpectRefused({"export", "--errors", Work("other.kvl"), in, Work("fresh.vdg")}, "is a survey log");
  EXPECT_EQ(ReadBytes(Work("other.kvl")), ReadBytes(Sample("line02.kvs")));
  // A log kind that no recognition rule names is a log all the same.
  fs::copy_file(Sample("line07.rtc"), Work("line07.rtc"));
  ExpectRefused({"export", in, Work("line07.rtc")}, "is a survey log (RT4 Kv Compability)");
  EXPECT_EQ(ReadBytes(Work("line07.rtc")), ReadBytes(Sample("line07.rtc")));
}

// A text file whose only likeness to a log is a line's length is replaced
// like any other earlier output.
TEST_F(SafetyTest, PlainTextIsAnOutputLikeAnyOther) {
  WriteBytes(Work("notes.txt"), "Crew notes\r\nCable out 120 m, speed 4 knots, seas calm, ok.\r\n");
  const CommandRun run = Cli(home_, {"export", Work("survey.kvl"), Work("notes.txt")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(ReadBytes(Work("notes.txt")).starts_with("#,Time,RD#,DEV,"));
}

TEST_F(SafetyTest, ASuccessfulExportReplacesTheEarlierFileAndKeepsItsPermissions) {
  const std::string in = Work("survey.kvl");
  ASSERT_EQ(Cli(home_, {"export", "--errors", Work("fresh-errors.txt"), in, Work("fresh.vdg")}).exitCode, 0);
  WriteBytes(Work("out.vdg"), "earlier\r\n");
  fs::permissions(Work("out.vdg"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink(Work("out.vdg"), Work("link.vdg"));
  WriteBytes(Work("errors.txt"), "earlier errors\r\n");

  const CommandRun run = Cli(home_, {"export", "--errors", Work("errors.txt"), in, Work("link.vdg")});

  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadBytes(Work("out.vdg")), ReadBytes(Work("fresh.vdg")));
  EXPECT_EQ(ReadBytes(Work("errors.txt")), ReadBytes(Work("fresh-errors.txt")));
  EXPECT_TRUE(fs::is_symlink(Work("link.vdg")));
  EXPECT_EQ(fs::status(Work("out.vdg")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_FALSE(HasTemporaryFile(Work("")));
}

TEST_F(SafetyTest, AFailedExportLeavesTheEarlierFileAndNoTemporaryFile) {
  WriteBytes(Work("out.vdg"), "earlier\r\n");
  const std::vector<std::string> before = Listing(Work(""));
  // A file size limit of 8 KiB makes the write fail, even for root.
  const testing::FileSizeLimit limit(8 << 10);
  const CommandRun run = Cli(home_, {"export", Work("survey.kvl"), Work("out.vdg")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("Cannot write " + Work("out.vdg") + ": File too large"), std::string::npos) << run.err;
  EXPECT_EQ(ReadBytes(Work("out.vdg")), "earlier\r\n");
  EXPECT_EQ(Listing(Work("")), before);
}

TEST_F(SafetyTest, AnInterruptedExportLeavesTheEarlierFileAndNoTemporaryFile) {
  WriteBytes(Work("out.vdg"), "earlier\r\n");
  // The error list goes to a FIFO nobody reads: the export waits there, with
  // the output's temporary file already made, until it is ended.
  ASSERT_EQ(::mkfifo(Work("errors.fifo").c_str(), 0644), 0);
  const pid_t cli = StartCli(home_, {"export", "--errors", Work("errors.fifo"), Work("survey.kvl"), Work("out.vdg")});
  ASSERT_GT(cli, 0);
  for (int wait = 0; wait < 3000 && !HasTemporaryFile(Work("")); ++wait)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(HasTemporaryFile(Work("")));
  ::kill(cli, SIGTERM);
  int status = 0;
  ASSERT_EQ(::waitpid(cli, &status, 0), cli);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_EQ(ReadBytes(Work("out.vdg")), "earlier\r\n");
  EXPECT_FALSE(HasTemporaryFile(Work("")));
}

TEST_F(SafetyTest, OutputsThatAreNoRegularFiles) {
  const std::string in = Work("survey.kvl");
  const CommandRun folder = Cli(home_, {"export", in, Work("sub")});
  EXPECT_EQ(folder.exitCode, 1);
  EXPECT_NE(folder.err.find("Cannot write " + Work("sub") + ": it is not a regular file"), std::string::npos)
      << folder.err;
  const CommandRun missing = Cli(home_, {"export", in, Work("no/such/out.vdg")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("Cannot create " + Work("no/such/out.vdg")), std::string::npos) << missing.err;
  // Devices are written in place: a full one fails, the null one takes all.
  const CommandRun full = Cli(home_, {"export", in, "/dev/full"});
  EXPECT_EQ(full.exitCode, 1);
  EXPECT_NE(full.err.find("No space left on device"), std::string::npos) << full.err;
  EXPECT_EQ(Cli(home_, {"export", in, "/dev/null"}).exitCode, 0);
  EXPECT_FALSE(HasTemporaryFile(Work("")));
}

TEST(CliUtmRange, PositionsOutsideTheEarthAreUsageErrorsNamingTheRanges) {
  TempHome home;
  for (const auto& [lat, lon] : std::vector<std::pair<std::string, std::string>>{
           {"1e308", "1e308"}, {"91", "0"}, {"-90.0001", "0"}, {"0", "180.5"}, {"0", "-181"}, {"nan", "0"},
           {"0", "inf"}, {"1e999", "0"}}) {
    const CommandRun run = Cli(home, {"utm", lat, lon});
    EXPECT_EQ(run.exitCode, 2) << lat << " " << lon;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("a latitude from -90 to 90 and a longitude from -180 to 180"), std::string::npos)
        << run.err;
  }
  for (const auto& [lat, lon] : std::vector<std::pair<std::string, std::string>>{{"90", "180"}, {"-90", "-180"}}) {
    const CommandRun run = Cli(home, {"utm", lat, lon});
    EXPECT_EQ(run.exitCode, 0) << lat << " " << lon << ": " << run.err;
    EXPECT_EQ(run.out.find("nan"), std::string::npos) << run.out;
  }
}

TEST(CliPnavLinks, AChannelOrFieldOutsideTheAcceptedNamesIsAUsageError) {
  TempHome home;
  const std::string nav = Sample("line08.pnav");
  for (const char* link : {"@0=Depth", "@0=dev", "@10=Dev", "0=Dev", "@x=Dev", "@0=", "=Dev"}) {
    const CommandRun run = Cli(home, {"pnav", "--link", link, nav, home.Path("out.vdg")});
    EXPECT_EQ(run.exitCode, 2) << link;
    EXPECT_NE(run.err.find("CHANNEL @0 to @9, FIELD \"Dev\", \"Towfish Depth\" or \"Sounder\""), std::string::npos)
        << run.err;
    EXPECT_FALSE(fs::exists(home.Path("out.vdg")));
  }
  // A well-formed channel the header does not offer keeps the window's answer.
  const CommandRun absent = Cli(home, {"pnav", "--link", "@7=Dev", nav, home.Path("out.vdg")});
  EXPECT_EQ(absent.exitCode, 1);
  EXPECT_EQ(absent.err, "Please fill both fields, MNEA and Fixed fields.\n");
}

}  // namespace
}  // namespace tessaly
