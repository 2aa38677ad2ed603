// CableHistory: the cable out over a session, as the layback reads it.
//
// The cable out in force at a moment is the last change at or before it, or
// the value set when the session began. The session records each change
// with its time in survey.kvl.cable beside the part (a line per change: the
// UTC time as FormatUtcMillis writes it, a tab and the metres with "." as
// decimal point), so positions computed after the survey change where the
// crew changed the cable:
//   2026-12-09T18:40:00.000Z<TAB>75.5
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

inline constexpr double kMaxCableOut = 10000.0;

struct CableChange {
  std::int64_t utcNs = 0;
  double metres = 0.0;
  bool operator==(const CableChange&) const = default;
};

class CableHistory {
 public:
  explicit CableHistory(double initialMetres) : initial_(initialMetres) {}
  // Records a change; changes may come in any order.
  void Change(const CableChange& change);
  double At(std::int64_t utcNs) const;
  double Initial() const { return initial_; }
  const std::vector<CableChange>& Changes() const { return changes_; }

 private:
  double initial_;
  std::vector<CableChange> changes_;  // by time
};

std::string FormatCableChange(const CableChange& change);
// Reads a line FormatCableChange wrote (metres 0 to kMaxCableOut); empty for
// any other text.
std::optional<CableChange> ParseCableChange(std::string_view line);

// The changes of a .cable file added to `history`. Empty text when it was
// read, else why not; lines that are not changes are listed in `problems`
// ("line N: ...") and left out.
std::string ReadCableHistory(const std::string& path, CableHistory& history, std::vector<std::string>& problems);

}  // namespace tessaly
