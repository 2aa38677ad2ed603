// GpsStatusPanel: the "GPS" box of a live logging window - the GPS port's
// state and its fix (kind, satellites, HDOP, age; "None" without a GPS
// port), the newest record's towfish position, and the cable out and its
// setting during a session.
// It shows what the session reports (core/GpsStatusText.h) and forwards
// what the user asks; the window decides.
#pragma once

#include <QGroupBox>

#include <cstdint>
#include <functional>
#include <optional>

#include "core/LiveObserver.h"

class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QTimer;

namespace tessaly {

class GpsStatusPanel : public QGroupBox {
  Q_OBJECT

 public:
  explicit GpsStatusPanel(QWidget* parent = nullptr);

  // A session with a GPS port is running (its cable out to begin with);
  // none: no session, or no GPS port.
  void SessionStarted(bool gps, double cableOut);
  void SessionStopped();
  // The status the session reported; the cable out's edit follows it when it
  // changed (set here or in the positioning settings).
  void ShowStatus(const LiveGpsStatus& status);
  void ShowNewest(const LivePosition& newest);
  // The texts again, the fix's age now.
  void Refresh();

  QLabel* lblPort = nullptr;      // the port, or "None"
  QLabel* lblFix = nullptr;       // the fix and its age
  QLabel* lblTowfish = nullptr;   // the newest record's towfish position
  QDoubleSpinBox* edtCable = nullptr;
  QPushButton* btnSetCable = nullptr;
  QPushButton* btnUseGps = nullptr;  // shown when another device is on the port

  // The user set the cable out.
  std::function<void(double metres)> OnCableOut;
  std::function<void()> OnUseOtherGps;

 private:
  void SetCable();

  bool gps_ = false;
  std::optional<LiveGpsStatus> status_;
  QTimer* ageTimer_ = nullptr;
};

}  // namespace tessaly
