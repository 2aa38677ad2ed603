#include "core/AlarmSettings.h"

#include <cmath>
#include <filesystem>
#include <vector>

#include "core/SettingsFile.h"

namespace tessaly {

namespace {

using S = AlarmSettings;

constexpr AlarmSettingField kFields[] = {
    {"Minimum towfish depth (m):", &S::depthMin, 0.0, 10000.0, false},
    {"Maximum towfish depth (m):", &S::depthMax, 0.0, 10000.0, false},
    {"Maximum depth rate (m/s):", &S::depthRateMax, 0.01, 100.0, false},
    {"Minimum signal level:", &S::signalMin, 0.0, 999.0, false},
    {"Minimum total field (nT):", &S::totalFieldMin, 0.0, 200000.0, false},
    {"Maximum total field (nT):", &S::totalFieldMax, 0.0, 200000.0, false},
    {"Maximum HDOP:", &S::hdopMax, 0.1, 99.9, false},
    {"Minimum satellites:", &S::satellitesMin, 0.0, 64.0, true},
    {"KV7100 spike floor:", &S::spikeFloorKv7100, 0.0, 100000.0, false},
    {"KV7100 noise envelope:", &S::noiseEnvelopeKv7100, 0.01, 100000.0, false},
    {"ZEPH 2 KV spike floor:", &S::spikeFloorZeph2Kv, 0.0, 100000.0, false},
    {"ZEPH 2 KV noise envelope:", &S::noiseEnvelopeZeph2Kv, 0.01, 100000.0, false},
    {"ZEPH 2 BT spike floor:", &S::spikeFloorZeph2Bt, 0.0, 10000.0, false},
    {"ZEPH 2 BT noise envelope:", &S::noiseEnvelopeZeph2Bt, 0.01, 10000.0, false},
    {"RT4 spike floor:", &S::spikeFloorRt4, 0.0, 100000.0, false},
    {"RT4 noise envelope:", &S::noiseEnvelopeRt4, 0.01, 100000.0, false},
};

// A minimum and the maximum it must stay below.
struct PairRule {
  double AlarmSettings::*minimum;
  double AlarmSettings::*maximum;
};
constexpr PairRule kPairs[] = {{&S::depthMin, &S::depthMax}, {&S::totalFieldMin, &S::totalFieldMax}};

const AlarmSettingField& FieldOf(double AlarmSettings::*member) {
  for (const AlarmSettingField& field : kFields)
    if (field.member == member) return field;
  return kFields[0];
}

std::string Quoted(std::string_view caption) {
  std::string quoted(1, '"');
  quoted.append(caption).push_back('"');
  return quoted;
}

std::string FieldProblem(const AlarmSettingField& field, double value) {
  return SettingValueProblem(field.caption, value, field.low, field.high, field.whole);
}

AlarmSettingsFault PairFault(const AlarmSettings& settings) {
  for (const PairRule& pair : kPairs)
    if (!(settings.*pair.minimum < settings.*pair.maximum))
      return {&FieldOf(pair.maximum), Quoted(FieldOf(pair.maximum).caption) + " must be greater than " +
                                          Quoted(FieldOf(pair.minimum).caption) + "."};
  return {};
}

}  // namespace

Instrument InstrumentOfKind(std::uint8_t kind) {
  switch (kind) {
    case skZPX: return Instrument::Zeph2Kv;
    case skZPT: return Instrument::Zeph2Bt;
    case skRTB:
    case skRTC: return Instrument::Rt4;
    default: return Instrument::KV7100;
  }
}

std::span<const AlarmSettingField> AlarmSettingFields() { return kFields; }

AlarmSettingsFault FindAlarmSettingsFault(const AlarmSettings& settings) {
  for (const AlarmSettingField& field : kFields)
    if (std::string problem = FieldProblem(field, settings.*field.member); !problem.empty())
      return {&field, std::move(problem)};
  return PairFault(settings);
}

double SpikeFloor(const AlarmSettings& s, Instrument instrument) {
  switch (instrument) {
    case Instrument::Zeph2Kv: return s.spikeFloorZeph2Kv;
    case Instrument::Zeph2Bt: return s.spikeFloorZeph2Bt;
    case Instrument::Rt4: return s.spikeFloorRt4;
    default: return s.spikeFloorKv7100;
  }
}

double NoiseEnvelope(const AlarmSettings& s, Instrument instrument) {
  switch (instrument) {
    case Instrument::Zeph2Kv: return s.noiseEnvelopeZeph2Kv;
    case Instrument::Zeph2Bt: return s.noiseEnvelopeZeph2Bt;
    case Instrument::Rt4: return s.noiseEnvelopeRt4;
    default: return s.noiseEnvelopeKv7100;
  }
}

void ReadAlarmSettings(const std::string& path, AlarmSettings& settings) {
  const std::vector<std::string> values = ReadSettingsValues(path);
  for (std::size_t i = 0; i < std::size(kFields); ++i) {
    const std::string where = "line " + std::to_string(i + 1) + " of " + path;
    if (i >= values.size()) throw SettingsError("The file " + path + " ends before line " + std::to_string(i + 1));
    const double value = ParseSettingsNumber(values[i], where);
    if (const std::string problem = FieldProblem(kFields[i], value); !problem.empty())
      throw SettingsError(problem.substr(0, problem.size() - 1) + " (" + where + ")");
    settings.*kFields[i].member = value;
  }
  if (const std::string problem = PairFault(settings).message; !problem.empty())
    throw SettingsError(problem.substr(0, problem.size() - 1) + " (" + path + ")");
}

void WriteAlarmSettings(const std::string& path, const AlarmSettings& settings) {
  if (const std::string problem = AlarmSettingsProblem(settings); !problem.empty()) throw SettingsError(problem);
  std::vector<std::string> values;
  for (const AlarmSettingField& field : kFields) values.push_back(SettingsNumberText(settings.*field.member));
  WriteSettingsValues(path, values);
}

AlarmSettings ReadAlarmSettingsOrDefaults(const std::string& path) {
  AlarmSettings settings;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec) && !ec) return settings;
  ReadAlarmSettings(path, settings);
  return settings;
}

}  // namespace tessaly
