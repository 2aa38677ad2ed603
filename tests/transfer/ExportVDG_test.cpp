// The VDG export of a document window: the proposed name, the same bytes as
// tessaly-cli for the same file and delimiter, the files of open windows that
// no export replaces, and a failed export that leaves an earlier file.
#include "transfer/ExportVDG.h"

#include <QPointer>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "support/Command.h"
#include "support/FileBytes.h"
#include "support/FileSizeLimit.h"
#include "support/ShellTestHome.h"
#include "shell/LogWindows.h"
#include "transfer/untFilePNav.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::ShellTestHome;
using testing::TempHome;
using testing::WriteBytes;

const ExportFormat& Vdg() { return *FindExportFormat("vdg"); }

class DocumentExport : public ::testing::Test {
 protected:
  QPointer<TfrmFile> OpenLog(const std::string& path) {
    QPointer<TfrmFile> document = new TfrmFile;
    document->show();
    document->SetFileName(path);
    return document;
  }
  QPointer<TfrmFile> OpenNavigation(const std::string& path) {
    PnavImport import;
    EXPECT_EQ(import.NewFile(path), "");
    EXPECT_EQ(import.AddLink("@0", "Dev"), "");
    EXPECT_EQ(import.AddLink("@1", "Towfish Depth"), "");
    QPointer<TfrmFile> document = new TfrmFilePNav(import);
    document->show();
    document->SetFileName(path);
    return document;
  }
  // What tessaly-cli writes for the same file, map datum and delimiter.
  std::string CliExport(std::vector<std::string> arguments, const std::string& delimiter) {
    const std::string out = home_.Path("cli.vdg");
    arguments.insert(arguments.begin() + 1, {"--datum", std::to_string(AppContext::Instance().MapDatum),
                                             "--delimiter", delimiter});
    arguments.push_back(out);
    const testing::CommandRun run = testing::RunCommand(TESSALY_CLI, arguments, home_.Home());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return ReadBytes(out);
  }

  ShellTestHome home_{TempHome::Content::BuildDefaults};
};

TEST_F(DocumentExport, ProposesTheFileNameWithoutItsLastFourCharacters) {
  for (const auto& [file, proposed] : std::vector<std::pair<std::string, QString>>{
           {"survey.kvs", "survey"}, {"line.pnav", "line."}, {"abc", ""}, {"noext", "n"}}) {
    WriteBytes(home_.Path(file), "");
    QPointer<TfrmFile> document = new TfrmFile;
    document->SetFileName(home_.Path(file));  // an empty file: "File empty." and closed
    EXPECT_EQ(ProposedExportName(*document), proposed) << file;
    delete document;
  }
}

TEST_F(DocumentExport, WritesTheBytesOfTheCommandLineToolForEveryDelimiter) {
  AppContext::Instance().MapDatum = 13;
  const std::string log = home_.Sample("line04.zpx");
  const std::string nav = home_.Sample("line08.pnav");
  QPointer<TfrmFile> logDocument = OpenLog(log);
  QPointer<TfrmFile> navDocument = OpenNavigation(nav);
  // A comment, written to the log's comments file, is exported by both.
  logDocument->InputQuery = [](const QString&, const QString&, QString& text) {
    text = "buoy; seen";
    return true;
  };
  logDocument->PainelGrid1AoClicar(3, kColComment);

  for (const std::string delimiter : {",", "; ", ""}) {
    const std::string target = home_.Path("window.vdg");
    ExportSettings settings;
    settings.delimiter = delimiter;
    ASSERT_EQ(ExportVDG(*logDocument, target, Vdg(), settings), "") << delimiter;
    EXPECT_EQ(ReadBytes(target), CliExport({"export", log}, delimiter)) << "log, delimiter '" << delimiter << "'";
    ASSERT_EQ(ExportVDG(*navDocument, target, Vdg(), settings), "") << delimiter;
    EXPECT_EQ(ReadBytes(target), CliExport({"pnav", "--link", "@0=Dev", "--link", "@1=Towfish Depth", nav}, delimiter))
        << "navigation, delimiter '" << delimiter << "'";
  }
  EXPECT_NE(ReadBytes(home_.Path("window.vdg")).find("GPS LAT D"), std::string::npos);
  EXPECT_EQ(ReadBytes(home_.Path("window.vdg")).find("TF DEPTH"), std::string::npos);
  delete logDocument;
  delete navDocument;
}

TEST_F(DocumentExport, TheFilesOfOpenLogWindowsAreInUse) {
  const std::string log = home_.Sample("line01.kvl");
  QPointer<TfrmFile> logDocument = OpenLog(log);
  QPointer<TfrmFile> navDocument = OpenNavigation(home_.Sample("line08.pnav"));

  const auto inUse = [] {
    std::set<std::string> files;
    for (const GuardedFile& file : FilesOfOpenWindows()) files.insert(file.path);
    return files;
  };
  // The log, its comments file (not written yet) and the navigation file; a
  // navigation import has no comments file.
  EXPECT_EQ(inUse(), (std::set<std::string>{log, home_.Sample("line01.cmt"), home_.Sample("line08.pnav")}));
  delete navDocument;
  EXPECT_EQ(inUse(), (std::set<std::string>{log, home_.Sample("line01.cmt")}));
  delete logDocument;
}

TEST_F(DocumentExport, AFailedExportReportsAndLeavesTheEarlierFile) {
  QPointer<TfrmFile> document = OpenLog(home_.Sample("line01.kvl"));
  const std::string target = home_.Path("out/survey.vdg");
  fs::create_directory(home_.Path("out"));
  WriteBytes(target, "an earlier export\r\n");

  std::string error;
  {
    testing::FileSizeLimit limit(4096);  // the disk is full after 4 KiB
    error = ExportVDG(*document, target, Vdg(), {});
  }

  EXPECT_NE(error, "");
  EXPECT_EQ(ReadBytes(target), "an earlier export\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(home_.Path("out")), {}), 1);  // no temporary file left
  EXPECT_EQ(ExportVDG(*document, target, Vdg(), {}), "");
  EXPECT_GT(ReadBytes(target).size(), 4096u);
  delete document;
}

}  // namespace
}  // namespace tessaly
