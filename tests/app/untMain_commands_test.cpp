// Every command of the menus and the tool bar: the enabled state of each at
// start and while each kind of window is open, and the commands that open
// the navigation import, export the active document and open the view
// settings.
#include "app/untMain.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <map>
#include <sstream>

#include <set>

#include "acquisition/PositioningWindow.h"
#include "acquisition/untSerialPort.h"
#include "core/Clock.h"
#include "core/GridLayout.h"
#include "core/RecordExport.h"
#include "shell/AlarmsWindow.h"
#include "shell/untView.h"
#include "support/FileBytes.h"
#include "support/LargeLog.h"
#include "support/ShellTestHome.h"
#include "transfer/untFilePNav.h"
#include "transfer/untImpPnav.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::ShellTestHome;
using testing::TempHome;

// The commands whose windows come with the live logging and download
// windows; their states are those windows' concern.
const std::set<QString> kCommandsOfOtherWindows = {"actLogKv7100", "actLogZpxKV", "actLogZpxBT", "actLogRt4Basic",
                                                   "actLogRt4Kv",  "actLogOther", "acKV7100"};

using CommandStates = std::map<QString, bool>;

// The enabled state of every command at start.
const CommandStates kAtStart = {
    {"actOpen", true},       {"actImpPnav", true},    {"actExportVDG", false}, {"actPrint", true},
    {"actExit", true},       {"actSave", false},      {"actSaveAs", false},    {"actClose", false},
    {"actSerialPort", true}, {"actView", true},       {"actUtm", true},        {"actAlarms", true},
    {"actPositioning", true}, {"actLogRt4Pro", true},
    {"actRT4", true},        {"actCascade", true},    {"actTile", true},       {"actAboutUs", true}};

CommandStates With(CommandStates states, const CommandStates& changes) {
  for (const auto& [name, enabled] : changes) states[name] = enabled;
  return states;
}

template <typename Window>
Window* OpenWindowOf() {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible()) return window;
  return nullptr;
}

class MainWindowCommands : public ::testing::Test {
 protected:
  // The states of the main window's commands, less those of other windows.
  CommandStates States() const {
    CommandStates states;
    for (const QAction* action : main_->findChildren<QAction*>()) {
      const QString name = action->objectName();
      if (name.startsWith("ac") && !kCommandsOfOtherWindows.contains(name)) states[name] = action->isEnabled();
    }
    return states;
  }
  // Opens a navigation import of the sample file through the Import command.
  TfrmFilePNav* ImportNavigation() {
    main_->actImpPnav->trigger();
    TfrmImpPnav* dialog = OpenWindowOf<TfrmImpPnav>();
    EXPECT_NE(dialog, nullptr);
    if (!dialog) return nullptr;
    dialog->ChooseFile = [this](QWidget*, const QString&) { return home_.QSample("line08.pnav"); };
    dialog->SpeedButton1->click();
    dialog->cmbAuxChannel->setCurrentText("@0");
    dialog->cmbVariables->setCurrentText("Dev");
    dialog->SpeedButton2->click();
    dialog->BitBtn1->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const QList<QMdiSubWindow*> windows = main_->mdiArea->subWindowList(QMdiArea::CreationOrder);
    return windows.isEmpty() ? nullptr : qobject_cast<TfrmFilePNav*>(windows.last()->widget());
  }
  void Activate(QWidget* document) {
    main_->mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(document->parentWidget()));
  }

  ShellTestHome home_{TempHome::Content::BuildDefaults};
  std::unique_ptr<TfrmMain> main_ = std::make_unique<TfrmMain>();
};

TEST_F(MainWindowCommands, EveryCommandFollowsTheWindowsThatAreOpen) {
  main_->show();
  EXPECT_EQ(States(), kAtStart);

  const CommandStates withDocument = With(kAtStart, {{"actExportVDG", true}, {"actSave", true}, {"actSaveAs", true}, {"actClose", true}});
  main_->OpenDocument(home_.QSample("line01.kvl"));
  EXPECT_EQ(States(), withDocument) << "log document";

  main_->actView->trigger();
  ASSERT_NE(OpenWindowOf<TfrmView>(), nullptr);
  EXPECT_EQ(States(), With(withDocument, {{"actView", false}})) << "view settings window";
  OpenWindowOf<TfrmView>()->BitBtn2->click();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(States(), withDocument);

  main_->actAlarms->trigger();
  ASSERT_NE(OpenWindowOf<AlarmsWindow>(), nullptr);
  EXPECT_EQ(States(), With(withDocument, {{"actAlarms", false}})) << "alarms window";
  OpenWindowOf<AlarmsWindow>()->BitBtn2->click();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(States(), withDocument);

  main_->actPositioning->trigger();
  ASSERT_NE(OpenWindowOf<PositioningWindow>(), nullptr);
  EXPECT_EQ(States(), With(withDocument, {{"actPositioning", false}})) << "positioning window";
  OpenWindowOf<PositioningWindow>()->BitBtn2->click();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(States(), withDocument);

  main_->actSerialPort->trigger();
  ASSERT_NE(OpenWindowOf<TfrmSerialPort>(), nullptr);
  EXPECT_EQ(States(), With(withDocument, {{"actSerialPort", false}, {"actLogRt4Pro", false}})) << "serial port window";
  OpenWindowOf<TfrmSerialPort>()->BitBtn2->click();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  main_->actClose->trigger();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(States(), kAtStart) << "after the last document closed";

  TfrmFilePNav* navigation = ImportNavigation();
  ASSERT_NE(navigation, nullptr);
  Activate(navigation);
  EXPECT_EQ(States(), withDocument) << "navigation document";
}

