#include "CliCommands.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CliFiles.h"
#include "CliProgress.h"
#include "core/Clock.h"
#include "core/AlarmSettings.h"
#include "core/Comments.h"
#include "core/LogDocument.h"
#include "core/LogKind.h"
#include "core/LogPositioner.h"
#include "core/OutputFile.h"
#include "core/OutputRule.h"
#include "core/PngImage.h"
#include "core/PnavImport.h"
#include "core/QualityFlags.h"
#include "core/Positions.h"
#include "core/ProgramHome.h"
#include "core/SettingsFile.h"
#include "core/SettingsStore.h"
#include "core/TrackModel.h"
#include "core/TrackPicture.h"
#include "core/UTMLaLo.h"
#include "core/RecordExport.h"
#include "core/ViewSettings.h"
#include "core/untTSample.h"

namespace tessaly::cli {

namespace {

constexpr int kDefaultDatum = 22;

// The map datum stored in Lib/UTM.ega of the program home, or WGS 84 when the
// file is missing or does not hold a datum.
int StoredDatum() {
  try {
    return ReadMapDatum(LibPath(ProgramHome(), "UTM.ega"));
  } catch (const SettingsError&) {
    return kDefaultDatum;
  }
}

int Refuse(const std::string& message) {
  std::cerr << message << '\n';
  return kExitRefused;
}

// The files a command reads, which none of its outputs may replace: the
// input and its comments file (a log's, even before it exists).
std::vector<GuardedFile> InputFiles(const TypeFileState& state, std::string_view role = "the file to export") {
  std::vector<GuardedFile> inputs = {{state.FileName, std::string(role)}};
  if (!state.NameGrdFile.empty()) inputs.push_back({state.NameGrdFile, "the comments file of the log"});
  return inputs;
}

// The settings `read` takes from Lib/`file` (its defaults when the file does
// not exist); none, with the reason in `error`, when the file is unreadable.
template <typename Settings>
std::optional<Settings> StoredSettings(Settings (*read)(const std::string&), const char* file, std::string& error) {
  try {
    return read(LibPath(ProgramHome(), file));
  } catch (const SettingsError& failure) {
    error = failure.what();
    return std::nullopt;
  }
}

// The thresholds of Lib/Alarms.ega.
std::optional<AlarmSettings> StoredAlarmSettings(std::string& error) {
  return StoredSettings(ReadAlarmSettingsOrDefaults, "Alarms.ega", error);
}

// The layback of Lib/Positioning.ega for a log that has the files a live
// part has beside it; refused when that file cannot be read (the positions
// would be wrong).
std::optional<int> ReadLaybackFor(const TypeFileState& state, LaybackSettings& layback) {
  if (state.recognition == Recognition::Navigation || !HasPositioningFiles(state.FileName)) return std::nullopt;
  std::string error;
  const std::optional<LaybackSettings> stored = StoredLayback(error);
  if (!stored) return Refuse(error + "; nothing was written.");
  layback = *stored;
  return std::nullopt;
}

// The settings of an export beside the format's: the layback (ReadLaybackFor)
// and the quality thresholds of the sample's instrument (left out, and said
// so, when Lib/Alarms.ega cannot be read: the export then has no Flags
// channel).
std::optional<int> SetPositionsAndFlags(const TSample& sample, const TypeFileState& state, ExportSettings& settings) {
  if (const auto refused = ReadLaybackFor(state, settings.layback)) return refused;
  std::string error;
  if (const std::optional<AlarmSettings> alarms = StoredAlarmSettings(error))
    settings.quality = QualitySettingsFor(*alarms, InstrumentOfKind(sample.FKind));
  else
    std::cerr << error << "; the quality flags are left out.\n";
  return std::nullopt;
}

// Exports a log or navigation file with a set-up sample in the chosen
// format; the comments file of the document (when it exists) goes into the
// comment column. The outputs replace earlier files only when the whole
// export has succeeded; the output rule is the export's own.
int ExportWithSample(TSample& sample, const TypeFileState& state, const CliOptions& options) {
  CommentsStore comments;
  if (state.GrdFile) {
    const std::string error = comments.Load(state.NameGrdFile);
    if (!error.empty()) return Refuse(error);
  }
  StreamExportOptions exportOptions;
  exportOptions.settings.delimiter = options.delimiter;
  exportOptions.settings.lines = options.lines;
  exportOptions.settings.ties = options.ties;
  if (const auto refused = SetPositionsAndFlags(sample, state, exportOptions.settings)) return *refused;
  if (!options.reproducible) exportOptions.settings.exportTimeNs = SystemClock().UtcNs();
  exportOptions.errorsPath = options.errorsPath;
  ExportResult result;
  {  // the progress line is cleared before a message is written
    const SystemClock clock;
    ProgressLine progress(stderr, ProgressLine::StandardErrorIsTerminal(), clock);
    exportOptions.progress = [&progress](std::uint64_t done, std::uint64_t total, std::uint64_t records) {
      progress.Show(done, total, records);
    };
    result = ExportLogStreaming(sample, state, comments, options.operands[1], *options.format, exportOptions);
  }
  return result.ok ? kExitOk : Refuse(result.error);
}

// The input must be a file that can be read to its end.
std::optional<int> RefuseUnreadableInput(const std::string& path) {
  const std::string problem = InputFileProblem(path);
  if (problem.empty()) return std::nullopt;
  return Refuse(problem);
}

// A log must be recognised as one of the kinds.
std::optional<int> RefuseUnrecognisedLog(const TypeFileState& state) {
  if (state.recognition == Recognition::Empty) return Refuse("File empty.");
  if (state.recognition == Recognition::Unknown) return Refuse("Unknown file type: " + state.FileName);
  if (!state.kind) return Refuse("No log kind for the extension " + state.FileExtType + ": " + state.FileName);
  return std::nullopt;
}

// The view settings of Lib/View.ega, or the default settings when the file
// is missing or cannot be read.
ViewSettings StoredViewSettings() {
  ViewSettings view = DefaultViewSettings();
  try {
    ReadViewSettings(LibPath(ProgramHome(), "View.ega"), view);
  } catch (const SettingsError&) {
    view = DefaultViewSettings();
  }
  return view;
}

// Imports `path` as a navigation file with the command line's links, judged
// in the order given as the import window judges them (the command line
// checked the names: a channel the header does not offer is refused by the
// import as the dialog refuses it). The refusal, or empty with `sample` set
// up for the file.
std::string ImportNavigation(const std::string& path, const CliOptions& options, TSample& sample) {
  PnavImport import;
  if (std::string message = import.NewFile(path); !message.empty()) return message;
  for (const auto& [channel, field] : options.links)
    if (std::string message = import.AddLink(channel, field); !message.empty()) return message;
  if (std::string message = import.CheckOk(); !message.empty()) return message;
  return ApplyHandOver(sample, import);
}

// A file no log kind takes that is a navigation file: it needs its links.
std::optional<int> RefuseNavigationWithoutLinks(const TypeFileState& state, const CliOptions& options) {
  if (!options.links.empty() || state.recognition != Recognition::Unknown) return std::nullopt;
  if (!PnavImport().NewFile(state.FileName).empty()) return std::nullopt;
  return Refuse(state.FileName + " is a navigation file: name its channels with --link CHANNEL=FIELD, as for pnav.");
}

// The track's document: a survey log, or with links a navigation file.
LoadStatus OpenTrackDocument(LogDocument& doc, const TypeFileState& state, const CliOptions& options,
                             const LoadOptions& load, std::string& refusal) {
  if (options.links.empty()) return doc.OpenLog(state, load);
  std::unique_ptr<TSample> sample = LogDocument::NewNavigationSample();
  refusal = ImportNavigation(state.FileName, options, *sample);
  if (!refusal.empty()) return LoadStatus::Unknown;
  return doc.OpenNavigation(state.FileName, std::move(sample), load);
}

// The quality report: a header line, then a line per flag raised on a
// record in grid order (a record with two flags has two lines): its grid
// row, its time where the log has one (the UTC reception time of a log
// with its .times beside it, else the grid's time), the flag's name and the
// value that raised it, comma-separated, "." as the decimal point.
std::string QcReport(const LogDocument& doc) {
  std::string text = "row,time,flag,value\r\n";
  const std::span<const ReceivedRecord> received = doc.Received();
  for (const QualityFinding& finding : doc.QualityFindings()) {
    const std::size_t row = finding.record + 1;
    text.append(std::to_string(row)).append(",");
    if (finding.record < received.size() && received[finding.record].HasTime())
      text.append(FormatUtcMillis(received[finding.record].utcNs)).append(",");
    else
      text.append(doc.Cells().Cell(row, kColTime)).append(",");
    text.append(QualityFlagName(finding.flag)).append(",");
    text.append(ShortDecimalText(finding.value, 3)).append("\r\n");
  }
  return text;
}

int WriteText(const std::string& path, std::string text) {
  OutputFile out;
  if (!out.Open(path, OutputFile::Mode::Replace)) return Refuse(out.Error());
  out.Buffer() = std::move(text);
  return out.Close() ? kExitOk : Refuse(out.Error());
}

int WritePicture(const std::string& path, const std::vector<std::uint32_t>& pixels, const TrackPictureLayout& layout) {
  PixelBuffer image{const_cast<std::uint32_t*>(pixels.data()), layout.width, layout.height, layout.width};
  OutputFile out;
  if (!out.Open(path, OutputFile::Mode::Replace)) return Refuse(out.Error());
  out.Buffer() = EncodePng(image);
  return out.Close() ? kExitOk : Refuse(out.Error());
}

}  // namespace

int Datum(const CliOptions& options) { return options.datum ? *options.datum : StoredDatum(); }

std::optional<LaybackSettings> StoredLayback(std::string& error) {
  return StoredSettings(ReadLaybackSettingsOrDefaults, "Positioning.ega", error);
}

int RunKind(const CliOptions& options) {
  if (const auto refused = RefuseUnreadableInput(options.operands[0])) return *refused;
  TypeFileState state;
  AssignFileName(state, options.operands[0], false);
  std::cout << state.FileExtType << '\t' << state.FileType << '\n';
  return kExitOk;
}

int RunExport(const CliOptions& options) {
  if (const auto refused = RefuseUnreadableInput(options.operands[0])) return *refused;
  TypeFileState state;
  AssignFileName(state, options.operands[0], false);
  if (const auto refused = RefuseUnrecognisedLog(state)) return *refused;
  TSample sample;
  SetUpSample(sample, *state.kind);
  sample.FMapDatum = Datum(options);
  return ExportWithSample(sample, state, options);
}

int RunPnav(const CliOptions& options) {
  const std::string& path = options.operands[0];
  if (const auto refused = RefuseUnreadableInput(path)) return *refused;
  const std::unique_ptr<TSample> sample = LogDocument::NewNavigationSample();
  if (const std::string refusal = ImportNavigation(path, options, *sample); !refusal.empty()) return Refuse(refusal);
  sample->FMapDatum = Datum(options);
  TypeFileState state;
  AssignFileName(state, path, true);
  return ExportWithSample(*sample, state, options);
}

int RunUtm(const CliOptions& options) {
  const char separator = LocaleDecimalSeparator();
  double latitude = 0.0, longitude = 0.0;
  // ReadNumber takes no NaN or infinity; a huge exponent is out of range.
  if (!ReadNumber(options.operands[0], separator, latitude) || !ReadNumber(options.operands[1], separator, longitude) ||
      std::fabs(latitude) > 90.0 || std::fabs(longitude) > 180.0) {
    std::cerr << "tessaly-cli: utm takes a latitude from -90 to 90 and a longitude from -180 to 180, "
                 "in signed decimal degrees\n"
              << Usage();
    return kExitUsage;
  }
  UtmPosition utm;
  if (!LatLonToUtm(Datum(options), latitude, longitude, utm)) return Refuse("The position cannot be converted.");
  std::string zone, north, east;
  FormatUtm(utm, separator, zone, north, east);
  std::cout << zone << '\t' << north << '\t' << east << '\n';
  return kExitOk;
}

// A survey log, or with --link a navigation file as pnav imports it. A
// track needs two positions: with fewer the picture would be all but blank.
int RunTrack(const CliOptions& options) {
  const std::string& path = options.operands[0];
  const std::string& picture = options.operands[1];
  if (const auto refused = RefuseUnreadableInput(path)) return *refused;
  const bool navigation = !options.links.empty();
  TypeFileState state;
  AssignFileName(state, path, navigation);
  if (const auto refused = RefuseNavigationWithoutLinks(state, options)) return *refused;
  if (const auto refused = navigation ? std::nullopt : RefuseUnrecognisedLog(state)) return *refused;
  if (const OutputVerdict verdict =
          CheckOutput(WriteKind::Export, picture, "The picture file", InputFiles(state, navigation ? "the navigation file" : "the log"));
      !verdict.MayWrite())
    return Refuse(verdict.message);
  LoadOptions load;
  load.view = StoredViewSettings();
  load.mapDatum = Datum(options);
  std::string refusal;
  if (const auto refused = ReadLaybackFor(state, load.layback)) return *refused;
  LogDocument doc;
  if (OpenTrackDocument(doc, state, options, load, refusal) != LoadStatus::Loaded)
    return Refuse(refusal.empty() ? "Cannot read " + path + "." : refusal);
  TrackModel model(load.mapDatum);
  if (!BuildTrack(doc, model)) return Refuse("No positions in " + path + "; nothing was written.");
  if (model.PositionCount() < 2)
    return Refuse("Only one record of " + path + " has a position: a track needs two; nothing was written.");
  const double limit = load.view.DevLimit;
  const TrackPictureLayout layout = LayoutTrackPicture(options.width, options.height, limit);
  std::vector<std::uint32_t> pixels;
  DrawTrackPicture(model, doc.ChartValues(), limit, layout, pixels);
  return WritePicture(picture, pixels, layout);
}

int RunQc(const CliOptions& options) {
  const std::string& path = options.operands[0];
  const std::string& report = options.operands[1];
  if (const auto refused = RefuseUnreadableInput(path)) return *refused;
  TypeFileState state;
  AssignFileName(state, path, false);
  if (const auto refused = RefuseUnrecognisedLog(state)) return *refused;
  if (const OutputVerdict verdict = CheckOutput(WriteKind::Export, report, "The report file", InputFiles(state, "the log"));
      !verdict.MayWrite())
    return Refuse(verdict.message);
  std::string settingsError;
  const std::optional<AlarmSettings> alarms = StoredAlarmSettings(settingsError);
  if (!alarms) return Refuse(settingsError + "; nothing was written.");
  LoadOptions load;
  load.mapDatum = Datum(options);
  load.alarms = *alarms;
  if (const auto refused = ReadLaybackFor(state, load.layback)) return *refused;
  LogDocument doc;
  if (doc.OpenLog(state, load) != LoadStatus::Loaded) return Refuse("Cannot read " + path + ".");
  return WriteText(report, QcReport(doc));
}

}  // namespace tessaly::cli
