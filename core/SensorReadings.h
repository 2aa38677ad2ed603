// The sensor readings a ZEPH 2 (KV and BT format) or RT4 Basic record carries
// after its deviation: the total field in nT and the signal level.
//
//   $KVMGD,+00042,52341.2,087      ZEPH 2, KV format
//   $BTGFG,+0004,52341.2,087       ZEPH 2, BT format
//   $MGD,+00042,52341.2,087        RT4 Basic
//
//   column  text      reading
//   0       $KVMGD    (header, checked by the record parser)
//   1       +00042    (deviation, checked by the record parser)
//   2       52341.2   total field: digits, optionally "." and digits
//   3       087       signal level: 1 to 3 digits
//
// The record parser checks the header and the deviation only, so a record
// without these columns (the instruments' short form) or with texts that are
// no numbers is as valid as before: such a reading is simply absent. Nothing
// here changes a record, a grid or a verdict.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tessaly {

struct SensorReadings {
  std::optional<double> totalField;
  std::optional<int> signal;

  bool operator==(const SensorReadings&) const = default;
};

// Whether records of a kind carry the readings (ZEPH 2 in either format, RT4
// Basic).
bool KindCarriesSensorReadings(std::uint8_t kind);

// The readings of one record line (without its line end) of such a kind;
// both absent for any other kind.
SensorReadings ReadSensorReadings(std::uint8_t kind, std::string_view record);

}  // namespace tessaly
