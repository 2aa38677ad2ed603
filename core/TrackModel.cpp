#include "core/TrackModel.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/GridLayout.h"
#include "core/Positions.h"
#include "core/RecordSource.h"

namespace tessaly {

namespace {

constexpr std::uint32_t kNoSlot = std::numeric_limits<std::uint32_t>::max();

// Grows a buffer by an eighth instead of doubling it, so a long log's
// buffers never hold much more room than they use.
template <typename T>
void ReserveForOneMore(std::vector<T>& buffer) {
  if (buffer.size() < buffer.capacity()) return;
  buffer.reserve(buffer.size() + buffer.size() / 8 + 64);
}

double AbsDeviation(std::span<const double> deviations, std::size_t record) {
  if (record >= deviations.size()) return 0.0;
  const double value = std::fabs(deviations[record]);
  return std::isnan(value) ? -1.0 : value;
}

// True when record `a` beats record `b` for a cell: a larger absolute
// deviation, or the same and an earlier record.
bool Outranks(std::span<const double> deviations, std::uint32_t a, std::uint32_t b) {
  const double da = AbsDeviation(deviations, a), db = AbsDeviation(deviations, b);
  return da > db || (da == db && a < b);
}

}  // namespace

// Where a view puts the model's offsets, and the cells it is cut into.
class TrackScreen {
 public:
  TrackScreen(const TrackView& view, double originEasting, double originNorthing, int cellPixels)
      : view_(view),
        scale_(1.0 / view.metresPerPixel),
        left_(originEasting - view.centreEasting),
        top_(view.centreNorthing - originNorthing),
        cell_(std::max(cellPixels, 1)),
        columns_((view.width + cell_ - 1) / cell_) {}

  // Pixel coordinates; both grow monotonically with their offset (y falls
  // as the northing grows), so a box's corners bound its contents' pixels.
  double PixelX(float x) const { return (left_ + x) * scale_ + 0.5 * view_.width; }
  double PixelY(float y) const { return (top_ - y) * scale_ + 0.5 * view_.height; }
  bool InsideX(double px) const { return px >= 0.0 && px < view_.width; }
  bool InsideY(double py) const { return py >= 0.0 && py < view_.height; }
  int Cell(double px) const { return static_cast<int>(px) / cell_; }
  std::size_t CellCount() const {
    return static_cast<std::size_t>(columns_) * static_cast<std::size_t>((view_.height + cell_ - 1) / cell_);
  }
  std::size_t CellIndex(int cx, int cy) const {
    return static_cast<std::size_t>(cy) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(cx);
  }
  DrawnPoint Point(int cx, int cy, std::uint32_t record) const { return {cx * cell_, cy * cell_, record}; }
  std::size_t CellIndexOf(const DrawnPoint& p) const { return CellIndex(p.x / cell_, p.y / cell_); }

 private:
  TrackView view_;
  double scale_, left_, top_;
  int cell_, columns_;
};

// The best record of each screen cell so far: a slot per cell pointing into
// the output, reset after use.
class CellWinners {
 public:
  CellWinners(const TrackScreen& screen, std::span<const double> deviations, std::vector<DrawnPoint>& out)
      : screen_(screen), deviations_(deviations), out_(out) {
    thread_local std::vector<std::uint32_t> slots;
    if (slots.size() < screen.CellCount()) slots.assign(screen.CellCount(), kNoSlot);
    slots_ = &slots;
  }
  ~CellWinners() {
    for (const DrawnPoint& p : out_) (*slots_)[screen_.CellIndexOf(p)] = kNoSlot;
  }
  CellWinners(const CellWinners&) = delete;
  CellWinners& operator=(const CellWinners&) = delete;

  void Offer(int cx, int cy, std::uint32_t record) {
    std::uint32_t& slot = (*slots_)[screen_.CellIndex(cx, cy)];
    if (slot == kNoSlot) {
      slot = static_cast<std::uint32_t>(out_.size());
      out_.push_back(screen_.Point(cx, cy, record));
    } else if (Outranks(deviations_, record, out_[slot].record)) {
      out_[slot].record = record;
    }
  }