TEST_F(MainWindowCommands, ExportFollowsTheActiveDocumentAcrossClosing) {
  main_->show();
  main_->OpenDocument(home_.QSample("line01.kvl"));
  main_->OpenDocument(home_.QSample("line04.zpx"));
  const QList<QMdiSubWindow*> windows = main_->mdiArea->subWindowList(QMdiArea::CreationOrder);

  main_->mdiArea->setActiveSubWindow(windows.at(1));
  main_->actClose->trigger();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  // The other document is active again, and it can be exported.
  EXPECT_EQ(main_->ActiveDocument(), qobject_cast<TfrmFile*>(windows.at(0)->widget()));
  EXPECT_TRUE(main_->actExportVDG->isEnabled());
}

TEST_F(MainWindowCommands, ImportOpensANewDialogOnTopEachTimeAndItsDocumentJoinsTheWindows) {
  main_->show();
  main_->actImpPnav->trigger();
  QPointer<TfrmImpPnav> first = OpenWindowOf<TfrmImpPnav>();
  ASSERT_FALSE(first.isNull());
  EXPECT_TRUE(first->windowFlags() & Qt::WindowStaysOnTopHint);
  first->BitBtn2->click();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(first.isNull());

  TfrmFilePNav* document = ImportNavigation();
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(OpenWindowOf<TfrmImpPnav>(), nullptr);
  ASSERT_NE(document->Document(), nullptr);
  EXPECT_GT(document->Document()->ValidCount(), 100u);
  QStringList entries;
  for (const QAction* action : main_->Windows1->actions()) entries << action->text();
  EXPECT_EQ(entries, QStringList({"Cascade", "", "line08.pnav"}));
  Activate(document);
  EXPECT_EQ(main_->ActiveDocument(), document);
}

class MainWindowExport : public MainWindowCommands {
 protected:
  MainWindowExport() {
    main_->show();
    main_->OpenDocument(home_.QSample("line01.kvl"));
    main_->ChooseExportFile = [this](QWidget*, const QString& start) {
      offered_ = start;
      return target_;
    };
    main_->InputQuery = [this](const QString& caption, const QString& prompt, QString& text) {
      asked_ << caption + "|" + prompt + "|" + text;
      if (!delimiter_) return false;
      text = *delimiter_;
      return true;
    };
  }
  TfrmFile* Active() const { return main_->ActiveDocument(); }
  // The document's own export with a delimiter, for comparing.
  std::string Expected(const std::string& delimiter) {
    DocumentExportOptions options;
    options.settings.delimiter = delimiter;
    EXPECT_TRUE(ExportDocument(*Active()->Document(), *FindExportFormat("vdg"), home_.Path("expected.vdg"), options).ok);
    return ReadBytes(home_.Path("expected.vdg"));
  }

  QString offered_, target_;
  QStringList asked_;
  std::optional<QString> delimiter_;
};

TEST_F(MainWindowExport, ProposesTheDocumentsNameAndAsksForTheDelimiter) {
  target_ = QString::fromStdString(home_.Path("survey.vdg"));
  delimiter_ = "; ";
  main_->actExportVDG->trigger();

  EXPECT_EQ(offered_.toStdString(), home_.Sample("line01"));
  EXPECT_EQ(asked_, QStringList({"Delimiter|Delimiter:|,"}));
  EXPECT_EQ(ReadBytes(home_.Path("survey.vdg")), Expected("; "));
  EXPECT_TRUE(TMsgDlg::Calls().empty());
}

TEST_F(MainWindowExport, CancelledDelimiterExportsWithAComma) {
  target_ = QString::fromStdString(home_.Path("survey.vdg"));
  main_->actExportVDG->trigger();
  EXPECT_EQ(ReadBytes(home_.Path("survey.vdg")), Expected(","));
}

