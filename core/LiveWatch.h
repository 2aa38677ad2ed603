// LiveWatch: the watch of a live session - its alarms, the quality flags of
// its records and its events file. The session (LiveSession.h) owns one and
// feeds it what happens; the watch reports to the session's observer and
// never touches the records, the log or the session's state: no alarm
// stops, pauses or slows the recording, and nothing here asks or shows
// anything.
//
//  - Every accepted record goes to the alarm monitor (its reception time,
//    the bytes it adds to the log, its towfish depth and, for the kinds that
//    carry them, the sensor's total field and signal level) and to the
//    quality flagger (its deviation, depth and reception time); every
//    rejected record to the monitor.
//  - Tick evaluates the alarms by the session's clock: the free space on the
//    log's file system is asked every disk period, the GPS input's state at
//    every tick. Each change is reported (AlarmChanged) and written to the
//    events file of the current part (EventsFile.h).
//  - Comments and marks are written there too: a comment to the events file
//    of the part holding its record.
//
// An events file that cannot be written is said by EventsError (the session
// shows it in its status); the watch goes on and tries again with the next
// event.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/AlarmMonitor.h"
#include "core/Clock.h"
#include "core/EventsFile.h"
#include "core/FixTimeline.h"
#include "core/LiveObserver.h"
#include "core/LogVariants.h"
#include "core/QualityFlags.h"

namespace tessaly {

// Free bytes on the file system of `path` (statvfs: what an unprivileged
// writer may still use); none when it cannot be asked.
std::optional<std::uint64_t> FreeBytesOfFileSystem(const std::string& path);

struct LiveWatchOptions {
  AlarmSettings alarms;
  // Free bytes on the file system of a folder; tests hand in their own.
  std::function<std::optional<std::uint64_t>(const std::string& folder)> freeBytes = FreeBytesOfFileSystem;
  std::int64_t diskCheckNs = kNsPerSecond;
  // The GPS input's latest fixes at a UTC moment (FixTimeline::Status), when
  // the session has a GPS port; empty when it has none: the GPS and clock
  // alarms are then not watched.
  std::function<std::optional<GpsStatus>(std::int64_t nowUtcNs)> gpsStatus;
};

// The alarms watched for a variant: the towfish depth when its records carry
// one, the signal when they carry the sensor's readings, the GPS and clock
// when a GPS port is set.
WatchedAlarms WatchedAlarmsOf(const LogVariant& variant, bool gpsPort);

// The GPS input's state as the GPS and clock alarms take it; its times
// placed on the monotonic clock by their age.
GpsFixStatus GpsFixStatusOf(const std::optional<GpsStatus>& status, std::int64_t nowMonotonicNs);

class LiveWatch {
 public:
  LiveWatch(const LogVariant& variant, const Clock& clock, LiveObserver& observer, LiveWatchOptions options);
  ~LiveWatch();
  LiveWatch(const LiveWatch&) = delete;
  LiveWatch& operator=(const LiveWatch&) = delete;

  // A session starts logging to `base`: the alarms and flags start afresh,
  // the silence of "No data" counts from now.
  void Start(const std::string& base);
  // Part `path` now receives the records: its events file takes the events.
  void PartStarted(const std::string& path);
  // Reading starts again after the user's pause: the silence counts from
  // now.
  void Resumed();
  void Stop();

  // `bytes`: what the record adds to the log's files.
  void RecordAccepted(const LiveRecord& record, std::uint64_t bytes);
  void RecordRejected();
  // Evaluates the alarms; `partRow` is the current part's row of the last
  // record received (0 before the first).
  void Tick(std::uint64_t partRow);

  // The comment of row `partRow` of `part`, into that part's events file.
  void Comment(const std::string& part, std::uint64_t partRow, std::string_view text);
  // A function-key mark at the current part's `partRow`.
  void Mark(std::uint64_t partRow, std::string_view key, std::string_view note);

  const std::string& EventsError() const { return eventsError_; }
  // The alarms this session watches.
  WatchedAlarms Watched() const { return watched_; }

 private:
  void CheckDisk(std::int64_t nowNs);
  void Record(const WatchEvent& event, EventsFileWriter& file);

  const LogVariant& variant_;
  const Clock& clock_;
  LiveObserver& observer_;
  LiveWatchOptions options_;
  WatchedAlarms watched_;
  std::unique_ptr<AlarmMonitor> monitor_;
  std::unique_ptr<QualityFlagger> flagger_;
  std::vector<QualityFinding> findings_;
  EventsFileWriter events_;
  std::string currentPart_;
  std::string folder_;
  std::string eventsError_;
  std::int64_t nextDiskCheckNs_ = 0;
};

}  // namespace tessaly
