#include "core/SurveyExportSink.h"

#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "core/Clock.h"
#include "core/CsvWriter.h"
#include "core/GeoJsonWriter.h"
#include "core/KmlWriter.h"
#include "core/OutputFile.h"
#include "core/SurveyExport.h"
#include "core/ThreadedSink.h"
#include "core/UTMLaLo.h"
#include "core/XyzWriter.h"
#include "core/ZoneProjector.h"

namespace tessaly {

namespace {

// Records wait here until their quality flags are final: a record's spike is
// judged two records later, its noise four (QualityFlags.h).
class FlaggingQueue {
 public:
  static constexpr std::size_t kWait = 4;

  explicit FlaggingQueue(const QualitySettings& settings) : flagger_(settings) {}

  // Takes the next record (its comment copied) received at `receivedNs`
  // (kNoReceptionTime: unknown), with its projection where made, and passes
  // on to `to` every record whose flags are final.
  void Add(const SurveyRecord& record, const std::optional<ZonedPoint>& own, std::int64_t receivedNs,
           SurveyExport& to) {
    Waiting& waiting = ring_[(first_ + count_++) % ring_.size()];
    waiting.record = record;
    waiting.record.flags = 0;
    waiting.comment.assign(record.comment);
    waiting.own = own;
    QualityRecord judged;
    judged.value = record.deviation;
    judged.depth = record.towfishDepth;
    if (receivedNs != kNoReceptionTime) judged.receivedNs = receivedNs;
    flagger_.Add(judged, found_);
    for (const QualityFinding& finding : found_) *ring_[finding.record % ring_.size()].record.flags |= finding.flag;
    found_.clear();
    if (count_ > kWait) ReleaseFront(to);
  }

  void Flush(SurveyExport& to) {
    while (count_ > 0) ReleaseFront(to);
  }

 private:
  struct Waiting {
    SurveyRecord record;
    std::string comment;
    std::optional<ZonedPoint> own;
  };

  void ReleaseFront(SurveyExport& to) {
    Waiting& front = ring_[first_ % ring_.size()];
    front.record.comment = front.comment;
    to.Add(front.record, front.own ? &*front.own : nullptr);
    ++first_;
    --count_;
  }

  QualityFlagger flagger_;
  std::vector<QualityFinding> found_;
  // The waiting records: record n at n % size, from first_ on.
  std::array<Waiting, kWait + 1> ring_;
  std::size_t first_ = 0;  // the record number of the oldest waiting
  std::size_t count_ = 0;
};

// Milliseconds from 1970 of a reception time, rounded down.
std::int64_t FloorMillis(std::int64_t utcNs) {
  const std::int64_t millis = utcNs / kNsPerMs;
  return millis * kNsPerMs > utcNs ? millis - 1 : millis;
}

// The record's own position projected into its own zone on the pipeline's
// worker threads (ZoneProjector takes it as it is in that zone), so the
// projection, the dearest sum of a record, is not made on the one thread
// that hands the records over in order. Nothing for a record placed by the
// GPS and the layback (placed in order, after the workers) or without a
// position.
class OwnZoneProjection : public RecordFormatter {
 public:
  void Use(int mapDatum) { mapDatum_ = mapDatum; }
  bool UsesCells() const override { return false; }
  void Format(std::span<const std::string_view>, const RecordNumbers& numbers, std::string& out) const override {
    if (!mapDatum_) return;
    const GeoPosition position = OwnPosition(numbers);
    if (!position.Known()) return;
    const std::optional<ZonedPoint> own = ProjectInOwnZone(*mapDatum_, position.latitude, position.longitude);
    if (own) out.append(reinterpret_cast<const char*>(&*own), sizeof *own);
  }
  // What Format made of a record.
  static std::optional<ZonedPoint> Read(const std::optional<std::string_view>& formatted) {
    if (!formatted || formatted->size() != sizeof(ZonedPoint)) return std::nullopt;
    ZonedPoint own;
    std::memcpy(&own, formatted->data(), sizeof own);
    return own;
  }

 private:
  std::optional<int> mapDatum_;  // none: records are not projected here
};

class SurveySink : public ExportSink {
 public:
  SurveySink(OutputFile& out, const ExportSettings& settings, std::unique_ptr<ExportWriter> writer)
      : out_(out), settings_(settings), writer_(std::move(writer)) {
    if (settings.quality) flagging_.emplace(*settings.quality);
  }

