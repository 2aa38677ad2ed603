#include "core/Positions.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <string>

#include "core/TextHelpers.h"
#include "core/UTMLaLo.h"

namespace tessaly {

namespace {

// Room for any double in fixed notation (309 integer digits) plus the rest.
constexpr std::size_t kFixedRoom = 400;

constexpr std::uint64_t kPow10[20] = {1ull,
                                      10ull,
                                      100ull,
                                      1000ull,
                                      10000ull,
                                      100000ull,
                                      1000000ull,
                                      10000000ull,
                                      100000000ull,
                                      1000000000ull,
                                      10000000000ull,
                                      100000000000ull,
                                      1000000000000ull,
                                      10000000000000ull,
                                      100000000000000ull,
                                      1000000000000000ull,
                                      10000000000000000ull,
                                      100000000000000000ull,
                                      1000000000000000000ull,
                                      10000000000000000000ull};

// 128-bit products keep the scaled mantissa exact.
__extension__ typedef unsigned __int128 Wide;

bool IsBlank(char c) { return c == ' '; }

// Reads the usual short decimal ("76.5", "0042", "4417.968") from its
// digits: up to 15 digits make an exact integer, and its quotient by an
// exact power of ten is correctly rounded, as from_chars gives it. False for
// anything else (more digits, a second point, no digit at all), which is
// left to from_chars.
bool ReadShortDecimal(const char* digits, const char* last, bool negative, double& value) {
  std::uint64_t mantissa = 0;
  int count = 0, decimals = -1;
  for (const char* p = digits; p != last; ++p) {
    if (*p == '.') {
      if (decimals >= 0) return false;
      decimals = 0;
      continue;
    }
    if (*p < '0' || *p > '9' || ++count > 15) return false;
    mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
    if (decimals >= 0) ++decimals;
  }
  if (count == 0) return false;
  value = static_cast<double>(mantissa) / static_cast<double>(kPow10[decimals < 0 ? 0 : decimals]);
  if (negative) value = -value;
  return true;
}

// Parses a number written with "." as decimal point, the whole text.
bool ReadPlainNumber(const char* first, const char* last, double& value) {
  if (first != last && *first == '+') ++first;
  const bool negative = first != last && *first == '-';
  const char* digits = negative ? first + 1 : first;
  // Only digits or a point may start the number: no "inf", "nan" or hex.
  if (digits == last || !((*digits >= '0' && *digits <= '9') || *digits == '.')) return false;
  if (ReadShortDecimal(digits, last, negative, value)) return true;
  const auto [end, error] = std::from_chars(first, last, value);
  return error == std::errc() && end == last;
}

// |value| × 10^scale rounded to the nearest integer, ties to even, computed
// exactly from the binary value (as printf rounds); false when the result
// does not fit 64 bits or the value is not finite.
bool RoundScaled(double value, int scale, std::uint64_t& result) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const int biased = static_cast<int>((bits >> 52) & 0x7ff);
  if (biased == 0x7ff || scale < 0 || scale > 19) return false;
  const std::uint64_t fraction = bits & ((1ull << 52) - 1);
  const std::uint64_t mantissa = biased == 0 ? fraction : fraction | (1ull << 52);
  const int exponent = (biased == 0 ? 1 : biased) - 1075;  // value = mantissa × 2^exponent
  Wide scaled = static_cast<Wide>(mantissa) * kPow10[scale];
  if (exponent >= 0) {
    if (exponent > 11) return false;
    scaled <<= exponent;
  } else if (-exponent >= 120) {
    scaled = 0;  // below one half: rounds to zero
  } else {
    const int shift = -exponent;
    const Wide whole = scaled >> shift;
    const Wide rest = scaled - (whole << shift);
    const Wide half = Wide{1} << (shift - 1);
    scaled = whole + ((rest > half || (rest == half && (whole & 1) != 0)) ? 1 : 0);
  }
  if ((scaled >> 64) != 0) return false;
  result = static_cast<std::uint64_t>(scaled);
  return true;
}

// Writes `number` as exactly `digits` decimal digits (zero-padded).
char* WriteDigits(std::uint64_t number, int digits, char* out) {
  for (int i = digits - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + number % 10);
    number /= 10;
  }
  return out + digits;
}

