// The program: the main window, then every log named on the command line;
// --version prints the version without opening a window.
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QTimer>

#include "app/untMain.h"
#include "core/ProgramVersion.h"

int main(int argc, char** argv) {
  if (tessaly::PrintVersionIfAsked(argc, argv, "tessaly")) return 0;
  tessaly::TessalyApplication application(argc, argv);
  tessaly::TfrmMain frmMain;
  // Without a window manager "maximised" means nothing: take the screen.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) frmMain.setGeometry(screen->availableGeometry());
  frmMain.showMaximized();
  const QStringList paths = application.arguments().mid(1);
  QTimer::singleShot(0, &frmMain, [&frmMain, paths] { frmMain.OpenCommandLineFiles(paths); });
  return application.exec();
}
