// tessaly-screenshots STEPS PICTURES: starts the program's main window as
// the program does, runs the steps of the file STEPS on it (see
// ScreenshotSteps.h) and saves the pictures in the folder PICTURES. Exit
// status 0 when every step ran, 1 when one could not (the message names
// its line), 2 for a bad command line or steps file.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>

#include <cstdio>

#include "app/untMain.h"
#include "shell/AppContext.h"
#include "tools/screenshots/ScreenRobot.h"

namespace {

int Usage() {
  std::fputs("usage: tessaly-screenshots STEPS PICTURES\n\nsteps, one a line:\n", stderr);
  for (const tessaly::screenshots::StepKind& kind : tessaly::screenshots::StepKinds())
    std::fprintf(stderr, "  %s\n", kind.usage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Usage();
  QFile file(QString::fromLocal8Bit(argv[1]));
  if (!file.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "tessaly-screenshots: cannot read %s\n", argv[1]);
    return 2;
  }
  std::vector<tessaly::screenshots::Step> steps;
  try {
    steps = tessaly::screenshots::ParseSteps(file.readAll().toStdString());
  } catch (const tessaly::screenshots::StepsError& error) {
    std::fprintf(stderr, "%s: %s\n", argv[1], error.what());
    return 2;
  }
  const QString pictures = QString::fromLocal8Bit(argv[2]);
  if (!QDir().mkpath(pictures)) {
    std::fprintf(stderr, "tessaly-screenshots: cannot make the folder %s\n", argv[2]);
    return 2;
  }

  // The program's own dialogs, whatever desktop the pictures are made on.
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
  tessaly::TessalyApplication application(argc, argv);
  tessaly::TfrmMain frmMain;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) frmMain.setGeometry(screen->availableGeometry());
  frmMain.showMaximized();

  tessaly::screenshots::ScreenRobot robot(
      frmMain, std::move(steps),
      {QString::fromStdString(tessaly::AppContext::Instance().CurrentDir), pictures,
       QCoreApplication::applicationDirPath()});
  int status = 0;
  QObject::connect(&robot, &tessaly::screenshots::ScreenRobot::Finished, &application,
                   [&status, argv](int result, const QString& message) {
                     if (result != 0) std::fprintf(stderr, "%s: %s\n", argv[1], qPrintable(message));
                     status = result;
                     QCoreApplication::exit(result);
                   });
  robot.Start();
  application.exec();
  return status;
}
