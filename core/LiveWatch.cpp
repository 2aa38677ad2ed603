#include "core/LiveWatch.h"

#include <sys/statvfs.h>

#include <cmath>

#include "core/RecordPipeline.h"
#include "core/SensorReadings.h"

namespace tessaly {

namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::optional<double> Known(float value) {
  if (std::isnan(value)) return std::nullopt;
  return static_cast<double>(value);
}

}  // namespace

std::optional<std::uint64_t> FreeBytesOfFileSystem(const std::string& path) {
  struct statvfs fs {};
  if (::statvfs(path.c_str(), &fs) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(fs.f_bavail) * static_cast<std::uint64_t>(fs.f_frsize);
}

WatchedAlarms WatchedAlarmsOf(const LogVariant& variant, bool gpsPort) {
  return {variant.columns.size() > kFieldTowDepth, KindCarriesSensorReadings(variant.kind), gpsPort};
}

GpsFixStatus GpsFixStatusOf(const std::optional<GpsStatus>& status, std::int64_t nowMonotonicNs) {
  GpsFixStatus fix;
  if (!status) return fix;
  fix.valid = status->latest.valid;
  fix.satellites = status->latest.satellites;
  fix.hdop = status->latest.hdop;
  if (const std::optional<GpsFix>& valid = status->latestValid) {
    const std::int64_t age = status->ageNs + (status->latest.receivedUtcNs - valid->receivedUtcNs);
    fix.lastValidFixNs = nowMonotonicNs - age;
    fix.gpsUtcNs = valid->gpsUtcNs;
    fix.receivedUtcNs = valid->receivedUtcNs;
  }
  return fix;
}

LiveWatch::LiveWatch(const LogVariant& variant, const Clock& clock, LiveObserver& observer, LiveWatchOptions options)
    : variant_(variant),
      clock_(clock),
      observer_(observer),
      options_(std::move(options)),
      watched_(WatchedAlarmsOf(variant, static_cast<bool>(options_.gpsStatus))) {}

LiveWatch::~LiveWatch() = default;

void LiveWatch::Start(const std::string& base) {
  monitor_ = std::make_unique<AlarmMonitor>(options_.alarms, watched_, clock_);
  flagger_ = std::make_unique<QualityFlagger>(QualitySettingsFor(options_.alarms, InstrumentOfKind(variant_.kind)));
  folder_ = FolderOf(base);
  eventsError_.clear();
  nextDiskCheckNs_ = clock_.MonotonicNs();
}

void LiveWatch::PartStarted(const std::string& path) {
  currentPart_ = path;
  events_.Close();
}

void LiveWatch::Resumed() {
  if (monitor_) monitor_->ReadingResumed();
}

void LiveWatch::Stop() {
  events_.Close();
  monitor_.reset();
  flagger_.reset();
}

// ---- What happens ----

void LiveWatch::RecordAccepted(const LiveRecord& record, std::uint64_t bytes) {
  if (!monitor_) return;
  AcceptedReading reading{record.monotonicNs, bytes, Known(record.numbers.towDepth), std::nullopt, std::nullopt};
  if (watched_.signal) {
    const SensorReadings sensor = ReadSensorReadings(variant_.kind, record.text);
    reading.totalField = sensor.totalField;
    if (sensor.signal) reading.signal = *sensor.signal;
  }
  monitor_->RecordAccepted(reading);
  if (record.row == 0) return;  // a raw capture's chunk has no deviation
  const double deviation =
      static_cast<double>(CellInteger(record.cells[kColDev - kFirstRecordColumn]));
  findings_.clear();
  flagger_->Add({deviation, static_cast<double>(record.numbers.towDepth), record.monotonicNs}, findings_);
  for (const QualityFinding& finding : findings_) observer_.RecordFlagged(finding.record + 1, finding.flag, finding.value);
}

void LiveWatch::RecordRejected() {
  if (monitor_) monitor_->RecordRejected();
}

void LiveWatch::Tick(std::uint64_t partRow) {
  if (!monitor_) return;
  const std::int64_t now = clock_.MonotonicNs();
  CheckDisk(now);
  if (options_.gpsStatus) monitor_->GpsFix(GpsFixStatusOf(options_.gpsStatus(clock_.UtcNs()), now));
  for (const AlarmChange& change : monitor_->Evaluate()) {
    observer_.AlarmChanged(change);
    Record(AlarmEvent(change, partRow), events_);
  }
}

void LiveWatch::CheckDisk(std::int64_t nowNs) {
  if (nowNs < nextDiskCheckNs_ || !options_.freeBytes) return;
  nextDiskCheckNs_ = nowNs + options_.diskCheckNs;
  if (const std::optional<std::uint64_t> free = options_.freeBytes(folder_)) monitor_->FreeDiskBytes(*free);
}

// ---- The events file ----

void LiveWatch::Comment(const std::string& part, std::uint64_t partRow, std::string_view text) {
  const WatchEvent event = CommentEvent(clock_.UtcNs(), partRow, text);
  if (part == currentPart_) {
    Record(event, events_);
    return;
  }
  EventsFileWriter earlier;
  earlier.Open(EventsFileName(part));
  Record(event, earlier);
}

void LiveWatch::Mark(std::uint64_t partRow, std::string_view key, std::string_view note) {
  Record(MarkEvent(clock_.UtcNs(), partRow, key, note), events_);
}

// Reported whether written or not; a file that failed is opened again for
// the next event.
void LiveWatch::Record(const WatchEvent& event, EventsFileWriter& file) {
  observer_.EventRecorded(event);
  if (currentPart_.empty()) return;
  if (&file == &events_ && !events_.IsOpen()) events_.Open(EventsFileName(currentPart_));
  if (file.IsOpen() && file.Append(event)) {
    eventsError_.clear();
    return;
  }
  eventsError_ = file.Error();
  file.Close();
}

}  // namespace tessaly
