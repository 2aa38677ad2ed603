#include "core/CableHistory.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/Clock.h"
#include "core/SideFile.h"

namespace tessaly {

void CableHistory::Change(const CableChange& change) {
  const auto at = std::upper_bound(changes_.begin(), changes_.end(), change.utcNs,
                                   [](std::int64_t t, const CableChange& c) { return t < c.utcNs; });
  changes_.insert(at, change);
}

double CableHistory::At(std::int64_t utcNs) const {
  const auto after = std::upper_bound(changes_.begin(), changes_.end(), utcNs,
                                      [](std::int64_t t, const CableChange& c) { return t < c.utcNs; });
  return after == changes_.begin() ? initial_ : std::prev(after)->metres;
}

std::string FormatCableChange(const CableChange& change) {
  char metres[32];
  const auto end = std::to_chars(metres, metres + sizeof metres, change.metres).ptr;
  return FormatUtcMillis(change.utcNs) + '\t' + std::string(metres, end);
}

std::optional<CableChange> ParseCableChange(std::string_view line) {
  const std::size_t tab = line.find('\t');
  if (tab == std::string_view::npos) return std::nullopt;
  const auto time = ParseUtcMillis(line.substr(0, tab));
  const std::string_view text = line.substr(tab + 1);
  double metres = -1.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), metres);
  if (!time || text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(metres) ||
      metres < 0.0 || metres > kMaxCableOut)
    return std::nullopt;
  return CableChange{*time, metres};
}

std::string ReadCableHistory(const std::string& path, CableHistory& history, std::vector<std::string>& problems) {
  return ForEachLine(path, [&](std::string_view line, std::uint64_t number) {
    if (const auto change = ParseCableChange(line)) history.Change(*change);
    else problems.push_back("line " + std::to_string(number) + ": not a UTC time and metres of cable");
  });
}

}  // namespace tessaly
