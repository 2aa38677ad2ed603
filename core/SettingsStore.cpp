#include "core/SettingsStore.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <filesystem>
#include <functional>
#include <vector>

#include "core/CableHistory.h"
#include "core/ColourNames.h"
#include "core/SettingsFile.h"
#include "core/SettingsLine.h"

namespace tessaly {
namespace {

// Gives the values of a settings file one at a time with the failure texts
// naming the file and the line.
// A number as the settings files store it: the shortest text that reads
// back the same, "." as decimal point.
std::string RealText(double value) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

class ValueReader {
 public:
  explicit ValueReader(const std::string& path) : path_(path), values_(ReadSettingsValues(path)) {}

  std::string Next() {
    ++line_;
    if (line_ > values_.size())
      throw SettingsError("The file " + path_ + " ends before line " + std::to_string(line_));
    return values_[line_ - 1];
  }
  std::int32_t NextInt() {
    const std::string text = Next();
    return ParseSettingsInt(text, Where());
  }
  std::int32_t NextIntIn(std::int32_t low, std::int32_t high) {
    const std::int32_t value = NextInt();
    if (value < low || value > high)
      throw SettingsError(std::to_string(value) + " is outside " + std::to_string(low) + ".." +
                          std::to_string(high) + " (" + Where() + ")");
    return value;
  }
  BgrColor NextColour() {
    const std::string text = Next();
    const auto colour = StringToColour(text);
    if (!colour) throw SettingsError(QuotedValue(text) + " is not a valid colour value (" + Where() + ")");
    return *colour;
  }
  bool NextBool() { return Next() == "True"; }
  double NextReal(double low, double high) {
    const std::string text = Next();
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !(value >= low && value <= high))
      throw SettingsError(QuotedValue(text) + " is not a number from " + RealText(low) + " to " + RealText(high) +
                          " (" + Where() + ")");
    return value;
  }
  bool HasNext() const { return line_ < values_.size(); }

 private:
  std::string Where() const { return "line " + std::to_string(line_) + " of " + path_; }

  std::string path_;
  std::vector<std::string> values_;
  std::size_t line_ = 0;
};

std::string BoolText(bool value) { return value ? "True" : "False"; }

std::string BaudIndexText(std::int32_t baudrate) {
  const auto index = BaudRateIndex(baudrate);
  if (!index) throw SettingsError("The baud rate " + std::to_string(baudrate) + " is not one of the choices");
  return std::to_string(*index);
}

}  // namespace

std::optional<int> BaudRateIndex(std::int32_t baudrate) {
  const auto it = std::find(kBaudRates.begin(), kBaudRates.end(), baudrate);
  if (it == kBaudRates.end()) return std::nullopt;
  return static_cast<int>(it - kBaudRates.begin());
}

void ReadSerialSettings(const std::string& path, SerialSettings& s) {
  ValueReader in(path);
  s.Baudrate = kBaudRates[static_cast<std::size_t>(in.NextIntIn(0, kBaudRates.size() - 1))];
  s.ReadSize = in.NextInt();
  s.WriteSize = in.NextInt();
  s.ReadTimeout = in.NextInt();
  s.WriteTimeout = in.NextInt();
  s.XoffLimit = in.NextInt();
  s.XonLimit = in.NextInt();
  s.Databits = in.NextIntIn(kMinDatabits, kMaxDatabits);
  s.PortNum = in.NextInt();
  s.Parity = static_cast<SerialParity>(in.NextIntIn(0, kParityTexts.size() - 1));
  // Lines after the ten that do not name a device (an absolute path) are
  // not read.
  const std::string device = in.HasNext() ? in.Next() : std::string();
  s.Device = IsDevicePath(device) ? device : std::string();
}

bool IsDevicePath(std::string_view text) {
  return text.size() > 1 && text.front() == '/' && text.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos;
}

void WriteSerialSettings(const std::string& path, const SerialSettings& s) {
  if (!s.Device.empty() && !IsDevicePath(s.Device))
    throw SettingsError(QuotedValue(s.Device) + " does not name a device");
  std::vector<std::string> values{BaudIndexText(s.Baudrate),     std::to_string(s.ReadSize),
                                  std::to_string(s.WriteSize),   std::to_string(s.ReadTimeout),
                                  std::to_string(s.WriteTimeout), std::to_string(s.XoffLimit),
                                  std::to_string(s.XonLimit),    std::to_string(s.Databits),
                                  std::to_string(s.PortNum),     std::to_string(static_cast<int>(s.Parity))};
  if (!s.Device.empty()) values.push_back(s.Device);
  WriteSettingsValues(path, values);
}

void ReadGpsPortSettings(const std::string& path, GpsPortSettings& s) {
  ValueReader in(path);
  s.Baudrate = kBaudRates[static_cast<std::size_t>(in.NextIntIn(0, kBaudRates.size() - 1))];
  s.PortNum = in.NextIntIn(0, std::numeric_limits<std::int32_t>::max());
  const std::string device = in.Next();
  if (!device.empty() && !IsDevicePath(device))
    throw SettingsError(QuotedValue(device) + " does not name a device (line 3 of " + path + ")");
  s.Device = device;
}

void WriteGpsPortSettings(const std::string& path, const GpsPortSettings& s) {
  if (s.PortNum < 0) throw SettingsError("The GPS port number " + std::to_string(s.PortNum) + " is below 0");
  if (!s.Device.empty() && !IsDevicePath(s.Device))
    throw SettingsError(QuotedValue(s.Device) + " does not name a device");
  WriteSettingsValues(path, {BaudIndexText(s.Baudrate), std::to_string(s.PortNum), s.Device});
}

