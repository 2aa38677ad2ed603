// Sleeping in a run that a signal may stop: short naps on the monotonic
// clock, so a stop is seen within kLongestSleep.
#pragma once

#include <atomic>
#include <chrono>

namespace tessaly::sim {

inline constexpr std::chrono::milliseconds kLongestSleep{100};

// Sleeps until `time`; false when `stop` was set first.
bool SleepUntilOrStopped(std::chrono::steady_clock::time_point time, const std::atomic<bool>& stop);

}  // namespace tessaly::sim
