// The alarm evaluators of a live session's watch, one per condition. Each is
// fed what it needs as it happens and evaluated against the time it is given
// (a monotonic clock's nanoseconds), giving its state and the value that
// raised it. AlarmMonitor (core/AlarmMonitor.h) holds one of each and says
// when a state changes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/AlarmSettings.h"
#include "core/SlidingMedian.h"

namespace tessaly {

enum class AlarmKind : std::uint8_t { NoData, BadRecords, TowfishDepth, Signal, Gps, Clock, Disk };
inline constexpr AlarmKind kAlarmKinds[] = {AlarmKind::NoData, AlarmKind::BadRecords, AlarmKind::TowfishDepth,
                                            AlarmKind::Signal, AlarmKind::Gps,        AlarmKind::Clock,
                                            AlarmKind::Disk};
inline constexpr std::size_t kAlarmKindCount = std::size(kAlarmKinds);

// "No data", "Bad records", "Towfish depth", "Signal", "GPS", "Clock", "Disk".
std::string_view AlarmName(AlarmKind kind);

enum class AlarmState : std::uint8_t { Normal, Warning, Alarm };
// "normal", "warning", "alarm".
std::string_view AlarmStateName(AlarmState state);

// A state with the value that raised it and what that value is ("s without
// a valid record", "m depth", ...); a normal state has no cause.
struct AlarmStatus {
  AlarmState state = AlarmState::Normal;
  double value = 0.0;
  std::string_view cause;

  bool operator==(const AlarmStatus&) const = default;
};

// "3.2 s without a valid record": a value (at most 3 decimals) and what it
// is.
std::string AlarmValueText(double value, std::string_view cause);

inline constexpr std::int64_t kNsPerSec = 1'000'000'000;

// No data: nothing valid for max(3 s, 5 x the median interval between the
// last 100 valid records) is an alarm; the next valid record clears it.
// The silence counts from the start until the first record.
class NoDataAlarm {
 public:
  static constexpr std::int64_t kMinimumSilenceNs = 3 * kNsPerSec;
  explicit NoDataAlarm(std::int64_t startNs) : lastNs_(startNs) {}
  void Record(std::int64_t receivedNs);
  // The silence counts from `nowNs` again (reading resumed after a pause);
  // the pause is no interval between records.
  void Restart(std::int64_t nowNs);
  // The silence that raises the alarm now.
  std::int64_t AllowedSilenceNs() const;
  AlarmStatus Evaluate(std::int64_t nowNs) const;

 private:
  std::int64_t lastNs_;
  bool anyRecord_ = false;
  SlidingMedian intervals_{100};
};

// Bad records: more than 10 of the last 100 framed records rejected is a
// warning. The value is the rejected share of those records, in percent.
class BadRecordsAlarm {
 public:
  static constexpr std::size_t kWindow = 100;
  static constexpr std::size_t kMostRejected = 10;
  void Framed(bool rejected);
  AlarmStatus Evaluate() const;

 private:
  bool window_[kWindow] = {};
  std::size_t next_ = 0, framed_ = 0, rejected_ = 0;
};

// Towfish depth: a depth outside the settings' range, or a depth changing
// faster than their rate (measured over the records of the last 5 s, once
// they span at least 2.5 s), is an alarm.
class TowfishDepthAlarm {
 public:
  static constexpr std::int64_t kRateSpanNs = 5 * kNsPerSec;
  static constexpr std::int64_t kHistoryStepNs = kNsPerSec / 10;
  explicit TowfishDepthAlarm(const AlarmSettings& settings) : settings_(settings) {}
  void Record(std::int64_t receivedNs, double depth);
  AlarmStatus Evaluate() const;

 private:
  const AlarmSettings& settings_;
  // The records of the last kRateSpanNs, at least kHistoryStepNs apart but
  // the newest.
  std::deque<std::pair<std::int64_t, double>> recent_;
};

// Signal: a total field outside the settings' range is an alarm, else a
// signal level below their minimum a warning; judged on the latest record
// that carries each.
class SignalAlarm {
 public:
  explicit SignalAlarm(const AlarmSettings& settings) : settings_(settings) {}
  void Record(std::optional<double> totalField, std::optional<double> signal);
  AlarmStatus Evaluate() const;

