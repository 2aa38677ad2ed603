// End-to-end runs of tessaly-cli on generated logs of every kind.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/LogDocument.h"
#include "core/RecordExport.h"
#include "core/PnavImport.h"
#include "core/SettingsLine.h"
#include "support/Command.h"
#include "support/FileBytes.h"
#include "support/Generator.h"
#include "support/TempHome.h"
#include "tools/CliRun.h"

namespace tessaly {
namespace {

using testing::Cli;
using testing::CommandRun;
using testing::ReadBytes;
using testing::TempHome;
using testing::WriteBytes;

void Generate(const std::string& kind, const std::string& path, int records = 400) {
  ASSERT_TRUE(testing::GenerateLog(testing::SurveyOptions(kind, records, 0.05, 2), path));
}

TEST(CliKind, PrintsTheRecognisedExtensionAndName) {
  TempHome home;
  const std::vector<std::pair<std::string, std::string>> kinds = {
      {"kvl", ".KVL\tKV7100 Log\n"},        {"kvs", ".KVS\tKV7100 Data String mode\n"},
      {"kvg", ".KVG\tKV7100 Graphic mode\n"}, {"zpx", ".ZPX\tZEPH2-KV Log\n"},
      {"zpt", ".ZPT\tZEPH2-BT Log\n"},      {"rtb", ".RTB\tRT4 Basic\n"}};
  for (const auto& [kind, expected] : kinds) {
    const std::string path = home.Path(std::string("survey.") + kind);
    Generate(kind, path, 50);
    const CommandRun run = Cli(home, {"kind", path});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, expected) << kind;
  }
}

TEST(CliKind, ReportsEmptyUnknownAndMissingFiles) {
  TempHome home;
  WriteBytes(home.Path("empty.kvl"), "");
  WriteBytes(home.Path("notes.txt"), "just\r\nsome text\r\n");
  EXPECT_EQ(Cli(home, {"kind", home.Path("empty.kvl")}).out, "empty\tempty\n");
  EXPECT_EQ(Cli(home, {"kind", home.Path("notes.txt")}).out, ".TXT\tUnknown\n");
  const CommandRun missing = Cli(home, {"kind", home.Path("later.kvs")});
  EXPECT_EQ(missing.exitCode, 0);
  EXPECT_EQ(missing.out, ".KVS\tKV7100 Data String mode\n");
}

TEST(CliExport, WritesWhatTheDocumentExportWritesAndTheErrorList) {
  TempHome home;
  for (const std::string kind : {"kvl", "kvs", "kvg", "zpx", "zpt", "rtb"}) {
    const std::string path = home.Path(std::string("survey.") + kind);
    Generate(kind, path);
    WriteBytes(home.Path("survey.cmt"), "2=first, note\r\n7=second\r\n");
    LoadOptions options;
    options.mapDatum = 13;
    LogDocument doc;
    ASSERT_EQ(doc.OpenLog(path, options), LoadStatus::Loaded);
    ASSERT_GT(doc.ErrorCount(), 0u);
    DocumentExportOptions documentExport;
    documentExport.settings.delimiter = " ; ";
    ASSERT_TRUE(ExportDocument(doc, *FindExportFormat("vdg"), home.Path("doc.vdg"), documentExport).ok);

    const CommandRun run = Cli(home, {"export", "--datum", "13", "--delimiter", " ; ", "--errors", home.Path("errors.txt"),
                               path, home.Path("cli.vdg")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");  // no progress bar when stderr is not a terminal
    EXPECT_EQ(ReadBytes(home.Path("cli.vdg")), ReadBytes(home.Path("doc.vdg"))) << kind;
    EXPECT_EQ(ReadBytes(home.Path("errors.txt")), doc.ErrorListText()) << kind;
  }
}

TEST(CliExport, TheDatumDefaultsToTheStoredSettingThenToWgs84) {
  TempHome home;
  const std::string path = home.Path("datum.kvl");
  Generate("kvl", path, 30);
  ASSERT_EQ(Cli(home, {"export", path, home.Path("default.vdg")}).exitCode, 0);
  ASSERT_EQ(Cli(home, {"export", "--datum", "22", path, home.Path("wgs84.vdg")}).exitCode, 0);
  ASSERT_EQ(Cli(home, {"export", "--datum", "0", path, home.Path("airy.vdg")}).exitCode, 0);
  EXPECT_EQ(ReadBytes(home.Path("default.vdg")), ReadBytes(home.Path("wgs84.vdg")));
  EXPECT_NE(ReadBytes(home.Path("airy.vdg")), ReadBytes(home.Path("wgs84.vdg")));

  WriteBytes(home.Path("Lib/UTM.ega"), EncodeLine("0") + "\r\n");
  ASSERT_EQ(Cli(home, {"export", path, home.Path("stored.vdg")}).exitCode, 0);
  EXPECT_EQ(ReadBytes(home.Path("stored.vdg")), ReadBytes(home.Path("airy.vdg")));

  WriteBytes(home.Path("Lib/UTM.ega"), "not a scrambled line\r\n");
  ASSERT_EQ(Cli(home, {"export", path, home.Path("corrupt.vdg")}).exitCode, 0);
  EXPECT_EQ(ReadBytes(home.Path("corrupt.vdg")), ReadBytes(home.Path("wgs84.vdg")));
}

TEST(CliExport, EmptyAndUnknownFilesAreRefusedWithoutOutput) {
  TempHome home;
  WriteBytes(home.Path("empty.kvl"), "");
  WriteBytes(home.Path("notes.txt"), "nothing to see\r\n");
  const CommandRun empty = Cli(home, {"export", home.Path("empty.kvl"), home.Path("e.vdg")});
  EXPECT_EQ(empty.exitCode, 1);
  EXPECT_NE(empty.err.find("File empty."), std::string::npos);
  const CommandRun unknown = Cli(home, {"export", home.Path("notes.txt"), home.Path("u.vdg")});
  EXPECT_EQ(unknown.exitCode, 1);
  EXPECT_FALSE(unknown.err.empty());
  EXPECT_FALSE(std::filesystem::exists(home.Path("e.vdg")));
  EXPECT_FALSE(std::filesystem::exists(home.Path("u.vdg")));
}

TEST(CliPnav, ImportsWithTheGivenLinksAndLeavesOutTowfishDepth) {
  TempHome home;
  const std::string path = home.Path("nav.txt");
  Generate("pnav-plus", path);
  const CommandRun run = Cli(home, {"pnav", "--link", "@0=Dev", "--link", "@1=Towfish Depth", "--errors",
                             home.Path("nav-errors.txt"), path, home.Path("nav.vdg")});
  ASSERT_EQ(run.exitCode, 0) << run.err;

  PnavImport import;
  ASSERT_EQ(import.NewFile(path), "");
  ASSERT_EQ(import.AddLink("@0", "Dev"), "");
  ASSERT_EQ(import.AddLink("@1", "Towfish Depth"), "");
  auto sample = LogDocument::NewNavigationSample();
  ASSERT_EQ(ApplyHandOver(*sample, import), "");
  LogDocument doc;
  ASSERT_EQ(doc.OpenNavigation(path, std::move(sample), {}), LoadStatus::Loaded);
  ASSERT_TRUE(ExportDocument(doc, *FindExportFormat("vdg"), home.Path("doc.vdg"), {}).ok);
  const std::string exported = ReadBytes(home.Path("nav.vdg"));
  EXPECT_EQ(exported, ReadBytes(home.Path("doc.vdg")));
  EXPECT_EQ(exported.find("TF DEPTH"), std::string::npos);
  EXPECT_GT(doc.ValidCount(), 300u);
  EXPECT_EQ(ReadBytes(home.Path("nav-errors.txt")), doc.ErrorListText());
}

TEST(CliPnav, RefusalsPrintTheImportMessageWriteNothingAndExitOne) {
  TempHome home;
  const std::string path = home.Path("nav.txt");
  Generate("pnav-p", path, 20);
  WriteBytes(home.Path("bad.txt"), "title\r\n no header\r\n");
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--link", "@0=Dev", home.Path("bad.txt")}, "Invalid Pnav format."},
      {{"--link", "@0=Dev", "--link", "@0=Sounder", path}, "This NMEA field is already linked, please select other."},
      {{"--link", "@0=Dev", "--link", "@1=Dev", path}, "This Fixed Fields is already linked, please select other."},
      {{"--link", "@1=Sounder", path}, "No deviation selected. Please select the deviation field."},
      {{"--link", "@7=Dev", path}, "Please fill both fields, MNEA and Fixed fields."},
      {{"--link", "@0=Dev", "--link", "@1=Sounder", "--link", "@2=Towfish Depth", "--link", "@2=Dev", path},
       "The allowed number of links is 3."},
  };
  for (const auto& [links, message] : cases) {
    std::vector<std::string> args = {"pnav"};
    args.insert(args.end(), links.begin(), links.end());
    args.push_back(home.Path("out.vdg"));
    const CommandRun run = Cli(home, args);
    EXPECT_EQ(run.exitCode, 1) << message;
    EXPECT_EQ(run.err, message + "\n");
    EXPECT_FALSE(std::filesystem::exists(home.Path("out.vdg"))) << message;
  }
}

TEST(CliUtm, PrintsZoneNorthingAndEastingOnTheChosenDatum) {
  TempHome home;
  const CommandRun wgs84 = Cli(home, {"utm", "44.3", "-63.3"});
  EXPECT_EQ(wgs84.exitCode, 0);
  EXPECT_EQ(wgs84.out, "20 T\t4905237.452\t476069.288\n");
  const CommandRun south = Cli(home, {"utm", "--datum", "22", "-33.9", "18.4"});
  EXPECT_EQ(south.out.substr(0, 5), "34 H\t");
  const CommandRun airy = Cli(home, {"utm", "--datum", "0", "44.3", "-63.3"});
  EXPECT_EQ(airy.exitCode, 0);
  EXPECT_NE(airy.out, wgs84.out);
}

TEST(CliUsage, MistakesExitTwoWithUsageAndHelpExitsZero) {
  TempHome home;
  const std::vector<std::vector<std::string>> mistakes = {
      {},
      {"frobnicate"},
      {"kind"},
      {"export", "only-one"},
      {"export", "--datum", "23", "a", "b"},
      {"export", "--datum", "x", "a", "b"},
      {"export", "--link", "@0=Dev", "a", "b"},
      {"pnav", "a", "b"},
      {"pnav", "--link", "@0", "a", "b"},
      {"utm", "north", "west"},
      {"utm", "--delimiter", ";", "1", "2"},
      {"export", "a", "b", "--errors"},
  };
  for (const auto& args : mistakes) {
    const CommandRun run = Cli(home, args);
    EXPECT_EQ(run.exitCode, 2) << (args.empty() ? "" : args[0]);
    EXPECT_NE(run.err.find("usage: tessaly-cli"), std::string::npos);
  }
  const CommandRun help = Cli(home, {"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("usage: tessaly-cli"), std::string::npos);
}

}  // namespace
}  // namespace tessaly
