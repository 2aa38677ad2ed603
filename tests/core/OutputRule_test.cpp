// The one rule for output files: what an export, a comments file and an
// acquisition may write, judged on real files by hand-written expectations.
#include "core/OutputRule.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "core/LogKind.h"
#include "support/DocumentFiles.h"
#include "support/FileBytes.h"
#include "support/Generator.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using Expect = OutputVerdict::Outcome;
using testing::CrLfLines;
using testing::KvlLine;
using testing::TempHome;
using testing::WriteBytes;

// A folder with an input log, its comments, another survey log, a navigation
// file, an earlier export, and links to some of them.
class OutputRuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(Path("in.kvl"), CrLfLines({KvlLine()}));
    WriteBytes(Path("in.cmt"), "1=buoy\r\n");
    WriteBytes(Path("other.kvl"), CrLfLines({KvlLine(), KvlLine()}));
    WriteBytes(Path("renamed.txt"), CrLfLines({KvlLine()}));
    WriteBytes(Path("nav.txt"), CrLfLines({"title", "@t,@p:4,@>:2,@0"}));
    WriteBytes(Path("old.vdg"), "#,Time,RD#,DEV,\r\n1,,1,+00042,\r\n");
    WriteBytes(Path("errors.txt"), CrLfLines({"12 - Invalid Sounder value", KvlLine(), "Line: 3", ""}));
    WriteBytes(Path("open.vdg"), "an export an open window shows\r\n");
    fs::create_symlink(Path("in.kvl"), Path("in-link.vdg"));
    fs::create_hard_link(Path("open.vdg"), Path("open-hard.vdg"));
    fs::create_directories(Path("sub"));
  }
  std::string Path(const std::string& name) const { return home_.Path(name); }

  std::vector<GuardedFile> Guarded() const {
    return {{Path("in.kvl"), "the file to export"},
            {Path("in.cmt"), "the comments file of the log"},
            {Path("open.vdg"), "in use by \"KV7100 Log - open.vdg\""}};
  }

  TempHome home_;
};

struct Case {
  WriteKind kind;
  std::string target;  // relative to the folder
  Expect outcome;
  std::string message;  // the whole message, "@" standing for the folder
};

TEST_F(OutputRuleTest, EveryKindOfWriteFollowsTheRule) {
  const std::string dir = home_.Path("");
  const std::vector<Case> cases = {
      // Exports: never a guarded file however spelt, never a survey log or a
      // navigation file, anything else freely.
      {WriteKind::Export, "in.kvl", Expect::Refuse, "The output file @in.kvl is the file to export; nothing was written."},
      {WriteKind::Export, "sub/../in.kvl", Expect::Refuse,
       "The output file @sub/../in.kvl is the file to export; nothing was written."},
      {WriteKind::Export, "in-link.vdg", Expect::Refuse,
       "The output file @in-link.vdg is the file to export; nothing was written."},
      {WriteKind::Export, "in.cmt", Expect::Refuse,
       "The output file @in.cmt is the comments file of the log; nothing was written."},
      {WriteKind::Export, "open-hard.vdg", Expect::Refuse,
       "The output file @open-hard.vdg is in use by \"KV7100 Log - open.vdg\"; nothing was written."},
      {WriteKind::Export, "other.kvl", Expect::Refuse,
       "The output file @other.kvl is a survey log (KV7100 Log); nothing was written."},
      {WriteKind::Export, "renamed.txt", Expect::Refuse,
       "The output file @renamed.txt is a survey log (KV7100 Log); nothing was written."},
      {WriteKind::Export, "nav.txt", Expect::Refuse,
       "The output file @nav.txt is a navigation file; nothing was written."},
      {WriteKind::Export, "old.vdg", Expect::Write, ""},
      {WriteKind::Export, "new.vdg", Expect::Write, ""},
      {WriteKind::Export, "new.kvl", Expect::Write, ""},
      // Comments: only the guarded files are off limits.
      {WriteKind::Comments, "in.kvl", Expect::Refuse, "The output file @in.kvl is the file to export; nothing was written."},
      {WriteKind::Comments, "other.kvl", Expect::Write, ""},
      {WriteKind::Comments, "in.cmt", Expect::Refuse,
       "The output file @in.cmt is the comments file of the log; nothing was written."},
      // Acquisition: never a guarded file, any other existing file with consent.
      {WriteKind::Acquisition, "open-hard.vdg", Expect::Refuse,
       "The output file @open-hard.vdg is in use by \"KV7100 Log - open.vdg\"; nothing was written."},
      {WriteKind::Acquisition, "other.kvl", Expect::AskConsent, "@other.kvl already exists.\rDo you want to replace it?"},
      {WriteKind::Acquisition, "old.vdg", Expect::AskConsent, "@old.vdg already exists.\rDo you want to replace it?"},
      {WriteKind::Acquisition, "new.kvl", Expect::Write, ""},
  };
  const std::vector<GuardedFile> guarded = Guarded();
  for (const Case& c : cases) {
    std::string expected = c.message;
    if (const auto at = expected.find('@'); at != std::string::npos) expected.replace(at, 1, dir);
    const OutputVerdict verdict = CheckOutput(c.kind, dir + c.target, "The output file", guarded);
    EXPECT_EQ(verdict.outcome, c.outcome) << c.target;
    EXPECT_EQ(verdict.message, expected) << c.target;
    EXPECT_EQ(verdict.MayWrite(), c.outcome == Expect::Write) << c.target;
  }
}