TEST_F(MainWindowExport, CancelledSaveDialogExportsNothing) {
  main_->actExportVDG->trigger();
  EXPECT_TRUE(asked_.isEmpty());
  EXPECT_TRUE(TMsgDlg::Calls().empty());
}

TEST_F(MainWindowExport, NeverWritesOverAFileOfAnOpenLogWindowNorAnySurveyLog) {
  main_->OpenDocument(home_.QSample("line06.rtb"));
  Activate(main_->mdiArea->subWindowList(QMdiArea::CreationOrder).at(0)->widget());
  fs::create_symlink(home_.Path("Projects"), home_.Path("projects-link"));
  fs::create_directory(home_.Path("other"));
  testing::WriteBytes(home_.Sample("line01.cmt"), "1=first\r\n");
  std::map<std::string, std::string> before = {
      {home_.Sample("line01.kvl"), ReadBytes(home_.Sample("line01.kvl"))},
      {home_.Sample("line01.cmt"), ReadBytes(home_.Sample("line01.cmt"))},
      {home_.Sample("line06.rtb"), ReadBytes(home_.Sample("line06.rtb"))}};

  before[home_.Sample("line02.kvs")] = ReadBytes(home_.Sample("line02.kvs"));
  for (const std::string& target : {home_.Path("other/../Projects/line01.kvl"), home_.Path("projects-link/line01.cmt"),
                                    home_.Sample("line06.rtb"), home_.Sample("line02.kvs")}) {
    target_ = QString::fromStdString(target);
    TMsgDlg::ClearCalls();
    main_->actExportVDG->trigger();
    ASSERT_EQ(TMsgDlg::Calls().size(), 1u) << target;
    EXPECT_EQ(TMsgDlg::Calls()[0].Caption, "Warning");
    // The target once, and what it is.
    const QString& message = TMsgDlg::Calls()[0].Mensagem;
    EXPECT_EQ(message.count(target_), 1) << message.toStdString();
    EXPECT_TRUE(message.contains("in use by") || message.contains("a survey log")) << message.toStdString();
  }
  EXPECT_TRUE(asked_.isEmpty());
  for (const auto& [file, bytes] : before) EXPECT_EQ(ReadBytes(file), bytes) << file;
}

// The golden export of a sample log (comma delimited) with every delimiter
// written as `bytes` instead: an expectation that does not come from the
// export code.
std::string GoldenWithDelimiter(const std::string& name, const std::string& bytes) {
  std::string text;
  for (const char c : ReadBytes(std::string(TESSALY_SOURCE_DIR) + "/tests/golden/expected/" + name + ".vdg"))
    text += c == ',' ? bytes : std::string(1, c);
  return text;
}

// What the user types in the delimiter box and the bytes that separate the
// cells: "\\t" gives a Tab, anything else is written as UTF-8.
TEST_F(MainWindowExport, WritesTheTypedDelimiterAsTabOrUtf8) {
  const struct {
    QString typed;
    std::string bytes;
  } cases[] = {{"\\t", "\t"}, {";\\t", ";\t"}, {QString::fromUtf8("\u00a7"), "\xC2\xA7"},
               {QString::fromUtf8("\u2502"), "\xE2\x94\x82"}, {"; ", "; "}};
  for (const auto& c : cases) {
    target_ = QString::fromStdString(home_.Path("survey.vdg"));
    delimiter_ = c.typed;
    main_->actExportVDG->trigger();
    EXPECT_EQ(ReadBytes(home_.Path("survey.vdg")), GoldenWithDelimiter("line01", c.bytes)) << c.typed.toStdString();
  }
  EXPECT_TRUE(TMsgDlg::Calls().empty());
}

// A comment typed with accents and a degree sign reaches the export as the
// UTF-8 bytes the comments file holds, beside a non-ASCII delimiter.
TEST_F(MainWindowExport, CommentsAndDelimiterComeOutAsUtf8) {
  testing::WriteBytes(home_.Sample("line02.cmt"), "1=buoy7 \xC2\xB0 \xC3\xB1\r\n");
  main_->OpenDocument(home_.QSample("line02.kvs"));
  target_ = QString::fromStdString(home_.Path("survey.vdg"));
  delimiter_ = QString::fromUtf8("\u00b7");  // a middle dot
  main_->actExportVDG->trigger();

  const std::string dot = "\xC2\xB7";
  std::string expected = GoldenWithDelimiter("line02", dot);
  // Record 1 is the second line; its comment is its last cell.
  const std::size_t end = expected.find("\r\n", expected.find("\r\n") + 2);
  expected.insert(end - dot.size(), "buoy7 \xC2\xB0 \xC3\xB1");
  EXPECT_EQ(ReadBytes(home_.Path("survey.vdg")), expected);
}

