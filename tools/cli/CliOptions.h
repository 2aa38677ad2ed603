// Command line of tessaly-cli: the command, its options and its operands.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "CliPosition.h"

namespace tessaly::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitUsage = 2;

// The sides --size accepts, in pixels.
inline constexpr int kSmallestPictureSide = 160;
inline constexpr int kLargestPictureSide = 4096;

struct CliOptions {
  std::string command;                 // "kind", "export", "pnav", "utm", "track", "position"; empty for --help
  bool help = false;
  std::optional<int> datum;            // --datum N, 0 to 22
  std::string delimiter = ",";         // --delimiter TEXT
  std::string errorsPath;              // --errors ERRFILE
  std::vector<std::pair<std::string, std::string>> links;  // --link CHANNEL=FIELD, in order
  int width = 1024, height = 768;      // --size WxH
  PositionOptions position;            // the position command's options
  std::vector<std::string> operands;
};

extern const char* const kUsage;

// Parses argv. Returns the reason on a usage error.
std::optional<std::string> ParseCommandLine(int argc, char** argv, CliOptions& options);

}  // namespace tessaly::cli
