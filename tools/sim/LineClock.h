// The pacing of a serial line: when bytes put on the line have left it.
//
// The schedule is absolute: from an anchor time, the n-th byte has left the
// line at anchor + n * byte time, so the time lost to late wake-ups does not
// add up. The clock only computes times; the caller sleeps until them.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

#include "tools/sim/SimOptions.h"

namespace tessaly::sim {

class LineClock {
 public:
  using Clock = std::chrono::steady_clock;
  using TimePoint = Clock::time_point;

  // The line is free from `start` on.
  LineClock(const LineSettings& line, TimePoint start);

  // Puts `bytes` on the line, the first no earlier than `notBefore` (nor
  // before the line is free), and returns when the last has left it.
  TimePoint Send(std::size_t bytes, TimePoint notBefore);
  // When the line is free: the last byte sent has left it.
  TimePoint FreeAt() const;
  // The line stays idle for `duration` after it is free.
  void Idle(Clock::duration duration);
  // The line carried nothing until `now` (a stalled reader, a hang-up):
  // the schedule starts again from there, so it never catches up in a rush.
  void RestartAt(TimePoint now);

 private:
  TimePoint At(std::uint64_t bytes) const;

  // A byte takes whole_ + fraction_ / divisor_ nanoseconds, exactly.
  std::uint64_t whole_, fraction_, divisor_;
  TimePoint anchor_;
  std::uint64_t bytesSinceAnchor_ = 0;
};

}  // namespace tessaly::sim
