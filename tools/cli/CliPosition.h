// tessaly-cli position: every record of a log positioned after the survey
// from the files beside it (LOG.times, LOG.nmea, LOG.cable), with the layback
// of the positioning settings or of the command line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Layback.h"
#include "tools/options/ToolOptions.h"

namespace tessaly::cli {

struct CliOptions;

// What the command line says of the positioning; each value overrides the
// one of Lib/Positioning.ega.
struct PositionOptions {
  std::optional<double> cable;                  // --cable M: one cable out for the whole log
  std::optional<double> astern, starboard;      // --offset ALONG,ACROSS
  std::optional<double> depth;                  // --depth M
  std::optional<LaybackMode> mode;              // --mode course|follow
  std::optional<double> smoothing;              // --smooth S
  std::string timesPath, nmeaPath;              // --times FILE, --nmea FILE
};

// The options of the position command, for the tool's option table.
std::vector<options::Option> PositionOptionTable(PositionOptions& options);

int RunPosition(const CliOptions& options);

}  // namespace tessaly::cli
