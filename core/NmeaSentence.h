// NmeaSentence: the checksum of an NMEA 0183 sentence and the decoders of
// the sentences a survey uses (GGA, RMC, VTG, HDT, ZDA), for any talker (GP,
// GN, GL, GA, GB, HE, ...).
//
// A sentence is framed text from "$" to the character before its line break
// (NmeaFramer). Its checksum is the two hexadecimal digits after "*": the
// exclusive or of every character between the start character and "*". A
// sentence without a checksum is not used: every receiver a survey meets
// sends one, and a line without it cannot be told from a damaged one.
//
// The decoders check every field they read: a number that does not read, a
// minute of 60 or more, a latitude beyond 90 or a longitude beyond 180, an
// impossible time or date make the whole sentence undecoded. Empty fields
// are allowed where a receiver leaves them empty (no fix yet).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/Clock.h"
#include "core/RecordNumbers.h"

namespace tessaly {

enum class NmeaChecksum : std::uint8_t { Ok, Bad, Missing };

// Checks "*hh" at the end of the sentence (either case of hexadecimal
// digits). Bad also for a "*" not followed by exactly two hexadecimal digits
// at the end.
NmeaChecksum CheckNmeaChecksum(std::string_view sentence);
// The two upper-case hexadecimal digits of the checksum of a sentence's body
// (the text between the start character and "*", both excluded).
std::string NmeaChecksumText(std::string_view body);

// Time of day in milliseconds from 00:00:00.000 (a leap second reads as
// 86,400,000 and more).
using MsOfDay = std::int64_t;

// $GPGGA,123519.00,4807.038000,N,01131.000000,E,1,08,0.9,545.4,M,46.9,M,,*hh
//        1         2           3 4            5 6 7  8   9     10 11 12 13 14
// 1 UTC time, 2-3 latitude DDMM.mmmm and N/S, 4-5 longitude DDDMM.mmmm and
// E/W, 6 fix quality (0 invalid, 1 GPS, 2 DGPS, 3 PPS, 4 RTK fixed, 5 RTK
// float, 6 estimated, 7 manual, 8 simulated), 7 satellites, 8 HDOP, 9-10
// altitude above mean sea level in metres, 11-12 geoid separation, 13 age of
// differential corrections, 14 reference station.
struct GgaSentence {
  std::optional<MsOfDay> time;
  std::optional<GeoPosition> position;
  int quality = 0;
  std::optional<int> satellites;
  std::optional<double> hdop;
  std::optional<double> altitude;
};

// $GPRMC,123519.00,A,4807.038000,N,01131.000000,E,5.5,84.4,230394,3.1,W,D*hh
//        1         2 3           4 5            6 7   8    9      10  11 12
// 1 UTC time, 2 status (A valid, V invalid), 3-6 position as in GGA, 7 speed
// over ground in knots, 8 course over ground in degrees true, 9 date DDMMYY,
// 10-11 magnetic variation, 12 mode (NMEA 2.3 on: A autonomous, D
// differential, E estimated, M manual, S simulated, N not valid, F and R RTK
// float and fixed, P precise); a 13th field, the navigational status of NMEA
// 4.1, is not read.
struct RmcSentence {
  std::optional<MsOfDay> time;
  bool active = false;
  std::optional<GeoPosition> position;
  std::optional<double> speedKnots;
  std::optional<double> courseTrue;
  std::optional<CivilDate> date;
  char mode = 0;  // 0 when the sentence has none
};

// $GPVTG,84.4,T,81.3,M,5.5,N,10.2,K,D*hh
//        1    2 3    4 5   6 7    8 9
// 1-2 course over ground true, 3-4 magnetic, 5-6 speed in knots, 7-8 in km/h,
// 9 mode as in RMC. The older form without the unit letters,
// $GPVTG,84.4,81.3,5.5,10.2*hh, is read too.
struct VtgSentence {
  std::optional<double> courseTrue;
  std::optional<double> speedKnots;
  char mode = 0;
};

// $HEHDT,274.07,T*hh
//        1      2
// 1 heading in degrees true, 2 "T".
struct HdtSentence {
  double headingTrue = 0.0;
};

// $GPZDA,235959.00,31,12,2026,00,00*hh
//        1         2  3  4    5  6
// 1 UTC time, 2 day, 3 month, 4 year, 5-6 local zone hours and minutes.
struct ZdaSentence {
  MsOfDay time = 0;
  CivilDate date{};
};

using NmeaMessage = std::variant<GgaSentence, RmcSentence, VtgSentence, HdtSentence, ZdaSentence>;

struct DecodedSentence {
  std::string talker;  // "GP", "GN", ...; "P" and a maker code are not decoded
  NmeaMessage message;
};

// The comma-separated fields of a sentence's body (the text between the
// start character and "*"), the address ("GPGGA") first.
std::vector<std::string_view> SplitNmeaFields(std::string_view body);

// Decodes a sentence whose checksum is Ok and whose type is one of the five;
// empty for any other sentence (a bad or missing checksum included) and for
// a sentence with a field that does not hold what its place requires.
std::optional<DecodedSentence> DecodeNmea(std::string_view sentence);

// Whether a position sentence is a fix to use: GGA quality 1 to 5 (not 0
// invalid, 6 estimated, 7 manual, 8 simulated); RMC status A with a mode
// that is not E, N, M or S. Either must hold a position.
bool IsUsableFix(const GgaSentence& gga);
bool IsUsableFix(const RmcSentence& rmc);
// Whether a mode letter (RMC, VTG) marks data not to use.
bool IsUnusableMode(char mode);

}  // namespace tessaly
