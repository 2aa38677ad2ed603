// The recently-used-files list kept in Lib/Files.ega: one scrambled path per
// line, newest first, at most 8 lines; paths compare exactly (case included).
#pragma once

#include <string>
#include <vector>

namespace tessaly {

inline constexpr std::size_t kMaxRecentFiles = 8;

// Every path of the list file, in file order, to its end, at most
// kMaxRecentFiles; empty lines are skipped. Throws SettingsError when the file
// is missing or unreadable.
std::vector<std::string> ReadRecentFiles(const std::string& listPath);

// Puts path at the top of the list file: the path, then the first 7 old
// entries (empty lines skipped), leaving out the path itself. A missing list
// file counts as empty. Throws SettingsError when the file cannot be read or
// written.
void AddRecentFile(const std::string& listPath, const std::string& path);

// The same without writing the path first: the list loses the path and keeps
// at most 7 entries.
void RemoveRecentFile(const std::string& listPath, const std::string& path);

}  // namespace tessaly
