#include "CliFiles.h"

#include <filesystem>

#include "core/FileIdentity.h"
#include "core/InputFile.h"

namespace tessaly::cli {

namespace {

std::string Capitalised(std::string text) {
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
  return text;
}

std::string Clash(const RoleFile& output, const RoleFile& other) {
  return Capitalised(output.role) + " " + output.path + " is " + other.role + " " + other.path +
         "; nothing was written.";
}

}  // namespace

std::string InputFileProblem(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec) && !ec) return {};
  std::string reason;
  if (OpenInputFile(path, &reason)) return {};
  if (reason.starts_with("is ")) return path + " " + reason + "; it is not read.";
  return "Cannot read " + path + ": " + reason;
}

std::string OutputClash(const std::vector<RoleFile>& inputs, const std::vector<RoleFile>& outputs) {
  for (std::size_t o = 0; o < outputs.size(); ++o) {
    for (const RoleFile& input : inputs)
      if (SameFile(outputs[o].path, input.path)) return Clash(outputs[o], input);
    for (std::size_t earlier = 0; earlier < o; ++earlier)
      if (SameFile(outputs[o].path, outputs[earlier].path)) return Clash(outputs[o], outputs[earlier]);
  }
  return {};
}

}  // namespace tessaly::cli
