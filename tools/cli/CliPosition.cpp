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
#include "core/LogPositioner.h"
#include "core/OutputFile.h"
#include "core/OutputRule.h"
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
  std::string unreadable;
  LaybackSettings s = StoredLayback(unreadable).value_or(LaybackSettings{});
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

std::string SideFileOf(const std::string& given, const std::string& log, std::string_view suffix) {
  return given.empty() ? SideFileName(log, suffix) : given;
}

// Says on standard error which lines of the side files were left out.
void ReportLeftOut(const LogPositioner& positioner, const std::string& nmeaPath) {
  for (const std::string& problem : positioner.Problems()) std::cerr << problem << '\n';
  if (positioner.ProblemCount() > positioner.Problems().size())
    std::cerr << "... and " << positioner.ProblemCount() - positioner.Problems().size() << " more line(s) left out\n";
  const NmeaLogCounts& nmea = positioner.NmeaCounts();
  if (nmea.badChecksums + nmea.badLines > 0)
    std::cerr << nmeaPath << ": " << nmea.badChecksums << " sentence(s) with a bad checksum and " << nmea.badLines
              << " line(s) that are no sentence left out\n";
}

// The header and a row a record of the document, positioned in turn; the
// file is kept only when the side files were read to their end.
int WritePositions(const std::string& out, const LogDocument& doc, LogPositioner& positioner, int datum) {
  OutputFile file;
  if (!file.Open(out, OutputFile::Mode::Replace)) return Refuse(file.Error());
  file.Buffer() += kCsvHeader;
  file.Buffer() += "\r\n";
  const auto deviations = doc.ChartValues();
  const auto numbers = doc.Numbers();
  for (std::size_t row = 1; row <= deviations.size(); ++row) {
    AppendRow(file.Buffer(), positioner.Next(FactsOf(row, numbers[row - 1])), deviations[row - 1], datum);
    file.Commit();
  }
  if (const std::string error = positioner.Error(); !error.empty()) return Refuse(error);
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

  LogPositioner positioner;
  if (const std::string error = positioner.Open({timesPath, nmeaPath, cablePath}, Settings(p), !p.cable);
      !error.empty())
    return Refuse(error);

  LoadOptions load;
  load.mapDatum = Datum(options);
  load.sideFiles = false;  // positioned here, with the command line's files and settings
  LogDocument doc;
  if (doc.OpenLog(state, load) != LoadStatus::Loaded) return Refuse("Cannot read " + log + ".");
  const int status = WritePositions(out, doc, positioner, load.mapDatum);
  ReportLeftOut(positioner, nmeaPath);
  return status;
}

}  // namespace tessaly::cli
