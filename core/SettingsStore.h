// The settings files of Lib/: serial port, GPS port, positioning, view, map
// datum and the download path. Readers apply values in file order into the record they are given and
// raise SettingsError (core/SettingsFile.h) at the first failure, so the
// values read before the failing line stay applied.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/Layback.h"
#include "core/ViewSettings.h"

namespace tessaly {

enum class SerialParity { Even, Mark, None, Odd, Space };

// The serial settings the user controls, with their values at program start.
struct SerialSettings {
  std::int32_t Baudrate = 4800;
  SerialParity Parity = SerialParity::None;
  std::int32_t Databits = 8;
  std::int32_t PortNum = 1;
  std::int32_t ReadSize = 4096;
  std::int32_t WriteSize = 2048;
  std::int32_t ReadTimeout = 1000;
  std::int32_t WriteTimeout = 1000;
  std::int32_t XoffLimit = 1024;
  std::int32_t XonLimit = 1024;
  // The device chosen from the system's ports ("/dev/ttyUSB0"); empty: port
  // PortNum (/dev/ttyS<N-1>).
  std::string Device;

  bool operator==(const SerialSettings&) const = default;
};

// Baud-rate choices in list order (the list is sorted as text); the file
// stores the list index.
inline constexpr std::array<std::string_view, 15> kBaudRateTexts{
    "110", "115200", "1200", "128000", "14400", "19200", "2400", "256000",
    "300", "38400",  "4800", "56000",  "57600", "600",   "9600"};
inline constexpr std::array<std::int32_t, 15> kBaudRates{
    110, 115200, 1200, 128000, 14400, 19200, 2400, 256000, 300, 38400, 4800, 56000, 57600, 600, 9600};

// Parity choices in list order; the index is the SerialParity value.
inline constexpr std::array<std::string_view, 5> kParityTexts{"Even", "Mark", "None", "Odd", "Sce"};

inline constexpr std::int32_t kMinDatabits = 4;
inline constexpr std::int32_t kMaxDatabits = 8;
inline constexpr std::int32_t kMapDatumCount = 23;

// List index of a baud rate; empty when the rate is not a choice.
std::optional<int> BaudRateIndex(std::int32_t baudrate);

// Whether a text names a device: an absolute path ("/dev/ttyUSB0") on one
// line.
bool IsDevicePath(std::string_view text);

// Lib/SerialPort.ega: ten lines, baud-rate index, read size, write size, read
// time-out, write time-out, XOFF limit, XON limit, data bits, port number,
// parity index; an eleventh, the device, only when one was chosen (files
// written before it existed read as they always did; an eleventh line that
// is not a device path is not read).
void ReadSerialSettings(const std::string& path, SerialSettings& settings);
// Throws SettingsError also when the baud rate is not one of the choices.
void WriteSerialSettings(const std::string& path, const SerialSettings& settings);

// The GPS's serial port: 8 data bits, no parity, one stop bit, as NMEA 0183
// has it.
struct GpsPortSettings {
  std::int32_t PortNum = 0;  // 0 with no Device: "None", no GPS
  std::string Device;        // chosen from the system's ports; wins over PortNum
  std::int32_t Baudrate = 4800;

  bool Enabled() const { return PortNum > 0 || !Device.empty(); }
  bool operator==(const GpsPortSettings&) const = default;
};

// Lib/GpsPort.ega: three lines, baud-rate index, port number (0 or more),
// device (empty, or a device path).
void ReadGpsPortSettings(const std::string& path, GpsPortSettings& settings);
void WriteGpsPortSettings(const std::string& path, const GpsPortSettings& settings);
// The file's settings; "None" when it does not exist (SettingsError when it
// cannot be read).
GpsPortSettings ReadGpsPortSettingsOrNone(const std::string& path);
// The serial line of the GPS port: its port or device and rate, 8 data bits,
// no parity.
SerialSettings GpsSerialSettings(const GpsPortSettings& gps);

// Limits of the positioning settings.
inline constexpr double kMaxTowPointOffset = 1000.0;  // metres either way
inline constexpr double kMaxTowfishDepth = 10000.0;
inline constexpr double kMinSmoothingSeconds = 1.0;
inline constexpr double kMaxSmoothingSeconds = 600.0;

// The positioning settings that are numbers, as the "Positioning" window
// captions them, with their ranges; the layback mode is a choice of two.
struct LaybackSettingField {
  std::string_view caption;
  double LaybackSettings::*member;
  double low, high;
};
std::span<const LaybackSettingField> LaybackSettingFields();

// The first value that cannot be used (outside its range, not a finite
// number) and why ("\"Cable out (m):\" must be from 0 to 10000."), or an
// unknown mode (no field); no field and an empty message when they can.
struct LaybackSettingsFault {
  const LaybackSettingField* field = nullptr;
  std::string message;
};
LaybackSettingsFault FindLaybackSettingsFault(const LaybackSettings& settings);
inline std::string LaybackSettingsProblem(const LaybackSettings& settings) {
  return FindLaybackSettingsFault(settings).message;
}

// Lib/Positioning.ega: six lines, cable out, tow point astern, tow point to
// starboard, default depth (metres, "." as decimal point), mode (0 along
// course, 1 follow the fish), smoothing time in seconds.
void ReadLaybackSettings(const std::string& path, LaybackSettings& settings);
// The settings of the file, the defaults when it does not exist; throws as
// ReadLaybackSettings otherwise.
LaybackSettings ReadLaybackSettingsOrDefaults(const std::string& path);
void WriteLaybackSettings(const std::string& path, const LaybackSettings& settings);

// Lib/View.ega: the 16 view settings in declaration order.
void ReadViewSettings(const std::string& path, ViewSettings& settings);
void WriteViewSettings(const std::string& path, const ViewSettings& settings);

// Lib/UTM.ega: one line, the map datum 0..22.
std::int32_t ReadMapDatum(const std::string& path);
void WriteMapDatum(const std::string& path, std::int32_t mapDatum);

// Lib/Download.ega (plain text, not scrambled): one line, the last path
// entered for saving a download; nothing when the file does not exist. A path
// holding CR or LF, or beginning with kEscapedLineMarker, is stored as that
// marker followed by the path escaped as in core/SettingsLine.h, so the file
// keeps one line; every other path is stored as it is.
std::optional<std::string> ReadDownloadPath(const std::string& path);
void WriteDownloadPath(const std::string& path, const std::string& downloadPath);

}  // namespace tessaly
