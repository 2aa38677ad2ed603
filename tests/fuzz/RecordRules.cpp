#include "fuzz/RecordRules.h"

#include <algorithm>
#include <array>

#include "core/TextHelpers.h"

namespace tessaly::fuzz {

namespace {

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Broken(std::string_view rule, std::string_view text) {
  return std::string(rule) + " [" + std::string(text) + "]";
}

// Checks of the fields the sample's field set carries.
std::string BrokenFieldRule(const TSample& s) {
  if (s.HasField(sfHeader) && (s.FHeaderText.empty() || s.FHeaderText != s.FHeader))
    return Broken("header is not the kind's sentence", s.FHeaderText);
  if (s.HasField(sfDev)) {
    const bool form = s.FDev.size() == static_cast<std::size_t>(s.FDevDigits) + 1 &&
                      (s.FDev[0] == '+' || s.FDev[0] == '-') && IsInteger(std::string_view(s.FDev).substr(1));
    if (!form) return Broken("deviation is not a sign and the digits", s.FDev);
  }
  const auto degrees = [](const std::string& text, std::size_t length) {
    return text.size() == length && IsInteger(text);
  };
  const auto minutes = [](std::string_view text) {
    return text.size() >= 6 && text.size() <= 8 && (text[2] == '.' || text[2] == ',') &&
           (IsInteger(text.substr(0, 2)) || IsInteger(text.substr(3)));
  };
  if (s.HasField(sfLonDeg) && !degrees(s.FLonDeg, 3)) return Broken("longitude degrees", s.FLonDeg);
  if (s.HasField(sfLonMin) && !minutes(s.FLonMin)) return Broken("longitude minutes", s.FLonMin);
  if (s.HasField(sfLonHemi) && s.FLonHemi != "E" && s.FLonHemi != "W") return Broken("E/W", s.FLonHemi);
  if (s.HasField(sfLatDeg) && !degrees(s.FLatDeg, 2)) return Broken("latitude degrees", s.FLatDeg);
  if (s.HasField(sfLatMin) && !minutes(s.FLatMin)) return Broken("latitude minutes", s.FLatMin);
  if (s.HasField(sfLatHemi) && s.FLatHemi != "N" && s.FLatHemi != "S") return Broken("N/S", s.FLatHemi);
  if (s.HasField(sfTowDepth) && (s.FTowDepth.empty() || !IsNumber(s.FTowDepth)))
    return Broken("towfish depth", s.FTowDepth);
  if (s.HasField(sfSounder) && s.FKind != skKVS && !s.FSounder.empty() && !IsNumber(s.FSounder))
    return Broken("sounder", s.FSounder);
  return {};
}

// A derived position set: all five texts well formed, or (when `mayBeEmpty`)
// all five empty.
std::string BrokenDerived(std::string_view name, const std::array<const std::string*, 5>& texts, char separator,
                          bool mayBeEmpty) {
  const bool allEmpty = std::all_of(texts.begin(), texts.end(), [](const std::string* t) { return t->empty(); });
  if (allEmpty && mayBeEmpty) return {};
  const auto& [decLat, decLon, zone, north, east] = texts;
  if (!IsDecimalDegrees(*decLat) || !IsDecimalDegrees(*decLon))
    return Broken(std::string(name) + " decimal degrees", *decLat + " " + *decLon);
  if (!IsZone(*zone)) return Broken(std::string(name) + " zone", *zone);
  if (!IsMetres(*north, separator) || !IsMetres(*east, separator))
    return Broken(std::string(name) + " metres", *north + " " + *east);
  return {};
}

std::string BrokenNavigation(const TSample& s) {
  const std::array<const std::string*, 5> gps{&s.FGpsDecLat, &s.FGpsDecLon, &s.FGpsZone, &s.FGpsNorth, &s.FGpsEast};
  const std::array<const std::string*, 5> towfish{&s.FTfDecLat, &s.FTfDecLon, &s.FTfZone, &s.FTfNorth, &s.FTfEast};
  if (s.FPnav.FMode == 'p') {
    for (const std::string* zero : {&s.FLatDeg, &s.FLatMin, &s.FLonDeg, &s.FLonMin, &s.FTfDecLat, &s.FTfDecLon,
                                    &s.FTfNorth, &s.FTfEast})
      if (*zero != "0") return Broken("towfish text of a GPS-only record is not 0", *zero);
    if (!s.FLatHemi.empty() || !s.FLonHemi.empty() || !s.FTfZone.empty())
      return Broken("towfish hemisphere or zone of a GPS-only record", s.FLatHemi + s.FLonHemi + s.FTfZone);
    return BrokenDerived("GPS", gps, s.FDecimalSeparator, false);
  }
  if (s.FPnav.FMode == '+') {
    std::string broken = BrokenDerived("GPS", gps, s.FDecimalSeparator, false);
    if (broken.empty()) broken = BrokenDerived("towfish", towfish, s.FDecimalSeparator, true);
    return broken;
  }
  return {};
}

}  // namespace

std::string BrokenRecordRule(const TSample& s) {
  std::string broken = BrokenFieldRule(s);
  if (!broken.empty()) return broken;
  const std::array<const std::string*, 5> towfish{&s.FTfDecLat, &s.FTfDecLon, &s.FTfZone, &s.FTfNorth, &s.FTfEast};
  switch (s.FKind) {
    // A KVL position that does not convert leaves the texts empty; the
    // kinds without a header sentence reject such a line.
    case skKVL: return BrokenDerived("towfish", towfish, s.FDecimalSeparator, true);
    case skKVS:
    case skKVG: return BrokenDerived("towfish", towfish, s.FDecimalSeparator, false);
    case skPNav: return BrokenNavigation(s);
    default:
      for (const std::string* text : towfish)
        if (!text->empty()) return Broken("a kind without positions filled a position", *text);
      return {};
  }
}

bool IsRejectionMessage(const TSample& sample, std::string_view message) {
  static constexpr std::string_view kMessages[] = {
      "Empty Line",
      "Unrecognized Header",
      "Missing sign on Deviation Field",
      "Deviation is non-numeric",
      "Invalid Towfish Depth value",
      "Invalid Sounder value",
      "Invalid Position value",
      "Longitude Degrees larger than 3 digits",
      "Longitude Degrees is non-numeric",
      "Longitude Degrees is worng",
      "Longitude Minutes Field different than 6 digits - expecting MM.mmm",
      "Missing \".\" in Longitude Minutes Field",
      "Longitude Minutes is non-numeric",
      "Longitude E/W Field is larger than 1 digit",
      "Invalid Longitude E/W Field - expecting \"E\" or \"W\"",
      "Latitude Degrees larger than 3 digits",
      "Latitude Degrees is non-numeric",
      "Latitude Degrees is worng",
      "Latitude Minutes Field different than 6 digits - expecting MM.mmm",
      "Missing \".\" in Latitude Minutes Field",
      "Latitude Minutes is non-numeric",
      "Latitude N/S Field is larger than 1 digit",
      "Invalid Latitude N/S Field - expecting \"N\" or \"S\"",
  };
  if (message == "Deviation Field missing or wrong length - expected length of: " + std::to_string(sample.FDevDigits))
    return true;
  return std::find(std::begin(kMessages), std::end(kMessages), message) != std::end(kMessages);
}

bool IsDecimalDegrees(std::string_view text) {
  if (text.size() < 8 || (text[0] != '+' && text[0] != '-')) return false;
  const std::size_t point = text.find('.');
  // The whole degrees are any 32-bit whole number (a navigation towfish
  // position is not checked; odd minutes shift digits into the degrees).
  return point != std::string_view::npos && point >= 2 && point <= 11 && AllDigits(text.substr(1, point - 1)) &&
         text.size() - point - 1 == 5 && AllDigits(text.substr(point + 1));
}

bool IsMetres(std::string_view text, char separator) {
  if (text.size() < 8) return false;
  std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return false;
  if (text[start] == '-') ++start;
  const std::size_t point = text.size() - 4;
  return point > start && text[point] == separator && AllDigits(text.substr(start, point - start)) &&
         AllDigits(text.substr(point + 1));
}

bool IsZone(std::string_view text) {
  static constexpr std::string_view kBands = "CDEFGHJKLMNPQRSTUVWXZ";
  const std::size_t blank = text.find(' ');
  if (blank == std::string_view::npos || blank + 2 != text.size()) return false;
  const std::string_view number = text.substr(0, blank);
  const std::string_view digits = number.starts_with('-') ? number.substr(1) : number;
  return digits.size() <= 10 && AllDigits(digits) && kBands.find(text.back()) != std::string_view::npos;
}

}  // namespace tessaly::fuzz
