// SurveyRecord: what the line-cut exports (XYZ, CSV, GeoJSON, KML) are
// given of each record, in grid order: numbers, not grid texts.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/RecordNumbers.h"

namespace tessaly {

inline bool HasValue(double value) { return !std::isnan(value); }

// A record's UTC time: milliseconds from 1970-01-01T00:00:00Z, or from
// midnight when only the time of day is known (a navigation file's time).
struct RecordTime {
  std::int64_t millis = 0;
  bool dateKnown = true;

  bool operator==(const RecordTime&) const = default;
};

struct SurveyRecord {
  // The position the export places the record at (the towfish's where it is
  // known), signed decimal degrees, north and east positive; kNoValue when
  // the record has none.
  double latitude = kNoValue;
  double longitude = kNoValue;
  double deviation = kNoValue;
  // Depths are single precision, as the parser reads them, and are written
  // as the shortest text of that float.
  double towfishDepth = kNoValue;
  double sounder = kNoValue;
  std::optional<RecordTime> time;
  // The record's quality flags, where they were computed.
  std::optional<std::uint32_t> flags;
  // The operator's comment on the record's row; empty when none.
  std::string_view comment;

  bool HasPosition() const { return HasValue(latitude) && HasValue(longitude); }
};

}  // namespace tessaly
