// AlarmMonitor: the watch of one live session. Fed with what happens (a
// record accepted with its numbers and reception time, a record rejected,
// the GPS fix state, the free space on the log's file system) and evaluated
// on the session's tick against the clock it was given; each evaluation
// returns the alarms whose state changed since the last one. Nothing here
// stops, pauses or slows anything: the session writes its records whatever
// the watch says.
//
// Which alarms are watched follows the session: towfish depth for variants
// whose records carry a depth, signal for those that carry the sensor's
// readings, GPS and clock when a GPS port is set; no data, bad records and
// disk always. An alarm not watched stays normal.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/AlarmSettings.h"
#include "core/Alarms.h"
#include "core/Clock.h"

namespace tessaly {

struct WatchedAlarms {
  bool depth = false;
  bool signal = false;
  bool gps = false;
};

// One accepted record as the watch sees it.
struct AcceptedReading {
  std::int64_t receivedNs = 0;          // monotonic reception time
  std::uint64_t bytes = 0;              // bytes it added to the files on disk
  std::optional<double> depth;          // towfish depth, m
  std::optional<double> totalField;     // nT
  std::optional<double> signal;         // signal level
};

struct AlarmChange {
  AlarmKind alarm = AlarmKind::NoData;
  AlarmState previous = AlarmState::Normal;
  AlarmStatus status;                   // the new state and its value
  std::int64_t utcNs = 0;               // when the evaluation saw it (system clock)

  bool operator==(const AlarmChange&) const = default;
};

class AlarmMonitor {
 public:
  // Starts watching now (the clock's monotonic reading): the silence of "No
  // data" and the wait for a first GPS fix count from here. The settings
  // are copied; the clock must outlive the monitor.
  AlarmMonitor(const AlarmSettings& settings, WatchedAlarms watched, const Clock& clock);
  AlarmMonitor(const AlarmMonitor&) = delete;
  AlarmMonitor& operator=(const AlarmMonitor&) = delete;

  void RecordAccepted(const AcceptedReading& reading);
  void RecordRejected();
  void GpsFix(const GpsFixStatus& status);
  void FreeDiskBytes(std::uint64_t bytes);
  // Reading starts again after a pause: the silence of "No data" counts
  // from now.
  void ReadingResumed();

  // Evaluates every watched alarm now; the alarms whose state (or the cause
  // of their state) changed since the last evaluation, in the order of
  // kAlarmKinds.
  std::vector<AlarmChange> Evaluate();

  bool Watches(AlarmKind kind) const;
  // The state of the last evaluation.
  const AlarmStatus& Status(AlarmKind kind) const { return statuses_[static_cast<std::size_t>(kind)]; }

 private:
  AlarmStatus EvaluateOne(AlarmKind kind, std::int64_t nowNs) const;

  AlarmSettings settings_;
  WatchedAlarms watched_;
  const Clock& clock_;
  NoDataAlarm noData_;
  BadRecordsAlarm badRecords_;
  TowfishDepthAlarm depth_;
  SignalAlarm signal_;
  GpsAlarm gps_;
  ClockAlarm clockOffset_;
  DiskAlarm disk_;
  std::array<AlarmStatus, kAlarmKindCount> statuses_{};
};

}  // namespace tessaly
