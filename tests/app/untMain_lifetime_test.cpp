// Windows the main window opens, driven as a user would: the UTM window
// opened again after closing and after each broken settings file at start-up,
// the Cascade command surviving a log of the same name, the about box from
// the Help menu, and File > Exit closing the other windows through their own
// close.
#include "app/untMain.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QCloseEvent>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "acquisition/untSerialPort.h"
#include "core/SettingsFile.h"
#include "core/SettingsStore.h"
#include "shell/untAbutUs.h"
#include "shell/untFile.h"
#include "shell/untUTM.h"
#include "MainWindowExit.h"
#include "support/FileBytes.h"
#include "support/ShellTestHome.h"

namespace tessaly {
namespace {

using testing::ShellTestHome;
using testing::TempHome;

void Settle() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

TEST(MainWindowLifetime, UtmOpensAgainAfterItWasClosed) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  TfrmMain main;
  main.show();

  for (int datum : {4, 17}) {
    main.actUtm->trigger();
    ASSERT_NE(main.frmUTM, nullptr);
    ASSERT_TRUE(main.frmUTM->isVisible());
    main.frmUTM->cmbMapDatum->setCurrentIndex(datum);
    QTest::mouseClick(main.frmUTM->BitBtn1, Qt::LeftButton);
    Settle();
    EXPECT_EQ(AppContext::Instance().MapDatum, datum);
    EXPECT_EQ(ReadMapDatum(home.Lib("UTM.ega")), datum);
  }
  main.actUtm->trigger();
  ASSERT_NE(main.frmUTM, nullptr);
  EXPECT_TRUE(main.frmUTM->isVisible());
  QTest::mouseClick(main.frmUTM->BitBtn2, Qt::LeftButton);
  Settle();
  EXPECT_FALSE(main.frmUTM->isVisible());
}

// Every settings file whose failure stops the start-up's reading.
TEST(MainWindowLifetime, UtmOpensAfterEachStartUpSettingsFailure) {
  const std::vector<std::pair<std::string, std::function<void(const ShellTestHome&)>>> failures{
      {"Files.ega missing", [](const ShellTestHome& h) { std::filesystem::remove(h.Lib("Files.ega")); }},
      {"View.ega missing", [](const ShellTestHome& h) { std::filesystem::remove(h.Lib("View.ega")); }},
      {"View.ega broken",
       [](const ShellTestHome& h) {
         std::vector<std::string> values = ReadSettingsValues(h.Lib("View.ega"));
         values[4] = "wide";
         WriteSettingsValues(h.Lib("View.ega"), values);
       }},
      {"UTM.ega missing", [](const ShellTestHome& h) { std::filesystem::remove(h.Lib("UTM.ega")); }},
      {"UTM.ega broken", [](const ShellTestHome& h) { WriteSettingsValues(h.Lib("UTM.ega"), {"WGS"}); }},
  };
  for (const auto& [name, breakSettings] : failures) {
    SCOPED_TRACE(name);
    ShellTestHome home(TempHome::Content::BuildDefaults);
    breakSettings(home);
    TfrmMain main;
    ASSERT_EQ(TMsgDlg::Calls().size(), 1u);  // the error report of the start-up
    main.show();

    main.actUtm->trigger();

    ASSERT_NE(main.frmUTM, nullptr);
    EXPECT_TRUE(main.frmUTM->isVisible());
    QTest::mouseClick(main.frmUTM->BitBtn1, Qt::LeftButton);
    Settle();
  }
}

// Closing a log named like the Cascade command removes the first matching
// Windows entry, which is the command's own; the command itself lives on.
TEST(MainWindowLifetime, ClosingALogNamedCascadeKeepsTheCascadeCommand) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  const std::string log = home.Path("Projects/Cascade");
  testing::WriteBytes(log, testing::ReadBytes(home.Sample("line01.kvl")));
  TfrmMain main;
  main.show();
  const QPointer<QAction> cascade = main.actCascade;
  main.OpenDocument(QString::fromStdString(log));
  main.OpenDocument(home.QSample("line04.zpx"));
  QPointer<TfrmFile> document = qobject_cast<TfrmFile*>(main.FindOpenDocument(QString::fromStdString(log)));
  ASSERT_FALSE(document.isNull());

  document->btnClose->click();
  Settle();

  ASSERT_TRUE(document.isNull());
  ASSERT_FALSE(cascade.isNull());
  QStringList entries;
  for (QAction* item : main.Windows1->actions()) entries << item->text();
  EXPECT_EQ(entries, (QStringList{cascade->text(), QString(), QStringLiteral("line04.zpx")}));
  EXPECT_TRUE(main.actClose->isEnabled());
  main.actTile->trigger();
  EXPECT_FALSE(cascade->isChecked());
  cascade->trigger();
  EXPECT_TRUE(cascade->isChecked());
  EXPECT_FALSE(main.actTile->isChecked());

  main.actClose->trigger();  // the last log: Close, Save and Save As go off
  Settle();
  EXPECT_EQ(main.Windows1->actions().size(), 2);
  EXPECT_FALSE(main.actClose->isEnabled());
  EXPECT_FALSE(main.actSave->isEnabled());
}

