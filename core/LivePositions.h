// LivePositions: the antenna and towfish positions of a live session's
// records, worked out as the records are written, by the rule the command
// line follows after the survey (RecordPositioner) and on the clock the side
// files keep (reception times to the millisecond), so that a part positioned
// later from its files gives what the session gave.
//
// Each part is positioned on its own: from the fixes of its own NMEA file
// (which begins with the sentences of the seconds before the part, so its
// first records have fixes around them) and from the cable history.
//
// A record's position may still change while fixes arrive after it: the
// newest records are extrapolated from the last fixes (flag kExtrapolated,
// provisional) until the next fix lets them be interpolated, and a fix that
// comes late shows a dropout in which they have no position at all. So each
// new valid fix (and each change of cable) works out again every record not
// yet settled, and reports those whose position changed. A record is settled
// once a valid fix at least kSettleNs after it can no longer change (a later
// fix has begun): nothing that comes later changes its position then.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "core/CableHistory.h"
#include "core/FixTimeline.h"
#include "core/RecordPositions.h"

namespace tessaly {

// A record's position depends on the valid fixes up to kMaxFixGap after it,
// or, before the first fix, on those up to kMaxFixGap after that one.
inline constexpr std::int64_t kSettleNs = kMaxFixGap + kMaxExtrapolation;

// Reception times as the side files keep them: to the millisecond below.
std::int64_t ToWrittenMillis(std::int64_t utcNs);

// A record's position as the session reports it.
struct LivePosition {
  std::uint64_t row = 0;       // session row
  PositionedRecord position;   // position.row: the record's row in its part
  bool settled = false;

  bool Provisional() const { return !settled && (position.flags & kExtrapolated); }
};

class LivePositions {
 public:
  LivePositions(const LaybackSettings& settings, double cableOut);
  LivePositions(const LivePositions&) = delete;
  LivePositions& operator=(const LivePositions&) = delete;

  // A new part: its fixes are the `leadIn` sentences (oldest first) and
  // what arrives from now on. The records of the part before keep the
  // positions last reported.
  void StartPart(const std::vector<ReceivedSentence>& leadIn);
  // A decoded sentence received at `utcNs` (system clock).
  void AddSentence(std::int64_t utcNs, const DecodedSentence& sentence);
  // The record of session row `row`, row `partRow` of its part, received at
  // `utcNs`, with its towfish depth where it has one.
  void AddRecord(std::uint64_t row, std::uint64_t partRow, std::int64_t utcNs, std::optional<double> towDepth);
  // The cable out from `utcNs` on.
  void ChangeCable(std::int64_t utcNs, double metres);
  double CableOutNow() const;
  const CableHistory& Cable() const { return cable_; }

  // The positions worked out or changed since the last call, in the order
  // worked out.
  std::vector<LivePosition> TakeChanges();
  const FixTimeline& Fixes() const { return fixes_; }
  // Records whose positions may still change.
  std::size_t Unsettled() const { return unsettled_.size(); }

 private:
  struct Waiting {
    std::uint64_t row, partRow;
    std::int64_t utcNs;
    std::optional<double> towDepth;
    PositionedRecord last;
  };

  PositionedRecord Place(RecordPositioner& positioner, const Waiting& record) const;
  void WorkOutAgain();
  void Settle();

  LaybackSettings settings_;
  CableHistory cable_;
  FixTimeline fixes_;
  // The positioner after the last settled record, and after the newest one.
  std::optional<RecordPositioner> settled_, newest_;
  std::deque<Waiting> unsettled_;
  std::vector<LivePosition> changes_;
  std::size_t validSeen_ = 0, fixesSeen_ = 0;
  std::optional<std::int64_t> frozenValidUtc_;  // the newest valid fix that can no longer change
};

}  // namespace tessaly
