// FixTimeline: the GPS fixes of a survey in the order they were received,
// and the antenna's position at any moment between them.
//
// Time base. Every fix is placed at the reception time of its first
// sentence, read from the same system clock that stamps the records
// (survey.kvl.times) and the sentences (survey.kvl.nmea); a record's antenna
// position is interpolated on that one clock, so the latency of the serial
// lines, not the GPS's own clock, is what separates a record from its fix,
// and a file read after the survey gives what the live session gave. The
// GPS's own UTC (its time of day and the last date it sent) is kept beside
// each fix for comparing the two clocks.
//
// Epochs. A receiver sends several sentences for one fix (GGA, RMC, then VTG,
// HDT, ZDA). Sentences carrying the same time of day as the fix before them
// join it; VTG and HDT, which carry no time, join the latest fix. A fix is
// valid when it has a position and none of its sentences called it invalid
// (GGA quality 0, 6, 7 or 8; RMC status V or mode E, N, M or S). Invalid
// fixes are kept (their count and age matter to the crew) but never used.
//
// Dates. RMC and ZDA carry the date; between them a time of day that falls
// more than twelve hours behind the one before is the next day, so a survey
// that runs over midnight UTC stays in order.
//
// Interpolation (AntennaAt). Between two valid fixes at most kMaxFixGap
// apart the position is interpolated linearly in time. Before the first and
// after the last valid fix it is extrapolated for at most kMaxExtrapolation
// from the end fix and the nearest valid fix at least kMinExtrapolationBase
// from it (at most kMaxFixGap away); farther out it is refused. A moment
// inside a longer gap (a dropout, a run of invalid fixes) has no position:
// nothing is extrapolated into a dropout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/NmeaSentence.h"

namespace tessaly {

inline constexpr std::int64_t kMaxFixGap = 2 * kNsPerSecond;
inline constexpr std::int64_t kMaxExtrapolation = 2 * kNsPerSecond;
inline constexpr std::int64_t kMinExtrapolationBase = kNsPerSecond / 10;

struct GpsFix {
  std::int64_t receivedUtcNs = 0;        // system clock at its first sentence
  std::optional<std::int64_t> gpsUtcNs;  // the GPS's UTC, once a date is known
  MsOfDay gpsTime = 0;                   // the GPS's time of day
  std::optional<GeoPosition> position;
  bool valid = false;
  int quality = 0;  // GGA fix quality; 0 without a GGA
  std::optional<int> satellites;
  std::optional<double> hdop, altitude, courseTrue, speedKnots, headingTrue;
};

// Why a moment has no antenna position, or how it has one.
enum class AntennaState : std::uint8_t {
  Interpolated,          // between two valid fixes (or on one)
  Extrapolated,          // within kMaxExtrapolation beyond the first or last fix
  NoFix,                 // in a gap longer than kMaxFixGap, or no valid fix at all
  ExtrapolationRefused,  // beyond the first or last fix by more than kMaxExtrapolation
};

struct AntennaEstimate {
  AntennaState state = AntennaState::NoFix;
  std::optional<GeoPosition> position;
};

// The state a crew watches: the latest fix of any kind and how old it is.
struct GpsStatus {
  GpsFix latest;            // the latest fix, valid or not
  std::int64_t ageNs = 0;   // since it was received
  std::optional<GpsFix> latestValid;
};

// A decoded sentence and when it was received (system clock).
struct ReceivedSentence {
  std::int64_t utcNs = 0;
  DecodedSentence sentence;
};

class FixTimeline {
 public:
  // Adds a sentence received at `receivedUtcNs`; sentences are added in the
  // order received.
  void Add(std::int64_t receivedUtcNs, const DecodedSentence& sentence);

  const std::vector<GpsFix>& Fixes() const { return fixes_; }
  std::size_t ValidCount() const { return valid_.size(); }
  // The antenna at `utcNs` on the reception clock.
  AntennaEstimate AntennaAt(std::int64_t utcNs) const;
  // The latest fix and its age at `nowUtcNs`; none before the first fix.
  std::optional<GpsStatus> Status(std::int64_t nowUtcNs) const;

 private:
  GpsFix& FixFor(std::int64_t receivedUtcNs, std::optional<MsOfDay> time);
  void SetDate(const CivilDate& date, MsOfDay time);
  void AddPosition(const std::optional<GeoPosition>& position, bool usable);

  std::vector<GpsFix> fixes_;
  std::vector<std::size_t> valid_;  // indices of valid fixes, by reception time
  bool open_ = false;               // the last fix may still take sentences
  bool openInvalid_ = false;        // a sentence of the open fix called it invalid
  std::optional<std::int64_t> day_; // days from 1970 of the GPS date
  std::optional<MsOfDay> lastTime_; // the GPS time of day last seen
};

// Linear interpolation between two points, `fraction` 0 at a and 1 at b
// (beyond for extrapolation), the short way across the 180th meridian.
GeoPosition InterpolateGeo(const GeoPosition& a, const GeoPosition& b, double fraction);

}  // namespace tessaly
