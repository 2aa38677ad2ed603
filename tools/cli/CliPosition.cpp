#include "CliPosition.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <vector>

#include "CliCommands.h"
#include "CliFiles.h"
#include "CliOptions.h"
#include "core/CableHistory.h"
#include "core/LogDocument.h"
#include "core/LogKind.h"
#include "core/NmeaLog.h"
#include "core/OutputFile.h"
#include "core/Positions.h"
#include "core/ProgramHome.h"
#include "core/RecordPositions.h"
#include "core/SettingsFile.h"
#include "core/SettingsStore.h"
#include "core/SideFile.h"
#include "core/UTMLaLo.h"

namespace tessaly::cli {

namespace {

constexpr char kCsvHeader[] =
    "Row,UTC,Antenna Latitude,Antenna Longitude,Towfish Latitude,Towfish Longitude,Towfish Zone,"
    "Towfish Easting,Towfish Northing,Deviation,Towfish Depth,Flags";

std::optional<double> Number(std::string_view text) {
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<double> NumberIn(std::string_view text, double low, double high) {
  const auto value = Number(text);
  return value && *value >= low && *value <= high ? value : std::nullopt;
}

std::string Limits(double low, double high) {
  char text[64];
  std::snprintf(text, sizeof text, "from %g to %g", low, high);
  return text;
}

int Refuse(const std::string& message) {
  std::cerr << message << '\n';
  return kExitRefused;
}

// The positioning settings of Lib/Positioning.ega, else the defaults, with
// the command line's values over them.
LaybackSettings Settings(const PositionOptions& o) {
  LaybackSettings s;
  try {
    ReadLaybackSettings(LibPath(ProgramHome(), "Positioning.ega"), s);
  } catch (const SettingsError&) {
    s = LaybackSettings{};
  }
  if (o.cable) s.cableOut = *o.cable;
  if (o.astern) s.towPointAstern = *o.astern;
  if (o.starboard) s.towPointStarboard = *o.starboard;
  if (o.depth) s.defaultDepth = *o.depth;
  if (o.mode) s.mode = *o.mode;
  if (o.smoothing) s.smoothingSeconds = *o.smoothing;
  return s;
}

void AppendFixed(std::string& out, double value, int decimals) {
  char text[48];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  out += text;
}

void AppendShortest(std::string& out, double value) {
  char text[48];
  out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

void AppendPoint(std::string& out, const std::optional<GeoPoint>& point) {
  if (point) {
    AppendFixed(out, point->latitude, 8);
    out += ',';
    AppendFixed(out, point->longitude, 8);
  } else {
    out += ',';
  }
  out += ',';
}

void AppendRow(std::string& out, const PositionedRecord& record, double deviation, int datum) {
  out += std::to_string(record.row);
  out += ',';
  if (record.receivedUtcNs) out += FormatUtcMillis(*record.receivedUtcNs);
  out += ',';
  AppendPoint(out, record.antenna);
  AppendPoint(out, record.towfish);
  UtmPosition utm;
  if (record.towfish && LatLonToUtm(datum, record.towfish->latitude, record.towfish->longitude, utm)) {
    out += std::to_string(utm.zoneNumber) + ' ' + utm.bandLetter + ',';
    AppendFixed(out, utm.easting, 3);
    out += ',';
    AppendFixed(out, utm.northing, 3);
  } else {
    out += ",,";
  }
  out += ',';
  AppendShortest(out, deviation);
  out += ',';
  AppendShortest(out, record.depth);
  out += ',';
  out += PositionFlagsText(record.flags);
  out += "\r\n";
}

// The towfish depth of each record where the log's kind has one.
std::optional<double> RecordDepth(const LogDocument& doc, std::size_t row, char separator) {
  if (!doc.Sample().HasField(sfTowDepth)) return std::nullopt;
  double depth = 0.0;
  if (!ReadNumber(doc.Cells().Cell(row, kColTfDepth), separator, depth)) return std::nullopt;
  return depth;
}

std::string SideFile(const std::string& given, const std::string& log, std::string_view suffix) {
  return given.empty() ? SideFileName(log, suffix) : given;
}

}  // namespace

bool ParsePositionOption(std::string_view name, std::string_view value, PositionOptions& o, std::string& error) {
  const auto number = [&](std::optional<double>& target, double low, double high, const char* what) {
    target = NumberIn(value, low, high);
    if (!target) error = std::string(name) + " takes " + what + " " + Limits(low, high);
  };
  if (name == "--cable") {
    number(o.cable, 0.0, kMaxCableOut, "metres of cable");
  } else if (name == "--depth") {
    number(o.depth, 0.0, kMaxTowfishDepth, "the towfish depth in metres");
  } else if (name == "--smooth") {
    number(o.smoothing, kMinSmoothingSeconds, kMaxSmoothingSeconds, "seconds");
  } else if (name == "--offset") {
    const std::size_t comma = value.find(',');
    const std::string_view along = value.substr(0, comma);
    const std::string_view across = comma == std::string_view::npos ? std::string_view() : value.substr(comma + 1);
    o.astern = NumberIn(along, -kMaxTowPointOffset, kMaxTowPointOffset);
    o.starboard = NumberIn(across, -kMaxTowPointOffset, kMaxTowPointOffset);
    if (!o.astern || !o.starboard)
      error = "--offset takes ALONG,ACROSS: metres astern and to starboard of the antenna, each " +
              Limits(-kMaxTowPointOffset, kMaxTowPointOffset);
  } else if (name == "--mode") {
    if (value == "course") o.mode = LaybackMode::AlongCourse;
    else if (value == "follow") o.mode = LaybackMode::FollowTheFish;
    else error = "--mode takes course or follow";
  } else if (name == "--times" || name == "--nmea") {
    (name == "--times" ? o.timesPath : o.nmeaPath) = std::string(value);
    if (value.empty()) error = std::string(name) + " takes a file";
  } else {
    return false;
  }
  return true;
}

int RunPosition(const CliOptions& options) {
  const std::string& log = options.operands[0];
  const std::string& out = options.operands[1];
  const PositionOptions& p = options.position;
  for (const std::string& input : {log, p.timesPath, p.nmeaPath})
    if (const std::string problem = input.empty() ? "" : InputFileProblem(input); !problem.empty())
      return Refuse(problem);
  TypeFileState state;
  AssignFileName(state, log, false);
  if (state.recognition == Recognition::Empty) return Refuse("File empty.");
  if (state.recognition != Recognition::Kind || !state.kind) return Refuse("Unknown file type: " + log);
  const std::string timesPath = SideFile(p.timesPath, log, kTimesSuffix);
  const std::string nmeaPath = SideFile(p.nmeaPath, log, kNmeaSuffix);
  const std::string cablePath = SideFileName(log, kCableSuffix);
  std::vector<RoleFile> inputs = {{log, "the log"}, {timesPath, "the reception times"}, {nmeaPath, "the NMEA file"},
                                  {cablePath, "the cable file"}};
  if (!state.NameGrdFile.empty()) inputs.push_back({state.NameGrdFile, "the comments file of the log"});
  if (const std::string clash = OutputClash(inputs, {{out, "the output file"}}); !clash.empty()) return Refuse(clash);

  const ReceptionTimesFile times = ReadReceptionTimes(timesPath);
  if (!times.error.empty()) return Refuse(times.error);
  const NmeaLogFile nmea = ReadNmeaLog(nmeaPath);
  if (!nmea.error.empty()) return Refuse(nmea.error);
  const LaybackSettings settings = Settings(p);
  CableHistory cable(settings.cableOut);
  std::vector<std::string> problems;
  if (!p.cable && std::filesystem::exists(cablePath)) {
    if (const std::string error = ReadCableHistory(cablePath, cable, problems); !error.empty()) return Refuse(error);
  }
  for (const std::string& problem : times.problems) std::cerr << timesPath << ": " << problem << '\n';
  for (const std::string& problem : problems) std::cerr << cablePath << ": " << problem << '\n';
  if (nmea.badChecksums + nmea.badLines > 0)
    std::cerr << nmeaPath << ": " << nmea.badChecksums << " sentence(s) with a bad checksum and " << nmea.badLines
              << " line(s) that are no sentence left out\n";

  LoadOptions load;
  load.mapDatum = Datum(options);
  LogDocument doc;
  if (doc.OpenLog(state, load) != LoadStatus::Loaded) return Refuse("Cannot read " + log + ".");
  const int datum = load.mapDatum;
  const char separator = LocaleDecimalSeparator();
  RecordPositioner positioner(nmea.timeline, cable, settings);
  OutputFile file;
  if (!file.Open(out, OutputFile::Mode::Replace)) return Refuse(file.Error());
  file.Buffer() += kCsvHeader;
  file.Buffer() += "\r\n";
  const auto deviations = doc.ChartValues();
  for (std::size_t row = 1; row <= deviations.size(); ++row) {
    const PositionedRecord record =
        positioner.Position({row, RecordDepth(doc, row, separator)}, TimeOfRow(times.times, row));
    AppendRow(file.Buffer(), record, deviations[row - 1], datum);
    file.Commit();
  }
  return file.Close() ? kExitOk : Refuse(file.Error());
}

}  // namespace tessaly::cli
