#include "core/TextHelpers.h"

#include <filesystem>
#include <limits>
#include <stdexcept>
#include <system_error>

namespace tessaly {

std::string_view FieldAt(std::int32_t index, char separator, std::string_view text) {
  for (std::int32_t i = 0; i < index; ++i) {
    const auto cut = text.find(separator);
    if (cut == std::string_view::npos) return {};
    text.remove_prefix(cut + 1);
  }
  return text.substr(0, text.find(separator));
}

bool ParseInteger(std::string_view text, std::int32_t& value) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  // Accumulate as a negative number so that the most negative value fits.
  constexpr std::int64_t lowest = std::numeric_limits<std::int32_t>::min();
  std::int64_t acc = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    acc = acc * 10 - (c - '0');
    if (acc < lowest) return false;
  }
  if (!negative && -acc > std::numeric_limits<std::int32_t>::max()) return false;
  value = static_cast<std::int32_t>(negative ? acc : -acc);
  return true;
}

bool IsInteger(std::string_view text) {
  std::int32_t ignored = 0;
  return ParseInteger(text, ignored);
}

bool IsNumber(std::string_view text) {
  const auto point = text.find('.');
  if (point == std::string_view::npos) return IsInteger(text);
  return IsInteger(text.substr(0, point)) && IsInteger(text.substr(point + 1));
}

std::int32_t CountCharsInSet(std::string_view text, std::string_view set) {
  std::int32_t count = 0;
  for (const char c : text) count += set.find(c) != std::string_view::npos ? 1 : 0;
  return count;
}

std::int32_t CountOccurrences(std::string_view substring, std::string_view text) {
  if (substring.empty()) return 0;
  std::int32_t count = 0;
  for (auto at = text.find(substring); at != std::string_view::npos; at = text.find(substring, at + 1))
    ++count;
  return count;
}

bool DirectoryExists(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_directory(path, error);
}

bool ForceDirectories(const std::string& path) {
  std::string dir = path;
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  if (dir.empty()) throw std::invalid_argument("Cannot create an empty directory path");
  if (dir.size() < 3 || DirectoryExists(dir)) return true;
  const std::string parent = std::filesystem::path(dir).parent_path().string();
  if (parent == dir) return true;
  if (!parent.empty() && !ForceDirectories(parent)) return false;
  std::error_code error;
  std::filesystem::create_directory(dir, error);
  return !error && DirectoryExists(dir);
}

}  // namespace tessaly
