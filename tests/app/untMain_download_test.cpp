// The main window's Download > KV 7100: one download window at a time, and a
// data set received from tessaly-sim dump opened as a log document on No.
#include "app/untMain.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "MainWindowExit.h"
#include "core/DataStringFormat.h"
#include "core/GridLayout.h"
#include "core/LogDocument.h"
#include "core/RecentFiles.h"
#include "shell/VaComm.h"
#include "shell/untFile.h"
#include "support/ShellTestHome.h"
#include "support/Simulator.h"
#include "transfer/untDownKV7100.h"

namespace tessaly {
namespace {

using testing::ShellTestHome;
using testing::TempHome;

// The records of a loaded log from the deviation on (the "#" and "RD#"
// columns count the file's lines).
std::string Records(const LogDocument& doc) {
  std::ostringstream text;
  for (std::size_t row = 1; row < doc.Cells().Rows(); ++row) {
    for (std::size_t col = kColDev; col < kColComment; ++col) text << doc.Cells().Cell(row, col) << ';';
    text << '\n';
  }
  return text.str();
}

TEST(MainWindowDownload, OneDownloadWindowAtATime) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  TfrmMain main;
  ASSERT_TRUE(main.acKV7100->isEnabled());
  main.acKV7100->trigger();
  ASSERT_FALSE(main.frmDownKV7100.isNull());
  EXPECT_EQ(main.frmDownKV7100->parentWidget(), &main);
  EXPECT_FALSE(main.acKV7100->isEnabled());
  main.frmDownKV7100->btnClose->click();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(main.frmDownKV7100.isNull());
  EXPECT_TRUE(main.acKV7100->isEnabled());
}

TEST(MainWindowDownload, NoOpensTheReceivedDataStringAsALogWithTheRecordsSent) {
  ShellTestHome home(TempHome::Content::BuildDefaults, mrNo);
  const std::string source = home.Path("source.kvs");
  ASSERT_TRUE(testing::GenerateLog(testing::SurveyOptions("kvs", 300, 0, 11), source));
  setenv("TESSALY_SERIAL_DEVICE", home.Path("tty%d").c_str(), 1);
  TfrmMain main;
  SerialSettings settings = main.VaComm->Settings();
  settings.Baudrate = 115200;
  main.VaComm->SetSettings(settings);
  simtest::SimProcess sim({"dump", "--wait-open", "--baud", "115200", "--split", "0.5", "--link", home.Path("tty1"),
                           source},
                          home.Path("sim-errors.txt"));
  ASSERT_FALSE(sim.NextDevice().empty());

  main.acKV7100->trigger();
  const QPointer<TfrmDownKV7100> window = main.frmDownKV7100;
  const std::string path = home.Path("Projects/line 12.kvs");
  window->edtFile2Save->setText(QString::fromStdString(path));
  window->btnDownload->click();
  QElapsedTimer timer;
  timer.start();
  while (window && window->Receiving() && timer.elapsed() < 20000) QTest::qWait(5);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  unsetenv("TESSALY_SERIAL_DEVICE");

  EXPECT_TRUE(window.isNull());
  EXPECT_TRUE(main.acKV7100->isEnabled());
  const QList<QMdiSubWindow*> frames = main.mdiArea->subWindowList();
  ASSERT_EQ(frames.size(), 1);
  auto* document = qobject_cast<TfrmFile*>(frames[0]->widget());
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->FileName(), path);
  ASSERT_NE(document->Document(), nullptr);
  LogDocument sent;
  ASSERT_EQ(sent.OpenLog(source, LoadOptions{}), LoadStatus::Loaded);
  EXPECT_EQ(document->Document()->ValidCount(), 300u);
  EXPECT_EQ(document->Document()->ErrorCount(), 0u);
  EXPECT_EQ(Records(*document->Document()), Records(sent));
  EXPECT_EQ(main.Windows1->actions().last()->text(), "line 12.kvs");
  EXPECT_EQ(ReadRecentFiles(home.Lib("Files.ega")).front(), path);
}

// File > Exit during a download closes the download window as its own close
// does (its question, then the data set kept to the last byte received);
// the program then ends.
TEST(MainWindowDownload, ExitDuringADownloadKeepsWhatWasReceived) {
  ShellTestHome home(TempHome::Content::BuildDefaults, mrCancel);
  const std::string source = home.Path("source.kvs");
  ASSERT_TRUE(testing::GenerateLog(testing::SurveyOptions("kvs", 3, 0, 12), source));
  setenv("TESSALY_SERIAL_DEVICE", home.Path("tty%d").c_str(), 1);
  TfrmMain main;
  main.show();
  SerialSettings settings = main.VaComm->Settings();
  settings.Baudrate = 115200;
  main.VaComm->SetSettings(settings);
  simtest::SimProcess sim({"dump", "--wait-open", "--baud", "115200", "--stay", "--no-end-line", "--link",
                           home.Path("tty1"), "--sent", home.Path("sent.txt"), source},
                          home.Path("sim-errors.txt"));
  ASSERT_FALSE(sim.NextDevice().empty());
  main.acKV7100->trigger();
  const QPointer<TfrmDownKV7100> window = main.frmDownKV7100;
  const std::string path = home.Path("Projects/exit.kvs");
  window->edtFile2Save->setText(QString::fromStdString(path));
  window->btnDownload->click();
  QElapsedTimer timer;
  timer.start();
  std::vector<simtest::SentEvent> events;
  while (((events = simtest::ReadSentReport(home.Path("sent.txt"))).empty() || events.back().tag != 'E') &&
         timer.elapsed() < 20000)
    QTest::qWait(5);
  QTest::qWait(100);
  ASSERT_TRUE(window->Receiving());  // all sent; the idle end is two seconds away

  EXPECT_EQ(testing::RunExit(main), 0);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  unsetenv("TESSALY_SERIAL_DEVICE");
  EXPECT_FALSE(main.isVisible());
  EXPECT_TRUE(window.isNull());
  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Mensagem, "Do you want to download other file?");
  EXPECT_EQ(testing::ReadBytes(path), FormatDataString(simtest::BytesPerDevice(events).at(0)));
  sim.Signal(SIGTERM);
  EXPECT_EQ(sim.Wait(), 0);
}

}  // namespace
}  // namespace tessaly
