// ReceptionTimes: survey.kvl.times, the moment each record of a live part
// was received.
//
// One line a record of the part, in the part's row order: the row (1-based,
// the record's grid row), the UTC time of reception from the system clock
// as ISO 8601 with milliseconds ("2026-12-09T18:33:18.123Z") and the
// monotonic clock in nanoseconds, separated by tabs, each line ended by CR
// LF:
//   1<TAB>2026-12-09T18:33:18.123Z<TAB>81234567890123
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

struct ReceptionTime {
  std::uint64_t row = 0;
  std::int64_t utcNs = 0;
  std::int64_t monotonicNs = 0;
  bool operator==(const ReceptionTime&) const = default;
};

// The line of a record (without its line end); the UTC time is written to
// the millisecond.
std::string FormatReceptionTime(const ReceptionTime& time);
// Reads a line FormatReceptionTime wrote; empty for any other text (a row of
// 0, a time that is not ISO 8601 UTC, a clock reading that is not a whole
// number of at most 19 digits, another field count).
std::optional<ReceptionTime> ParseReceptionTime(std::string_view line);

struct ReceptionTimesFile {
  std::vector<ReceptionTime> times;  // rows rising
  // Lines that were left out, "line N: why" (not a time line; a row not
  // above the one before).
  std::vector<std::string> problems;
  std::string error;  // the file could not be read (then nothing else is filled)
};

ReceptionTimesFile ReadReceptionTimes(const std::string& path);

// Line `number` of a times file, read in order after the line of row
// `lastRow` (0 before the first): its time, or none with `problem` saying
// why it is left out ("line N: ...").
std::optional<ReceptionTime> ReadReceptionTimeLine(std::string_view line, std::uint64_t number, std::uint64_t lastRow,
                                                   std::string& problem);

// The time of `row` in `times` (rows rising); none when the file has no line
// for the row.
std::optional<ReceptionTime> TimeOfRow(const std::vector<ReceptionTime>& times, std::uint64_t row);

}  // namespace tessaly