// Fixed text of `count` significant digits whose first `whole` digits are
// before the point (none when `whole` <= 0).
std::size_t WriteSignificant(const char* digits, int count, int whole, bool negative, char* out) {
  std::size_t n = 0;
  if (negative) out[n++] = '-';
  if (whole <= 0) {
    out[n++] = '0';
    out[n++] = '.';
    for (int i = whole; i < 0; ++i) out[n++] = '0';
    for (int i = 0; i < count; ++i) out[n++] = digits[i];
    return n;
  }
  for (int i = 0; i < whole; ++i) out[n++] = i < count ? digits[i] : '0';
  if (count > whole) {
    out[n++] = '.';
    for (int i = whole; i < count; ++i) out[n++] = digits[i];
  }
  return n;
}

// The 15 significant digits of a magnitude between 1e-5 and 1e14, by integer
// arithmetic; `scale` is the number of them after the point. False outside.
bool Significant15Digits(double magnitude, char* digits, int& scale) {
  if (!(magnitude >= 1e-5 && magnitude < 1e14)) return false;
  scale = 19;
  for (double limit = 1e-4; scale > 0 && magnitude >= limit; limit *= 10) --scale;
  std::uint64_t number = 0;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (!RoundScaled(magnitude, scale, number)) return false;
    if (number >= kPow10[15]) --scale;
    else if (number < kPow10[14]) ++scale;
    else break;
  }
  if (number < kPow10[14] || number >= kPow10[15]) return false;
  WriteDigits(number, 15, digits);
  return true;
}

// Fixed notation with up to 15 significant digits and no trailing zeros.
std::size_t FormatSignificant15(double value, char* out) {
  if (value == 0.0) {
    out[0] = '0';
    return 1;
  }
  char digits[15];
  int whole = 0;
  if (int scale = 0; Significant15Digits(std::fabs(value), digits, scale)) {
    whole = 15 - scale;
  } else {
    char sci[40];
    char* end = std::to_chars(sci, sci + sizeof sci, std::fabs(value), std::chars_format::scientific, 14).ptr;
    char* e = std::find(sci, end, 'e');
    std::copy(sci + 2, e, std::copy(sci, sci + 1, digits));
    std::from_chars(e + (e[1] == '+' ? 2 : 1), end, whole);
    ++whole;
  }
  int count = 15;
  while (count > 1 && digits[count - 1] == '0') --count;
  return WriteSignificant(digits, count, whole, value < 0, out);
}

// `value` with `decimals` decimals and "." as point; returns the end.
char* WriteFixed(double value, int decimals, char* out, char* outEnd) {
  std::uint64_t scaled = 0;
  if (decimals < 0 || decimals > 18 || !RoundScaled(value, decimals, scaled))
    return std::to_chars(out, outEnd, value, std::chars_format::fixed, decimals).ptr;
  if (std::signbit(value)) *out++ = '-';
  // The digits of the scaled value, the point put in among them.
  char digits[24];
  const int count = static_cast<int>(std::to_chars(digits, digits + sizeof digits, scaled).ptr - digits);
  const int whole = count - decimals;
  if (whole <= 0) {  // below one: "0." and the zeros the digits lack
    *out++ = '0';
    *out++ = '.';
    out = std::fill_n(out, -whole, '0');
    return std::copy(digits, digits + count, out);
  }
  out = std::copy(digits, digits + whole, out);
  if (decimals == 0) return out;
  *out++ = '.';
  return std::copy(digits + whole, digits + count, out);
}

// Decimal degrees with 5 decimals: the whole degrees joined with the first
// characters of the minutes / 60 text, as many as the minutes text is long,
// then reformatted. Returns the text's length (0 when a text is not a
// number) and its value.
std::size_t DecimalDegreesText(std::string_view degrees, std::string_view minutes, char separator,
                               char* out, double& value) {
  double m = 0.0;
  std::int32_t wholeDegrees = 0;
  if (!ReadNumber(minutes, separator, m) || !ParseInteger(degrees, wholeDegrees)) return 0;
  char fraction[kFixedRoom];
  const std::size_t fractionLength = FormatSignificant15(m / 60.0, fraction);
  const std::size_t taken = fractionLength > 1 ? std::min(minutes.size(), fractionLength - 1) : 0;

  char* end = std::to_chars(out, out + 16, wholeDegrees).ptr;
  end = std::copy(fraction + 1, fraction + 1 + taken, end);
  if (!ReadPlainNumber(out, end, value)) return 0;
  // The usual join, whole degrees then a point and at most five decimals,
  // already is the reformatted text once padded.
  const bool pointJoined = taken == 0 || fraction[1] == '.';
  if (pointJoined && taken <= 6) {
    if (taken == 0) *end++ = '.';
    end = std::fill_n(end, 6 - std::max<std::size_t>(taken, 1), '0');
    return static_cast<std::size_t>(end - out);
  }
  end = WriteFixed(value, 5, out, out + kFixedRoom + 16);
  ReadPlainNumber(out, end, value);
  return static_cast<std::size_t>(end - out);
}

