#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

#include "core/SettingsStore.h"
#include "shell/AppContext.h"
#include "shell/untUTM.h"
#include "support/ShellTestHome.h"

namespace tessaly {
namespace {

TEST(UtmWindow, ListsTheTwentyThreeDatumsAndShowsTheCurrentOne) {
  testing::ShellTestHome home;
  AppContext::Instance().MapDatum = 13;
  TfrmUTM window;
  EXPECT_EQ(window.windowTitle(), "UTM Configuration");
  EXPECT_EQ(window.cmbMapDatum->count(), 23);
  EXPECT_EQ(window.cmbMapDatum->itemText(0), "Airy");
  EXPECT_EQ(window.cmbMapDatum->itemText(3), "Bessel1841Nambia");
  EXPECT_EQ(window.cmbMapDatum->itemText(22), "WGS84");
  EXPECT_EQ(window.BitBtn1->text(), "&Save && Close");
  window.show();
  QApplication::setActiveWindow(&window);
  EXPECT_EQ(window.cmbMapDatum->currentText(), "International");
}

// A window shown without becoming active (another window keeps the focus)
// still shows the datum in use, so closing it keeps that datum.
TEST(UtmWindow, ShownWithoutActivationItShowsAndKeepsTheCurrentDatum) {
  testing::ShellTestHome home;
  AppContext::Instance().MapDatum = 22;
  QWidget other;
  other.show();
  TfrmUTM window;
  window.setAttribute(Qt::WA_ShowWithoutActivating);
  window.show();
  QApplication::setActiveWindow(&other);
  EXPECT_EQ(window.cmbMapDatum->currentText(), "WGS84");
  window.close();
  EXPECT_EQ(AppContext::Instance().MapDatum, 22);
  EXPECT_EQ(ReadMapDatum(home.Lib("UTM.ega")), 22);
}

// Closing hides the window; it is shown again by the next "UTM" command.
TEST(UtmWindow, StoresTheChoiceHoweverTheWindowCloses) {
  for (const bool cancel : {false, true}) {
    testing::ShellTestHome home;
    QPointer<TfrmUTM> window = new TfrmUTM;
    window->show();
    window->cmbMapDatum->setCurrentIndex(10);
    QTest::mouseClick(cancel ? window->BitBtn2 : window->BitBtn1, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(window.isNull());
    EXPECT_FALSE(window->isVisible());
    delete window;
    EXPECT_EQ(AppContext::Instance().MapDatum, 10);
    EXPECT_EQ(ReadMapDatum(home.Lib("UTM.ega")), 10);
    EXPECT_TRUE(TMsgDlg::Calls().empty());
  }
}

TEST(UtmWindow, WriteFailureIsShownAndTheChoiceKeptForTheRun) {
  testing::ShellTestHome home;
  std::filesystem::remove_all(home.Lib(""));
  TfrmUTM window;
  window.show();
  window.cmbMapDatum->setCurrentIndex(4);
  window.close();
  EXPECT_EQ(AppContext::Instance().MapDatum, 4);
  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Mensagem, "Couldn't rercod the data in the configuration file.");
  EXPECT_EQ(TMsgDlg::Calls()[0].Estilo, TMsgDlgType::mtWarning);
  EXPECT_TRUE(TMsgDlg::Calls()[0].Botoes.Empty());
}

}  // namespace
}  // namespace tessaly
