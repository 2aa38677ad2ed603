// AlarmTiles: the watch of a live session at a glance - one tile per alarm,
// in the colour of its state (green normal, amber warning, red alarm, grey
// "off" when no session watches it), with the value that raised it.
//
// An alarm sounds (AlarmSound) at once and again every kRepeatMs until it
// is acknowledged: a click on its tile, or Acknowledge (the window's Esc
// key) for all. Acknowledging silences it; the tile stays red, marked
// "silenced", until the condition clears. An alarm that clears and comes
// back, or whose cause changes, sounds again. Nothing here opens a dialog.
#pragma once

#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

#include "acquisition/AlarmSound.h"
#include "core/AlarmMonitor.h"

class QLabel;

namespace tessaly {

class AlarmTiles : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kRepeatMs = 4000;

  explicit AlarmTiles(QWidget* parent = nullptr);
  ~AlarmTiles() override;

  // Every tile normal and silent; `watched` says which alarms the session
  // watches (the others are shown as not watched).
  void Reset(WatchedAlarms watched);
  // No session: every tile off and silent.
  void Clear();
  // The alarm's new state, as the session reported it.
  void Show(const AlarmChange& change);
  // Silences every sounding alarm.
  void Acknowledge();
  void Acknowledge(AlarmKind kind);

  // Whether any alarm sounds (raised and not acknowledged).
  bool Sounding() const;
  QLabel* Tile(AlarmKind kind) const { return tiles_[Index(kind)]; }
  // Makes the sound at the first alarm; tests hand in their own, and a
  // shorter repeat.
  std::function<std::unique_ptr<AlarmSound>()> MakeSound = MakeAlarmSound;
  void SetRepeatInterval(int ms) { repeat_.setInterval(ms); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct TileState {
    bool watched = true;
    AlarmStatus status;
    bool sounding = false;
  };
  static std::size_t Index(AlarmKind kind) { return static_cast<std::size_t>(kind); }
  void Paint(AlarmKind kind);
  void Sound();

  std::array<QLabel*, kAlarmKindCount> tiles_{};
  std::array<TileState, kAlarmKindCount> states_{};
  std::unique_ptr<AlarmSound> sound_;
  QTimer repeat_;
};

}  // namespace tessaly
