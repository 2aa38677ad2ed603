// The numbers of one record as the parser reads them, carried beside the
// grid's texts to every reader that computes with them (the track, the
// exports), so that nothing reads a cell's text back into a number.
#pragma once

#include <cmath>
#include <limits>

namespace tessaly {

inline constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

// A position in signed decimal degrees (north and east positive); NaN when
// the record has none.
struct GeoPosition {
  double latitude = kNoValue;
  double longitude = kNoValue;

  bool Known() const { return !std::isnan(latitude) && !std::isnan(longitude); }
};

struct RecordNumbers {
  GeoPosition towfish;  // the towfish's position
  GeoPosition gps;      // the GPS fix (navigation imports)
  float towDepth = static_cast<float>(kNoValue);  // metres; NaN when not given
  float sounder = static_cast<float>(kNoValue);   // metres; NaN when not given or not a number
};

}  // namespace tessaly
