#include "core/NmeaSentence.h"

#include <charconv>

namespace tessaly {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::uint8_t XorOf(std::string_view body) {
  std::uint8_t sum = 0;
  for (const char c : body) sum ^= static_cast<std::uint8_t>(c);
  return sum;
}

// A field as a decimal number: digits with at most one point and an
// optional leading minus; no exponent, no infinity.
std::optional<double> Number(std::string_view text) {
  if (text.empty()) return std::nullopt;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (!((c >= '0' && c <= '9') || c == '.' || (c == '-' && i == 0))) return std::nullopt;
  }
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<int> WholeNumber(std::string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

// Whether a field's text was read: empty fields are absent, anything else
// must read.
template <typename T>
bool Optional(std::string_view text, std::optional<T> (*read)(std::string_view), std::optional<T>& out) {
  if (text.empty()) return true;
  out = read(text);
  return out.has_value();
}

std::optional<double> NonNegative(std::string_view text) {
  const auto value = Number(text);
  return value && *value >= 0.0 ? value : std::nullopt;
}

std::optional<double> Degrees360(std::string_view text) {
  const auto value = Number(text);
  return value && *value >= 0.0 && *value <= 360.0 ? value : std::nullopt;
}

std::optional<int> TwoDigits(std::string_view text) { return text.size() == 2 ? WholeNumber(text) : std::nullopt; }

// "hhmmss" or "hhmmss.s..."; a second of 60 is a leap second.
std::optional<MsOfDay> TimeOfDay(std::string_view text) {
  if (text.size() < 6 || (text.size() > 6 && text[6] != '.')) return std::nullopt;
  const auto hour = TwoDigits(text.substr(0, 2)), minute = TwoDigits(text.substr(2, 2)),
             second = TwoDigits(text.substr(4, 2));
  const auto fraction = text.size() > 6 ? Number(text.substr(6)) : std::optional<double>(0.0);
  if (!hour || !minute || !second || !fraction || *hour > 23 || *minute > 59 || *second > 60) return std::nullopt;
  return ((*hour * 60 + *minute) * 60 + *second) * MsOfDay{1000} + static_cast<MsOfDay>(*fraction * 1000.0 + 0.5);
}

bool ValidDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  return DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) <
         DaysFromCivil(year + (month == 12), static_cast<unsigned>(month % 12 + 1), 1u);
}

// "ddmmyy": years 80 to 99 are 1980 to 1999, 00 to 79 are 2000 to 2079.
std::optional<CivilDate> RmcDate(std::string_view text) {
  if (text.size() != 6) return std::nullopt;
  const auto day = TwoDigits(text.substr(0, 2)), month = TwoDigits(text.substr(2, 2)),
             year = TwoDigits(text.substr(4, 2));
  if (!day || !month || !year) return std::nullopt;
  const int fullYear = *year >= 80 ? 1900 + *year : 2000 + *year;
  if (!ValidDate(fullYear, *month, *day)) return std::nullopt;
  return CivilDate{fullYear, static_cast<unsigned>(*month), static_cast<unsigned>(*day)};
}

// "DDMM.mmm" (latitude, 2 degree digits) or "DDDMM.mmm" (longitude, 3) and
// the hemisphere letter; minutes below 60, the whole within the limit.
std::optional<double> Coordinate(std::string_view text, std::string_view hemisphere, int degreeDigits,
                                 double limit, char positive, char negative) {
  const std::size_t point = text.find('.');
  const std::size_t whole = point == std::string_view::npos ? text.size() : point;
  if (whole != static_cast<std::size_t>(degreeDigits) + 2 || hemisphere.size() != 1) return std::nullopt;
  const auto degrees = WholeNumber(text.substr(0, static_cast<std::size_t>(degreeDigits)));
  const auto minutes = Number(text.substr(static_cast<std::size_t>(degreeDigits)));
  if (!degrees || !minutes || text[static_cast<std::size_t>(degreeDigits)] == '-' || *minutes >= 60.0)
    return std::nullopt;
  const double value = *degrees + *minutes / 60.0;
  if (value > limit) return std::nullopt;
  if (hemisphere[0] == positive) return value;
  if (hemisphere[0] == negative) return -value;
  return std::nullopt;
}

// Fields [at, at + 4): latitude, N/S, longitude, E/W; all empty is no position.
bool Position(const std::vector<std::string_view>& f, std::size_t at, std::optional<GeoPosition>& out) {
  if (f[at].empty() && f[at + 1].empty() && f[at + 2].empty() && f[at + 3].empty()) return true;
  const auto latitude = Coordinate(f[at], f[at + 1], 2, 90.0, 'N', 'S');
  const auto longitude = Coordinate(f[at + 2], f[at + 3], 3, 180.0, 'E', 'W');
  if (!latitude || !longitude) return false;
  out = GeoPosition{*latitude, *longitude};
  return true;
}

bool Mode(std::string_view text, char& mode) {
  if (text.size() > 1) return false;
  mode = text.empty() ? 0 : text[0];
  return text.empty() || (mode >= 'A' && mode <= 'Z');
}