TEST_F(OutputRuleTest, ARefusalNamesTheTargetOnceEvenWhenTheGuardedPathIsSpeltTheSame) {
  const OutputVerdict verdict = CheckOutput(WriteKind::Export, Path("open.vdg"), "", Guarded());
  ASSERT_EQ(verdict.outcome, Expect::Refuse);
  EXPECT_EQ(verdict.message.find(Path("open.vdg")), verdict.message.rfind(Path("open.vdg")));
  EXPECT_TRUE(verdict.message.starts_with("The file "));
}

TEST_F(OutputRuleTest, OnlyExistingRegularFilesAreRecognised) {
  EXPECT_EQ(RecognisedDataFile(Path("other.kvl")), "a survey log (KV7100 Log)");
  EXPECT_EQ(RecognisedDataFile(Path("nav.txt")), "a navigation file");
  EXPECT_EQ(RecognisedDataFile(Path("old.vdg")), "");
  EXPECT_EQ(RecognisedDataFile(Path("errors.txt")), "");
  EXPECT_EQ(RecognisedDataFile(Path("missing.kvl")), "");
  EXPECT_EQ(RecognisedDataFile(Path("sub")), "");
}

// Real logs of every kind and navigation files are what they are, whatever
// their name; the program's exports and error lists are not logs.
TEST(RecognisedDataFile, RealLogsAndNavigationFilesAndNothingElse) {
  const std::string source = std::string(TESSALY_SOURCE_DIR) + "/";
  const struct {
    std::string path;  // from the repository's root
    std::string what;
  } cases[] = {
      {"Projects/line01.kvl", "a survey log (KV7100 Log)"},
      {"Projects/line02.kvs", "a survey log (KV7100 Data String mode)"},
      {"Projects/line03.kvg", "a survey log (KV7100 Graphic mode)"},
      {"Projects/line04.zpx", "a survey log (ZEPH2-KV Log)"},
      {"Projects/line05.zpt", "a survey log (ZEPH2-BT Log)"},
      {"Projects/line06.rtb", "a survey log (RT4 Basic)"},
      {"Projects/line07.rtc", "a survey log (RT4 Kv Compability)"},
      {"Projects/line08.pnav", "a navigation file"},
      {"tests/golden/logs/commented.kvl", "a survey log (KV7100 Log)"},
      {"tests/golden/logs/kvg-comma.kvg", "a survey log (KV7100 Graphic mode)"},
      {"tests/golden/logs/kvs.kvs", "a survey log (KV7100 Data String mode)"},
      {"tests/golden/logs/rtc.rtc", "a survey log (RT4 Kv Compability)"},
      {"tests/golden/logs/zpt-short.zpt", "a survey log (ZEPH2-BT Log)"},
      {"tests/golden/logs/zpx-short.zpx", "a survey log (ZEPH2-KV Log)"},
      {"tests/golden/logs/pnav-p.pnav", "a navigation file"},
      {"tests/golden/logs/pnav-plus.pnav", "a navigation file"},
      {"tests/golden/logs/empty.kvl", ""},
      {"tests/golden/logs/commented.cmt", ""},
      {"tests/golden/expected/line01.vdg", ""},
      {"tests/golden/expected/line03.vdg", ""},
      {"tests/golden/expected/line08.vdg", ""},
      {"tests/golden/expected/kvl-datum-delimiter.vdg", ""},
      {"tests/golden/expected/zpt-short.vdg", ""},
      {"tests/golden/expected/line01.errors.txt", ""},
      {"tests/golden/expected/rtb.errors.txt", ""},
      {"README.md", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(RecognisedDataFile(source + c.path), c.what) << c.path;
}

// Generated logs of every kind, faulty lines and all, renamed so that only
// their content tells.
TEST(RecognisedDataFile, GeneratedLogsOfEveryKindUnderAnyName) {
  TempHome dir;
  const struct {
    std::string kind;
    std::string what;
  } cases[] = {
      {"kvl", "a survey log (KV7100 Log)"},          {"kvs", "a survey log (KV7100 Data String mode)"},
      {"kvg", "a survey log (KV7100 Graphic mode)"}, {"zpx", "a survey log (ZEPH2-KV Log)"},
      {"zpt", "a survey log (ZEPH2-BT Log)"},        {"rtb", "a survey log (RT4 Basic)"},
      {"rtc", "a survey log"},                        {"pnav-plus", "a navigation file"},
      {"pnav-p", "a navigation file"},
  };
  for (const auto& c : cases) {
    const std::string path = dir.Path(c.kind + ".txt");
    ASSERT_TRUE(testing::GenerateLog(testing::SurveyOptions(c.kind, 60, 0.3, 7), path)) << c.kind;
    EXPECT_EQ(RecognisedDataFile(path), c.what) << c.kind;
  }
}

// Plain text that the log recognition takes for a KV7100 Log by a line's
// length alone is no log; a line that begins with a log's header sentence
// makes a log of any length.
TEST(RecognisedDataFile, LineLengthAloneMakesNoLog) {
  TempHome dir;
  const struct {
    std::string name;
    std::vector<std::string> lines;
    std::string what;
  } cases[] = {
      {"notes.txt", {"Crew notes", "Cable out 120 m, speed 4 knots, seas calm, ok."}, ""},                // 46
      {"table.csv", {"time,depth,temperature,salinity,pressure,sound", "1,2,3,4,5,6"}, ""},             // 46
      {"short.txt", {"the survey of the block B-12 starts."}, ""},                                       // 36
      {"wide.txt", {"first", "second", "012345678901234567890123456789012345678901234567890123456"}, ""}, // 57
      {"inside.txt", {"see $KVMGD,+00042,4418.000,N,06318.000,W, above."}, ""},                          // 48
      {"noise.kvl", {"0123456789012345678901234567890123456789012345", "$KVMGD,+00042"}, "a survey log (KV7100 Log)"},
      {"late.txt", {"", "", "", "", "", "", "", "", "", "$MGD,+00008,52341.3"}, "a survey log"},
      {"too-late.txt", {"", "", "", "", "", "", "", "", "", "", "$MGD,+00008,52341.3"}, ""},
  };
  for (const auto& c : cases) {
    WriteBytes(dir.Path(c.name), CrLfLines(c.lines));
    // Each plain text is one that the recognition takes for a log.
    if (c.what.empty() && c.name != "too-late.txt") {
      EXPECT_EQ(DetectLogKind(dir.Path(c.name)).outcome, Recognition::Kind) << c.name;
    }
    EXPECT_EQ(RecognisedDataFile(dir.Path(c.name)), c.what) << c.name;
  }
}

}  // namespace
}  // namespace tessaly
