#include "core/RecordPositions.h"

#include <array>
#include <string_view>

namespace tessaly {

std::string PositionFlagsText(std::uint8_t flags) {
  static constexpr std::array<std::pair<std::uint8_t, std::string_view>, 6> kNames{{
      {kNoTime, "no-time"},
      {kNoFix, "no-fix"},
      {kExtrapolationRefused, "extrapolation-refused"},
      {kExtrapolated, "extrapolated"},
      {kDepthOverCable, "depth-over-cable"},
      {kNoCourse, "no-course"},
  }};
  std::string text;
  for (const auto& [flag, name] : kNames)
    if (flags & flag) text.append(text.empty() ? "" : " ").append(name);
  return text;
}

PositionedRecord RecordPositioner::Position(const RecordFacts& record, const std::optional<ReceptionTime>& time) {
  PositionedRecord out;
  out.row = record.row;
  if (!time) {
    out.flags = kNoTime;
    return out;
  }
  out.receivedUtcNs = time->utcNs;
  const AntennaEstimate antenna = fixes_.AntennaAt(time->utcNs);
  out.antenna = antenna.position;
  switch (antenna.state) {
    case AntennaState::Interpolated: break;
    case AntennaState::Extrapolated: out.flags |= kExtrapolated; break;
    case AntennaState::NoFix: out.flags |= kNoFix; break;
    case AntennaState::ExtrapolationRefused: out.flags |= kExtrapolationRefused; break;
  }
  out.cableOut = cable_.At(time->utcNs);
  const TowfishEstimate towfish = tracker_.Next({time->utcNs, antenna.position, out.cableOut, record.towDepth});
  out.towfish = towfish.towfish;
  out.depth = towfish.depth;
  if (towfish.depthOverCable) out.flags |= kDepthOverCable;
  if (towfish.noCourse) out.flags |= kNoCourse;
  return out;
}

}  // namespace tessaly
