// The settings readers: see FuzzTargets.h.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "core/AlarmSettings.h"
#include "core/ColourNames.h"
#include "core/RecentFiles.h"
#include "core/SettingsFile.h"
#include "core/SettingsLine.h"
#include "core/SettingsStore.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzSamples.h"
#include "fuzz/FuzzTargets.h"

namespace tessaly::fuzz {

namespace {

// Runs a reader; only SettingsError may escape it. True when it read.
template <typename Read>
bool Reads(Read&& read) {
  try {
    read();
    return true;
  } catch (const SettingsError& error) {
    Require(std::strlen(error.what()) <= 2048, "a settings message is unbounded", error.what());
    return false;
  }
}

void SerialFile(const std::string& path) {
  SerialSettings read;
  if (!Reads([&] { ReadSerialSettings(path, read); })) return;
  Require(std::find(kBaudRates.begin(), kBaudRates.end(), read.Baudrate) != kBaudRates.end() &&
              read.Databits >= kMinDatabits && read.Databits <= kMaxDatabits &&
              static_cast<int>(read.Parity) >= 0 && static_cast<int>(read.Parity) < 5,
          "serial settings out of range");
  WriteSerialSettings(path, read);
  SerialSettings again;
  ReadSerialSettings(path, again);
  Require(again == read, "serial settings do not survive a write");
}

void ViewFile(const std::string& path) {
  ViewSettings read;
  if (!Reads([&] { ReadViewSettings(path, read); })) return;
  WriteViewSettings(path, read);
  ViewSettings again;
  ReadViewSettings(path, again);
  Require(again == read, "view settings do not survive a write");
}

void MapDatumFile(const std::string& path) {
  std::int32_t datum = -1;
  if (!Reads([&] { datum = ReadMapDatum(path); })) return;
  Require(datum >= 0 && datum < kMapDatumCount, "map datum out of range");
  WriteMapDatum(path, datum);
  Require(ReadMapDatum(path) == datum, "the map datum does not survive a write");
}

void RecentFilesFile(const std::string& path) {
  std::vector<std::string> entries;
  if (!Reads([&] { entries = ReadRecentFiles(path); })) return;
  Require(entries.size() <= kMaxRecentFiles, "more recent files than the list holds");
  Require(std::none_of(entries.begin(), entries.end(), [](const std::string& e) { return e.empty(); }),
          "an empty recent-files entry");
  AddRecentFile(path, "/survey/new.kvl");
  const std::vector<std::string> after = ReadRecentFiles(path);
  Require(!after.empty() && after.front() == "/survey/new.kvl" && after.size() <= kMaxRecentFiles &&
              std::count(after.begin(), after.end(), "/survey/new.kvl") == 1,
          "adding a recent file does not put it first once");
}

void DownloadFile(const std::string& path) {
  std::optional<std::string> read;
  if (!Reads([&] { read = ReadDownloadPath(path); })) return;
  Require(read.has_value(), "an existing download file reads as no path");
  // A path may hold line breaks (stored escaped); the file stays one line.
  WriteDownloadPath(path, *read);
  Require(ReadTextLines(path).size() <= 1, "the written download file is not one line");
  Require(ReadDownloadPath(path) == read, "the download path does not survive a write");
}

void AlarmsFile(const std::string& path) {
  AlarmSettings read;
  if (!Reads([&] { ReadAlarmSettings(path, read); })) return;
  Require(AlarmSettingsProblem(read).empty(), "alarm settings read that the window refuses",
          AlarmSettingsProblem(read));
  WriteAlarmSettings(path, read);
  AlarmSettings again;
  ReadAlarmSettings(path, again);
  Require(again == read, "alarm settings do not survive a write");
}

// A settings number reads back from its own text.
void SettingsNumber(std::string_view text) {
  double value = 0.0;
  if (!Reads([&] { value = ParseSettingsNumber(text, "fuzz"); })) return;
  Require(value == value && value - value == 0.0, "a settings number is not finite", text);
  Require(ParseSettingsNumber(SettingsNumberText(value), "fuzz") == value, "a number does not survive its text",
          text);
}

void ScrambledValue(std::string_view value) {
  const std::string line = EncodeLine(value);
  Require(line.find_first_of("\r\n") == std::string::npos, "a stored line holds a line break", value);
  Require(line.size() >= value.size() + 90, "a stored line is too short", value);
  Require(DecodeLine(line) == value, "a value does not survive scrambling", value);
  Require(DecodeLine(value).size() + 90 <= std::max<std::size_t>(value.size(), 90), "decoding grew a line", value);
}

void ColourText(std::string_view text) {
  if (const auto colour = StringToColour(text)) {
    Require(StringToColour(ColourToString(*colour)) == colour, "a colour does not survive its text", text);
  }
  BgrColor value = 0;
  std::memcpy(&value, text.data(), std::min(text.size(), sizeof value));
  Require(StringToColour(ColourToString(value)) == value, "a colour value does not survive its text");
  if (Reads([&] { value = static_cast<BgrColor>(ParseSettingsInt(text, "fuzz")); }))
    Require(ParseSettingsInt(std::to_string(static_cast<std::int32_t>(value)), "fuzz") ==
                static_cast<std::int32_t>(value),
            "an integer does not survive its text", text);
}

}  // namespace

int FuzzSettings(const std::uint8_t* data, std::size_t size) {
  static const char* const kFiles[] = {"SerialPort.ega", "View.ega", "UTM.ega", "Files.ega", "Download.ega"};
  FuzzInput input(data, size);
  // The first byte chooses the reader: 0xF0 and up the readers added later
  // (so that the choices of older inputs stay), else its remainder by 7.
  const std::uint8_t choice = input.Byte();
  const std::string_view bytes = input.Rest();
  if (choice >= 0xF0) {
    if (choice & 1) {
      SettingsNumber(bytes);
      return 0;
    }
    const std::string path = ScratchFolder() + "Alarms.ega";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    AlarmsFile(path);
    return 0;
  }
  const std::size_t which = choice % 7;
  if (which == 5) {
    ScrambledValue(bytes);
    return 0;
  }
  if (which == 6) {
    ColourText(bytes);
    return 0;
  }

  const std::string path = ScratchFolder() + kFiles[which];
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  switch (which) {
    case 0: SerialFile(path); break;
    case 1: ViewFile(path); break;
    case 2: MapDatumFile(path); break;
    case 3: RecentFilesFile(path); break;
    default: DownloadFile(path); break;
  }
  return 0;
}

}  // namespace tessaly::fuzz