 private:
  const TrackScreen& screen_;
  std::span<const double> deviations_;
  std::vector<DrawnPoint>& out_;
  std::vector<std::uint32_t>* slots_;
};

TrackModel::TrackModel(int mapDatum) : mapDatum_(mapDatum) {}

void TrackModel::Clear() {
  *this = TrackModel(mapDatum_);
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

void TrackModel::Append(double latitude, double longitude, double deviation) {
  (void)deviation;
  if (zone_ == 0 && std::fabs(latitude) < 90.0 && std::fabs(longitude) <= 180.0) SetOrigin(latitude, longitude);
  UtmPosition utm;
  if (zone_ == 0 || !LatLonToUtmInZone(mapDatum_, latitude, longitude, zone_, southern_, utm)) {
    AppendMissing();
    return;
  }
  const Offset offset{static_cast<float>(utm.easting - originEasting_),
                      static_cast<float>(utm.northing - originNorthing_)};
  ReserveForOneMore(offsets_);
  offsets_.push_back(offset);
  if (positionCount_++ == 0) {
    minX_ = maxX_ = offset.x;
    minY_ = maxY_ = offset.y;
  } else {
    minX_ = std::min(minX_, offset.x);
    maxX_ = std::max(maxX_, offset.x);
    minY_ = std::min(minY_, offset.y);
    maxY_ = std::max(maxY_, offset.y);
  }
}

void TrackModel::AppendMissing() {
  ReserveForOneMore(offsets_);
  offsets_.push_back({std::numeric_limits<float>::quiet_NaN(), 0.0f});
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
  if (positionCount_ == 0) return std::nullopt;
  return TrackBounds{originEasting_ + minX_, originNorthing_ + minY_, originEasting_ + maxX_,
                     originNorthing_ + maxY_};
}

void TrackModel::Decimate(const TrackView& view, std::span<const double> deviations, int cellPixels,
                          std::vector<DrawnPoint>& out) const {
  out.clear();
  if (view.width <= 0 || view.height <= 0 || !(view.metresPerPixel > 0.0)) return;
  const TrackScreen screen(view, originEasting_, originNorthing_, cellPixels);
  CellWinners winners(screen, deviations, out);
  for (std::size_t i = 0; i < offsets_.size(); ++i) {
    const Offset o = offsets_[i];
    if (std::isnan(o.x)) continue;
    const double px = screen.PixelX(o.x), py = screen.PixelY(o.y);
    if (screen.InsideX(px) && screen.InsideY(py))
      winners.Offer(screen.Cell(px), screen.Cell(py), static_cast<std::uint32_t>(i));
  }
}

std::optional<TrackView> TrackModel::FitAll(int width, int height, int marginPixels) const {
  const std::optional<TrackBounds> bounds = Bounds();
  if (!bounds || width <= 0 || height <= 0) return std::nullopt;
  // The extreme positions land half a pixel inside the margins, so the far
  // ones stay on the last pixel instead of falling just past it.
  const int usableWidth = std::max(width - 2 * marginPixels - 1, 1);
  const int usableHeight = std::max(height - 2 * marginPixels - 1, 1);
  const double spanE = bounds->maxEasting - bounds->minEasting;
  const double spanN = bounds->maxNorthing - bounds->minNorthing;
  // A single position (or one line of them) still gets a finite scale.
  constexpr double kSmallestMetresPerPixel = 0.01;
  TrackView view;
  view.width = width;
  view.height = height;
  view.centreEasting = 0.5 * (bounds->minEasting + bounds->maxEasting);
  view.centreNorthing = 0.5 * (bounds->minNorthing + bounds->maxNorthing);
  view.metresPerPixel = std::max({spanE / usableWidth, spanN / usableHeight, kSmallestMetresPerPixel});
  return view;
}

std::size_t TrackModel::MemoryBytes() const { return offsets_.capacity() * sizeof(Offset); }

namespace {

struct PositionColumns {
  std::size_t lat, lon, zone;
};

constexpr PositionColumns kTowfishColumns{kColTfDecLat, kColTfDecLon, kColTfUtmZone};
constexpr PositionColumns kGpsColumns{kColGpsDecLat, kColGpsDecLon, kColGpsUtmZone};

// Signed decimal degrees of a record row's position columns; false when a
// cell is empty or not a number, or the position's UTM zone was not filled
// (the towfish columns of a GPS-only navigation import hold zeros).
bool ReadPosition(const CellTable& cells, std::size_t row, const PositionColumns& columns, double& latitude,
                  double& longitude) {
  return !cells.Cell(row, columns.zone).empty() && ReadNumber(cells.Cell(row, columns.lat), '.', latitude) &&
         ReadNumber(cells.Cell(row, columns.lon), '.', longitude);
}

bool HasAnyPosition(const CellTable& cells, std::size_t rows, const PositionColumns& columns) {
  double latitude = 0, longitude = 0;
  for (std::size_t row = 1; row < rows; ++row)
    if (ReadPosition(cells, row, columns, latitude, longitude)) return true;
  return false;
}

}  // namespace

bool BuildTrack(const RecordSource& source, TrackModel& model) {
  model.Clear();
  const CellTable& cells = source.Cells();
  const std::span<const double> deviations = source.ChartValues();
  const PositionColumns columns = HasAnyPosition(cells, deviations.size() + 1, kTowfishColumns) ? kTowfishColumns : kGpsColumns;
  // A slot per chart value, so record i stays chart value i.
  for (std::size_t row = 1; row <= deviations.size(); ++row) {
    double latitude = 0, longitude = 0;
    if (ReadPosition(cells, row, columns, latitude, longitude))
      model.Append(latitude, longitude, deviations[row - 1]);
    else
      model.AppendMissing();
  }
  return model.PositionCount() > 0;
}

}  // namespace tessaly
