// The main window's Download > KV 7100: one download window at a time, and a
// data set received from tessaly-sim dump opened as a log document on No.
#include "app/untMain.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

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

}  // namespace
}  // namespace tessaly
