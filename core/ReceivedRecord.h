// ReceivedRecord: what the files beside a live part tell of one record: when
// it was received and where the GPS and the layback put the antenna and the
// towfish at that moment (core/LogPositioner.h). A source that has them
// carries one per record beside its numbers (RecordSource::Received).
#pragma once

#include <cstdint>
#include <limits>

#include "core/RecordNumbers.h"

namespace tessaly {

// The reception time of a record that has none.
inline constexpr std::int64_t kNoReceptionTime = std::numeric_limits<std::int64_t>::min();

struct ReceivedRecord {
  std::int64_t utcNs = kNoReceptionTime;  // UTC of reception, nanoseconds from 1970
  GeoPosition antenna;                    // NaN where the GPS gave none
  GeoPosition towfish;                    // NaN where the layback gave none
  std::uint8_t flags = 0;                 // PositionFlag (core/RecordPositions.h): why, or how

  bool HasTime() const { return utcNs != kNoReceptionTime; }
};

}  // namespace tessaly
