// What a folder holds, for the tests that check that nothing was written
// that was not asked for.
#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace tessaly::testing {

// Every entry under `folder`, sorted: a file by its relative path and size,
// anything else by its relative path alone.
inline std::vector<std::string> Listing(const std::string& folder) {
  std::vector<std::string> entries;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    const std::string name = entry.path().lexically_relative(folder).string();
    entries.push_back(entry.is_regular_file() ? name + " " + std::to_string(entry.file_size()) : name);
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

}  // namespace tessaly::testing
