#include "CliCommands.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "core/Comments.h"
#include "core/LogDocument.h"
#include "core/LogKind.h"
#include "core/PnavImport.h"
#include "core/Positions.h"
#include "core/ProgramHome.h"
#include "core/SettingsLine.h"
#include "core/UTMLaLo.h"
#include "core/VdgExport.h"
#include "core/untTSample.h"

namespace tessaly::cli {

namespace {

constexpr int kDefaultDatum = 22;

// The map datum stored in Lib/UTM.ega of the program home, or WGS 84 when the
// file is missing or does not hold a datum.
int StoredDatum() {
  std::ifstream file(ProgramHome() + "Lib/UTM.ega", std::ios::binary);
  std::string line;
  if (!file || !std::getline(file, line)) return kDefaultDatum;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const std::string value = DecodeLine(line);
  int datum = -1;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), datum);
  if (error != std::errc() || end != value.data() + value.size() || datum < 0 || datum > 22) return kDefaultDatum;
  return datum;
}

int Datum(const CliOptions& options) { return options.datum ? *options.datum : StoredDatum(); }

int Refuse(const std::string& message) {
  std::cerr << message << '\n';
  return kExitRefused;
}

// A one-line bar on stderr, drawn only when stderr is a terminal.
class ProgressBar {
 public:
  ProgressBar() : enabled_(isatty(STDERR_FILENO) != 0) {}
  ~ProgressBar() {
    if (enabled_ && drawn_ >= 0) std::fputs("\r\033[K", stderr);
  }
  void Show(std::uint64_t done, std::uint64_t total) {
    if (!enabled_ || total == 0) return;
    const int percent = static_cast<int>(std::min<std::uint64_t>(100, done * 100 / total));
    if (percent == drawn_) return;
    drawn_ = percent;
    const int width = 40, filled = percent * width / 100;
    std::fprintf(stderr, "\rExporting File ... [%-*s] %3d%%", width, std::string(filled, '#').c_str(), percent);
    std::fflush(stderr);
  }

 private:
  bool enabled_;
  int drawn_ = -1;
};

// Exports a log or navigation file with a set-up sample; the comments file
// of the document (when it exists) goes into the comment column.
int ExportWithSample(TSample& sample, const TypeFileState& state, const CliOptions& options,
                     std::size_t skipColumn) {
  CommentsStore comments;
  if (state.GrdFile) {
    const std::string error = comments.Load(state.NameGrdFile);
    if (!error.empty()) return Refuse(error);
  }
  ProgressBar bar;
  StreamExportOptions exportOptions;
  exportOptions.delimiter = options.delimiter;
  exportOptions.skipColumn = skipColumn;
  exportOptions.errorsPath = options.errorsPath;
  exportOptions.progress = [&bar](std::uint64_t done, std::uint64_t total) { bar.Show(done, total); };
  const StreamExportResult result =
      ExportLogStreaming(sample, state.FileName, comments, options.operands[1], exportOptions);
  if (!result.ok) return Refuse(result.error);
  return kExitOk;
}

}  // namespace

int RunKind(const CliOptions& options) {
  TypeFileState state;
  AssignFileName(state, options.operands[0], false);
  std::cout << state.FileExtType << '\t' << state.FileType << '\n';
  return kExitOk;
}

int RunExport(const CliOptions& options) {
  TypeFileState state;
  AssignFileName(state, options.operands[0], false);
  if (state.recognition == Recognition::Empty) return Refuse("File empty.");
  if (state.recognition == Recognition::Unknown) return Refuse("Unknown file type: " + state.FileName);
  if (!state.kind) return Refuse("No log kind for the extension " + state.FileExtType + ": " + state.FileName);
  TSample sample;
  SetUpSample(sample, *state.kind);
  sample.FMapDatum = Datum(options);
  return ExportWithSample(sample, state, options, kLogExportSkipColumn);
}

int RunPnav(const CliOptions& options) {
  PnavImport import;
  const std::string& path = options.operands[0];
  std::string message = import.NewFile(path);
  if (!message.empty()) return Refuse(message);
  const auto& fields = PnavImport::FixedFields();
  for (const auto& [channel, field] : options.links) {
    const auto& channels = import.ChannelItems();
    if (std::find(channels.begin(), channels.end(), channel) == channels.end() ||
        std::find(fields.begin(), fields.end(), field) == fields.end())
      return Refuse("Please fill both fields, MNEA and Fixed fields.");
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
  return ExportWithSample(*sample, state, options, kNavExportSkipColumn);
}

int RunUtm(const CliOptions& options) {
  const char separator = LocaleDecimalSeparator();
  double latitude = 0.0, longitude = 0.0;
  if (!ReadNumber(options.operands[0], separator, latitude) || !ReadNumber(options.operands[1], separator, longitude)) {
    std::cerr << "utm takes a latitude and a longitude in decimal degrees\n" << kUsage;
    return kExitUsage;
  }
  UtmPosition utm;
  if (!LatLonToUtm(Datum(options), latitude, longitude, utm)) return Refuse("The position cannot be converted.");
  std::string zone, north, east;
  FormatUtm(utm, separator, zone, north, east);
  std::cout << zone << '\t' << north << '\t' << east << '\n';
  return kExitOk;
}

}  // namespace tessaly::cli
