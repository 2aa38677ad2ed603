// The screenshot robot on the program's main window: the steps reach the
// windows a user would (judged by what the program then holds: its open
// documents, settings files and comments), the pictures have the size of
// what they show, and a step that cannot be done stops the run naming its
// line.
#include "tools/screenshots/ScreenRobot.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

#include "acquisition/untFileLog.h"
#include "app/untMain.h"
#include "core/SettingsStore.h"
#include "shell/untFile.h"
#include "support/FileBytes.h"
#include "support/ShellTestHome.h"
#include "shell/TrackPane.h"
#include "tools/screenshots/MenuCommands.h"
#include "transfer/untFilePNav.h"

namespace tessaly::screenshots {
namespace {

namespace fs = std::filesystem;
using testing::ShellTestHome;
using testing::TempHome;

struct RunResult {
  int status = -1;
  QString message;
};

class ScreenRobotRun : public ::testing::Test {
 protected:
  ScreenRobotRun() { main_->show(); }
  ~ScreenRobotRun() override {
    for (QWidget* window : QApplication::topLevelWidgets())
      if (window != main_.get() && window->isVisible()) window->close();
  }

  RunResult Run(const std::string& steps) {
    ScreenRobot robot(*main_, ParseSteps(steps), {QString::fromStdString(home_.Home()), Pictures(), TESSALY_BIN_DIR});
    RunResult result;
    QEventLoop loop;
    QObject::connect(&robot, &ScreenRobot::Finished, &loop, [&](int status, const QString& message) {
      result = {status, message};
      loop.quit();
    });
    robot.Start();
    loop.exec();
    QApplication::processEvents();  // what the last step delivered
    return result;
  }
  QString Pictures() const { return QString::fromStdString(home_.Path("pictures")); }
  QImage Picture(const char* name) const { return QImage(QDir(Pictures()).filePath(name)); }
  QMdiSubWindow* LastFrame() const {
    const QList<QMdiSubWindow*> frames = main_->mdiArea->subWindowList(QMdiArea::CreationOrder);
    return frames.isEmpty() ? nullptr : frames.last();
  }

