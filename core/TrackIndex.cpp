#include "core/TrackIndex.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/TrackModel.h"

namespace tessaly {

namespace {

constexpr std::uint32_t kNoSlot = 0xFFFFFFFFu;

// |deviation|, with NaN below every number so it never wins a cell.
double Rank(double deviation) {
  return std::isnan(deviation) ? -1.0 : std::fabs(deviation);
}

double RankOf(std::span<const double> deviations, std::uint32_t record) {
  return record < deviations.size() ? Rank(deviations[record]) : 0.0;
}

}  // namespace

TrackScreen::TrackScreen(const TrackView& view, double originEasting, double originNorthing, int cellPixels)
    : scale_(1.0 / view.metresPerPixel),
      left_(originEasting - view.centreEasting),
      top_(view.centreNorthing - originNorthing),
      halfWidth_(0.5 * view.width),
      halfHeight_(0.5 * view.height),
      width_(view.width),
      height_(view.height),
      cell_(std::max(cellPixels, 1)),
      columns_((view.width + cell_ - 1) / cell_),
      rows_((view.height + cell_ - 1) / cell_) {}

namespace {

template <typename T>
std::vector<T>& ScratchBuffer() {
  thread_local std::vector<T> buffer;
  return buffer;
}

}  // namespace

CellWinners::CellWinners(const TrackScreen& screen, std::span<const double> deviations,
                         std::vector<DrawnPoint>& out)
    : screen_(screen),
      deviations_(deviations),
      out_(out),
      slots_(ScratchBuffer<std::uint32_t>()),
      ranks_(ScratchBuffer<double>()) {
  if (slots_.size() < screen.CellCount()) slots_.assign(screen.CellCount(), kNoSlot);
  ranks_.clear();
}

CellWinners::~CellWinners() {
  const int cell = screen_.CellPixels();
  for (const DrawnPoint& p : out_) slots_[screen_.CellIndex(p.x / cell, p.y / cell)] = kNoSlot;
}

double CellWinners::Rank(std::uint32_t record) const { return RankOf(deviations_, record); }

void CellWinners::Offer(int cx, int cy, std::uint32_t record, double rank) {
  std::uint32_t& slot = slots_[screen_.CellIndex(cx, cy)];
  if (slot == kNoSlot) {
    slot = static_cast<std::uint32_t>(out_.size());
    const int cell = screen_.CellPixels();
    out_.push_back({cx * cell, cy * cell, record});
    ranks_.push_back(rank);
    return;
  }
  DrawnPoint& held = out_[slot];
  if (rank > ranks_[slot] || (rank == ranks_[slot] && record < held.record)) {
    held.record = record;
    ranks_[slot] = rank;
  }
}

bool TrackIndex::Empty() const { return levels_.empty() || levels_.back().front().best == kNoRecord; }

void TrackIndex::Include(Box& box, std::uint32_t record, TrackOffset offset, double rank) {
  if (box.best == kNoRecord) {
    box = {offset.x, offset.y, offset.x, offset.y, record, rank};
    return;
  }
  box.minX = std::min(box.minX, offset.x);
  box.maxX = std::max(box.maxX, offset.x);
  box.minY = std::min(box.minY, offset.y);
  box.maxY = std::max(box.maxY, offset.y);
  // Records come in order, so an equal rank keeps the earlier record.
  if (rank > box.bestAbsDeviation) {
    box.best = record;
    box.bestAbsDeviation = rank;
  }
}

void TrackIndex::Add(TrackOffset offset, double deviation) {
  const auto record = static_cast<std::uint32_t>(records_++);
  std::size_t run = record / kTrackRun;
  for (std::size_t level = 0;; ++level, run /= kTrackRun) {
    if (level == levels_.size()) {
      // A new top level: its first box covers the whole of the level below
      // so far, which is one full box and the current record's.
      levels_.emplace_back(1, levels_.empty() ? Box{0, 0, 0, 0, kNoRecord, 0} : levels_[level - 1].front());
    }
    std::vector<Box>& boxes = levels_[level];
    if (run == boxes.size()) {
      ReserveForOneMore(boxes);
      boxes.push_back({0, 0, 0, 0, kNoRecord, 0});
    }
    if (!std::isnan(offset.x)) Include(boxes[run], record, offset, Rank(deviation));
    if (boxes.size() == 1) break;
  }
}

void TrackIndex::Update(std::size_t record, std::span<const TrackOffset> offsets, std::span<const double> deviations) {
  if (record >= records_) return;
  std::size_t run = record / kTrackRun;
  Box& runBox = levels_[0][run];
  runBox = {0, 0, 0, 0, kNoRecord, 0};
  const std::size_t end = std::min((run + 1) * kTrackRun, records_);
  for (std::size_t k = run * kTrackRun; k < end; ++k) {
    const auto index = static_cast<std::uint32_t>(k);
    if (!std::isnan(offsets[k].x)) Include(runBox, index, offsets[k], RankOf(deviations, index));
  }
  for (std::size_t level = 1; level < levels_.size(); ++level) {
    run /= kTrackRun;
    Box& box = levels_[level][run];
    box = {0, 0, 0, 0, kNoRecord, 0};
    const std::vector<Box>& below = levels_[level - 1];
    const std::size_t last = std::min((run + 1) * kTrackRun, below.size());
    for (std::size_t c = run * kTrackRun; c < last; ++c) Merge(box, below[c]);
  }
}

// Adds what a box below holds; boxes come in record order, so an equal rank
// keeps the earlier record.
void TrackIndex::Merge(Box& box, const Box& below) {
  if (below.best == kNoRecord) return;
  if (box.best == kNoRecord) {
    box = below;
    return;
  }
  box.minX = std::min(box.minX, below.minX);
  box.maxX = std::max(box.maxX, below.maxX);
  box.minY = std::min(box.minY, below.minY);
  box.maxY = std::max(box.maxY, below.maxY);
  if (below.bestAbsDeviation > box.bestAbsDeviation) {
    box.best = below.best;
    box.bestAbsDeviation = below.bestAbsDeviation;
  }
}

bool TrackIndex::Bounds(float& minX, float& minY, float& maxX, float& maxY) const {
  if (Empty()) return false;
  const Box& all = levels_.back().front();
  minX = all.minX, minY = all.minY, maxX = all.maxX, maxY = all.maxY;
  return true;
}

void TrackIndex::Decimate(const TrackScreen& screen, std::span<const TrackOffset> offsets,
                          CellWinners& winners) const {
  if (!levels_.empty()) VisitBox(screen, offsets, winners, levels_.size() - 1, 0);
}

void TrackIndex::VisitBox(const TrackScreen& screen, std::span<const TrackOffset> offsets, CellWinners& winners,
                          std::size_t level, std::size_t index) const {
  const Box& box = levels_[level][index];
  if (box.best == kNoRecord) return;
  const double left = screen.PixelX(box.minX), right = screen.PixelX(box.maxX);
  const double top = screen.PixelY(box.maxY), bottom = screen.PixelY(box.minY);
  if (screen.Misses(left, top, right, bottom)) return;
  if (screen.Inside(left, top) && screen.Inside(right, bottom) && screen.Cell(left) == screen.Cell(right) &&
      screen.Cell(top) == screen.Cell(bottom)) {
    winners.Offer(screen.Cell(left), screen.Cell(top), box.best, winners.Rank(box.best));
    return;
  }
  const std::size_t first = index * kTrackRun;
  if (level == 0) {
    VisitRecords(screen, offsets, winners, first, std::min(first + kTrackRun, offsets.size()));
    return;
  }
  const std::size_t end = std::min(first + kTrackRun, levels_[level - 1].size());
  for (std::size_t child = first; child < end; ++child) VisitBox(screen, offsets, winners, level - 1, child);
}

void TrackIndex::VisitRecords(const TrackScreen& screen, std::span<const TrackOffset> offsets,
                              CellWinners& winners, std::size_t first, std::size_t end) const {
  // The cells first (-1 outside the view; an empty slot's NaN fails every
  // comparison), in a loop the compiler can vectorise.
  std::array<int, kTrackRun> cellX, cellY;
  const std::size_t count = end - first;
  for (std::size_t k = 0; k < count; ++k) {
    const TrackOffset o = offsets[first + k];
    const double px = screen.PixelX(o.x), py = screen.PixelY(o.y);
    const bool inside = screen.Inside(px, py);
    cellX[k] = inside ? screen.Cell(px) : -1;
    cellY[k] = inside ? screen.Cell(py) : -1;
  }
  // Neighbouring records mostly share a cell: each run of them offers only
  // its best.
  int runX = -1, runY = -1;
  std::uint32_t runBest = 0;
  double runRank = 0.0;
  for (std::size_t k = 0; k < count; ++k) {
    if (cellX[k] < 0) continue;
    const auto record = static_cast<std::uint32_t>(first + k);
    const double rank = winners.Rank(record);
    if (cellX[k] == runX && cellY[k] == runY) {
      if (rank > runRank) runBest = record, runRank = rank;
      continue;
    }
    if (runX >= 0) winners.Offer(runX, runY, runBest, runRank);
    runX = cellX[k], runY = cellY[k], runBest = record, runRank = rank;
  }
  if (runX >= 0) winners.Offer(runX, runY, runBest, runRank);
}

std::size_t TrackIndex::MemoryBytes() const {
  std::size_t bytes = levels_.capacity() * sizeof(std::vector<Box>);
  for (const std::vector<Box>& boxes : levels_) bytes += boxes.capacity() * sizeof(Box);
  return bytes;
}

}  // namespace tessaly
