// Command line of tessaly-cli: the command, its options and its operands.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/ExportFormats.h"
#include "tools/options/ToolOptions.h"

namespace tessaly::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitUsage = options::kExitUsage;

// The sides --size accepts, in pixels.
inline constexpr int kSmallestPictureSide = 160;
inline constexpr int kLargestPictureSide = 4096;

struct CliOptions {
  std::string command;                 // "kind", "export", "pnav", "utm", "track", "qc"; empty for --help
  bool help = false;
  std::optional<int> datum;            // --datum N, 0 to 22
  const ExportFormat* format = nullptr; // --format F, else OUT's extension, else VDG
  std::string delimiter = ",";         // --delimiter TEXT
  std::string errorsPath;              // --errors ERRFILE
  LineMode lines = LineMode::Auto;     // --lines auto|marks|none
  bool ties = false;                   // --ties
  bool reproducible = false;           // --reproducible
  std::vector<std::pair<std::string, std::string>> links;  // --link CHANNEL=FIELD, in order
  int width = 1024, height = 768;      // --size WxH
  std::vector<std::string> operands;
};

// The usage, the export formats' lines included.
std::string Usage();

// Parses argv. Returns the reason on a usage error.
std::optional<std::string> ParseCommandLine(int argc, char** argv, CliOptions& options);

}  // namespace tessaly::cli
