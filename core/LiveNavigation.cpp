#include "core/LiveNavigation.h"

#include <cmath>

#include "core/LogPartWriter.h"
#include "core/SettingsStore.h"
#include "core/SideFile.h"

namespace tessaly {

namespace {

// A raw capture keeps no more fixes than this before starting them again
// from the recent sentences: only the status reads them.
constexpr std::size_t kMostUnusedFixes = 100000;

std::optional<std::int64_t> ReceivedAt(const std::optional<GpsFix>& fix) {
  if (!fix) return std::nullopt;
  return fix->receivedUtcNs;
}

// What a crew sees of the GPS has changed.
bool Differs(const LiveGpsStatus& a, const LiveGpsStatus& b) {
  return !(a.port == b.port) || ReceivedAt(a.latest) != ReceivedAt(b.latest) ||
         (a.latest && a.latest->valid != b.latest->valid) || ReceivedAt(a.latestValid) != ReceivedAt(b.latestValid) ||
         a.cableOut != b.cableOut || a.fileError != b.fileError;
}

}  // namespace

std::vector<std::string> LiveNavigation::SideSuffixes() {
  return {std::string(kNmeaSuffix), std::string(kCableSuffix)};
}

LiveNavigation::LiveNavigation(LiveTransport& gps, const Clock& clock, LiveObserver& observer,
                               const LaybackSettings& settings, bool positionRecords, std::int64_t reconnectPeriodNs)
    : clock_(clock),
      observer_(observer),
      settings_(settings),
      positionRecords_(positionRecords),
      gps_(gps, clock, reconnectPeriodNs),
      positions_(settings, settings.cableOut) {}

void LiveNavigation::Start(LogPartWriter& writer) {
  writer_ = &writer;
  positions_.StartPart({});
  fileError_.clear();
  WriteCable(clock_.UtcNs(), positions_.CableOutNow());
  gps_.Start([this](std::string_view line) { return writer_->AppendSideLine(kNmeaSide, line); },
             [this](const ReceivedSentence& sentence) { Received(sentence); });
  reported_.reset();
}

void LiveNavigation::Stop() {
  gps_.Stop();
  Report();
}

void LiveNavigation::Poll() { gps_.Poll(); }

void LiveNavigation::Tick() {
  gps_.Tick();
  if (!positionRecords_ && positions_.Fixes().Fixes().size() > kMostUnusedFixes) positions_.StartPart(gps_.Recent());
}

void LiveNavigation::Received(const ReceivedSentence& sentence) {
  positions_.AddSentence(sentence.utcNs, sentence.sentence);
}

// The part's NMEA file begins with the sentences of the seconds before it,
// its cable file with the cable out in force at its first record and the
// changes made since (records written late, after a failed write).
void LiveNavigation::PartStarted(std::int64_t firstUtcNs) {
  fileError_.clear();
  positions_.StartPart(gps_.StartPart());
  const CableHistory& cable = positions_.Cable();
  WriteCable(firstUtcNs, cable.At(ToWrittenMillis(firstUtcNs)));
  for (const CableChange& change : cable.Changes())
    if (change.utcNs > ToWrittenMillis(firstUtcNs)) WriteCable(change.utcNs, change.metres);
}

void LiveNavigation::RecordWritten(std::uint64_t row, std::uint64_t partRow, std::int64_t utcNs, float towDepth) {
  if (!positionRecords_) return;
  positions_.AddRecord(row, partRow, utcNs, std::isnan(towDepth) ? std::nullopt : std::optional<double>(towDepth));
}

std::string LiveNavigation::SetCableOut(double metres) {
  LaybackSettings changed = settings_;
  changed.cableOut = metres;
  if (std::string problem = LaybackSettingsProblem(changed); !problem.empty()) return problem;
  const std::int64_t now = clock_.UtcNs();
  positions_.ChangeCable(now, metres);
  return WriteCable(now, metres);
}

std::string LiveNavigation::WriteCable(std::int64_t utcNs, double metres) {
  std::string error = writer_->AppendSideLine(kCableSide, FormatCableChange({ToWrittenMillis(utcNs), metres}));
  if (!error.empty()) FileFailed(error);
  return error;
}

void LiveNavigation::FileFailed(const std::string& error) {
  if (fileError_.empty()) fileError_ = error;
}

std::optional<GpsStatus> LiveNavigation::FixStatus() const { return positions_.Fixes().Status(clock_.UtcNs()); }

LiveGpsStatus LiveNavigation::Status() const {
  LiveGpsStatus status;
  status.port = gps_.Status();
  if (const std::optional<GpsStatus> fix = FixStatus()) {
    status.latest = fix->latest;
    status.latestValid = fix->latestValid;
  }
  status.cableOut = positions_.CableOutNow();
  status.fileError = fileError_;
  return status;
}

void LiveNavigation::Report() {
  if (std::vector<LivePosition> positions = positions_.TakeChanges(); !positions.empty())
    observer_.RecordsPositioned(positions);
  LiveGpsStatus status = Status();
  if (reported_ && !Differs(*reported_, status)) return;
  observer_.GpsChanged(status);
  reported_ = std::move(status);
}

}  // namespace tessaly
