#include "core/Positions.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <string>

#include "core/TextHelpers.h"
#include "core/UTMLaLo.h"

namespace tessaly {

namespace {

// Room for any double in fixed notation (309 integer digits) plus the rest.
constexpr std::size_t kFixedRoom = 400;

bool IsBlank(char c) { return c == ' '; }

// Parses a number written with "." as decimal point, the whole text.
bool ReadPlainNumber(const char* first, const char* last, double& value) {
  if (first != last && *first == '+') ++first;
  const char* digits = first != last && *first == '-' ? first + 1 : first;
  // Only digits or a point may start the number: no "inf", "nan" or hex.
  if (digits == last || !((*digits >= '0' && *digits <= '9') || *digits == '.')) return false;
  const auto [end, error] = std::from_chars(first, last, value);
  return error == std::errc() && end == last;
}

// Fixed notation with up to 15 significant digits and no trailing zeros.
std::size_t FormatSignificant15(double value, char* out) {
  if (value == 0.0) {
    out[0] = '0';
    return 1;
  }
  char sci[40];
  const auto sciEnd = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, 14).ptr;
  const char* p = sci;
  std::size_t n = 0;
  if (*p == '-') out[n++] = *p++;
  char digits[15];
  std::size_t count = 0;
  for (; *p != 'e'; ++p)
    if (*p != '.') digits[count++] = *p;
  const bool negativeExponent = p[1] == '-';
  int exponent = 0;
  std::from_chars(p + 2, sciEnd, exponent);
  if (negativeExponent) exponent = -exponent;
  while (count > 1 && digits[count - 1] == '0') --count;
  if (exponent < 0) {
    out[n++] = '0';
    out[n++] = '.';
    for (int i = -1; i > exponent; --i) out[n++] = '0';
    for (std::size_t i = 0; i < count; ++i) out[n++] = digits[i];
    return n;
  }
  const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
  for (std::size_t i = 0; i < whole; ++i) out[n++] = i < count ? digits[i] : '0';
  if (count > whole) {
    out[n++] = '.';
    for (std::size_t i = whole; i < count; ++i) out[n++] = digits[i];
  }
  return n;
}

// Signed decimal degrees, 5 decimals: the whole degrees joined with the first
// characters of the minutes / 60 text, as many as the minutes text is long.
bool DecimalDegrees(std::string_view degrees, std::string_view minutes, char separator,
                    double& value) {
  double m = 0.0;
  std::int32_t wholeDegrees = 0;
  if (!ReadNumber(minutes, separator, m) || !ParseInteger(degrees, wholeDegrees)) return false;
  char fraction[kFixedRoom];
  const std::size_t fractionLength = FormatSignificant15(m / 60.0, fraction);
  const std::size_t taken = fractionLength > 1 ? std::min(minutes.size(), fractionLength - 1) : 0;

  char joined[kFixedRoom + 16];
  char* end = std::to_chars(joined, joined + 16, wholeDegrees).ptr;
  end = std::copy(fraction + 1, fraction + 1 + taken, end);
  return ReadPlainNumber(joined, end, value);
}

void AssignFixed(double value, int decimals, std::string& out) {
  char text[kFixedRoom];
  const char* end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr;
  out.assign(text, static_cast<std::size_t>(end - text));
}

// "%8.3f" with the separator as decimal point.
void FormatMetres(double value, char separator, std::string& out) {
  FormatFixed(value, 3, separator, out);
  if (out.size() < 8) out.insert(0, 8 - out.size(), ' ');
}

// Signed decimal text of one coordinate; the hemisphere gives the sign unless
// the degrees carry one.
bool SignedDecimal(std::string_view degrees, std::string_view minutes, std::string_view hemisphere,
                   char positive, char separator, std::string& text, double& value) {
  if (!DegMinToDec(degrees, minutes, separator, text) || hemisphere.empty()) return false;
  if (text[0] != '-' && text[0] != '+') text.insert(text.begin(), hemisphere[0] == positive ? '+' : '-');
  return ReadPlainNumber(text.data(), text.data() + text.size(), value);
}

}  // namespace

char LocaleDecimalSeparator() {
  static const char separator = [] {
    const std::lconv* conventions = std::localeconv();
    const char* point = conventions != nullptr ? conventions->decimal_point : nullptr;
    return point != nullptr && point[0] != '\0' ? point[0] : '.';
  }();
  return separator;
}

bool ReadNumber(std::string_view text, char separator, double& value) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  char small[64];
  std::string large;
  char* copy = small;
  if (text.size() > sizeof small) {
    large.resize(text.size());
    copy = large.data();
  }
  for (std::size_t i = 0; i < text.size(); ++i)
    copy[i] = (text[i] == '.' || text[i] == separator) ? '.' : text[i];
  return ReadPlainNumber(copy, copy + text.size(), value);
}

void FormatFixed(double value, int decimals, char separator, std::string& out) {
  AssignFixed(value, decimals, out);
  if (separator != '.') {
    const auto point = out.find('.');
    if (point != std::string::npos) out[point] = separator;
  }
}

bool DegMinToDec(std::string_view degrees, std::string_view minutes, char separator,
                 std::string& result) {
  double value = 0.0;
  if (!DecimalDegrees(degrees, minutes, separator, value)) return false;
  AssignFixed(value, 5, result);
  return true;
}

bool ComputePositions(const DegMinTexts& position, char separator, int mapDatum,
                      const DerivedTexts& out) {
  double latitude = 0.0, longitude = 0.0;
  UtmPosition utm;
  const bool converted =
      SignedDecimal(position.lonDeg, position.lonMin, position.lonHemi, 'E', separator, out.decLon,
                    longitude) &&
      SignedDecimal(position.latDeg, position.latMin, position.latHemi, 'N', separator, out.decLat,
                    latitude) &&
      LatLonToUtm(mapDatum, latitude, longitude, utm);
  if (!converted) {
    out.decLat.clear();
    out.decLon.clear();
    out.zone.clear();
    out.north.clear();
    out.east.clear();
    return false;
  }
  char zone[16];
  char* end = std::to_chars(zone, zone + 12, utm.zoneNumber).ptr;
  *end++ = ' ';
  *end++ = utm.bandLetter;
  out.zone.assign(zone, end);
  FormatMetres(utm.northing, separator, out.north);
  FormatMetres(utm.easting, separator, out.east);
  return true;
}

}  // namespace tessaly
