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
  // Known, with a latitude within 90 and a longitude within 180 degrees.
  bool OnEarth() const { return Known() && std::fabs(latitude) <= 90.0 && std::fabs(longitude) <= 180.0; }
};

struct RecordNumbers {
  // Positions on the Earth only: a record's texts can hold any degrees (a
  // navigation file's signed decimal form is not bounded), and those beyond
  // it are no position.
  GeoPosition towfish;  // the towfish's position
  GeoPosition gps;      // the GPS fix (navigation imports)
  float towDepth = static_cast<float>(kNoValue);  // metres; NaN when not given
  float sounder = static_cast<float>(kNoValue);   // metres; NaN when not given or not a number
};

}  // namespace tessaly
