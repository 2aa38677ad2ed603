// A ship's track near the equator, worked out apart from the code under test:
// metres east and north of (0, 0) turned into degrees with the published
// lengths of a degree on the WGS 84 ellipsoid there, and the NMEA sentences
// a receiver would send of it (minutes to six decimals: 2 mm).
#pragma once

#include <cmath>
#include <cstdio>
#include <string>

#include "core/FixTimeline.h"
#include "core/NmeaSentence.h"

namespace tessaly::testing {

// Metres in one degree at the equator: of latitude (along the meridian) and
// of longitude.
inline constexpr double kMetresPerDegreeLatitude = 110574.2727;
inline constexpr double kMetresPerDegreeLongitude = 111319.4908;

struct Metres {
  double east = 0.0, north = 0.0;
};

inline GeoPosition PointAt(const Metres& m) {
  return {m.north / kMetresPerDegreeLatitude, m.east / kMetresPerDegreeLongitude};
}

inline Metres MetresOf(const GeoPosition& p) {
  return {p.longitude * kMetresPerDegreeLongitude, p.latitude * kMetresPerDegreeLatitude};
}

inline double Distance(const Metres& a, const Metres& b) { return std::hypot(a.east - b.east, a.north - b.north); }

inline std::string WithChecksum(const std::string& body) {
  unsigned sum = 0;
  for (const char c : body) sum ^= static_cast<unsigned char>(c);
  char hex[3];
  std::snprintf(hex, sizeof hex, "%02X", sum);
  return "$" + body + "*" + hex;
}

// "DDMM.mmmmmm,N" or "DDDMM.mmmmmm,E" of a signed coordinate.
inline std::string NmeaCoordinate(double degrees, int degreeDigits, char positive, char negative) {
  const double magnitude = std::fabs(degrees);
  long long micro = std::llround(magnitude * 60e6);  // millionths of a minute
  const long long whole = micro / 60'000'000;
  micro -= whole * 60'000'000;
  char text[40];
  std::snprintf(text, sizeof text, "%0*lld%02lld.%06lld,%c", degreeDigits, whole, micro / 1'000'000,
                micro % 1'000'000, degrees < 0 ? negative : positive);
  return text;
}

inline std::string NmeaTime(MsOfDay ms) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d%02d%02d.%02d", int(ms / 3600000 % 24), int(ms / 60000 % 60), int(ms / 1000 % 60),
                int(ms % 1000 / 10));
  return text;
}

inline std::string GgaText(MsOfDay time, const GeoPosition& p, int quality = 1) {
  return WithChecksum("GPGGA," + NmeaTime(time) + "," + NmeaCoordinate(p.latitude, 2, 'N', 'S') + "," +
                      NmeaCoordinate(p.longitude, 3, 'E', 'W') + "," + std::to_string(quality) +
                      ",12,0.7,3.0,M,0.0,M,,");
}

// Adds the GGA of a fix at `receivedUtcNs` (its time of day taken from it).
inline void AddFix(FixTimeline& timeline, std::int64_t receivedUtcNs, const GeoPosition& p) {
  const auto decoded = DecodeNmea(GgaText(receivedUtcNs / kNsPerMs % 86'400'000, p));
  if (decoded) timeline.Add(receivedUtcNs, *decoded);
}

}  // namespace tessaly::testing
