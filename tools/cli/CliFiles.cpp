#include "CliFiles.h"

#include <filesystem>

#include "core/InputFile.h"

namespace tessaly::cli {

std::string InputFileProblem(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec) && !ec) return {};
  std::string reason;
  if (OpenInputFile(path, &reason)) return {};
  if (reason.starts_with("is ")) return path + " " + reason + "; it is not read.";
  return "Cannot read " + path + ": " + reason;
}

}  // namespace tessaly::cli
