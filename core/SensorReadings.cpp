#include "core/SensorReadings.h"

#include <charconv>

#include "core/TextHelpers.h"
#include "core/untTSample.h"

namespace tessaly {

namespace {

constexpr std::int32_t kTotalFieldColumn = 2;
constexpr std::int32_t kSignalColumn = 3;
constexpr std::size_t kSignalDigits = 3;

bool AllDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::optional<double> TotalField(std::string_view text) {
  const auto point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction = point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
  if (!AllDigits(whole) || (point != std::string_view::npos && !AllDigits(fraction))) return std::nullopt;
  double value = 0.0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<int> Signal(std::string_view text) {
  if (!AllDigits(text) || text.size() > kSignalDigits) return std::nullopt;
  int value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

}  // namespace

bool KindCarriesSensorReadings(std::uint8_t kind) { return kind == skZPX || kind == skZPT || kind == skRTB; }

SensorReadings ReadSensorReadings(std::uint8_t kind, std::string_view record) {
  if (!KindCarriesSensorReadings(kind)) return {};
  return {TotalField(FieldAt(kTotalFieldColumn, ',', record)), Signal(FieldAt(kSignalColumn, ',', record))};
}

}  // namespace tessaly
