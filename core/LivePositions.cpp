#include "core/LivePositions.h"

#include <utility>

namespace tessaly {

namespace {

bool SamePoint(const std::optional<GeoPosition>& a, const std::optional<GeoPosition>& b) {
  if (a.has_value() != b.has_value()) return false;
  return !a || (a->latitude == b->latitude && a->longitude == b->longitude);
}

bool SamePosition(const PositionedRecord& a, const PositionedRecord& b) {
  return a.flags == b.flags && a.depth == b.depth && a.cableOut == b.cableOut && SamePoint(a.antenna, b.antenna) &&
         SamePoint(a.towfish, b.towfish);
}

}  // namespace

std::int64_t ToWrittenMillis(std::int64_t utcNs) {
  const std::int64_t ms = utcNs / kNsPerMs - (utcNs % kNsPerMs < 0 ? 1 : 0);
  return ms * kNsPerMs;
}

LivePositions::LivePositions(const LaybackSettings& settings, double cableOut)
    : settings_(settings), cable_(cableOut) {
  StartPart({});
}

void LivePositions::StartPart(const std::vector<ReceivedSentence>& leadIn) {
  fixes_ = FixTimeline{};
  settled_.emplace(fixes_, cable_, settings_);
  newest_.emplace(*settled_);
  unsettled_.clear();
  validSeen_ = fixesSeen_ = 0;
  frozenValidUtc_.reset();
  for (const ReceivedSentence& received : leadIn) AddSentence(received.utcNs, received.sentence);
}

void LivePositions::AddSentence(std::int64_t utcNs, const DecodedSentence& sentence) {
  fixes_.Add(ToWrittenMillis(utcNs), sentence);
  const std::vector<GpsFix>& fixes = fixes_.Fixes();
  const bool validChanged = fixes_.ValidCount() != validSeen_;
  const bool fixClosed = fixes.size() != fixesSeen_;
  validSeen_ = fixes_.ValidCount();
  fixesSeen_ = fixes.size();
  // A fix can no longer change once the next has begun.
  if (fixClosed && fixes.size() > 1 && fixes[fixes.size() - 2].valid)
    frozenValidUtc_ = fixes[fixes.size() - 2].receivedUtcNs;
  if (validChanged) WorkOutAgain();
  if (fixClosed) Settle();
}

void LivePositions::AddRecord(std::uint64_t row, std::uint64_t partRow, std::int64_t utcNs,
                              std::optional<double> towDepth) {
  Waiting record{row, partRow, ToWrittenMillis(utcNs), towDepth, {}};
  record.last = Place(*newest_, record);
  changes_.push_back({row, record.last, false});
  unsettled_.push_back(std::move(record));
  Settle();
}

void LivePositions::ChangeCable(std::int64_t utcNs, double metres) {
  cable_.Change({ToWrittenMillis(utcNs), metres});
  WorkOutAgain();
}

double LivePositions::CableOutNow() const {
  return cable_.Changes().empty() ? cable_.Initial() : cable_.Changes().back().metres;
}

std::vector<LivePosition> LivePositions::TakeChanges() { return std::exchange(changes_, {}); }

PositionedRecord LivePositions::Place(RecordPositioner& positioner, const Waiting& record) const {
  return positioner.Position({record.partRow, record.towDepth}, ReceptionTime{record.partRow, record.utcNs, 0});
}

// Every unsettled record again, from the positioner of the settled ones.
void LivePositions::WorkOutAgain() {
  newest_.emplace(*settled_);
  for (Waiting& record : unsettled_) {
    const PositionedRecord now = Place(*newest_, record);
    if (SamePosition(now, record.last)) continue;
    record.last = now;
    changes_.push_back({record.row, now, false});
  }
}

// Records received kSettleNs or more before the newest valid fix that can
// no longer change are settled.
void LivePositions::Settle() {
  if (!frozenValidUtc_) return;
  const std::int64_t before = *frozenValidUtc_ - kSettleNs;
  while (!unsettled_.empty() && unsettled_.front().utcNs <= before) {
    const Waiting& record = unsettled_.front();
    Place(*settled_, record);
    if (record.last.flags & kExtrapolated) changes_.push_back({record.row, record.last, true});
    unsettled_.pop_front();
  }
}

}  // namespace tessaly
