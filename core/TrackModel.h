// TrackModel: the positions of a log's records on the ground, projected into
// one UTM zone, for the track plot.
//
// Record i (0-based) is grid row i + 1 and chart value i. Every record has a
// slot; a record without a usable position keeps an empty slot so the
// indices stay aligned with the chart values. The zone (and hemisphere) is
// the first position's; positions of other zones are projected into it, so
// a survey that crosses a zone border stays one continuous plot.
//
// Positions are kept as single-precision metres relative to the first
// position (centimetre-level precision over hundreds of kilometres), plus a
// small level-of-detail index over runs of consecutive records (their
// bounding box and the record of largest absolute deviation), so a view of
// a million records is decimated by visiting runs, not records. The whole
// model costs at most 16 bytes per record (MemoryBytes).
//
// Deviations are not stored: they are the source's chart values, passed in
// where needed (Append takes the record's deviation to keep the index).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/RecordNumbers.h"
#include "core/TrackIndex.h"
#include "core/UTMLaLo.h"

namespace tessaly {

class RecordSource;

// A rectangle in UTM metres of the model's zone.
struct TrackBounds {
  double minEasting = 0.0, minNorthing = 0.0;
  double maxEasting = 0.0, maxNorthing = 0.0;
};

// How a track is shown: north up, equal scales on both axes. Pixel (x, y)
// with x to the right and y down; the view's centre is at pixel
// (width / 2, height / 2).
struct TrackView {
  double centreEasting = 0.0;
  double centreNorthing = 0.0;
  double metresPerPixel = 1.0;
  int width = 0;
  int height = 0;
};

// One point to draw: its screen cell's top-left pixel and the record shown
// there.
struct DrawnPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::uint32_t record = 0;

  bool operator==(const DrawnPoint&) const = default;
};

// The most cells Decimate cuts a view into: 8192 x 8192 one-pixel cells.
inline constexpr std::size_t kMaxTrackCells = std::size_t{1} << 26;

class TrackModel {
 public:
  explicit TrackModel(int mapDatum = kWgs84Datum);

  void Clear();
  // Appends the next record's position in signed decimal degrees (north and
  // east positive) and its deviation. A position that does not convert
  // (not finite, outside the projection) leaves the record's slot empty.
  void Append(double latitude, double longitude, double deviation);
  // Appends a record without a position.
  void AppendMissing();
  // Gives record i another position (a live session's position worked out
  // again), or none when `position` is not Known; `deviations` are the
  // records' (the source's chart values), as Decimate takes them. Before
  // the first position, the one given sets the zone.
  void Replace(std::size_t record, const GeoPosition& position, std::span<const double> deviations);
  // Changes with every record appended or replaced: what was drawn of the
  // model is out of date when it differs.
  std::uint64_t Revision() const { return revision_; }

  std::size_t Size() const;                  // records, with or without a position
  std::size_t PositionCount() const;         // records with a position
  int MapDatum() const;
  // The zone all positions are projected into; 0 while there is none.
  int Zone() const;
  bool SouthernHemisphere() const;
  // Easting and northing of record i in the model's zone (zoneNumber is the
  // model's zone, bandLetter the first position's band); none for an empty
  // slot or past the end.
  std::optional<UtmPosition> Position(std::size_t record) const;
  // The rectangle holding every position; none while there is none.
  std::optional<TrackBounds> Bounds() const;

  // The points to draw in `view`: the view is cut into square cells of
  // `cellPixels` pixels, and each cell that holds a position shows one
  // record: the one of largest absolute deviation among the records in the
  // cell. `deviations[i]` is record i's, the value given to Append (the
  // source's chart values); a record past its end counts as 0. Points
  // outside the view are left out. Equal absolute deviations go to the
  // earlier record. The points come in no particular order. The cost
  // follows the cells the track crosses and the runs of records that
  // straddle a cell border, not the records in view. A view of more than
  // kMaxTrackCells cells is not decimated (nothing to draw).
  void Decimate(const TrackView& view, std::span<const double> deviations, int cellPixels,
                std::vector<DrawnPoint>& out) const;

  // A view of `width` x `height` pixels showing every position, with
  // `marginPixels` free on each side; none while there is no position.
  std::optional<TrackView> FitAll(int width, int height, int marginPixels) const;

  // Bytes held by the model's buffers.
  std::size_t MemoryBytes() const;

 private:
  void SetOrigin(double latitude, double longitude);
  void AppendOffset(TrackOffset offset, double deviation);
  // The offset of a position from the origin (set by it when there is none
  // yet); none where it does not convert.
  std::optional<TrackOffset> OffsetOf(double latitude, double longitude);

  int mapDatum_;
  int zone_ = 0;
  bool southern_ = false;
  char band_ = 'Z';
  double originEasting_ = 0.0, originNorthing_ = 0.0;
  std::vector<TrackOffset> offsets_;
  std::size_t positionCount_ = 0;
  std::uint64_t revision_ = 0;
  TrackIndex index_;
};

// A view of `width` x `height` pixels showing all of `bounds`, with
// `marginPixels` free on each side; none for a size of no pixels.
std::optional<TrackView> FitBounds(const TrackBounds& bounds, int width, int height, int marginPixels);
// The rectangle holding both.
TrackBounds Union(const TrackBounds& a, const TrackBounds& b);

// The positions a source's track shows: the towfish's, or the GPS's where
// no record has a towfish position (a navigation import of GPS positions
// only).
GeoPosition RecordNumbers::*TrackPositionsOf(std::span<const RecordNumbers> numbers);

// Fills `model` from a record source's numbers: the towfish's positions, or
// the GPS's where the source has no towfish position at all (a navigation
// import of GPS positions only), with the chart values as deviations.
// Returns false when the source has no position.
bool BuildTrack(const RecordSource& source, TrackModel& model);

// Appends the source's records the model does not hold yet (a live session's
// new records), their towfish positions. Returns how many were appended.
std::size_t ExtendTrack(const RecordSource& source, TrackModel& model);

}  // namespace tessaly
