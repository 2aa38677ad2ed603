// The export formats, named once: tessaly-cli's --format and help, and the
// window's save dialog, read this registry. Adding a format is one row here
// and one sink (ExportSink.h).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/ExportSink.h"
#include "core/Layback.h"
#include "core/QualityFlags.h"
#include "core/SurveyLines.h"

namespace tessaly {

class OutputFile;

// What the user chooses beside the format.
struct ExportSettings {
  std::string delimiter = ",";  // for the formats that take one
  // The formats cut into survey lines (XYZ, CSV, GeoJSON, KML):
  LineMode lines = LineMode::Auto;
  bool ties = false;                         // XYZ: the records between lines as Tie blocks
  std::optional<std::int64_t> exportTimeNs;  // written in the header; none: reproducible output
  std::string spillFolder;                   // where records wait between passes: the output's folder
  // The layback of the positions from the files beside a log (its .times,
  // .nmea and .cable), used where the log has them.
  LaybackSettings layback;
  // The thresholds of the Flags channel (the records' quality flags); none:
  // no Flags channel.
  std::optional<QualitySettings> quality;
};

struct ExportFormat {
  std::string_view name;         // --format's value and the file extension: "vdg"
  std::string_view description;  // the save dialog's name: "Valid Data Grid"
  std::string_view help;         // one line of --help
  bool takesDelimiter;           // the window asks for ExportSettings::delimiter
  std::unique_ptr<ExportSink> (*make)(OutputFile& out, const ExportSettings& settings);
};

std::span<const ExportFormat> ExportFormats();

// The format of that name (lower case, exact); nullptr for none.
const ExportFormat* FindExportFormat(std::string_view name);

// The format a path's extension names (any case), else the first format
// (VDG).
const ExportFormat& FormatOfPath(std::string_view path);

// The save dialog's filter: "Valid Data Grid (*.vdg)|*.vdg", one pair a
// format, joined by "|".
std::string SaveDialogFilter();

// The names joined for a message: "vdg" (later "vdg, csv or kml").
std::string FormatNames();

}  // namespace tessaly
