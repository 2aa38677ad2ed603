// The watch's thresholds: what the alarms of a live session and the quality
// flags of every record compare against. Kept in Lib/Alarms.ega (one value a
// line, scrambled as the other settings files, numbers written with "."), set
// in the "Alarms" window.
//
// Every setting is a row of AlarmSettingFields(): its caption, its range and
// whether it is a whole number; the file's order is the table's, and the
// reader, the window and Problem() check the same rules from it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/untTSample.h"

namespace tessaly {

// The instrument a deviation comes from: spikes and noise are judged on its
// own scale (a ZEPH 2 in BT format sends tenths of the KV format's counts).
enum class Instrument : std::uint8_t { KV7100, Zeph2Kv, Zeph2Bt, Rt4 };

// The instrument behind a kind of log; navigation imports and memory dumps
// count as the KV7100's.
Instrument InstrumentOfKind(std::uint8_t kind);

struct AlarmSettings {
  // Towfish depth, metres; its rate of change, metres a second.
  double depthMin = 1.0;
  double depthMax = 80.0;
  double depthRateMax = 0.5;
  // The sensor's signal level (the instrument's own scale, 0 to 999) and
  // total field, nT.
  double signalMin = 50.0;
  double totalFieldMin = 20000.0;
  double totalFieldMax = 70000.0;
  // GPS fix quality.
  double hdopMax = 2.0;
  double satellitesMin = 6.0;
  // Per instrument, in the deviation's own units: the smallest departure
  // from the running median that counts as a spike, and the envelope of the
  // normalised fourth difference beyond which a record is noisy.
  double spikeFloorKv7100 = 50.0, noiseEnvelopeKv7100 = 12.0;
  double spikeFloorZeph2Kv = 50.0, noiseEnvelopeZeph2Kv = 12.0;
  double spikeFloorZeph2Bt = 5.0, noiseEnvelopeZeph2Bt = 1.5;
  double spikeFloorRt4 = 50.0, noiseEnvelopeRt4 = 12.0;
  // Free space on the log's file system: below the warning level, MB (10^6
  // bytes), or below the hours of logging at the current rate, warns; below
  // the alarm level alarms.
  double diskWarningMb = 500.0;
  double diskAlarmMb = 50.0;
  double diskWarningHours = 24.0;

  bool operator==(const AlarmSettings&) const = default;
};

// One setting: its caption in the window (and in messages), its range and
// its place in the record.
struct AlarmSettingField {
  std::string_view caption;
  double AlarmSettings::*member;
  double low, high;
  bool whole;
};
std::span<const AlarmSettingField> AlarmSettingFields();

// Why the settings cannot be used: the first value out of its range or not
// whole where it must be, or a minimum not below its maximum. The message
// names the captions ("\"Maximum towfish depth (m):\" must be greater than
// ..."); the field is the one to correct (a pair's maximum). No field and an
// empty message when they can be used.
struct AlarmSettingsFault {
  const AlarmSettingField* field = nullptr;
  std::string message;
};
AlarmSettingsFault FindAlarmSettingsFault(const AlarmSettings& settings);
inline std::string AlarmSettingsProblem(const AlarmSettings& settings) {
  return FindAlarmSettingsFault(settings).message;
}

// The spike floor and noise envelope of an instrument.
double SpikeFloor(const AlarmSettings& settings, Instrument instrument);
double NoiseEnvelope(const AlarmSettings& settings, Instrument instrument);

// Lib/Alarms.ega: the fields in table order. The reader applies values in
// file order and throws SettingsError at the first value that is missing,
// no number or out of range, and when the settings read break a pair rule.
// Files written before the disk levels were settings end before them: those
// keep the values they had.
void ReadAlarmSettings(const std::string& path, AlarmSettings& settings);
// Throws SettingsError when the settings have a problem or cannot be written.
void WriteAlarmSettings(const std::string& path, const AlarmSettings& settings);
// The settings of the file, or the defaults when it does not exist (an
// installation from before the file); throws as ReadAlarmSettings otherwise.
AlarmSettings ReadAlarmSettingsOrDefaults(const std::string& path);

}  // namespace tessaly
