#include "core/TrackModel.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/RecordSource.h"

namespace tessaly {

namespace {

constexpr float kEmptySlot = std::numeric_limits<float>::quiet_NaN();

}  // namespace

TrackModel::TrackModel(int mapDatum) : mapDatum_(mapDatum) {}

void TrackModel::Clear() {
  const std::uint64_t revision = revision_;
  *this = TrackModel(mapDatum_);
  revision_ = revision + 1;
}

void TrackModel::SetOrigin(double latitude, double longitude) {
  UtmPosition own;
  if (!LatLonToUtm(mapDatum_, latitude, longitude, own)) return;
  zone_ = own.zoneNumber;
  southern_ = latitude < 0.0;
  band_ = own.bandLetter;
  originEasting_ = own.easting;
  originNorthing_ = own.northing;
}

std::optional<TrackOffset> TrackModel::OffsetOf(double latitude, double longitude) {
  if (zone_ == 0 && std::fabs(latitude) < 90.0 && std::fabs(longitude) <= 180.0) SetOrigin(latitude, longitude);
  UtmPosition utm;
  if (zone_ == 0 || !LatLonToUtmInZone(mapDatum_, latitude, longitude, zone_, southern_, utm)) return std::nullopt;
  return TrackOffset{static_cast<float>(utm.easting - originEasting_), static_cast<float>(utm.northing - originNorthing_)};
}

void TrackModel::Append(double latitude, double longitude, double deviation) {
  const std::optional<TrackOffset> offset = OffsetOf(latitude, longitude);
  if (!offset) {
    AppendMissing();
    return;
  }
  AppendOffset(*offset, deviation);
  ++positionCount_;
}

void TrackModel::AppendMissing() { AppendOffset({kEmptySlot, 0.0f}, 0.0); }

void TrackModel::AppendOffset(TrackOffset offset, double deviation) {
  ReserveForOneMore(offsets_);
  offsets_.push_back(offset);
  index_.Add(offset, deviation);
  ++revision_;
}

void TrackModel::Replace(std::size_t record, const GeoPosition& position, std::span<const double> deviations) {
  if (record >= offsets_.size()) return;
  const std::optional<TrackOffset> offset =
      position.Known() ? OffsetOf(position.latitude, position.longitude) : std::nullopt;
  TrackOffset& slot = offsets_[record];
  positionCount_ -= std::isnan(slot.x) ? 0 : 1;
  slot = offset.value_or(TrackOffset{kEmptySlot, 0.0f});
  positionCount_ += offset ? 1 : 0;
  index_.Update(record, offsets_, deviations);
  ++revision_;
}

std::size_t TrackModel::Size() const { return offsets_.size(); }
std::size_t TrackModel::PositionCount() const { return positionCount_; }
int TrackModel::MapDatum() const { return mapDatum_; }
int TrackModel::Zone() const { return positionCount_ == 0 ? 0 : zone_; }
bool TrackModel::SouthernHemisphere() const { return southern_; }

std::optional<UtmPosition> TrackModel::Position(std::size_t record) const {
  if (record >= offsets_.size() || std::isnan(offsets_[record].x)) return std::nullopt;
  UtmPosition p;
  p.easting = originEasting_ + offsets_[record].x;
  p.northing = originNorthing_ + offsets_[record].y;
  p.zoneNumber = zone_;
  p.bandLetter = band_;
  return p;
}

std::optional<TrackBounds> TrackModel::Bounds() const {
  float minX = 0, minY = 0, maxX = 0, maxY = 0;
  if (!index_.Bounds(minX, minY, maxX, maxY)) return std::nullopt;
  return TrackBounds{originEasting_ + minX, originNorthing_ + minY, originEasting_ + maxX, originNorthing_ + maxY};
}

void TrackModel::Decimate(const TrackView& view, std::span<const double> deviations, int cellPixels,
                          std::vector<DrawnPoint>& out) const {
  out.clear();
  const bool usable = view.width > 0 && view.height > 0 && view.metresPerPixel > 0.0 &&
                      std::isfinite(view.metresPerPixel) && std::isfinite(view.centreEasting) &&
                      std::isfinite(view.centreNorthing);
  if (!usable) return;
  const TrackScreen screen(view, originEasting_, originNorthing_, cellPixels);
  if (screen.CellCount() > kMaxTrackCells) return;
  CellWinners winners(screen, deviations, out);
  index_.Decimate(screen, offsets_, winners);
}

std::optional<TrackView> TrackModel::FitAll(int width, int height, int marginPixels) const {
  const std::optional<TrackBounds> bounds = Bounds();
  if (!bounds) return std::nullopt;
  return FitBounds(*bounds, width, height, marginPixels);
}

TrackBounds Union(const TrackBounds& a, const TrackBounds& b) {
  return {std::min(a.minEasting, b.minEasting), std::min(a.minNorthing, b.minNorthing),
          std::max(a.maxEasting, b.maxEasting), std::max(a.maxNorthing, b.maxNorthing)};
}

std::optional<TrackView> FitBounds(const TrackBounds& bounds, int width, int height, int marginPixels) {
  if (width <= 0 || height <= 0) return std::nullopt;
  // The extreme positions land half a pixel inside the margins, so the far
  // ones stay on the last pixel instead of falling just past it.
  const int usableWidth = std::max(width - 2 * marginPixels - 1, 1);
  const int usableHeight = std::max(height - 2 * marginPixels - 1, 1);
  const double spanE = bounds.maxEasting - bounds.minEasting;
  const double spanN = bounds.maxNorthing - bounds.minNorthing;
  // A single position (or one line of them) still gets a finite scale.
  constexpr double kSmallestMetresPerPixel = 0.01;
  TrackView view;
  view.width = width;
  view.height = height;
  view.centreEasting = 0.5 * (bounds.minEasting + bounds.maxEasting);
  view.centreNorthing = 0.5 * (bounds.minNorthing + bounds.maxNorthing);
  view.metresPerPixel = std::max({spanE / usableWidth, spanN / usableHeight, kSmallestMetresPerPixel});
  return view;
}

std::size_t TrackModel::MemoryBytes() const {
  return offsets_.capacity() * sizeof(TrackOffset) + index_.MemoryBytes();
}

namespace {

using PositionOf = GeoPosition RecordNumbers::*;

// Appends records from `first` on with the positions `which` picks.
std::size_t AppendFrom(const RecordSource& source, TrackModel& model, std::size_t first, PositionOf which) {
  const std::span<const double> deviations = source.ChartValues();
  const std::span<const RecordNumbers> numbers = source.Numbers();
  const std::size_t end = std::min(deviations.size(), numbers.size());
  for (std::size_t record = first; record < end; ++record) {
    const GeoPosition& position = numbers[record].*which;
    if (position.Known()) model.Append(position.latitude, position.longitude, deviations[record]);
    else model.AppendMissing();
  }
  return end > first ? end - first : 0;
}

}  // namespace

GeoPosition RecordNumbers::*TrackPositionsOf(std::span<const RecordNumbers> numbers) {
  const bool towfish =
      std::any_of(numbers.begin(), numbers.end(), [](const RecordNumbers& n) { return n.towfish.Known(); });
  return towfish ? &RecordNumbers::towfish : &RecordNumbers::gps;
}

bool BuildTrack(const RecordSource& source, TrackModel& model) {
  model.Clear();
  AppendFrom(source, model, 0, TrackPositionsOf(source.Numbers()));
  return model.PositionCount() > 0;
}

std::size_t ExtendTrack(const RecordSource& source, TrackModel& model) {
  return AppendFrom(source, model, model.Size(), &RecordNumbers::towfish);
}

}  // namespace tessaly
