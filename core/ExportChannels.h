// The channels of the tabular exports (XYZ and CSV): their names (no
// blanks, as Geosoft XYZ needs), units and value texts. Numbers are written
// with "." as decimal point whatever the locale: positions in degrees with
// 8 decimals (about a millimetre), UTM metres with 3, the instrument's
// values as short as they read back exactly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/ExportPlan.h"

namespace tessaly {

enum class ChannelId : std::uint8_t {
  X, Y, Latitude, Longitude, Time, Fiducial, Deviation, TowfishDepth, Sounder, Flags,
};

struct Channel {
  ChannelId id;
  std::string_view name;
  std::string_view unit;
};

// The channels of a plan, in their order; the position and time channels,
// depth, sounder and flags only where the records carry them.
std::vector<Channel> ChannelsOf(const ExportChannels& present);

// Appends the record's value of a channel; false, appending nothing, when
// the record has none.
bool AppendChannelValue(std::string& out, ChannelId id, const PlacedRecord& record);

void AppendFixed(std::string& out, double value, int decimals);
// The shortest text that reads back as `value`.
void AppendShortest(std::string& out, double value);
// The shortest text that reads back as `value`.
void AppendShortestSingle(std::string& out, float value);
void AppendInteger(std::string& out, std::uint64_t value);
// "2026-12-09T18:33:18.123Z", or "18:33:18.123" when only the time of day
// is known.
void AppendRecordTime(std::string& out, const RecordTime& time);

// Degrees in the map formats: 7 decimals (about a centimetre).
inline constexpr int kMapDegreeDecimals = 7;

}  // namespace tessaly
