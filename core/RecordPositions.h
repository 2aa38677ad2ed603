// RecordPositions: the antenna and towfish position of every record of a
// log, from its reception times, the GPS fixes received beside it, the cable
// out and the layback settings. The live session and the command-line tool
// position records with this one rule, so a log positioned after the survey
// shows what the live window showed for the same settings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/CableHistory.h"
#include "core/FixTimeline.h"
#include "core/Layback.h"
#include "core/ReceptionTimes.h"

namespace tessaly {

// Why a record has no position, or a note on the one it has.
enum PositionFlag : std::uint8_t {
  kNoTime = 1,                 // no reception time for the record
  kNoFix = 2,                  // in a GPS dropout (AntennaState::NoFix)
  kExtrapolationRefused = 4,   // too far beyond the first or last fix
  kExtrapolated = 8,           // antenna extrapolated (within the limit)
  kDepthOverCable = 16,        // towfish deeper than the cable out
  kNoCourse = 32,              // no course made good yet
};

// "no-time extrapolated ...": the flags' names, blank-separated, in the
// order above; empty for none.
std::string PositionFlagsText(std::uint8_t flags);

struct RecordFacts {
  std::uint64_t row = 0;
  std::optional<double> towDepth;  // where the record has one
};

struct PositionedRecord {
  std::uint64_t row = 0;
  std::optional<std::int64_t> receivedUtcNs;
  std::optional<GeoPosition> antenna;
  std::optional<GeoPosition> towfish;
  double depth = 0.0;     // the towfish depth used
  double cableOut = 0.0;  // the cable out used
  std::uint8_t flags = 0;
};

// Positions the records of one part, in row order.
class RecordPositioner {
 public:
  RecordPositioner(const FixTimeline& fixes, const CableHistory& cable, const LaybackSettings& settings)
      : fixes_(fixes), cable_(cable), tracker_(settings) {}
  PositionedRecord Position(const RecordFacts& record, const std::optional<ReceptionTime>& time);

 private:
  const FixTimeline& fixes_;
  const CableHistory& cable_;
  TowfishTracker tracker_;
};

}  // namespace tessaly
