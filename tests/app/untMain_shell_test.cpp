// The main window's shell behaviour: splash on the first activation only,
// the about box, hints in the status bar, Save As.
#include "app/untMain.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrintDialog>
#include <QStatusTipEvent>
#include <QTest>

#include <gtest/gtest.h>

#include "shell/untAbutUs.h"
#include "shell/untWelcome.h"
#include "support/FileBytes.h"
#include "support/ShellTestHome.h"

namespace tessaly {
namespace {

using testing::ShellTestHome;
using testing::TempHome;

int SplashCount(const TfrmMain& main) { return static_cast<int>(main.findChildren<TfrmWelcome*>().size()); }

TEST(MainWindowShell, SplashAppearsOnTheFirstActivationOnly) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  TfrmMain main;
  EXPECT_EQ(SplashCount(main), 0);

  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(&main, &activate);
  EXPECT_EQ(SplashCount(main), 1);
  QApplication::sendEvent(&main, &activate);
  EXPECT_EQ(SplashCount(main), 1);
}

TEST(MainWindowShell, EveryAboutUsOpensANewAboutBoxInTheClientArea) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  TfrmMain main;
  main.show();

  main.actAboutUs->trigger();
  main.actAboutUs->trigger();

  int boxes = 0;
  for (QMdiSubWindow* frame : main.mdiArea->subWindowList()) {
    if (qobject_cast<TfrmAboutBox*>(frame->widget())) ++boxes;
  }
  EXPECT_EQ(boxes, 2);
}

TEST(MainWindowShell, StatusBarShowsTheCurrentHint) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  TfrmMain main;

  QStatusTipEvent tip(main.actView->statusTip());
  QApplication::sendEvent(&main, &tip);
  EXPECT_EQ(main.RzStatusPane->text(), "vIEW");

  QStatusTipEvent cleared{QString()};
  QApplication::sendEvent(&main, &cleared);
  EXPECT_EQ(main.RzStatusPane->text(), "");
}

TEST(MainWindowShell, SaveAsRemembersTheConfirmedNameOnly) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  TfrmMain main;
  main.OpenDocument(home.QSample("line01.kvl"));
  QString folder;
  main.ChooseSaveFile = [&](QWidget*, const QString& f, const QString&) {
    folder = f;
    return QString::fromStdString(home.Path("Projects/session.kv2"));
  };

  main.actSaveAs->trigger();
  EXPECT_EQ(folder.toStdString(), home.Path("Projects"));
  EXPECT_EQ(main.SaveDialogFileName().toStdString(), home.Path("Projects/session.kv2"));

  main.ChooseSaveFile = [](QWidget*, const QString&, const QString&) { return QString(); };
  main.actSaveAs->trigger();
  EXPECT_EQ(main.SaveDialogFileName().toStdString(), home.Path("Projects/session.kv2"));
}

TEST(MainWindowShell, SaveNeverWritesTheOpenLog) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  TfrmMain main;
  const std::string log = home.Sample("line01.kvl");
  const std::string before = testing::ReadBytes(log);
  main.OpenDocument(QString::fromStdString(log));
  main.show();

  main.actSave->trigger();

  EXPECT_EQ(testing::ReadBytes(log), before);
}

TEST(MainWindowShell, PrintShowsThePrinterSetUpAndPrintsNothing) {
  ShellTestHome home(TempHome::Content::BuildDefaults);
  TfrmMain main;
  main.show();

  main.actPrint->trigger();
  auto* dialog = main.findChild<QPrintDialog*>(QStringLiteral("PrinterSetupDialog"));
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  dialog->reject();
  QApplication::processEvents();
  EXPECT_EQ(main.mdiArea->subWindowList().size(), 0);
}

}  // namespace
}  // namespace tessaly
