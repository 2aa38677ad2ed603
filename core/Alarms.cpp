#include "core/Alarms.h"

#include <algorithm>
#include <cmath>

#include "core/Positions.h"

namespace tessaly {

namespace {

constexpr double kSilenceMedians = 5.0;

double Seconds(std::int64_t ns) { return static_cast<double>(ns) / static_cast<double>(kNsPerSec); }

AlarmStatus Raised(AlarmState state, double value, std::string_view cause) { return {state, value, cause}; }

}  // namespace

std::string_view AlarmName(AlarmKind kind) {
  switch (kind) {
    case AlarmKind::NoData: return "No data";
    case AlarmKind::BadRecords: return "Bad records";
    case AlarmKind::TowfishDepth: return "Towfish depth";
    case AlarmKind::Signal: return "Signal";
    case AlarmKind::Gps: return "GPS";
    case AlarmKind::Clock: return "Clock";
    case AlarmKind::Disk: return "Disk";
  }
  return "";
}

std::string_view AlarmStateName(AlarmState state) {
  switch (state) {
    case AlarmState::Normal: return "normal";
    case AlarmState::Warning: return "warning";
    case AlarmState::Alarm: return "alarm";
  }
  return "";
}

std::string AlarmValueText(double value, std::string_view cause) {
  std::string text = ShortDecimalText(value, 3);
  if (!cause.empty()) text.append(" ").append(cause);
  return text;
}

// ---- No data ----

void NoDataAlarm::Record(std::int64_t receivedNs) {
  if (anyRecord_) intervals_.Add(static_cast<double>(receivedNs - lastNs_));
  anyRecord_ = true;
  lastNs_ = receivedNs;
}

void NoDataAlarm::Restart(std::int64_t nowNs) {
  anyRecord_ = false;
  lastNs_ = nowNs;
}

std::int64_t NoDataAlarm::AllowedSilenceNs() const {
  const auto typical = static_cast<std::int64_t>(kSilenceMedians * intervals_.Median());
  return std::max(kMinimumSilenceNs, typical);
}

AlarmStatus NoDataAlarm::Evaluate(std::int64_t nowNs) const {
  const std::int64_t silence = nowNs - lastNs_;
  if (silence >= AllowedSilenceNs()) return Raised(AlarmState::Alarm, Seconds(silence), "s without a valid record");
  return {};
}

// ---- Bad records ----

void BadRecordsAlarm::Framed(bool rejected) {
  if (framed_ == kWindow) rejected_ -= window_[next_] ? 1 : 0;
  else ++framed_;
  window_[next_] = rejected;
  rejected_ += rejected ? 1 : 0;
  next_ = (next_ + 1) % kWindow;
}

AlarmStatus BadRecordsAlarm::Evaluate() const {
  if (rejected_ <= kMostRejected) return {};
  const double percent = 100.0 * static_cast<double>(rejected_) / static_cast<double>(framed_);
  return Raised(AlarmState::Warning, percent, "% of the last framed records rejected");
}

// ---- Towfish depth ----

void TowfishDepthAlarm::Record(std::int64_t receivedNs, double depth) {
  if (!std::isfinite(depth)) return;
  // Records closer than a step to the one before the newest replace the
  // newest: the history stays short however fast they come.
  const std::size_t kept = recent_.size();
  if (kept >= 2 && receivedNs - recent_[kept - 2].first < kHistoryStepNs) recent_.back() = {receivedNs, depth};
  else recent_.emplace_back(receivedNs, depth);
  while (recent_.size() > 1 && receivedNs - recent_.front().first > kRateSpanNs) recent_.pop_front();
}

AlarmStatus TowfishDepthAlarm::Evaluate() const {
  if (recent_.empty()) return {};
  const auto [newestNs, depth] = recent_.back();
  if (depth < settings_.depthMin || depth > settings_.depthMax) return Raised(AlarmState::Alarm, depth, "m depth");
  const auto [oldestNs, oldestDepth] = recent_.front();
  const std::int64_t span = newestNs - oldestNs;
  if (span < kRateSpanNs / 2) return {};
  const double rate = (depth - oldestDepth) / Seconds(span);
  if (std::fabs(rate) > settings_.depthRateMax) return Raised(AlarmState::Alarm, rate, "m/s depth rate");
  return {};
}

// ---- Signal ----

void SignalAlarm::Record(std::optional<double> totalField, std::optional<double> signal) {
  if (totalField) totalField_ = totalField;
  if (signal) signal_ = signal;
}

AlarmStatus SignalAlarm::Evaluate() const {
  if (totalField_ && (*totalField_ < settings_.totalFieldMin || *totalField_ > settings_.totalFieldMax))
    return Raised(AlarmState::Alarm, *totalField_, "nT total field");
  if (signal_ && *signal_ < settings_.signalMin) return Raised(AlarmState::Warning, *signal_, "signal level");
  return {};
}

// ---- GPS ----

AlarmStatus GpsAlarm::Lacking(std::int64_t sinceValidNs, bool latestValid) {
  if (sinceValidNs >= kLostFixNs) return Raised(AlarmState::Alarm, Seconds(sinceValidNs), "s without a valid fix");
  if (sinceValidNs > kStaleFixNs) {
    const std::string_view cause = latestValid ? "s since the last fix" : "s without a valid fix";
    return Raised(AlarmState::Warning, Seconds(sinceValidNs), cause);
  }
  return {};
}

void GpsAlarm::Fix(const GpsFixStatus& status) {
  if (status.lastValidFixNs && status.receivedUtcNs != status_.receivedUtcNs) {  // a new valid fix
    const std::int64_t at = *status.lastValidFixNs;
    const bool latestWasValid = status_.valid && status_.lastValidFixNs;
    AlarmStatus ended = Lacking(at - status_.lastValidFixNs.value_or(startNs_), latestWasValid);
    if (ended.state != AlarmState::Normal) {
      ended.state = AlarmState::Warning;
      unsettled_ = ended;
      heldSinceNs_ = at;
    }
    if (!heldSinceNs_) heldSinceNs_ = at;
    if (unsettled_ && at - *heldSinceNs_ >= kFixHeldNs) unsettled_.reset();
  }
  if (!status.valid) heldSinceNs_.reset();
  status_ = status;
}

AlarmStatus GpsAlarm::Evaluate(std::int64_t nowNs) const {
  const bool latestValid = status_.valid && status_.lastValidFixNs;
  const AlarmStatus lacking = Lacking(nowNs - status_.lastValidFixNs.value_or(startNs_), latestValid);
  if (lacking.state != AlarmState::Normal) return lacking;
  if (unsettled_) return *unsettled_;
  if (!latestValid) return {};
  if (status_.hdop && *status_.hdop > settings_.hdopMax) return Raised(AlarmState::Warning, *status_.hdop, "HDOP");
  if (status_.satellites && *status_.satellites < settings_.satellitesMin)
    return Raised(AlarmState::Warning, *status_.satellites, "satellites");
  return {};
}

// ---- Clock ----

void ClockAlarm::Fix(const GpsFixStatus& status) {
  if (status.valid && status.gpsUtcNs && status.receivedUtcNs) offsetNs_ = *status.receivedUtcNs - *status.gpsUtcNs;
}

AlarmStatus ClockAlarm::Evaluate() const {
  if (!offsetNs_ || std::llabs(*offsetNs_) <= kMostOffsetNs) return {};
  return Raised(AlarmState::Warning, Seconds(*offsetNs_), "s system clock ahead of GPS time");
}

// ---- Disk ----

void DiskAlarm::Written(std::int64_t nowNs, std::uint64_t bytes) {
  const std::int64_t second = nowNs / kNsPerSec;
  if (recent_.empty() || recent_.back().first != second) recent_.emplace_back(second, 0);
  recent_.back().second += bytes;
  recentBytes_ += bytes;
  while (second - recent_.front().first > kRateSpanNs / kNsPerSec) {
    recentBytes_ -= recent_.front().second;
    recent_.pop_front();
  }
}

// Over the whole seconds before the current one.
double DiskAlarm::Rate() const {
  if (recent_.size() < 2) return 0.0;
  const std::int64_t seconds = recent_.back().first - recent_.front().first;
  return static_cast<double>(recentBytes_ - recent_.back().second) / static_cast<double>(seconds);
}

AlarmStatus DiskAlarm::Evaluate() const {
  if (!free_) return {};
  const double free = static_cast<double>(*free_);
  const double freeMb = free / static_cast<double>(kMegabyte);
  if (freeMb < settings_.diskAlarmMb) return Raised(AlarmState::Alarm, freeMb, "MB free");
  const double hoursAhead = Rate() * settings_.diskWarningHours * 3600.0;
  if (free < std::max(settings_.diskWarningMb * static_cast<double>(kMegabyte), hoursAhead))
    return Raised(AlarmState::Warning, freeMb, "MB free");
  return {};
}

}  // namespace tessaly
