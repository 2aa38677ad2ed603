#include "CliPosition.h"

#include <charconv>
#include <cmath>
#include <cstdio>
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
#include "core/OutputRule.h"
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

std::string Limits(double low, double high) {
  char text[64];
  std::snprintf(text, sizeof text, " from %g to %g", low, high);
  return text;
}

// A decimal number from low to high into an optional target.
options::Apply OptionalNumber(std::optional<double>& target, double low, double high, std::string rule) {
  return [&target, low, high, rule = rule + Limits(low, high)](std::string_view text) -> std::optional<std::string> {
    double value = 0.0;
    if (auto error = options::DecimalNumber(value, low, high, rule)(text)) return error;
    target = value;
    return std::nullopt;
  };
}

// "ALONG,ACROSS": metres astern and to starboard.
options::Apply Offset(std::optional<double>& astern, std::optional<double>& starboard) {
  return [&astern, &starboard](std::string_view text) -> std::optional<std::string> {
    const std::size_t comma = text.find(',');
    const std::string rule = "--offset takes ALONG,ACROSS: metres astern and to starboard of the antenna, each" +
                             Limits(-kMaxTowPointOffset, kMaxTowPointOffset);
    double along = 0.0, across = 0.0;
    if (comma == std::string_view::npos ||
        options::DecimalNumber(along, -kMaxTowPointOffset, kMaxTowPointOffset, rule)(text.substr(0, comma)) ||
        options::DecimalNumber(across, -kMaxTowPointOffset, kMaxTowPointOffset, rule)(text.substr(comma + 1)))
      return rule + ", not " + std::string(text);
    astern = along;
    starboard = across;
    return std::nullopt;
  };
}

options::Apply Mode(std::optional<LaybackMode>& mode) {
  return [&mode](std::string_view text) -> std::optional<std::string> {
    LaybackMode value = LaybackMode::AlongCourse;
    if (auto error = options::OneOf(value, {{"course", LaybackMode::AlongCourse}, {"follow", LaybackMode::FollowTheFish}},
                                    "--mode takes course or follow")(text))
      return error;
    mode = value;
    return std::nullopt;
  };
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

template <typename Number>
void AppendShortest(std::string& out, Number value) {
  char text[48];
  out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

void AppendPoint(std::string& out, const std::optional<GeoPosition>& point) {
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
  // Depths are read to centimetres at most: their single-precision value
  // prints as written.
  AppendShortest(out, static_cast<float>(record.depth));
  out += ',';
  out += PositionFlagsText(record.flags);
  out += "\r\n";
}

// The towfish depth of a record where it has one.
std::optional<double> RecordDepth(const LogDocument& doc, std::size_t row) {
  const float depth = doc.Numbers()[row - 1].towDepth;
  if (std::isnan(depth)) return std::nullopt;
  return depth;
}

std::string SideFileOf(const std::string& given, const std::string& log, std::string_view suffix) {
  return given.empty() ? SideFileName(log, suffix) : given;
}

// Says on standard error which lines of the side files were left out.
void ReportLeftOut(const std::string& timesPath, const ReceptionTimesFile& times, const std::string& nmeaPath,
                   const NmeaLogFile& nmea, const std::string& cablePath, const std::vector<std::string>& cable) {
  for (const std::string& problem : times.problems) std::cerr << timesPath << ": " << problem << '\n';
  for (const std::string& problem : cable) std::cerr << cablePath << ": " << problem << '\n';
  if (nmea.badChecksums + nmea.badLines > 0)
    std::cerr << nmeaPath << ": " << nmea.badChecksums << " sentence(s) with a bad checksum and " << nmea.badLines
              << " line(s) that are no sentence left out\n";
}

// The header and a row a record of the document, positioned in turn.
int WritePositions(const std::string& out, const LogDocument& doc, const std::vector<ReceptionTime>& times,
                   RecordPositioner& positioner, int datum) {
  OutputFile file;
  if (!file.Open(out, OutputFile::Mode::Replace)) return Refuse(file.Error());
  file.Buffer() += kCsvHeader;
  file.Buffer() += "\r\n";
  const auto deviations = doc.ChartValues();
  for (std::size_t row = 1; row <= deviations.size(); ++row) {
    const PositionedRecord record = positioner.Position({row, RecordDepth(doc, row)}, TimeOfRow(times, row));
    AppendRow(file.Buffer(), record, deviations[row - 1], datum);
    file.Commit();
  }
  return file.Close() ? kExitOk : Refuse(file.Error());
}

}  // namespace

std::vector<options::Option> PositionOptionTable(PositionOptions& o) {
  const std::vector<std::string_view> position{"position"};
  return {
      {"--cable", true, OptionalNumber(o.cable, 0.0, kMaxCableOut, "--cable takes metres of cable"), position},
      {"--depth", true, OptionalNumber(o.depth, 0.0, kMaxTowfishDepth, "--depth takes the towfish depth in metres"),
       position},
      {"--smooth", true, OptionalNumber(o.smoothing, kMinSmoothingSeconds, kMaxSmoothingSeconds, "--smooth takes seconds"),
       position},
      {"--offset", true, Offset(o.astern, o.starboard), position},
      {"--mode", true, Mode(o.mode), position},
      {"--times", true, options::Text(o.timesPath), position},
      {"--nmea", true, options::Text(o.nmeaPath), position},
  };
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
  const std::string timesPath = SideFileOf(p.timesPath, log, kTimesSuffix);
  const std::string nmeaPath = SideFileOf(p.nmeaPath, log, kNmeaSuffix);
  const std::string cablePath = SideFileName(log, kCableSuffix);
  std::vector<GuardedFile> inputs = {{log, "the log"}, {timesPath, "the reception times of the log"},
                                     {nmeaPath, "the NMEA file of the log"}, {cablePath, "the cable file of the log"}};
  if (!state.NameGrdFile.empty()) inputs.push_back({state.NameGrdFile, "the comments file of the log"});
  if (const OutputVerdict verdict = CheckOutput(WriteKind::Export, out, "The output file", inputs); !verdict.MayWrite())
    return Refuse(verdict.message);

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
  ReportLeftOut(timesPath, times, nmeaPath, nmea, cablePath, problems);

  LoadOptions load;
  load.mapDatum = Datum(options);
  LogDocument doc;
  if (doc.OpenLog(state, load) != LoadStatus::Loaded) return Refuse("Cannot read " + log + ".");
  RecordPositioner positioner(nmea.timeline, cable, settings);
  return WritePositions(out, doc, times.times, positioner, load.mapDatum);
}

}  // namespace tessaly::cli