// Counts the about boxes shown as windows of their own.
class TopLevelAboutBoxes : public QObject {
 public:
  TopLevelAboutBoxes() { qApp->installEventFilter(this); }
  ~TopLevelAboutBoxes() override { qApp->removeEventFilter(this); }
  int shown = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* box = qobject_cast<TfrmAboutBox*>(watched);
    if (box && event->type() == QEvent::Show && box->isWindow()) ++shown;
    return false;
  }
};

TEST(MainWindowLifetime, AboutUsShowsThePictureInTheClientAreaAndOkRemovesTheWholeWindow) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  TfrmMain main;
  main.show();
  QApplication::setActiveWindow(&main);
  TopLevelAboutBoxes topLevel;

  main.actAboutUs->trigger();
  QCoreApplication::processEvents();

  ASSERT_EQ(main.mdiArea->subWindowList().size(), 1);
  QMdiSubWindow* frame = main.mdiArea->subWindowList().first();
  QPointer<TfrmAboutBox> about = qobject_cast<TfrmAboutBox*>(frame->widget());
  ASSERT_FALSE(about.isNull());
  EXPECT_TRUE(frame->isVisible());
  EXPECT_FALSE(about->imgProgramIcon->pixmap().isNull());
  EXPECT_EQ(topLevel.shown, 0);
  EXPECT_TRUE(TMsgDlg::Calls().empty());

  QTest::mouseClick(about->OKButton, Qt::LeftButton);
  Settle();

  EXPECT_TRUE(about.isNull());
  EXPECT_TRUE(main.mdiArea->subWindowList().isEmpty());
}

// A window that refuses to close until told, as a logging window does when
// its stop question is answered No.
class Refusing : public QWidget {
 public:
  bool refuse = true;
  int asked = 0;

 protected:
  void closeEvent(QCloseEvent* event) override {
    ++asked;
    if (refuse) event->ignore();
  }
};

// File > Exit closes every other window through its own close, in the order
// they were opened; the first that refuses keeps the program running and the
// windows after it open.
TEST(MainWindowLifetime, ExitStopsAtTheFirstWindowThatRefusesToClose) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  TfrmMain main;
  main.show();
  main.OpenDocument(home.QSample("line01.kvl"));
  QPointer<QWidget> first = main.mdiArea->subWindowList().back();
  auto* refusing = new Refusing;
  main.mdiArea->addSubWindow(refusing)->show();
  main.OpenDocument(home.QSample("line04.zpx"));
  QPointer<QWidget> last = main.mdiArea->subWindowList().back();
  main.actUtm->trigger();

  EXPECT_EQ(testing::RunExit(main), testing::kStillRunning);
  Settle();
  EXPECT_TRUE(main.isVisible());
  EXPECT_TRUE(first.isNull());
  EXPECT_EQ(refusing->asked, 1);
  EXPECT_TRUE(refusing->isVisible());
  ASSERT_FALSE(last.isNull());
  EXPECT_TRUE(last->isVisible());
  EXPECT_TRUE(main.frmUTM->isVisible());

  refusing->refuse = false;
  EXPECT_EQ(testing::RunExit(main), 0);
  Settle();
  EXPECT_FALSE(main.isVisible());
  EXPECT_EQ(refusing->asked, 2);
  EXPECT_TRUE(last.isNull());
  EXPECT_FALSE(main.frmUTM->isVisible());
  EXPECT_TRUE(main.mdiArea->subWindowList().isEmpty());
}

// A settings window closes as its own Close does: a field it cannot take
// keeps it, and the program, open; once right, its settings are written and
// the program ends.
TEST(MainWindowLifetime, ExitClosesTheSettingsWindowsAsTheirOwnCloseDoes) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  const std::string serialBefore = testing::ReadBytes(home.Lib("SerialPort.ega"));
  auto* main = new TfrmMain;
  main->show();
  main->OpenDocument(home.QSample("line01.kvl"));
  main->actSerialPort->trigger();
  QPointer<TfrmSerialPort> serial = main->findChild<TfrmSerialPort*>();  // owned by the main window
  ASSERT_FALSE(serial.isNull());
  ASSERT_TRUE(serial->isWindow());
  serial->numedtPortNumber->setText("two");
  EXPECT_EQ(testing::RunExit(*main), testing::kStillRunning);
  EXPECT_TRUE(main->isVisible());
  EXPECT_TRUE(serial->isVisible());
  EXPECT_EQ(testing::ReadBytes(home.Lib("SerialPort.ega")), serialBefore);

  serial->numedtPortNumber->setText("2");
  EXPECT_EQ(testing::RunExit(*main), 0);
  SerialSettings stored;
  ReadSerialSettings(home.Lib("SerialPort.ega"), stored);
  EXPECT_EQ(stored.PortNum, 2);
  delete main;
  EXPECT_TRUE(serial.isNull());
}

}  // namespace
}  // namespace tessaly