  ShellTestHome home_{TempHome::Content::BuildDefaults};
  std::unique_ptr<TfrmMain> main_ = std::make_unique<TfrmMain>();
};

TEST_F(ScreenRobotRun, OpensALogThroughTheMenuAndItsFileDialogAndPicturesItsWindow) {
  fs::create_directories(home_.Path("pictures"));
  const RunResult result = Run(
      "menu File > Open\n"
      "file Projects/line01.kvl\n"
      "window \"KV7100 Log - line01.kvl\"\n"
      "shot document\n"
      "click Errors\n"
      "window Errors\n"
      "shot errors\n"
      "close\n"
      "shot whole screen\n");
  ASSERT_EQ(result.status, 0) << result.message.toStdString();
  ASSERT_NE(main_->ActiveDocument(), nullptr);
  EXPECT_EQ(main_->ActiveDocument()->FileName(), home_.Sample("line01.kvl"));

  const QImage document = Picture("document.png");
  ASSERT_FALSE(document.isNull());
  ASSERT_NE(LastFrame(), nullptr);
  EXPECT_EQ(document.size(), LastFrame()->size());
  EXPECT_GT(document.convertToFormat(QImage::Format_Indexed8).colorCount(), 8) << "a picture of something";
  EXPECT_FALSE(Picture("errors.png").isNull());
  EXPECT_EQ(Picture("whole.png").size(), QGuiApplication::primaryScreen()->geometry().size());
}

TEST_F(ScreenRobotRun, FillsFieldsByNameAndByLabelAndPressesButtonsByCaptionOrToolTip) {
  const RunResult result = Run(
      "menu Configuration > Serial Port\n"
      "window \"Serial Port\"\n"
      "choose cmbGpsPort \"Com Port #\"\n"
      "type numedtGpsPortNumber 3\n"
      "click \"Save & Close\"\n"
      "menu File > Import > Pnav\n"
      "window Pnav\n"
      "click \"Choose the navigation file\"\n"
      "file Projects/line08.pnav\n"
      "window Pnav\n"
      "choose \"NMEA Fields:\" @1\n"
      "choose \"Fixed Fields:\" Dev\n"
      "click \"Link the NMEA field to the fixed field\"\n"
      "click OK\n"
      "window \"PNav - line08.pnav\"\n");
  ASSERT_EQ(result.status, 0) << result.message.toStdString();
  GpsPortSettings gps;
  ReadGpsPortSettings(home_.Lib("GpsPort.ega"), gps);
  EXPECT_EQ(gps.PortNum, 3);
  auto* navigation = qobject_cast<TfrmFilePNav*>(LastFrame()->widget());
  ASSERT_NE(navigation, nullptr);
  EXPECT_EQ(navigation->Import().Links(), std::vector<std::string>({"@1 - Dev"}));
}

TEST_F(ScreenRobotRun, ClicksAGridCellByRowAndColumnCaption) {
  const RunResult result = Run(
      "menu File > Open\n"
      "file Projects/line01.kvl\n"
      "window \"KV7100 Log - line01.kvl\"\n"
      "cell 5 Comment\n"
      "window Comment\n"
      "type Comment: \"SOL L7\"\n"
      "click OK\n"
      "window \"KV7100 Log - line01.kvl\"\n"
      "maximize\n"
      "action Track\n");
  ASSERT_EQ(result.status, 0) << result.message.toStdString();
  EXPECT_EQ(testing::ReadBytes(home_.Sample("line01.cmt")), "5=SOL L7\r\n");
  ASSERT_NE(LastFrame(), nullptr);
  EXPECT_TRUE(LastFrame()->isMaximized());
  EXPECT_TRUE(main_->ActiveDocument()->Track->Shown());
}

TEST_F(ScreenRobotRun, OpensMenusAsThePointerWouldAndClosesThemByKey) {
  ASSERT_EQ(Run("show-menu File > Import\n").status, 0);
  const QWidget* open = QApplication::activePopupWidget();
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(qobject_cast<const QMenu*>(open)->title(), "Import");
  EXPECT_TRUE(FindMenuCommand(*main_->menuBar(), {"File"})->menu()->isVisible());

  ASSERT_EQ(Run("key Escape\nkey Escape\n").status, 0);
  QApplication::processEvents();
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(ScreenRobotRun, AMenuCommandIsGivenOnceItIsEnabled) {
  main_->actAboutUs->setEnabled(false);
  QTimer::singleShot(300, main_.get(), [this] { main_->actAboutUs->setEnabled(true); });
  const RunResult result = Run("menu Help > About Us\nwindow \"About Us\" 5\n");
  ASSERT_EQ(result.status, 0) << result.message.toStdString();
}

TEST_F(ScreenRobotRun, AWindowsCommandIsGivenOnceItIsEnabled) {
  main_->actAboutUs->setEnabled(false);
  QTimer::singleShot(300, main_.get(), [this] { main_->actAboutUs->setEnabled(true); });
  const RunResult result = Run("window \"Tessaly*\"\naction \"About Us\"\nwindow \"About Us\" 5\n");
  ASSERT_EQ(result.status, 0) << result.message.toStdString();
}

TEST_F(ScreenRobotRun, ShowsATabOfTheCurrentWindowByItsCaption) {
  const RunResult result = Run("menu Log > KV 7100\nwindow \"Log KV7100\"\ntab Graph\n");
  ASSERT_EQ(result.status, 0) << result.message.toStdString();
  auto* log = qobject_cast<TfrmFileLog*>(LastFrame()->widget());
  ASSERT_NE(log, nullptr);
  EXPECT_EQ(log->PageControl1->tabText(log->PageControl1->currentIndex()), "Graph");

  const RunResult failed = Run("window \"Log KV7100\"\ntab Nowhere\n");
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(failed.message, "line 2 (tab Nowhere): the window shows no such tab");
}

TEST_F(ScreenRobotRun, AStepThatCannotBeDoneStopsTheRunNamingItsLineAndKeepsTheScreen) {
  fs::create_directories(home_.Path("pictures"));
  const RunResult result = Run("shot before screen\nmenu File > Fly\nshot after screen\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.message, "line 2 (menu File > Fly): the menus have no such command");
  EXPECT_FALSE(Picture("before.png").isNull());
  EXPECT_TRUE(Picture("after.png").isNull()) << "no step runs after the failed one";
  EXPECT_FALSE(Picture(ScreenRobot::kFailurePicture).isNull());
}

TEST_F(ScreenRobotRun, AWaitingStepGivesUpAfterItsTimeSayingWhatItSaw) {
  QElapsedTimer clock;
  clock.start();
  const RunResult result = Run("window \"Nowhere\" 1\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_GE(clock.elapsed(), 1000);
  EXPECT_LT(clock.elapsed(), 5000);
  EXPECT_TRUE(result.message.startsWith("line 1 (window Nowhere 1): still not done after 1 s; the windows shown: "))
      << result.message.toStdString();
  EXPECT_TRUE(result.message.contains('"' + main_->windowTitle() + '"')) << result.message.toStdString();
}

TEST_F(ScreenRobotRun, StartsAProgramOnceItPrintsAndEndsItOnStop) {
  const std::string link = home_.Path("tty9");
  const RunResult result = Run("spawn towfish tessaly-sim stream --loop --link {home}/tty9 {home}/Projects/line01.kvl\n"
                               "spawn towfish-too tessaly-sim stream --link {home}/tty8 {home}/Projects/line01.kvl\n"
                               "stop towfish\n");
  ASSERT_EQ(result.status, 0) << result.message.toStdString();
  EXPECT_FALSE(fs::exists(fs::symlink_status(link))) << "the simulator removes its link when it is ended";
  EXPECT_FALSE(fs::exists(fs::symlink_status(home_.Path("tty8")))) << "what is left running ends with the run";

  const RunResult failed = Run("spawn broken tessaly-sim stream --no-such-option x\n");
  EXPECT_EQ(failed.status, 1);
  EXPECT_TRUE(failed.message.endsWith("broken ended before it printed its first line")) << failed.message.toStdString();
}

}  // namespace
}  // namespace tessaly::screenshots
