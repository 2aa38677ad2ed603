#include "core/ReceptionTimes.h"

#include <algorithm>
#include <charconv>

#include "core/Clock.h"
#include "core/SideFile.h"

namespace tessaly {
namespace {

template <typename Integer>
std::optional<Integer> Digits(std::string_view text) {
  if (text.empty() || text.size() > 19) return std::nullopt;
  for (const char c : text)
    if (c < '0' || c > '9') return std::nullopt;
  Integer value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::string FormatReceptionTime(const ReceptionTime& time) {
  return std::to_string(time.row) + '\t' + FormatUtcMillis(time.utcNs) + '\t' + std::to_string(time.monotonicNs);
}

std::optional<ReceptionTime> ParseReceptionTime(std::string_view line) {
  const std::size_t first = line.find('\t');
  const std::size_t second = first == std::string_view::npos ? first : line.find('\t', first + 1);
  if (second == std::string_view::npos || line.find('\t', second + 1) != std::string_view::npos) return std::nullopt;
  const auto row = Digits<std::uint64_t>(line.substr(0, first));
  const auto utc = ParseUtcMillis(line.substr(first + 1, second - first - 1));
  const auto monotonic = Digits<std::int64_t>(line.substr(second + 1));
  if (!row || *row == 0 || !utc || !monotonic) return std::nullopt;
  return ReceptionTime{*row, *utc, *monotonic};
}

std::optional<ReceptionTime> ReadReceptionTimeLine(std::string_view line, std::uint64_t number, std::uint64_t lastRow,
                                                   std::string& problem) {
  const auto time = ParseReceptionTime(line);
  const std::string where = "line " + std::to_string(number) + ": ";
  if (!time) problem = where + "not a row, a UTC time and a clock reading";
  else if (time->row <= lastRow)
    problem = where + "row " + std::to_string(time->row) + " does not follow row " + std::to_string(lastRow);
  else return time;
  return std::nullopt;
}

ReceptionTimesFile ReadReceptionTimes(const std::string& path) {
  ReceptionTimesFile file;
  file.error = ForEachLine(path, [&file](std::string_view line, std::uint64_t number) {
    std::string problem;
    const std::uint64_t lastRow = file.times.empty() ? 0 : file.times.back().row;
    if (const auto time = ReadReceptionTimeLine(line, number, lastRow, problem)) file.times.push_back(*time);
    else file.problems.push_back(std::move(problem));
  });
  if (!file.error.empty()) file.times.clear(), file.problems.clear();
  return file;
}

std::optional<ReceptionTime> TimeOfRow(const std::vector<ReceptionTime>& times, std::uint64_t row) {
  const auto it = std::lower_bound(times.begin(), times.end(), row,
                                   [](const ReceptionTime& time, std::uint64_t r) { return time.row < r; });
  if (it == times.end() || it->row != row) return std::nullopt;
  return *it;
}

}  // namespace tessaly
