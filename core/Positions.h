// Degree/minute texts to signed decimal degrees and UTM texts. Texts read as
// numbers have "." replaced by the decimal separator first and are then read
// with the separator as decimal point; decimal degrees are always written
// with ".", metres with the separator.
#pragma once

#include <string>
#include <string_view>

#include "core/RecordNumbers.h"
#include "core/UTMLaLo.h"

namespace tessaly {

// The decimal separator of the process's C locale, taken once on first use
// (so after the program called setlocale).
char LocaleDecimalSeparator();

// Reads `text` as a number with `separator` as decimal point after turning
// every "." into the separator. Leading and trailing blanks and a sign are
// allowed; false when the text is not a number.
bool ReadNumber(std::string_view text, char separator, double& value);

// `value` with exactly `decimals` decimals and `separator` as decimal point.
void FormatFixed(double value, int decimals, char separator, std::string& out);
// `value` with at most `decimals` decimals and "." as decimal point, for
// files other programs read: trailing zeros and a bare point dropped, "-0"
// written as "0" ("3.2", "500", "-1.25").
std::string ShortDecimalText(double value, int decimals);

// Appends `value` with exactly `decimals` decimals and "." as decimal point,
// rounded as FormatFixed rounds.
void AppendFixedText(double value, int decimals, std::string& out);

// Unsigned-hemisphere decimal degrees ("45.20575") from a degree and a minute
// text. False when either text is not a number.
bool DegMinToDec(std::string_view degrees, std::string_view minutes, char separator,
                 std::string& result);

// The six texts of a position: degrees, minutes and hemisphere.
struct DegMinTexts {
  std::string_view latDeg, latMin, latHemi;
  std::string_view lonDeg, lonMin, lonHemi;
};

// Signed decimal degrees (north and east positive) of a position, and their
// texts as ComputePositions writes them. False when a text is not a number
// or a hemisphere is empty.
bool PositionDegrees(const DegMinTexts& position, char separator, std::string& decLat, std::string& decLon,
                     double& latitude, double& longitude);

// The texts derived from a position, and its signed degrees.
struct DerivedTexts {
  std::string& decLat;
  std::string& decLon;
  std::string& zone;
  std::string& north;
  std::string& east;
  GeoPosition& degrees;
};

// Fills decimal latitude and longitude, zone ("20 T"), northing and easting
// ("%8.3f" with the separator) on ellipsoid `mapDatum`, and the signed
// degrees. When the position cannot be converted (a text is not a number, a
// hemisphere is empty) all five texts are emptied, the degrees are unknown
// and the result is false.
// Without `metres`, northing and easting are left empty and the position is
// not projected (the zone is still filled, as are the degrees): for a reader
// of the numbers alone, which needs no grid texts.
bool ComputePositions(const DegMinTexts& position, char separator, int mapDatum,
                      const DerivedTexts& out, bool metres = true);

// The UTM texts of a position: zone "%d %s", northing and easting "%8.3f"
// with the separator.
void FormatUtm(const UtmPosition& utm, char separator, std::string& zone, std::string& north,
               std::string& east);
// The zone text alone: "20 T".
void FormatUtmZone(const UtmPosition& utm, std::string& zone);

}  // namespace tessaly