// "%8.3f" with the separator as decimal point.
void FormatMetres(double value, char separator, std::string& out) {
  char text[kFixedRoom];
  char* begin = text + 8;
  char* end = WriteFixed(value, 3, begin, text + sizeof text);
  std::replace(begin, end, '.', separator);
  while (end - begin < 8) *--begin = ' ';
  out.assign(begin, static_cast<std::size_t>(end - begin));
}

// Signed decimal text of one coordinate; the hemisphere gives the sign unless
// the degrees carry one.
bool SignedDecimal(std::string_view degrees, std::string_view minutes, std::string_view hemisphere,
                   char positive, char separator, std::string& text, double& value) {
  char decimal[kFixedRoom + 32];
  char* begin = decimal + 1;
  std::size_t length = DecimalDegreesText(degrees, minutes, separator, begin, value);
  if (length == 0 || hemisphere.empty()) return false;
  if (*begin != '-') {
    *--begin = hemisphere[0] == positive ? '+' : '-';
    ++length;
    if (*begin == '-') value = -value;
  }
  text.assign(begin, length);
  return true;
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
  char text[kFixedRoom];
  char* end = WriteFixed(value, decimals, text, text + sizeof text);
  std::replace(text, end, '.', separator);
  out.assign(text, static_cast<std::size_t>(end - text));
}

std::string ShortDecimalText(double value, int decimals) {
  std::string text;
  FormatFixed(value, decimals, '.', text);
  if (text.find('.') != std::string::npos) text.erase(text.find_last_not_of('0') + 1);
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text == "-0" ? "0" : text;
}

void AppendFixedText(double value, int decimals, std::string& out) {
  char text[kFixedRoom];
  out.append(text, WriteFixed(value, decimals, text, text + sizeof text));
}

bool DegMinToDec(std::string_view degrees, std::string_view minutes, char separator,
                 std::string& result) {
  char text[kFixedRoom + 32];
  double value = 0.0;
  const std::size_t length = DecimalDegreesText(degrees, minutes, separator, text, value);
  if (length == 0) return false;
  result.assign(text, length);
  return true;
}

bool PositionDegrees(const DegMinTexts& position, char separator, std::string& decLat, std::string& decLon,
                     double& latitude, double& longitude) {
  return SignedDecimal(position.lonDeg, position.lonMin, position.lonHemi, 'E', separator, decLon, longitude) &&
         SignedDecimal(position.latDeg, position.latMin, position.latHemi, 'N', separator, decLat, latitude);
}

bool ComputePositions(const DegMinTexts& position, char separator, int mapDatum,
                      const DerivedTexts& out, bool metres) {
  double latitude = 0.0, longitude = 0.0;
  UtmPosition utm;
  const bool converted = PositionDegrees(position, separator, out.decLat, out.decLon, latitude, longitude) &&
                         (metres ? LatLonToUtm(mapDatum, latitude, longitude, utm)
                                 : LatLonToUtmZone(mapDatum, latitude, longitude, utm));
  if (!converted) {
    out.decLat.clear();
    out.decLon.clear();
    out.zone.clear();
    out.north.clear();
    out.east.clear();
    out.degrees = {};
    return false;
  }
  if (metres) {
    FormatUtm(utm, separator, out.zone, out.north, out.east);
  } else {
    FormatUtmZone(utm, out.zone);
    out.north.clear();
    out.east.clear();
  }
  out.degrees = {latitude, longitude};
  return true;
}

void FormatUtmZone(const UtmPosition& utm, std::string& zone) {
  char text[16];
  char* end = std::to_chars(text, text + 12, utm.zoneNumber).ptr;
  *end++ = ' ';
  *end++ = utm.bandLetter;
  zone.assign(text, static_cast<std::size_t>(end - text));
}

void FormatUtm(const UtmPosition& utm, char separator, std::string& zone, std::string& north,
               std::string& east) {
  FormatUtmZone(utm, zone);
  FormatMetres(utm.northing, separator, north);
  FormatMetres(utm.easting, separator, east);
}

}  // namespace tessaly