 private:
  const AlarmSettings& settings_;
  std::optional<double> totalField_, signal_;
};

// What the GPS input says of its fixes (filled from the GPS fix timeline).
struct GpsFixStatus {
  bool valid = false;                           // the latest fix is valid
  std::optional<std::int64_t> lastValidFixNs;   // monotonic time the last valid fix was received
  std::optional<int> satellites;                // of the latest fix, when it says
  std::optional<double> hdop;                   // of the latest fix, when it says
  std::optional<std::int64_t> gpsUtcNs;         // UTC of the last valid fix, as the GPS gives it
  std::optional<std::int64_t> receivedUtcNs;    // the system clock's UTC when that fix was received
};

// GPS: no valid fix for 10 s (from the start until the first) is an alarm,
// for over 3 s a warning ("s without a valid fix" while the latest fix is
// not valid, "s since the last fix" while it is but the GPS says nothing
// newer): fixes that come and go more often than that raise nothing. Once
// raised, the warning stays until valid fixes have held, unbroken, for 2 s
// (its value then the time that was without one). With a valid fix, an
// HDOP above the settings' limit or fewer satellites than their minimum is
// a warning.
class GpsAlarm {
 public:
  static constexpr std::int64_t kStaleFixNs = 3 * kNsPerSec;
  static constexpr std::int64_t kLostFixNs = 10 * kNsPerSec;
  static constexpr std::int64_t kFixHeldNs = 2 * kNsPerSec;
  GpsAlarm(const AlarmSettings& settings, std::int64_t startNs) : settings_(settings), startNs_(startNs) {}
  // The GPS's status now; a new valid fix is told by its reception time
  // (status.receivedUtcNs).
  void Fix(const GpsFixStatus& status);
  AlarmStatus Evaluate(std::int64_t nowNs) const;

 private:
  // What `sinceValidNs` without a valid fix raises, the latest fix valid or not.
  static AlarmStatus Lacking(std::int64_t sinceValidNs, bool latestValid);

  const AlarmSettings& settings_;
  std::int64_t startNs_;
  GpsFixStatus status_;
  std::optional<std::int64_t> heldSinceNs_;  // the first valid fix of the unbroken run up to the latest
  std::optional<AlarmStatus> unsettled_;     // the warning kept until the fixes have held
};

// Clock: the system clock more than 1 s away from the GPS time of the last
// valid fix is a warning (reception times would be wrong). The value is the
// system clock minus the GPS time, in seconds.
class ClockAlarm {
 public:
  static constexpr std::int64_t kMostOffsetNs = kNsPerSec;
  void Fix(const GpsFixStatus& status);
  AlarmStatus Evaluate() const;

 private:
  std::optional<std::int64_t> offsetNs_;
};

// Disk: free space on the log's file system below max(the settings' warning
// level, their hours of logging at the rate of the last minute) is a
// warning, below their alarm level an alarm (500 MB, 24 hours and 50 MB by
// default). The value is the free space in MB (10^6 bytes).
class DiskAlarm {
 public:
  static constexpr std::uint64_t kMegabyte = 1'000'000;
  static constexpr std::int64_t kRateSpanNs = 60 * kNsPerSec;
  explicit DiskAlarm(const AlarmSettings& settings) : settings_(settings) {}
  void Written(std::int64_t nowNs, std::uint64_t bytes);
  void FreeBytes(std::uint64_t bytes) { free_ = bytes; }
  // Bytes a second written over the last minute (the span so far, before a
  // minute has passed).
  double Rate() const;
  AlarmStatus Evaluate() const;

 private:
  const AlarmSettings& settings_;
  std::deque<std::pair<std::int64_t, std::uint64_t>> recent_;  // bytes written in each second of the last minute
  std::uint64_t recentBytes_ = 0;
  std::optional<std::uint64_t> free_;
};

}  // namespace tessaly
