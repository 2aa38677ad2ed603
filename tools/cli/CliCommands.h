// The commands of tessaly-cli. Each returns the process exit code.
#pragma once

#include "CliOptions.h"

namespace tessaly::cli {

int RunKind(const CliOptions& options);
int RunExport(const CliOptions& options);
int RunPnav(const CliOptions& options);
int RunUtm(const CliOptions& options);
int RunTrack(const CliOptions& options);
int RunQc(const CliOptions& options);

}  // namespace tessaly::cli