  void Captions(const ExportInfo& info) override {
    positions_ = PositionSourceFor(info, settings_.layback, error_);
    ExportHeader header;
    header.sourceFile = std::filesystem::path(info.sourceFile).filename().string();
    header.kind = info.fileType;
    const bool known = info.mapDatum >= 0 && static_cast<std::size_t>(info.mapDatum) < kEllipsoids.size();
    header.datum = known ? std::string(kEllipsoids[static_cast<std::size_t>(info.mapDatum)].name) : "";
    header.layback = positions_ ? positions_->Layback() : "";
    header.exportTimeNs = settings_.exportTimeNs;
    SurveyExportOptions options;
    options.lines = settings_.lines;
    options.ties = settings_.ties;
    options.mapDatum = known ? info.mapDatum : kWgs84Datum;
    options.spillFolder = settings_.spillFolder;
    export_.emplace(std::move(header), options);
    if (positions_ && positions_->OwnPositions()) projection_.Use(options.mapDatum);
  }

  // Asked after Captions. The record columns' texts are not needed: only
  // the numbers and the comment.
  const RecordFormatter* Formatter() const override { return &projection_; }
  // Placing a record from the GPS files costs as much as reading it.
  bool WantsOwnThread() const override { return positions_ && !positions_->OwnPositions(); }

  void Row(const ExportRecord& record) override {
    if (!positions_) return;
    SurveyRecord survey;
    const Placement placement = positions_->Place(record);
    survey.latitude = placement.position.latitude;
    survey.longitude = placement.position.longitude;
    if (placement.receivedUtcNs != kNoReceptionTime) survey.time = RecordTime{FloorMillis(placement.receivedUtcNs)};
    survey.deviation = record.deviation;
    if (record.numbers) {
      survey.towfishDepth = record.numbers->towDepth;
      survey.sounder = record.numbers->sounder;
    }
    survey.comment = record.cells[kColComment];
    const std::optional<ZonedPoint> own = OwnZoneProjection::Read(record.formatted);
    if (flagging_) flagging_->Add(survey, own, placement.receivedUtcNs, *export_);
    else export_->Add(survey, own ? &*own : nullptr);
  }

  void End() override {
    if (!positions_) return;
    if (flagging_) flagging_->Flush(*export_);
    if (error_ = positions_->Error(); !error_.empty()) return;
    if (!export_->Write(*writer_, out_)) error_ = export_->Error();
  }

  std::string Error() const override { return error_; }

 private:
  OutputFile& out_;
  ExportSettings settings_;
  std::unique_ptr<ExportWriter> writer_;
  std::unique_ptr<PositionSource> positions_;
  std::optional<FlaggingQueue> flagging_;
  OwnZoneProjection projection_;
  std::optional<SurveyExport> export_;
  std::string error_;
};

template <typename Writer>
std::unique_ptr<ExportSink> MakeSurveySink(OutputFile& out, const ExportSettings& settings) {
  return std::make_unique<ThreadedSink>(std::make_unique<SurveySink>(out, settings, std::make_unique<Writer>()));
}

}  // namespace

GeoPosition OwnPosition(const RecordNumbers& numbers) {
  return numbers.towfish.Known() ? numbers.towfish : numbers.gps;
}

Placement RecordPosition::Place(const ExportRecord& record) {
  if (!record.numbers) return {};
  return {OwnPosition(*record.numbers)};
}

std::string GpsLaybackPosition::Open(const std::string& log, const LaybackSettings& settings) {
  return positioner_.Open(SideFilesOf(log), settings);
}

Placement GpsLaybackPosition::Place(const ExportRecord& record) {
  const PositionedRecord placed =
      positioner_.Next(record.numbers ? FactsOf(record.row, *record.numbers) : RecordFacts{record.row, {}});
  Placement placement;
  if (placed.towfish) placement.position = *placed.towfish;
  if (placed.receivedUtcNs) placement.receivedUtcNs = *placed.receivedUtcNs;
  return placement;
}

std::string GpsLaybackPosition::Layback() const { return positioner_.Description(); }

std::unique_ptr<PositionSource> PositionSourceFor(const ExportInfo& info, const LaybackSettings& settings,
                                                  std::string& error) {
  if (info.navigation || !HasPositioningFiles(info.sourceFile)) return std::make_unique<RecordPosition>();
  auto gps = std::make_unique<GpsLaybackPosition>();
  error = gps->Open(info.sourceFile, settings);
  if (!error.empty()) return nullptr;
  return gps;
}

std::unique_ptr<ExportSink> MakeXyzSink(OutputFile& out, const ExportSettings& settings) {
  return MakeSurveySink<XyzWriter>(out, settings);
}
std::unique_ptr<ExportSink> MakeCsvSink(OutputFile& out, const ExportSettings& settings) {
  return MakeSurveySink<CsvWriter>(out, settings);
}
std::unique_ptr<ExportSink> MakeGeoJsonSink(OutputFile& out, const ExportSettings& settings) {
  return MakeSurveySink<GeoJsonWriter>(out, settings);
}
std::unique_ptr<ExportSink> MakeKmlSink(OutputFile& out, const ExportSettings& settings) {
  return MakeSurveySink<KmlWriter>(out, settings);
}

}  // namespace tessaly
