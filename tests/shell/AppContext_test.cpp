// The hub of the windows: named commands and the report of unhandled errors.
#include "shell/AppContext.h"

#include <QAction>

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
