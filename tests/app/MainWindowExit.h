// File > Exit as the program runs it: inside the application's event loop,
// which the main window's close ends (closing it outside a running loop would
// leave the application quitting for every later test).
#pragma once

#include <QAction>
#include <QApplication>
#include <QTimer>

#include "app/untMain.h"

namespace tessaly::testing {

// The exit status when Exit was refused: a window kept the program running.
inline constexpr int kStillRunning = 99;
// The exit status when the program did not end in time.
inline constexpr int kHung = 98;

// Triggers File > Exit; the program's exit status, or kStillRunning.
inline int RunExit(TfrmMain& main) {
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(kHung); });
  guard.start(20000);
  QTimer::singleShot(0, &main, [&main] {
    main.actExit->trigger();
    if (main.isVisible()) QCoreApplication::exit(kStillRunning);
  });
  return QApplication::exec();
}

}  // namespace tessaly::testing