GpsPortSettings ReadGpsPortSettingsOrNone(const std::string& path) {
  GpsPortSettings settings;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec) && !ec) return settings;
  ReadGpsPortSettings(path, settings);
  return settings;
}

SerialSettings GpsSerialSettings(const GpsPortSettings& gps) {
  SerialSettings serial;
  serial.Baudrate = gps.Baudrate;
  serial.Databits = 8;
  serial.Parity = SerialParity::None;
  serial.PortNum = gps.PortNum;
  serial.Device = gps.Device;
  return serial;
}

namespace {

using L = LaybackSettings;
constexpr LaybackSettingField kLaybackFields[] = {
    {"Cable out (m):", &L::cableOut, 0.0, kMaxCableOut},
    {"Tow point astern (m):", &L::towPointAstern, -kMaxTowPointOffset, kMaxTowPointOffset},
    {"Tow point to starboard (m):", &L::towPointStarboard, -kMaxTowPointOffset, kMaxTowPointOffset},
    {"Towfish depth (m):", &L::defaultDepth, 0.0, kMaxTowfishDepth},
    {"Smoothing time (s):", &L::smoothingSeconds, kMinSmoothingSeconds, kMaxSmoothingSeconds},
};

}  // namespace

std::span<const LaybackSettingField> LaybackSettingFields() { return kLaybackFields; }

LaybackSettingsFault FindLaybackSettingsFault(const LaybackSettings& s) {
  for (const LaybackSettingField& field : kLaybackFields)
    if (std::string problem = SettingValueProblem(field.caption, s.*field.member, field.low, field.high, false);
        !problem.empty())
      return {&field, std::move(problem)};
  if (s.mode != LaybackMode::AlongCourse && s.mode != LaybackMode::FollowTheFish) return {nullptr, "Unknown layback mode."};
  return {};
}

void ReadLaybackSettings(const std::string& path, LaybackSettings& s) {
  ValueReader in(path);
  s.cableOut = in.NextReal(0.0, kMaxCableOut);
  s.towPointAstern = in.NextReal(-kMaxTowPointOffset, kMaxTowPointOffset);
  s.towPointStarboard = in.NextReal(-kMaxTowPointOffset, kMaxTowPointOffset);
  s.defaultDepth = in.NextReal(0.0, kMaxTowfishDepth);
  s.mode = static_cast<LaybackMode>(in.NextIntIn(0, 1));
  s.smoothingSeconds = in.NextReal(kMinSmoothingSeconds, kMaxSmoothingSeconds);
}

LaybackSettings ReadLaybackSettingsOrDefaults(const std::string& path) {
  LaybackSettings settings;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec) && !ec) return settings;
  ReadLaybackSettings(path, settings);
  return settings;
}

void WriteLaybackSettings(const std::string& path, const LaybackSettings& s) {
  if (const std::string problem = LaybackSettingsProblem(s); !problem.empty()) throw SettingsError(problem);
  WriteSettingsValues(path, {RealText(s.cableOut), RealText(s.towPointAstern), RealText(s.towPointStarboard),
                             RealText(s.defaultDepth), std::to_string(static_cast<int>(s.mode)),
                             RealText(s.smoothingSeconds)});
}

void ReadViewSettings(const std::string& path, ViewSettings& v) {
  ValueReader in(path);
  v.DevLimit = in.NextInt();
  v.NegDevColor = in.NextColour();
  v.PosDevColor = in.NextColour();
  v.LineColor = in.NextColour();
  v.LineWidth = in.NextInt();
  v.GridColor = in.NextColour();
  v.PointColor = in.NextColour();
  v.HighlightColor = in.NextColour();
  v.PointSize = in.NextInt();
  v.PointsVisible = in.NextBool();
  v.SamplesPerPage = in.NextInt();
  v.MaxDeviation = in.NextInt();
  v.GraphBackground = in.NextColour();
  v.InitialDevRange = in.NextInt();
  v.DevIncrement = in.NextInt();
  v.PointIncrement = in.NextInt();
}

void WriteViewSettings(const std::string& path, const ViewSettings& v) {
  using std::to_string;
  WriteSettingsValues(path, {to_string(v.DevLimit), ColourToString(v.NegDevColor), ColourToString(v.PosDevColor),
                             ColourToString(v.LineColor), to_string(v.LineWidth), ColourToString(v.GridColor),
                             ColourToString(v.PointColor), ColourToString(v.HighlightColor),
                             to_string(v.PointSize), BoolText(v.PointsVisible), to_string(v.SamplesPerPage),
                             to_string(v.MaxDeviation), ColourToString(v.GraphBackground),
                             to_string(v.InitialDevRange), to_string(v.DevIncrement),
                             to_string(v.PointIncrement)});
}

std::int32_t ReadMapDatum(const std::string& path) {
  ValueReader in(path);
  return in.NextIntIn(0, kMapDatumCount - 1);
}

void WriteMapDatum(const std::string& path, std::int32_t mapDatum) {
  WriteSettingsValues(path, {std::to_string(mapDatum)});
}

std::optional<std::string> ReadDownloadPath(const std::string& path) {
  if (!std::filesystem::exists(path)) return std::nullopt;
  const auto lines = ReadTextLines(path);
  if (lines.empty()) return std::string();
  const std::string_view line = lines.front();
  if (line.empty() || line.front() != kEscapedLineMarker) return std::string(line);
  return UnescapeLineEnds(line.substr(1));
}

void WriteDownloadPath(const std::string& path, const std::string& downloadPath) {
  const bool plain = downloadPath.find_first_of("\r\n") == std::string::npos &&
                     (downloadPath.empty() || downloadPath.front() != kEscapedLineMarker);
  WriteTextLines(path, {plain ? downloadPath : kEscapedLineMarker + EscapeLineEnds(downloadPath)});
}

}  // namespace tessaly
