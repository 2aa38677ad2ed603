// Start-up of the main window: caption, commands and menus, the settings
// files read in order and the messages for broken ones, the error report.
#include "app/untMain.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "core/AlarmSettings.h"
#include "core/SettingsFile.h"
#include "core/SettingsLine.h"
#include "shell/VaComm.h"
#include "shell/untUTM.h"
#include "support/FileBytes.h"
#include "support/ShellTestHome.h"

namespace tessaly {
namespace {

using testing::ShellTestHome;
using testing::TempHome;

QStringList Captions(const QMenu* menu) {
  QStringList captions;
  for (const QAction* action : menu->actions()) captions << (action->isSeparator() ? "-" : action->text());
  return captions;
}

const QMenu* TopMenu(const TfrmMain& main, const QString& title) {
  for (QAction* action : main.menuBar()->actions()) {
    if (action->text() == title) return action->menu();
  }
  return nullptr;
}

const QMenu* SubMenu(const QMenu* menu, const QString& title) {
  for (QAction* action : menu->actions()) {
    if (action->text() == title) return action->menu();
  }
  return nullptr;
}

TEST(MainWindowStartup, CaptionCommandsAndMenusAreInPlace) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  TfrmMain main;

  EXPECT_EQ(main.windowTitle(), "Tessaly - Pro (Beta) " TESSALY_PROJECT_VERSION);
  EXPECT_TRUE(TMsgDlg::Calls().empty());
  QStringList menus;
  for (QAction* action : main.menuBar()->actions()) menus << action->text();
  EXPECT_EQ(menus, QStringList({"&File", "&Configuration", "&Log", "&Download", "&Windows", "&Help"}));

  const QMenu* file = TopMenu(main, "&File");
  EXPECT_EQ(Captions(file), QStringList({"Open", "Reopen...", "-", "Import", "Export", "-", "Print", "-", "Exit"}));
  EXPECT_EQ(Captions(SubMenu(file, "Import")), QStringList({"Pnav"}));
  EXPECT_EQ(Captions(SubMenu(file, "Export")), QStringList({"VDG"}));
  EXPECT_EQ(Captions(TopMenu(main, "&Configuration")), QStringList({"Serial Port", "View", "UTM", "Alarms", "Positioning"}));
  const QMenu* log = TopMenu(main, "&Log");
  EXPECT_EQ(Captions(log), QStringList({"KV 7100", "Zeph 2", "RT4", "Other"}));
  EXPECT_EQ(Captions(SubMenu(log, "Zeph 2")), QStringList({"ZPX - KV", "ZPX - BT"}));
  EXPECT_EQ(Captions(SubMenu(log, "RT4")), QStringList({"Basic", "KV Compatiblility"}));
  EXPECT_EQ(Captions(TopMenu(main, "&Download")), QStringList({"KV 7100"}));
  EXPECT_EQ(Captions(main.Windows1), QStringList({"Cascade", "-"}));
  EXPECT_EQ(Captions(TopMenu(main, "&Help")), QStringList({"About Us"}));

  EXPECT_EQ(main.actSave->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
  EXPECT_EQ(main.actView->statusTip(), "vIEW");
  for (QAction* off : {main.actSave, main.actSaveAs, main.actClose, main.actExportVDG}) {
    EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
  }
  for (QAction* on :
       {main.actOpen, main.actPrint, main.actSerialPort, main.actUtm, main.actCascade, main.actTile, main.acKV7100}) {
    EXPECT_TRUE(on->isEnabled()) << on->objectName().toStdString();
  }
  EXPECT_EQ(main.btnOpen->menu(), main.ppmLastFiles);
  EXPECT_EQ(main.btnOpen->popupMode(), QToolButton::MenuButtonPopup);
  EXPECT_EQ(AppContext::Instance().Action("actSerialPort"), main.actSerialPort);
  EXPECT_EQ(AppContext::Instance().VaComm, main.VaComm);
  ASSERT_NE(main.frmUTM, nullptr);
  EXPECT_FALSE(main.frmUTM->isVisible());
}

TEST(MainWindowStartup, ReadsTheSettingsFilesIntoTheHub) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  SerialSettings serial;
  serial.Baudrate = 9600;
  serial.PortNum = 3;
  WriteSerialSettings(home.Path("Lib/SerialPort.ega"), serial);
  ViewSettings view;
  view.DevLimit = 77;
  view.LineWidth = 3;
  WriteViewSettings(home.Path("Lib/View.ega"), view);
  WriteMapDatum(home.Path("Lib/UTM.ega"), 5);
  WriteSettingsValues(home.Path("Lib/Files.ega"), {"/data/a.kvl", "/data/b & c.zpx"});
  AlarmSettings alarms;
  alarms.hdopMax = 3.5;
  WriteAlarmSettings(home.Path("Lib/Alarms.ega"), alarms);

  TfrmMain main;

