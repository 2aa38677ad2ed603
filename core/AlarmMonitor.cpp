#include "core/AlarmMonitor.h"

namespace tessaly {

AlarmMonitor::AlarmMonitor(const AlarmSettings& settings, WatchedAlarms watched, const Clock& clock)
    : settings_(settings),
      watched_(watched),
      clock_(clock),
      noData_(clock.MonotonicNs()),
      depth_(settings_),
      signal_(settings_),
      gps_(settings_, clock.MonotonicNs()),
      disk_(settings_) {}

void AlarmMonitor::RecordAccepted(const AcceptedReading& reading) {
  noData_.Record(reading.receivedNs);
  badRecords_.Framed(false);
  if (reading.depth) depth_.Record(reading.receivedNs, *reading.depth);
  signal_.Record(reading.totalField, reading.signal);
  disk_.Written(reading.receivedNs, reading.bytes);
}

void AlarmMonitor::RecordRejected() { badRecords_.Framed(true); }

void AlarmMonitor::GpsFix(const GpsFixStatus& status) {
  gps_.Fix(status);
  clockOffset_.Fix(status);
}

void AlarmMonitor::FreeDiskBytes(std::uint64_t bytes) { disk_.FreeBytes(bytes); }

void AlarmMonitor::ReadingResumed() { noData_.Restart(clock_.MonotonicNs()); }

bool AlarmMonitor::Watches(AlarmKind kind) const {
  switch (kind) {
    case AlarmKind::TowfishDepth: return watched_.depth;
    case AlarmKind::Signal: return watched_.signal;
    case AlarmKind::Gps:
    case AlarmKind::Clock: return watched_.gps;
    default: return true;
  }
}

AlarmStatus AlarmMonitor::EvaluateOne(AlarmKind kind, std::int64_t nowNs) const {
  if (!Watches(kind)) return {};
  switch (kind) {
    case AlarmKind::NoData: return noData_.Evaluate(nowNs);
    case AlarmKind::BadRecords: return badRecords_.Evaluate();
    case AlarmKind::TowfishDepth: return depth_.Evaluate();
    case AlarmKind::Signal: return signal_.Evaluate();
    case AlarmKind::Gps: return gps_.Evaluate(nowNs);
    case AlarmKind::Clock: return clockOffset_.Evaluate();
    case AlarmKind::Disk: return disk_.Evaluate();
  }
  return {};
}

std::vector<AlarmChange> AlarmMonitor::Evaluate() {
  const std::int64_t nowNs = clock_.MonotonicNs();
  const std::int64_t utcNs = clock_.UtcNs();
  std::vector<AlarmChange> changes;
  for (const AlarmKind kind : kAlarmKinds) {
    AlarmStatus& current = statuses_[static_cast<std::size_t>(kind)];
    const AlarmStatus next = EvaluateOne(kind, nowNs);
    if (next.state != current.state || next.cause != current.cause) changes.push_back({kind, current.state, next, utcNs});
    current = next;
  }
  return changes;
}

}  // namespace tessaly
