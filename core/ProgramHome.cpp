#include "core/ProgramHome.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace tessaly {

namespace {

std::string WithTrailingSeparator(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

std::string ProgramHome() {
  if (const char* home = std::getenv("TESSALY_HOME"); home != nullptr && *home != '\0') {
    return WithTrailingSeparator(home);
  }
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return WithTrailingSeparator(std::filesystem::current_path(error).string());
  return WithTrailingSeparator(exe.parent_path().string());
}

}  // namespace tessaly
