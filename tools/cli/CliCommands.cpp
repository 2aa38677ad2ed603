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
#include "core/Comments.h"
#include "core/LogDocument.h"
#include "core/LogKind.h"
#include "core/OutputFile.h"
#include "core/OutputRule.h"
#include "core/PngImage.h"
#include "core/PnavImport.h"
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

int Datum(const CliOptions& options) { return options.datum ? *options.datum : StoredDatum(); }

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

int WritePicture(const std::string& path, const std::vector<std::uint32_t>& pixels, const TrackPictureLayout& layout) {
  PixelBuffer image{const_cast<std::uint32_t*>(pixels.data()), layout.width, layout.height, layout.width};
  OutputFile out;
  if (!out.Open(path, OutputFile::Mode::Replace)) return Refuse(out.Error());
  out.Buffer() = EncodePng(image);
  return out.Close() ? kExitOk : Refuse(out.Error());
}

}  // namespace

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
  PnavImport import;
  std::string message = import.NewFile(path);
  if (!message.empty()) return Refuse(message);
  // The command line checked the names: a channel the header does not offer
  // is refused by the import as the dialog refuses it.
  for (const auto& [channel, field] : options.links) {
    message = import.AddLink(channel, field);
    if (!message.empty()) return Refuse(message);
  }
  message = import.CheckOk();
  if (!message.empty()) return Refuse(message);
  const std::unique_ptr<TSample> sample = LogDocument::NewNavigationSample();
  message = ApplyHandOver(*sample, import);
  if (!message.empty()) return Refuse(message);
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

int RunTrack(const CliOptions& options) {
  const std::string& path = options.operands[0];
  const std::string& picture = options.operands[1];
  if (const auto refused = RefuseUnreadableInput(path)) return *refused;
  TypeFileState state;
  AssignFileName(state, path, false);
  if (const auto refused = RefuseUnrecognisedLog(state)) return *refused;
  if (const OutputVerdict verdict = CheckOutput(WriteKind::Export, picture, "The picture file", InputFiles(state, "the log"));
      !verdict.MayWrite())
    return Refuse(verdict.message);
  LoadOptions load;
  load.view = StoredViewSettings();
  load.mapDatum = Datum(options);
  LogDocument doc;
  if (doc.OpenLog(state, load) != LoadStatus::Loaded) return Refuse("Cannot read " + path + ".");
  TrackModel model(load.mapDatum);
  if (!BuildTrack(doc, model)) return Refuse("No positions in " + path + "; nothing was written.");
  const double limit = load.view.DevLimit;
  const TrackPictureLayout layout = LayoutTrackPicture(options.width, options.height, limit);
  std::vector<std::uint32_t> pixels;
  DrawTrackPicture(model, doc.ChartValues(), limit, layout, pixels);
  return WritePicture(picture, pixels, layout);
}

}  // namespace tessaly::cli
