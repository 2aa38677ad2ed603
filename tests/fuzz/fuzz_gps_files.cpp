// The files beside a live part and the GPS settings files: see FuzzTargets.h.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/CableHistory.h"
#include "core/LogPositioner.h"
#include "core/NmeaLog.h"
#include "core/ReceptionTimes.h"
#include "core/SettingsFile.h"
#include "core/SettingsStore.h"
#include "core/SideFile.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzSamples.h"
#include "fuzz/FuzzTargets.h"

namespace tessaly::fuzz {

namespace {

std::uint64_t LineCount(const std::string& path) {
  std::uint64_t lines = 0;
  ForEachLine(path, [&lines](std::string_view line, std::uint64_t) {
    Require(line.size() <= kMaxSideLineChars, "a line longer than the reader's bound");
    ++lines;
  });
  return lines;
}

void TimesFile(const std::string& path) {
  const ReceptionTimesFile file = ReadReceptionTimes(path);
  Require(file.error.empty(), "a readable times file was refused", file.error);
  Require(file.times.size() + file.problems.size() == LineCount(path), "a times line neither read nor listed");
  for (std::size_t i = 0; i < file.times.size(); ++i) {
    const ReceptionTime& t = file.times[i];
    Require(t.row > 0 && (i == 0 || t.row > file.times[i - 1].row), "times rows that do not rise");
    const auto again = ParseReceptionTime(FormatReceptionTime(t));
    Require(again && again->row == t.row && again->monotonicNs == t.monotonicNs &&
                again->utcNs == t.utcNs - ((t.utcNs % kNsPerMs) + kNsPerMs) % kNsPerMs,
            "a times line does not survive its text", FormatReceptionTime(t));
  }
}

void NmeaFile(const std::string& path) {
  const NmeaLogFile file = ReadNmeaLog(path);
  Require(file.error.empty(), "a readable NMEA file was refused", file.error);
  Require(file.sentences + file.badLines == LineCount(path), "an NMEA line neither read nor counted");
  Require(file.decoded + file.badChecksums <= file.sentences, "more sentences used than read");
  for (const GpsFix& fix : file.timeline.Fixes())
    Require(!fix.valid || (fix.position && std::abs(fix.position->latitude) <= 90.0 &&
                           std::abs(fix.position->longitude) <= 180.0),
            "a valid fix without a position in range");
}

void CableFile(const std::string& path) {
  CableHistory history(50.0);
  std::vector<std::string> problems;
  Require(ReadCableHistory(path, history, problems).empty(), "a readable cable file was refused");
  Require(history.Changes().size() + problems.size() == LineCount(path), "a cable line neither read nor listed");
  for (const CableChange& change : history.Changes()) {
    Require(change.metres >= 0.0 && change.metres <= kMaxCableOut, "a cable out of range");
    const auto again = ParseCableChange(FormatCableChange(change));
    Require(again && again->metres == change.metres, "a cable change does not survive its text");
  }
}

bool SamePoint(const std::optional<GeoPosition>& a, const std::optional<GeoPosition>& b) {
  return a.has_value() == b.has_value() && (!a || (a->latitude == b->latitude && a->longitude == b->longitude));
}

bool InRange(const std::optional<GeoPosition>& p) {
  return !p || (std::abs(p->latitude) <= 90.0 && std::abs(p->longitude) <= 180.0);
}

template <typename T, typename Key>
bool Rising(const std::vector<T>& items, Key key) {
  for (std::size_t i = 1; i < items.size(); ++i)
    if (key(items[i]) < key(items[i - 1])) return false;
  return true;
}

// A log's times and NMEA (the input cut in two by its first two bytes),
// positioned record by record as they are read against the whole files read
// at once: the same positions wherever the fixes' and the records' times do
// not go back; positions in range and a towfish only where there is an
// antenna, always.
void Positions(FuzzInput& input, const std::string& folder) {
  LaybackSettings settings;
  settings.cableOut = input.Byte();
  settings.defaultDepth = input.Byte() % 64;
  settings.towPointAstern = static_cast<double>(input.Byte() % 32) - 8.0;
  settings.smoothingSeconds = 1.0 + input.Byte() % 60;
  settings.mode = input.Choice(2) == 0 ? LaybackMode::AlongCourse : LaybackMode::FollowTheFish;
  const std::size_t timesBytes = input.Byte() * 256u + input.Byte();
  const std::string log = folder + "fuzz.zpx";
  std::ofstream(log + ".times", std::ios::binary | std::ios::trunc) << input.Take(timesBytes);
  std::ofstream(log + ".nmea", std::ios::binary | std::ios::trunc) << input.Rest();
  std::filesystem::remove(log + ".cable");

  const ReceptionTimesFile times = ReadReceptionTimes(log + ".times");
  const NmeaLogFile nmea = ReadNmeaLog(log + ".nmea");
  CableHistory cable(settings.cableOut);
  RecordPositioner whole(nmea.timeline, cable, settings);
  LogPositioner streamed;
  Require(streamed.Open(SideFilesOf(log), settings).empty(), "readable side files were refused");
  const bool exact = Rising(times.times, [](const ReceptionTime& t) { return t.utcNs; }) &&
                     Rising(nmea.timeline.Fixes(), [](const GpsFix& f) { return f.receivedUtcNs; });
  const std::uint64_t records = std::min<std::uint64_t>(times.times.empty() ? 3 : times.times.back().row + 2, 4096);
  for (std::uint64_t row = 1; row <= records; ++row) {
    const RecordFacts facts{row, row % 3 == 0 ? std::optional<double>(5.0) : std::nullopt};
    const PositionedRecord a = whole.Position(facts, TimeOfRow(times.times, row));
    const PositionedRecord b = streamed.Next(facts);
    Require(InRange(b.antenna) && InRange(b.towfish), "a position out of range");
    Require(!b.towfish || b.antenna, "a towfish without an antenna");
    Require(a.receivedUtcNs == b.receivedUtcNs, "the streamed reception time differs");
    if (!exact) continue;
    Require(SamePoint(a.antenna, b.antenna) && SamePoint(a.towfish, b.towfish) && a.flags == b.flags &&
                a.depth == b.depth && a.cableOut == b.cableOut,
            "the streamed position differs from the whole files'", std::to_string(row));
  }
  Require(streamed.ProblemCount() <= times.problems.size(), "more times problems than the file holds");
  // The NMEA file is read only as far as the records need.
  Require(streamed.NmeaCounts().sentences <= nmea.sentences && streamed.NmeaCounts().badLines <= nmea.badLines,
          "more NMEA read than the file holds");
}

template <typename Settings, typename Read, typename Write>
void SettingsFile(const std::string& path, Read read, Write write) {
  Settings settings;
  try {
    read(path, settings);
  } catch (const SettingsError& error) {
    Require(std::strlen(error.what()) <= 2048, "a settings message is unbounded", error.what());
    return;
  }
  write(path, settings);
  Settings again;
  read(path, again);
  Require(again == settings, "GPS settings do not survive a write");
}

}  // namespace

int FuzzGpsFiles(const std::uint8_t* data, std::size_t size) {
  static const char* const kFiles[] = {"fuzz.kvl.times", "fuzz.kvl.nmea", "fuzz.kvl.cable", "GpsPort.ega",
                                       "Positioning.ega"};
  FuzzInput input(data, size);
  const std::size_t which = input.Choice(6);
  if (which == 5) {
    Positions(input, ScratchFolder());
    return 0;
  }
  const std::string_view bytes = input.Rest();
  const std::string path = ScratchFolder() + kFiles[which];
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  switch (which) {
    case 0: TimesFile(path); break;
    case 1: NmeaFile(path); break;
    case 2: CableFile(path); break;
    case 3: SettingsFile<GpsPortSettings>(path, ReadGpsPortSettings, WriteGpsPortSettings); break;
    default: SettingsFile<LaybackSettings>(path, ReadLaybackSettings, WriteLaybackSettings); break;
  }
  return 0;
}

}  // namespace tessaly::fuzz
