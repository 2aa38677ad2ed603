#include "core/ExportChannels.h"

#include <charconv>
#include <cmath>

#include "core/Clock.h"
#include "core/Positions.h"

namespace tessaly {

namespace {

constexpr int kTableDegreeDecimals = 8;
constexpr int kMetreDecimals = 3;

constexpr Channel kAllChannels[] = {
    {ChannelId::X, "X", "m"},
    {ChannelId::Y, "Y", "m"},
    {ChannelId::Latitude, "Latitude", "deg"},
    {ChannelId::Longitude, "Longitude", "deg"},
    {ChannelId::Time, "UTC", "ISO 8601"},
    {ChannelId::Fiducial, "Fiducial", "row"},
    {ChannelId::Deviation, "Deviation", "nT"},
    {ChannelId::TowfishDepth, "TowfishDepth", "m"},
    {ChannelId::Sounder, "Sounder", "m"},
    {ChannelId::Flags, "Flags", ""},
};

bool Present(ChannelId id, const ExportChannels& present) {
  switch (id) {
    case ChannelId::X:
    case ChannelId::Y:
    case ChannelId::Latitude:
    case ChannelId::Longitude: return present.position;
    case ChannelId::Time: return present.time;
    case ChannelId::TowfishDepth: return present.towfishDepth;
    case ChannelId::Sounder: return present.sounder;
    case ChannelId::Flags: return present.flags;
    case ChannelId::Fiducial:
    case ChannelId::Deviation: return true;
  }
  return false;
}

// A depth, which the parser reads in single precision: the shortest text
// that reads back as that float ("54.6", not 54.599998474121094).
bool AppendIfSingle(std::string& out, double value) {
  if (!HasValue(value)) return false;
  AppendShortestSingle(out, static_cast<float>(value));
  return true;
}

bool AppendIfValue(std::string& out, double value, int decimals) {
  if (!HasValue(value)) return false;
  if (decimals < 0) AppendShortest(out, value);
  else AppendFixed(out, value, decimals);
  return true;
}

void AppendTwoDigits(std::string& out, std::int64_t value) {
  out.push_back(static_cast<char>('0' + value / 10));
  out.push_back(static_cast<char>('0' + value % 10));
}

}  // namespace

std::vector<Channel> ChannelsOf(const ExportChannels& present) {
  std::vector<Channel> channels;
  for (const Channel& channel : kAllChannels)
    if (Present(channel.id, present)) channels.push_back(channel);
  return channels;
}

void AppendFixed(std::string& out, double value, int decimals) { AppendFixedText(value, decimals, out); }

void AppendShortest(std::string& out, double value) {
  // Whole numbers below 1e5 (a deviation in nT) are their digits, which is
  // what the shortest form gives them; integer digits cost far less.
  if (std::fabs(value) < 1e5 && value == std::trunc(value) && !(value == 0.0 && std::signbit(value))) {
    if (value < 0.0) out.push_back('-');
    AppendInteger(out, static_cast<std::uint64_t>(std::fabs(value)));
    return;
  }
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value);
  out.append(text, result.ptr);
}

void AppendShortestSingle(std::string& out, float value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  out.append(text, result.ptr);
}

void AppendInteger(std::string& out, std::uint64_t value) {
  char text[24];
  const auto result = std::to_chars(text, text + sizeof text, value);
  out.append(text, result.ptr);
}

void AppendRecordTime(std::string& out, const RecordTime& time) {
  if (time.dateKnown) {
    out.append(FormatUtcMillis(time.millis * kNsPerMs));
    return;
  }
  const std::int64_t millis = ((time.millis % 86'400'000) + 86'400'000) % 86'400'000;
  AppendTwoDigits(out, millis / 3'600'000);
  out.push_back(':');
  AppendTwoDigits(out, millis / 60'000 % 60);
  out.push_back(':');
  AppendTwoDigits(out, millis / 1000 % 60);
  out.push_back('.');
  out.push_back(static_cast<char>('0' + millis / 100 % 10));
  AppendTwoDigits(out, millis % 100);
}

bool AppendChannelValue(std::string& out, ChannelId id, const PlacedRecord& placed) {
  const SurveyRecord& record = placed.record;
  switch (id) {
    case ChannelId::X: return AppendIfValue(out, placed.x, kMetreDecimals);
    case ChannelId::Y: return AppendIfValue(out, placed.y, kMetreDecimals);
    case ChannelId::Latitude: return AppendIfValue(out, record.latitude, kTableDegreeDecimals);
    case ChannelId::Longitude: return AppendIfValue(out, record.longitude, kTableDegreeDecimals);
    case ChannelId::Time:
      if (!record.time) return false;
      AppendRecordTime(out, *record.time);
      return true;
    case ChannelId::Fiducial: AppendInteger(out, placed.fiducial); return true;
    case ChannelId::Deviation: return AppendIfValue(out, record.deviation, -1);
    case ChannelId::TowfishDepth: return AppendIfSingle(out, record.towfishDepth);
    case ChannelId::Sounder: return AppendIfSingle(out, record.sounder);
    case ChannelId::Flags:
      if (!record.flags) return false;
      AppendInteger(out, *record.flags);
      return true;
  }
  return false;
}

}  // namespace tessaly
