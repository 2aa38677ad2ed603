#include "core/SettingsFile.h"

#include <charconv>
#include <cmath>
#include <fstream>

#include "core/CrLf.h"
#include "core/InputFile.h"
#include "core/SettingsLine.h"

namespace tessaly {
namespace {

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::vector<std::string> SplitLines(std::string_view content) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < content.size(); ++i) {
    if (content[i] != '\r' && content[i] != '\n') continue;
    lines.emplace_back(content.substr(start, i - start));
    if (content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < content.size()) lines.emplace_back(content.substr(start));
  return lines;
}

}  // namespace

std::string LibPath(std::string_view home, std::string_view name) {
  std::string path(home);
  path += "Lib/";
  path += name;
  return path;
}

std::vector<std::string> ReadTextLines(const std::string& path) {
  std::string reason;
  const FileHandle in = OpenInputFile(path, &reason);
  if (!in) throw SettingsError("Cannot open the file " + path + ": " + reason);
  std::string content;
  char buffer[16 * 1024];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, in.get())) > 0;) {
    content.append(buffer, got);
    if (content.size() > kMaxSettingsFileBytes)
      throw SettingsError("The file " + path + " is larger than " + std::to_string(kMaxSettingsFileBytes >> 10) +
                          " KiB: not a settings file");
  }
  if (std::ferror(in.get())) throw SettingsError("Cannot read the file " + path);
  return SplitLines(content);
}

void WriteTextLines(const std::string& path, const std::vector<std::string>& lines) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw SettingsError("Cannot create the file " + path);
  for (const auto& line : lines) out << line << kCrLf;
  out.close();
  if (!out) throw SettingsError("Cannot write the file " + path);
}

std::vector<std::string> ReadSettingsValues(const std::string& path) {
  std::vector<std::string> values = ReadTextLines(path);
  for (auto& value : values) value = DecodeLine(value);
  return values;
}

void WriteSettingsValues(const std::string& path, const std::vector<std::string>& values) {
  std::vector<std::string> lines;
  lines.reserve(values.size());
  for (const auto& value : values) lines.push_back(EncodeLine(value));
  WriteTextLines(path, lines);
}

std::int32_t ParseSettingsInt(std::string_view text, std::string_view what) {
  const std::string_view digits = Trim(text);
  std::int32_t value = 0;
  const char* begin = digits.data();
  const char* end = digits.data() + digits.size();
  const bool plusSign = !digits.empty() && digits.front() == '+';
  if (plusSign) ++begin;
  const auto [ptr, ec] = std::from_chars(begin, end, value);
  if (begin == end || (plusSign && *begin == '-') || ec != std::errc() || ptr != end)
    throw SettingsError(QuotedValue(text) + " is not a valid integer value (" + std::string(what) + ")");
  return value;
}

double ParseSettingsNumber(std::string_view text, std::string_view what) {
  std::string_view number = Trim(text);
  const bool negative = !number.empty() && number.front() == '-';
  if (!number.empty() && (number.front() == '+' || negative)) number.remove_prefix(1);
  const bool digitsOnly = !number.empty() && number.front() != '.' && number.back() != '.' &&
                          number.find_first_not_of("0123456789.") == std::string_view::npos &&
                          number.find('.') == number.rfind('.');
  double value = 0.0;
  const char* end = number.data() + number.size();
  const auto [ptr, ec] = std::from_chars(number.data(), end, value, std::chars_format::fixed);
  if (!digitsOnly || ec != std::errc() || ptr != end)
    throw SettingsError(QuotedValue(text) + " is not a valid number (" + std::string(what) + ")");
  return negative ? -value : value;
}

std::string SettingValueProblem(std::string_view caption, double value, double low, double high, bool whole) {
  const std::string quoted = std::string("\"").append(caption).append("\"");
  if (whole && value != std::floor(value)) return quoted + " must be a whole number.";
  if (!(value >= low && value <= high))
    return quoted + " must be from " + SettingsNumberText(low) + " to " + SettingsNumberText(high) + ".";
  return {};
}

std::string SettingsNumberText(double value) {
  char text[512];  // a double in fixed notation takes at most 310 digits before its point
  const auto [end, ec] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
  return ec == std::errc() ? std::string(text, end) : std::string("0");
}

std::string QuotedValue(std::string_view text) {
  constexpr std::size_t kShown = 40;
  std::string quoted(1, '\'');
  quoted.append(text.substr(0, kShown));
  if (text.size() > kShown) quoted.append("...");
  quoted.push_back('\'');
  return quoted;
}

}  // namespace tessaly
