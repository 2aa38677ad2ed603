// The one rule for output files: what an export, a comments file and an
// acquisition may write, judged on real files by hand-written expectations.
#include "core/OutputRule.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "support/DocumentFiles.h"
#include "support/FileBytes.h"
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

}  // namespace
}  // namespace tessaly