std::optional<NmeaMessage> DecodeGga(const std::vector<std::string_view>& f) {
  if (f.size() < 10) return std::nullopt;
  GgaSentence gga;
  const auto quality = f[6].empty() ? std::optional<int>(0) : WholeNumber(f[6]);
  if (!Optional(f[1], TimeOfDay, gga.time) || !Position(f, 2, gga.position) || !quality || *quality > 9 ||
      !Optional(f[7], WholeNumber, gga.satellites) || !Optional(f[8], NonNegative, gga.hdop) ||
      !Optional(f[9], Number, gga.altitude))
    return std::nullopt;
  gga.quality = *quality;
  return gga;
}

std::optional<NmeaMessage> DecodeRmc(const std::vector<std::string_view>& f) {
  if (f.size() < 10) return std::nullopt;
  RmcSentence rmc;
  if (f[2] != "A" && f[2] != "V") return std::nullopt;
  rmc.active = f[2] == "A";
  if (!Optional(f[1], TimeOfDay, rmc.time) || !Position(f, 3, rmc.position) ||
      !Optional(f[7], NonNegative, rmc.speedKnots) || !Optional(f[8], Degrees360, rmc.courseTrue) ||
      !Optional(f[9], RmcDate, rmc.date) || (f.size() > 12 && !Mode(f[12], rmc.mode)))
    return std::nullopt;
  return rmc;
}

std::optional<NmeaMessage> DecodeVtg(const std::vector<std::string_view>& f) {
  VtgSentence vtg;
  const bool lettered = f.size() >= 9 && f[2] == "T";
  const bool old = f.size() == 5;
  if (!lettered && !old) return std::nullopt;
  const std::size_t speedField = lettered ? 5 : 3;
  if (!Optional(f[1], Degrees360, vtg.courseTrue) || !Optional(f[speedField], NonNegative, vtg.speedKnots) ||
      (lettered && f.size() > 9 && !Mode(f[9], vtg.mode)))
    return std::nullopt;
  return vtg;
}

std::optional<NmeaMessage> DecodeHdt(const std::vector<std::string_view>& f) {
  if (f.size() < 3 || f[2] != "T") return std::nullopt;
  const auto heading = Degrees360(f[1]);
  if (!heading) return std::nullopt;
  return HdtSentence{*heading};
}

std::optional<NmeaMessage> DecodeZda(const std::vector<std::string_view>& f) {
  if (f.size() < 5 || f[4].size() != 4) return std::nullopt;
  const auto time = TimeOfDay(f[1]);
  const auto day = TwoDigits(f[2]), month = TwoDigits(f[3]);
  const auto year = WholeNumber(f[4]);
  if (!time || !day || !month || !year) return std::nullopt;
  const int y = *year, m = *month, d = *day;
  if (!ValidDate(y, m, d)) return std::nullopt;
  return ZdaSentence{*time, CivilDate{y, static_cast<unsigned>(m), static_cast<unsigned>(d)}};
}

}  // namespace

std::vector<std::string_view> SplitNmeaFields(std::string_view body) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = body.find(',', start);
    fields.push_back(body.substr(start, comma - start));
    if (comma == std::string_view::npos) return fields;
    start = comma + 1;
  }
}

NmeaChecksum CheckNmeaChecksum(std::string_view sentence) {
  const std::size_t star = sentence.rfind('*');
  if (sentence.empty() || star == std::string_view::npos) return NmeaChecksum::Missing;
  if (star == 0 || star + 3 != sentence.size()) return NmeaChecksum::Bad;
  const int high = HexValue(sentence[star + 1]), low = HexValue(sentence[star + 2]);
  if (high < 0 || low < 0) return NmeaChecksum::Bad;
  return XorOf(sentence.substr(1, star - 1)) == high * 16 + low ? NmeaChecksum::Ok : NmeaChecksum::Bad;
}

std::string NmeaChecksumText(std::string_view body) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const std::uint8_t sum = XorOf(body);
  return {kHex[sum >> 4], kHex[sum & 15]};
}

std::optional<DecodedSentence> DecodeNmea(std::string_view sentence) {
  if (sentence.size() < 7 || sentence[0] != '$' || CheckNmeaChecksum(sentence) != NmeaChecksum::Ok)
    return std::nullopt;
  const std::vector<std::string_view> fields = SplitNmeaFields(sentence.substr(1, sentence.rfind('*') - 1));
  const std::string_view address = fields[0];
  if (address.size() != 5 || address[0] == 'P') return std::nullopt;
  for (const char c : address)
    if (!(c >= 'A' && c <= 'Z') && !(c >= '0' && c <= '9')) return std::nullopt;
  using Decoder = std::optional<NmeaMessage> (*)(const std::vector<std::string_view>&);
  static constexpr std::pair<std::string_view, Decoder> kDecoders[] = {
      {"GGA", DecodeGga}, {"RMC", DecodeRmc}, {"VTG", DecodeVtg}, {"HDT", DecodeHdt}, {"ZDA", DecodeZda}};
  for (const auto& [type, decode] : kDecoders)
    if (address.substr(2) == type) {
      auto message = decode(fields);
      if (!message) return std::nullopt;
      return DecodedSentence{std::string(address.substr(0, 2)), std::move(*message)};
    }
  return std::nullopt;
}

bool IsUnusableMode(char mode) { return mode == 'E' || mode == 'N' || mode == 'M' || mode == 'S'; }

bool IsUsableFix(const GgaSentence& gga) { return gga.position && gga.quality >= 1 && gga.quality <= 5; }

bool IsUsableFix(const RmcSentence& rmc) { return rmc.position && rmc.active && !IsUnusableMode(rmc.mode); }

}  // namespace tessaly
