#include "tools/sim/StopSleep.h"

#include <time.h>

#include <algorithm>

namespace tessaly::sim {

bool SleepUntilOrStopped(std::chrono::steady_clock::time_point time, const std::atomic<bool>& stop) {
  while (!stop) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= time) return true;
    const auto wake =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::min(time, now + kLongestSleep).time_since_epoch())
            .count();
    const timespec at{static_cast<time_t>(wake / 1'000'000'000), static_cast<long>(wake % 1'000'000'000)};
    ::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr);
  }
  return false;
}

}  // namespace tessaly::sim