// Opens a large log as the active document and cancels its load as soon as
// the progress window offers Cancel.
TfrmFile* OpenCancelled(TfrmMain& main, const ShellTestHome& home) {
  const std::string path = testing::WriteLargeLog(home, 1500000);
  const testing::CancelLoadAtFirstChance cancel;
  main.OpenDocument(QString::fromStdString(path));
  return main.ActiveDocument();
}

// A document whose load was cancelled holds only its first records: the
// export says how far it was loaded and asks first. "No" writes nothing and
// asks nothing more; "Yes" writes the records loaded.
TEST_F(MainWindowExport, APartiallyLoadedLogIsExportedOnlyAfterAYes) {
  TfrmFile* document = OpenCancelled(*main_, home_);
  ASSERT_NE(document, nullptr);
  ASSERT_EQ(document->Document()->Status(), LoadStatus::Cancelled);
  const QString partial = QStringLiteral("loaded up to line %1 of about %2")
                              .arg(document->Document()->LoadedLineCount())
                              .arg(document->Document()->RawLineCount());
  target_ = QString::fromStdString(home_.Path("partial.vdg"));

  ShellTestHome::Answer(mrNo);
  main_->actExportVDG->trigger();
  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Caption, "Confirmation");
  EXPECT_TRUE(TMsgDlg::Calls()[0].Mensagem.contains(partial)) << TMsgDlg::Calls()[0].Mensagem.toStdString();
  EXPECT_FALSE(fs::exists(home_.Path("partial.vdg")));
  EXPECT_TRUE(asked_.isEmpty());

  ShellTestHome::Answer(mrYes);
  main_->actExportVDG->trigger();
  EXPECT_EQ(TMsgDlg::Calls().size(), 2u);
  // Every line of the file is a valid record: the captions, then one line a
  // record loaded.
  const std::string written = ReadBytes(home_.Path("partial.vdg"));
  EXPECT_EQ(static_cast<std::uint64_t>(std::count(written.begin(), written.end(), '\n')),
            document->Document()->LoadedLineCount() + 1);
}

// A whole document is exported without the question.
TEST_F(MainWindowExport, AWholeLogIsExportedWithoutAsking) {
  ShellTestHome::Answer(mrNo);
  target_ = QString::fromStdString(home_.Path("survey.vdg"));
  main_->actExportVDG->trigger();
  EXPECT_TRUE(TMsgDlg::Calls().empty());
  EXPECT_TRUE(fs::exists(home_.Path("survey.vdg")));
}

TEST_F(MainWindowExport, AFailedExportIsReported) {
  target_ = QString::fromStdString(home_.Path("no/such/folder/survey.vdg"));
  main_->actExportVDG->trigger();
  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Caption, "Error");
  EXPECT_TRUE(TMsgDlg::Calls()[0].Mensagem.contains("survey.vdg"));
}

// The export in Geosoft XYZ, chosen by the name's extension: no delimiter
// is asked, the header carries the window clock's time, and a record's
// deviation reads back as the grid shows it.
TEST_F(MainWindowExport, ExportsXyzWithTheClocksTimeAndTheGridsNumbers) {
  main_->ExportClock = std::make_shared<ManualClock>(1'796'840'000'123'456'789);  // 2026-12-09T18:13:20.123Z
  target_ = QString::fromStdString(home_.Path("survey.xyz"));
  main_->actExportVDG->trigger();
  EXPECT_TRUE(asked_.isEmpty());
  EXPECT_TRUE(TMsgDlg::Calls().empty());

  std::istringstream xyz(ReadBytes(home_.Path("survey.xyz")));
  std::vector<std::string> channels;
  std::vector<std::string> firstRecord;
  bool exported = false;
  for (std::string line; std::getline(xyz, line) && firstRecord.empty();) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    exported = exported || line == "/ Exported: 2026-12-09T18:13:20.123Z";
    std::istringstream words(line);
    std::vector<std::string> split{std::istream_iterator<std::string>(words), {}};
    if (split.empty() || split[0] == "Line" || split[0] == "Tie") continue;
    if (split[0] == "/") channels.assign(split.begin() + 1, split.end());
    else firstRecord = split;
  }
  EXPECT_TRUE(exported);
  ASSERT_EQ(firstRecord.size(), channels.size());
  const auto column = [&](const std::string& name) {
    return static_cast<std::size_t>(std::find(channels.begin(), channels.end(), name) - channels.begin());
  };
  ASSERT_LT(column("Deviation"), channels.size());
  const std::size_t row = std::stoul(firstRecord.at(column("Fiducial")));
  const std::string grid(Active()->Document()->Cells().Cell(row, kColDev));
  EXPECT_EQ(std::stod(firstRecord[column("Deviation")]), std::stod(grid)) << "row " << row;
}

}  // namespace
}  // namespace tessaly
