// The hub of the windows: named commands, the one holder of the serial port
// and the report of unhandled errors.
#include "shell/AppContext.h"

#include <QAction>
#include <QWidget>

#include <gtest/gtest.h>

#include "core/SettingsFile.h"
#include "shell/ErrorReport.h"
#include "shell/untMother.h"
#include "support/ShellTestHome.h"

namespace tessaly {
namespace {

TEST(AppContextActions, SerialActionsAreDisabledAndEnabledByName) {
  testing::ShellTestHome home;
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
  testing::ShellTestHome home;
  auto* action = new QAction("VDG");
  AppContext::Instance().RegisterAction("actExportVDG", action);
  delete action;
  EXPECT_EQ(AppContext::Instance().Action("actExportVDG"), nullptr);
  AppContext::Instance().SetActionsEnabled({"actExportVDG"}, true);  // no crash
}

TEST(AppContextPort, TheFirstWindowToClaimThePortHoldsItUntilItReleasesIt) {
  testing::ShellTestHome home;
  AppContext& context = AppContext::Instance();
  QWidget logging, download;
  logging.setWindowTitle("KV7100 Log - line01.kvl");
  download.setWindowTitle("KV7100 Download");
  EXPECT_EQ(context.PortOwner(), nullptr);
  EXPECT_TRUE(context.PortInUseMessage().isEmpty());

  EXPECT_TRUE(context.ClaimPort(&logging));
  EXPECT_TRUE(context.ClaimPort(&logging));  // claiming again keeps it
  EXPECT_FALSE(context.ClaimPort(&download));
  EXPECT_EQ(context.PortOwner(), &logging);
  EXPECT_EQ(context.PortInUseMessage(),
            "The serial port is in use by \"KV7100 Log - line01.kvl\". Stop it there first.");

  context.ReleasePort(&download);  // not the holder: nothing changes
  EXPECT_EQ(context.PortOwner(), &logging);
  context.ReleasePort(&logging);
  EXPECT_EQ(context.PortOwner(), nullptr);
  EXPECT_TRUE(context.ClaimPort(&download));
  EXPECT_EQ(context.PortOwner(), &download);
  EXPECT_FALSE(context.ClaimPort(nullptr));
  EXPECT_EQ(context.PortOwner(), &download);
}

TEST(AppContextPort, ADestroyedHolderFreesThePort) {
  testing::ShellTestHome home;
  AppContext& context = AppContext::Instance();
  auto* logging = new QWidget;
  QWidget download;
  ASSERT_TRUE(context.ClaimPort(logging));
  delete logging;
  EXPECT_EQ(context.PortOwner(), nullptr);
  EXPECT_TRUE(context.PortInUseMessage().isEmpty());
  EXPECT_TRUE(context.ClaimPort(&download));
}

TEST(AppContextPort, AResetContextHasAFreePort) {
  QWidget logging;
  ASSERT_TRUE(AppContext::Instance().ClaimPort(&logging));
  testing::ShellTestHome home;  // resets the context
  EXPECT_EQ(AppContext::Instance().PortOwner(), nullptr);
}

TEST(ErrorReport, UnhandledErrorIsShownAsAnErrorMessageWithOk) {
  testing::ShellTestHome home;
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

}  // namespace
}  // namespace tessaly
