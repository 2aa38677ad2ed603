// One run of tessaly-sim: sends the records (stream) or lines (dump) through
// the device, paced by the line clock, with the faults the injector draws,
// and reports every event.
//
// A write goes out when the line has carried its last byte, so no byte
// reaches the reader before the line could have delivered it. When a write
// is late (a reader that does not read, a busy machine), the schedule starts
// again from the moment it went out instead of catching up in a rush.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/sim/FaultInjector.h"
#include "tools/sim/LineClock.h"
#include "tools/sim/PtyDevice.h"
#include "tools/sim/SentReport.h"
#include "tools/sim/SimOptions.h"

namespace tessaly::sim {

// How long a reader may leave bytes unread before a hang-up or the end.
inline constexpr std::chrono::milliseconds kDrainLimit{2000};
// A write this late restarts the schedule.
inline constexpr std::chrono::milliseconds kStallLimit{100};

class Simulator {
 public:
  // `items`: the records or lines, line ends included. `devices` receives
  // the path of every device, one a line. The run ends early once `stop`
  // is set.
  Simulator(const SimOptions& options, std::vector<std::string> items, PtyDevice& device, SentReport& report,
            std::ostream& devices, const std::atomic<bool>& stop);

  // Sends everything (again and again with --loop) unless stopped, then
  // closes the device (with --stay only once stopped).
  void Run();
  // The line of FILE each item came from (1-based), for the report's L
  // lines; none are reported without them.
  void SetSourceLines(std::vector<std::size_t> lines) { lines_ = std::move(lines); }

 private:
  using Clock = LineClock::Clock;
  using TimePoint = LineClock::TimePoint;

  bool OpenDevice();
  bool SendPass();
  bool SendStep(const Step& step, std::size_t first);
  bool SendRecords(const Step& step, std::size_t first);
  bool SendBroken(const Step& step, std::size_t item);
  bool SendInFlight(std::size_t& next);
  void ReportSource(std::size_t item);
  bool SendBurst(std::size_t first, std::size_t count);
  bool Complete(std::string_view bytes, std::size_t sent);
  TimePoint RecordStart();
  std::size_t SendPieces(std::string_view bytes, const std::vector<std::size_t>& cuts, TimePoint notBefore);
  std::size_t Transmit(std::string_view bytes, TimePoint due);
  bool HangUp(std::size_t& next);
  std::optional<std::size_t> WaitUntilTaken();
  bool SleepUntil(TimePoint time);
  bool Stopped() const { return stop_.load(); }

  const SimOptions& options_;
  std::vector<std::string> items_;
  std::vector<std::size_t> lines_;
  PtyDevice& device_;
  SentReport& report_;
  std::ostream& devices_;
  const std::atomic<bool>& stop_;
  FaultInjector faults_;
  LineClock clock_;
  Clock::duration recordPeriod_{};
  TimePoint nextRecordAt_{};
  std::size_t sinceHangup_ = 0;
};

}  // namespace tessaly::sim
