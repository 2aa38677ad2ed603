// TrackIndex: the track model's level-of-detail index, and the screen cells
// a view is decimated into.
//
// Level 0 holds a box per run of kTrackRun consecutive records: the bounding
// box of their positions and the record of largest absolute deviation among
// them (the earlier one on a tie). Level k + 1 holds the same per run of
// kTrackRun boxes of level k; the top level is one box over every record.
// Decimating a view walks the boxes from the top: a box outside the view is
// skipped, a box inside one screen cell offers its record, any other box is
// opened. So the records visited are those of boxes that straddle a cell
// border, and the result is exactly that of visiting every record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tessaly {

struct TrackView;
struct DrawnPoint;

// Metres east and north of the track's origin; x is NaN in an empty slot.
struct TrackOffset {
  float x, y;
};

// Where a view puts offsets from an origin, and the square cells it is cut
// into.
class TrackScreen {
 public:
  TrackScreen(const TrackView& view, double originEasting, double originNorthing, int cellPixels);

  // Pixel coordinates; each grows monotonically with its offset (y falls as
  // the northing grows), so a box's corners bound its contents' pixels.
  double PixelX(float x) const { return (left_ + x) * scale_ + halfWidth_; }
  double PixelY(float y) const { return (top_ - y) * scale_ + halfHeight_; }
  bool Inside(double px, double py) const { return px >= 0.0 && px < width_ && py >= 0.0 && py < height_; }
  // True when the pixel box lies wholly outside the view.
  bool Misses(double left, double top, double right, double bottom) const {
    return right < 0.0 || bottom < 0.0 || left >= width_ || top >= height_;
  }
  int Cell(double pixel) const {
    const int whole = static_cast<int>(pixel);
    return cell_ == 1 ? whole : whole / cell_;  // no division for the usual one-pixel cells
  }
  std::size_t CellCount() const { return static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_); }
  std::size_t CellIndex(int cx, int cy) const {
    return static_cast<std::size_t>(cy) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(cx);
  }
  int CellPixels() const { return cell_; }

 private:
  double scale_, left_, top_, halfWidth_, halfHeight_, width_, height_;
  int cell_, columns_, rows_;
};

// The winning record of each screen cell so far, written straight into the
// output: a slot per cell (kept between calls, reset after use) points at
// the cell's point.
class CellWinners {
 public:
  CellWinners(const TrackScreen& screen, std::span<const double> deviations, std::vector<DrawnPoint>& out);
  ~CellWinners();
  CellWinners(const CellWinners&) = delete;
  CellWinners& operator=(const CellWinners&) = delete;

  // |deviations[record]|, NaN below every number, 0 past the end.
  double Rank(std::uint32_t record) const;
  // Offers `record` of rank `rank` for cell (cx, cy): it wins over a larger
  // rank, or the same rank and an earlier record.
  void Offer(int cx, int cy, std::uint32_t record, double rank);

 private:
  const TrackScreen& screen_;
  std::span<const double> deviations_;
  std::vector<DrawnPoint>& out_;
  std::vector<std::uint32_t>& slots_;
  std::vector<double>& ranks_;  // the rank of each point of out_
};

// Grows a buffer by an eighth instead of doubling it, so a long log's
// buffers never hold much more room than they use.
template <typename T>
void ReserveForOneMore(std::vector<T>& buffer) {
  if (buffer.size() < buffer.capacity()) return;
  buffer.reserve(buffer.size() + buffer.size() / 8 + 64);
}

// Records per box of level 0, boxes per box above (2 bytes a record).
inline constexpr std::size_t kTrackRun = 16;

class TrackIndex {
 public:
  // The next record: its offset (x NaN for an empty slot) and deviation.
  void Add(TrackOffset offset, double deviation);
  // Record `record`'s offset has changed in `offsets` (the records indexed,
  // `deviations` theirs): the boxes above it are made again from what they
  // hold.
  void Update(std::size_t record, std::span<const TrackOffset> offsets, std::span<const double> deviations);
  bool Empty() const;
  // The box over every position; false while there is none.
  bool Bounds(float& minX, float& minY, float& maxX, float& maxY) const;
  // Offers every cell's best record of `offsets` (the records indexed) to
  // `winners`.
  void Decimate(const TrackScreen& screen, std::span<const TrackOffset> offsets, CellWinners& winners) const;
  std::size_t MemoryBytes() const;

 private:
  struct Box {
    float minX, minY, maxX, maxY;
    std::uint32_t best;  // kNoRecord while the run has no position
    double bestAbsDeviation;
  };
  static constexpr std::uint32_t kNoRecord = 0xFFFFFFFFu;

  void Include(Box& box, std::uint32_t record, TrackOffset offset, double absDeviation);
  static void Merge(Box& box, const Box& below);
  void VisitBox(const TrackScreen& screen, std::span<const TrackOffset> offsets, CellWinners& winners,
                std::size_t level, std::size_t index) const;
  void VisitRecords(const TrackScreen& screen, std::span<const TrackOffset> offsets, CellWinners& winners,
                    std::size_t first, std::size_t end) const;

  std::vector<std::vector<Box>> levels_;
  std::size_t records_ = 0;
};

}  // namespace tessaly
