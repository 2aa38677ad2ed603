#include "core/RecentFiles.h"

#include <filesystem>
#include <vector>

#include "core/SettingsFile.h"

namespace tessaly {
namespace {

constexpr std::size_t kKeptOldLines = kMaxRecentFiles - 1;

std::vector<std::string> WithoutEmpty(std::vector<std::string> values) {
  std::erase_if(values, [](const std::string& value) { return value.empty(); });
  return values;
}

void RewriteList(const std::string& listPath, const std::string& path, bool putFirst) {
  std::vector<std::string> old;
  if (std::filesystem::exists(listPath)) old = WithoutEmpty(ReadSettingsValues(listPath));
  if (old.size() > kKeptOldLines) old.resize(kKeptOldLines);

  std::vector<std::string> list;
  if (putFirst) list.push_back(path);
  for (const auto& entry : old)
    if (entry != path) list.push_back(entry);
  WriteSettingsValues(listPath, list);
}

}  // namespace

std::vector<std::string> ReadRecentFiles(const std::string& listPath) {
  std::vector<std::string> paths = WithoutEmpty(ReadSettingsValues(listPath));
  // The list never holds more; a longer file was not written by the program.
  if (paths.size() > kMaxRecentFiles) paths.resize(kMaxRecentFiles);
  return paths;
}

void AddRecentFile(const std::string& listPath, const std::string& path) { RewriteList(listPath, path, true); }

void RemoveRecentFile(const std::string& listPath, const std::string& path) { RewriteList(listPath, path, false); }

}  // namespace tessaly
