// A large KVL log, to load in a document window, and a press of the load's
// Cancel button as soon as its progress window offers it.
#pragma once

#include <QObject>
#include <QPushButton>
#include <QTimer>

#include <string>

#include "shell/untFrmPrgBar.h"
#include "support/FileBytes.h"
#include "support/TempHome.h"

namespace tessaly::testing {

// Writes `lines` valid KVL records to large.kvl in the home, enough for a
// load still running when Cancel is pressed; returns its path.
inline std::string WriteLargeLog(const TempHome& home, int lines) {
  const std::string path = home.Path("large.kvl");
  std::string text;
  text.reserve(static_cast<std::size_t>(lines) * 48);
  for (int i = 0; i < lines; ++i) text += "$KVMGD,+00042,4418.000,N,06318.000,W,25.3,78.4\r\n";
  WriteBytes(path, text);
  return path;
}

// While it lives, clicks Cancel once in the first load progress window that
// shows it (the event loop of the modal window runs the timer).
class CancelLoadAtFirstChance {
 public:
  CancelLoadAtFirstChance() {
    QObject::connect(&press_, &QTimer::timeout, [this] {
      TFrmPrgBar* progress = TFrmPrgBar::Current();
      if (progress && progress->btnCancelar->isVisible()) {
        press_.stop();
        progress->btnCancelar->click();
      }
    });
    press_.start(0);
  }

 private:
  QTimer press_;
};

}  // namespace tessaly::testing
