// The alarm settings window: its edits from the settings, "&Save && Close"
// and Cancel, the rewrite of Lib/Alarms.ega, the refusals naming the field,
// the Alarms command while the window is open, and the open documents
// judging their records again.
#include "shell/AlarmsWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <gtest/gtest.h>

#include "core/SettingsFile.h"
#include "shell/AppContext.h"
#include "shell/untFile.h"
#include "support/DocumentFiles.h"
#include "support/DocumentWindow.h"
#include "support/FileBytes.h"
#include "support/ShellTestHome.h"
#include "widgets/GraficoOk.h"

namespace tessaly::alarms_window_test {

using testing::ShellTestHome;
using testing::TempHome;

class AlarmsWindowTest : public ::testing::Test {
 protected:
  AlarmsWindowTest() {
    AppContext::Instance().Alarms = ReadAlarmSettingsOrDefaults(home_.Lib("Alarms.ega"));
    command_.setObjectName("actAlarms");
    AppContext::Instance().RegisterAction("actAlarms", &command_);
    window_ = new AlarmsWindow;
    window_->show();
  }
  ~AlarmsWindowTest() override { delete window_; }

  void SaveAndClose() {
    window_->BitBtn1->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  void Cancel() {
    window_->BitBtn2->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  void Set(const char* caption, const char* text) { window_->Edit(caption)->setText(text); }
  AlarmSettings Stored() const {
    AlarmSettings stored;
    ReadAlarmSettings(home_.Lib("Alarms.ega"), stored);
    return stored;
  }

  ShellTestHome home_{TempHome::Content::BuildDefaults};
  QAction command_;
  QPointer<AlarmsWindow> window_;
};

TEST_F(AlarmsWindowTest, ShowsEverySettingUnderItsCaption) {
  EXPECT_EQ(window_->windowTitle(), "Alarms");
  EXPECT_TRUE(window_->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(command_.isEnabled());
  QStringList labels;
  for (const QLabel* label : window_->findChildren<QLabel*>()) labels << label->text();
  const std::pair<const char*, const char*> shown[] = {
      {"Minimum towfish depth (m):", "1"}, {"Maximum depth rate (m/s):", "0.5"}, {"Minimum total field (nT):", "20000"},
      {"Maximum HDOP:", "2"},              {"ZEPH 2 BT noise envelope:", "1.5"}, {"RT4 noise envelope:", "12"}};
  for (const auto& [caption, text] : shown) {
    EXPECT_TRUE(labels.contains(caption)) << caption;
    ASSERT_NE(window_->Edit(caption), nullptr) << caption;
    EXPECT_EQ(window_->Edit(caption)->text(), text) << caption;
  }
  EXPECT_EQ(window_->Edit("Nothing:"), nullptr);
  EXPECT_EQ(window_->findChildren<QLineEdit*>().size(), AlarmSettingFields().size());
}

TEST_F(AlarmsWindowTest, SaveAndCloseStoresTheSettingsInTheFileAndTheProgram) {
  Set("Maximum towfish depth (m):", " 45.5 ");
  Set("Minimum satellites:", "4");
  Set("KV7100 spike floor:", "120");
  SaveAndClose();
  AlarmSettings expected;
  expected.depthMax = 45.5;
  expected.satellitesMin = 4;
  expected.spikeFloorKv7100 = 120;
  EXPECT_EQ(AppContext::Instance().Alarms, expected);
  EXPECT_EQ(Stored(), expected);
  EXPECT_TRUE(window_.isNull());
  EXPECT_TRUE(command_.isEnabled());
  EXPECT_TRUE(TMsgDlg::Calls().empty());
}

TEST_F(AlarmsWindowTest, CancelChangesNothing) {
  const std::string before = testing::ReadBytes(home_.Lib("Alarms.ega"));
  Set("Maximum HDOP:", "9");
  Cancel();
  EXPECT_EQ(testing::ReadBytes(home_.Lib("Alarms.ega")), before);
  EXPECT_EQ(AppContext::Instance().Alarms, AlarmSettings{});
  EXPECT_TRUE(command_.isEnabled());
}

TEST_F(AlarmsWindowTest, RefusesWhatCannotBeUsedNamingTheFieldAndKeepsTheWindowOpen) {
  struct Case {
    const char* caption;
    const char* text;
    const char* message;
    const char* focused;
  };
  // The rules are the settings' own (AlarmSettings_test); the window shows
  // their message and puts the focus on the field to correct.
  const Case cases[] = {
      {"Maximum HDOP:", "two", "\"Maximum HDOP:\" must be a number.", "Maximum HDOP:"},
      {"Minimum satellites:", "5.5", "\"Minimum satellites:\" must be a whole number.", "Minimum satellites:"},
      {"Minimum towfish depth (m):", "90",
       "\"Maximum towfish depth (m):\" must be greater than \"Minimum towfish depth (m):\".",
       "Maximum towfish depth (m):"},
  };
  const std::string before = testing::ReadBytes(home_.Lib("Alarms.ega"));
  for (const Case& c : cases) {
    TMsgDlg::ClearCalls();
    const QString good = window_->Edit(c.caption)->text();
    Set(c.caption, c.text);
    SaveAndClose();
    ASSERT_FALSE(window_.isNull()) << c.text;
    ASSERT_EQ(TMsgDlg::Calls().size(), 1u) << c.text;
    EXPECT_EQ(TMsgDlg::Calls()[0].Caption, "Warning");
    EXPECT_EQ(TMsgDlg::Calls()[0].Mensagem, c.message);
    EXPECT_EQ(window_->focusWidget(), window_->Edit(c.focused)) << c.text;
    window_->Edit(c.caption)->setText(good);
  }
  EXPECT_EQ(testing::ReadBytes(home_.Lib("Alarms.ega")), before);
  EXPECT_EQ(AppContext::Instance().Alarms, AlarmSettings{});
  EXPECT_FALSE(command_.isEnabled());
}

// A document marks its flagged records; new thresholds change them at once.
TEST_F(AlarmsWindowTest, OpenDocumentsJudgeTheirRecordsAgain) {
  std::vector<std::string> lines;
  for (int i = 0; i < 21; ++i) lines.push_back(testing::KvlLine(i == 10 ? "+00300" : "+00000", "3.0"));
  testing::WriteBytes(home_.Path("flags.kvl"), testing::CrLfLines(lines));
  QPointer<TfrmFile> document = testing::OpenDocumentWindow(home_.Path("flags.kvl"));
  ASSERT_NE(document->Document(), nullptr);
  EXPECT_EQ(document->lblQtdFlags->text(), "1");
  EXPECT_EQ(document->lblQtdFlags->toolTip(), "Spike: 1, Noise: 0, Gap: 0, Depth: 0");
  EXPECT_EQ(document->Grafico1->Grafico().Linha().Flags()[10], kFlagSpike);

  Set("KV7100 spike floor:", "500");
  Set("KV7100 noise envelope:", "500");
  SaveAndClose();
  EXPECT_EQ(document->lblQtdFlags->text(), "0");
  EXPECT_EQ(document->Grafico1->Grafico().Linha().Flags()[10], 0);
  delete document;
}

}  // namespace tessaly::alarms_window_test
