// AlarmSound: how an alarm is heard. A short two-tone sound through the
// default audio output (Qt Multimedia: the laptop's speakers at the volume
// the desktop sets, under X11 and Wayland alike); where the machine has no
// audio output, the system bell (QApplication::beep), which X11 desktops
// often mute and Wayland does not ring at all.
#pragma once

#include <memory>

namespace tessaly {

class AlarmSound {
 public:
  virtual ~AlarmSound() = default;
  // Sounds once, without waiting; a sound still playing is not started
  // again.
  virtual void Play() = 0;
};

std::unique_ptr<AlarmSound> MakeAlarmSound();

}  // namespace tessaly
