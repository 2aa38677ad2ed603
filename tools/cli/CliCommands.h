// The commands of tessaly-cli. Each returns the process exit code.
#pragma once

#include <optional>
#include <string>

#include "CliOptions.h"
#include "core/Layback.h"

namespace tessaly::cli {

int RunKind(const CliOptions& options);
int RunExport(const CliOptions& options);
int RunPnav(const CliOptions& options);
int RunUtm(const CliOptions& options);
int RunTrack(const CliOptions& options);
int RunQc(const CliOptions& options);

// The map datum of --datum, else of Lib/UTM.ega, else WGS 84.
int Datum(const CliOptions& options);
// The layback of Lib/Positioning.ega, the defaults when it does not exist;
// none, with the reason in `error`, when it cannot be read.
std::optional<LaybackSettings> StoredLayback(std::string& error);

}  // namespace tessaly::cli
