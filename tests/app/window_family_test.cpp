#include <QAction>
#include <QGuiApplication>
#include <QCoreApplication>
#include <QPointer>

#include <gtest/gtest.h>

#include "app/AppContext.h"
#include "app/ErrorReport.h"
#include "app/QtColour.h"
#include "app/untBigMother.h"
#include "app/untMother.h"
#include "app_temp_home.h"
#include "core/RecentFiles.h"
#include "core/SettingsFile.h"

namespace tessaly {
namespace {

TEST(WindowFamily, BigMotherTakesTheProgramFolderAndDecimalSeparator) {
  testing::TempHome home;
  TfrmBigMother window;
  EXPECT_EQ(window.CurrentDir, home.Home());
  EXPECT_EQ(window.CurrentDir.back(), '/');
  EXPECT_EQ(window.DecSeparator.size(), 1);
  EXPECT_EQ(window.LibFile("View.ega"), home.Lib("View.ega"));
  EXPECT_EQ(window.size(), QSize(783, 390));
}

TEST(WindowFamily, RecentFilesGoThroughTheListFileAndTheHooks) {
  testing::TempHome home;
  std::vector<std::string> added, removed;
  AppContext::Instance().OnRecentFileAdded = [&](const std::string& p) { added.push_back(p); };
  AppContext::Instance().OnRecentFileRemoved = [&](const std::string& p) { removed.push_back(p); };
  TfrmBigMother window;
  window.AddRecentFile("/p/a.KVS");
  window.AddRecentFile("/p/b.KVS");
  window.RemoveRecentFile("/p/a.KVS");
  EXPECT_EQ(ReadRecentFiles(home.Lib("Files.ega")), std::vector<std::string>{"/p/b.KVS"});
  EXPECT_EQ(added, (std::vector<std::string>{"/p/a.KVS", "/p/b.KVS"}));
  EXPECT_EQ(removed, std::vector<std::string>{"/p/a.KVS"});
}

TEST(WindowFamily, ScramblingAndReplaceAllAreTheCoreOnes) {
  EXPECT_EQ(TfrmBigMother::DecodeLine(TfrmBigMother::EncodeLine("9600")), "9600");
  EXPECT_EQ(TfrmBigMother::EncodeLine("").size(), 90u);
  EXPECT_EQ(TfrmBigMother::ReplaceAllText("&&Log &Other", "&", ""), "Log Other");
  EXPECT_EQ(TfrmBigMother::ReplaceAllText("Été.kvs", "KVS", "cmt"), "Été.cmt");
}

TEST(WindowFamily, MotherStartsWithAWarningMessageWithoutButtonsAndFreesItselfWhenClosed) {
  testing::TempHome home;
  QPointer<TfrmMother> window = new TfrmMother;
  EXPECT_TRUE(window->msgMenssage->Botoes.Empty());
  EXPECT_EQ(window->msgMenssage->Estilo, TMsgDlgType::mtWarning);
  window->show();
  window->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
}

TEST(AppContextActions, SerialActionsAreDisabledAndEnabledByName) {
  testing::TempHome home;
  QAction log("KV 7100"), other("Other"), serial("Serial Port");
  AppContext& context = AppContext::Instance();
  context.RegisterAction("actLogKv7100", &log);
  context.RegisterAction("actLogOther", &other);
  context.RegisterAction("actSerialPort", &serial);
  EXPECT_EQ(context.Action("actSerialPort"), &serial);
  EXPECT_EQ(context.Action("actUnknown"), nullptr);
  context.SetActionsEnabled(AppContext::SerialActionNames(), false);
  EXPECT_FALSE(log.isEnabled());
  EXPECT_FALSE(serial.isEnabled());
  EXPECT_TRUE(other.isEnabled());
  context.SetActionsEnabled(AppContext::SerialActionNames(), true);
  EXPECT_TRUE(log.isEnabled());
  EXPECT_EQ(AppContext::SerialActionNames().size(), 7);
  EXPECT_FALSE(AppContext::SerialActionNames().contains("actLogOther"));
}

TEST(AppContextActions, ADestroyedActionIsForgotten) {
  testing::TempHome home;
  auto* action = new QAction("VDG");
  AppContext::Instance().RegisterAction("actExportVDG", action);
  delete action;
  EXPECT_EQ(AppContext::Instance().Action("actExportVDG"), nullptr);
  AppContext::Instance().SetActionsEnabled({"actExportVDG"}, true);  // no crash
}

TEST(ErrorReport, TextFollowsTheReportFormat) {
  EXPECT_EQ(ErrorReportText("EInOutError", "File not found", "TfrmMain"),
            "There was an error.\r\rError: EInOutError\rFile not found\rObject: TfrmMain\r\r"
            "Please send this message to support@tessaly-marine.com\r\rThank you.");
}

TEST(ErrorReport, UnhandledErrorIsShownAsAnErrorMessageWithOk) {
  testing::TempHome home;
  TfrmMother origin;
  try {
    throw SettingsError("Cannot open the file /x/Lib/View.ega");
  } catch (...) {
    AppContext::Instance().ReportCurrentException(&origin);
  }
  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  const auto& call = TMsgDlg::Calls()[0];
  EXPECT_EQ(call.Caption, "Error");
  EXPECT_EQ(call.Estilo, TMsgDlgType::mtError);
  EXPECT_EQ(call.Botoes, TMsgDlgButtons{TMsgDlgBtn::mbOK});
  EXPECT_EQ(call.Mensagem, ErrorReportText("SettingsError", "Cannot open the file /x/Lib/View.ega",
                                           "TfrmMother"));
}

TEST(QtColour, ConvertsBlueGreenRedValuesAndSystemColours) {
  EXPECT_EQ(ToQColor(0x0000FF), QColor(255, 0, 0));
  EXPECT_EQ(ToQColor(0xFF0000), QColor(0, 0, 255));
  EXPECT_EQ(ToQColor(0xC8FFC8), QColor(200, 255, 200));
  EXPECT_EQ(FromQColor(QColor(255, 0, 0)), 0x0000FFu);
  EXPECT_EQ(FromQColor(ToQColor(0x123456)), 0x123456u);
  EXPECT_EQ(ToQColor(0xFF00000F), QGuiApplication::palette().color(QPalette::Button));
  EXPECT_EQ(ToQColor(0xFF000005), QGuiApplication::palette().color(QPalette::Base));
}

}  // namespace
}  // namespace tessaly