  EXPECT_EQ(main.VaComm->Settings(), serial);
  EXPECT_EQ(AppContext::Instance().View.DevLimit, 77);
  EXPECT_EQ(AppContext::Instance().View.LineWidth, 3);
  EXPECT_EQ(AppContext::Instance().MapDatum, 5);
  EXPECT_EQ(AppContext::Instance().Alarms, alarms);
  EXPECT_EQ(Captions(main.ppmLastFiles), QStringList({"&1 /data/a.kvl", "&2 /data/b & c.zpx"}));
  EXPECT_EQ(Captions(main.Reopen1), Captions(main.ppmLastFiles));
  EXPECT_TRUE(TMsgDlg::Calls().empty());
}

// An installation from before Lib/Alarms.ega watches with the defaults.
TEST(MainWindowStartup, WithoutAnAlarmsFileTheDefaultThresholdsApply) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  std::filesystem::remove(home.Path("Lib/Alarms.ega"));
  AppContext::Instance().Alarms.hdopMax = 9;
  TfrmMain main;
  EXPECT_EQ(AppContext::Instance().Alarms, AlarmSettings{});
  EXPECT_TRUE(TMsgDlg::Calls().empty());
}

TEST(MainWindowStartup, RecentFilesAfterAnEmptyLineAreListedToo) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  WriteSettingsValues(home.Path("Lib/Files.ega"), {"/data/a.kvl", "", "/data/b.kvs", "", "/data/c.zpx"});

  TfrmMain main;

  EXPECT_EQ(Captions(main.ppmLastFiles), QStringList({"&1 /data/a.kvl", "&2 /data/b.kvs", "&3 /data/c.zpx"}));
  EXPECT_EQ(Captions(main.Reopen1), Captions(main.ppmLastFiles));
  EXPECT_TRUE(TMsgDlg::Calls().empty());
}

TEST(MainWindowStartup, BrokenSerialSettingsWarnAndTheRestIsStillRead) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  std::filesystem::remove(home.Path("Lib/SerialPort.ega"));
  WriteMapDatum(home.Path("Lib/UTM.ega"), 7);

  TfrmMain main;

  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Caption, "Warning");
  EXPECT_EQ(TMsgDlg::Calls()[0].Mensagem,
            "Couldn't open the configuration file.\rAll the information in Serial Port was lost.");
  EXPECT_EQ(TMsgDlg::Calls()[0].Estilo, TMsgDlgType::mtWarning);
  EXPECT_EQ(main.VaComm->Settings(), SerialSettings{});
  EXPECT_EQ(AppContext::Instance().MapDatum, 7);
}

TEST(MainWindowStartup, SerialValueThatDoesNotConvertKeepsTheValuesBeforeIt) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  std::vector<std::string> values = ReadSettingsValues(home.Path("Lib/SerialPort.ega"));
  ASSERT_EQ(values.size(), 10u);
  values[0] = "14";  // 9600 baud
  values[3] = "soon";
  WriteSettingsValues(home.Path("Lib/SerialPort.ega"), values);

  TfrmMain main;

  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Caption, "Warning");
  EXPECT_EQ(main.VaComm->Settings().Baudrate, 9600);
}

TEST(MainWindowStartup, BrokenViewSettingsReachTheErrorReportAndStopTheReading) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  std::vector<std::string> values = ReadSettingsValues(home.Path("Lib/View.ega"));
  values[0] = "not a number";
  WriteSettingsValues(home.Path("Lib/View.ega"), values);
  WriteMapDatum(home.Path("Lib/UTM.ega"), 9);

  TfrmMain main;

  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  const TMsgDlg::Call& report = TMsgDlg::Calls()[0];
  EXPECT_EQ(report.Caption, "Error");
  EXPECT_EQ(report.Estilo, TMsgDlgType::mtError);
  EXPECT_TRUE(report.Mensagem.startsWith("There was an error.\r\rError: "));
  EXPECT_TRUE(report.Mensagem.contains(QRegularExpression("\rObject: TfrmMain\r\r")))
      << report.Mensagem.toStdString();
  EXPECT_TRUE(report.Mensagem.endsWith("\r\rThank you."));
  EXPECT_EQ(AppContext::Instance().MapDatum, 0);  // not read after the failure
  EXPECT_EQ(main.windowTitle(), "Tessaly - Pro (Beta) " TESSALY_PROJECT_VERSION);
}

TEST(MainWindowStartup, MissingRecentFilesListReachesTheErrorReport) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  std::filesystem::remove(home.Path("Lib/Files.ega"));

  TfrmMain main;

  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Caption, "Error");
  EXPECT_EQ(AppContext::Instance().View.DevLimit, 0);  // view settings not read
}

TEST(MainWindowStartup, UnhandledErrorIsReportedAndTheProgramGoesOn) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  QObject origin;

  const bool delivered =
      DeliverReportingErrors([]() -> bool { throw std::runtime_error("disk on fire"); }, &origin);

  EXPECT_FALSE(delivered);
  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Caption, "Error");
  EXPECT_TRUE(TMsgDlg::Calls()[0].Mensagem.startsWith(
      "There was an error.\r\rError: std::runtime_error\rdisk on fire\rObject: QObject\r\r"
      "Please send this message to "))
      << TMsgDlg::Calls()[0].Mensagem.toStdString();
  EXPECT_TRUE(DeliverReportingErrors([] { return true; }, &origin));
  EXPECT_EQ(TMsgDlg::Calls().size(), 1u);
}

}  // namespace
}  // namespace tessaly
