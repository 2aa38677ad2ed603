// Clock: where the live session and its helpers read the time, handed in so
// that a test can run minutes of a session in simulated time.
//
// Two readings: UTC (for reception times written beside a log and shown to
// the user) and a monotonic clock (for intervals: silences, sync periods,
// reconnects; it never jumps when the system clock is set). Both are
// nanoseconds; UTC counts from 1970-01-01T00:00:00Z.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::int64_t UtcNs() const = 0;
  virtual std::int64_t MonotonicNs() const = 0;
};

// The machine's clocks: CLOCK_REALTIME and CLOCK_MONOTONIC.
class SystemClock : public Clock {
 public:
  std::int64_t UtcNs() const override;
  std::int64_t MonotonicNs() const override;
};

// A clock that moves only when told: both readings advance together.
class ManualClock : public Clock {
 public:
  explicit ManualClock(std::int64_t utcNs = 0, std::int64_t monotonicNs = 0)
      : utcNs_(utcNs), monotonicNs_(monotonicNs) {}
  std::int64_t UtcNs() const override { return utcNs_; }
  std::int64_t MonotonicNs() const override { return monotonicNs_; }
  void Advance(std::int64_t ns) {
    utcNs_ += ns;
    monotonicNs_ += ns;
  }
  // Sets the system clock alone, as a user or NTP would.
  void SetUtc(std::int64_t utcNs) { utcNs_ = utcNs; }

 private:
  std::int64_t utcNs_;
  std::int64_t monotonicNs_;
};

inline constexpr std::int64_t kNsPerMs = 1'000'000;
inline constexpr std::int64_t kNsPerSecond = 1'000'000'000;

// "2026-12-09T18:33:18.123Z": UTC with milliseconds (truncated), years 0000
// to 9999.
std::string FormatUtcMillis(std::int64_t utcNs);
// Reads what FormatUtcMillis writes ("Z" required, 1 to 9 fraction digits or
// none); empty for any other text, an impossible date or a time nanoseconds
// from 1970 cannot hold in 64 bits (before 1677-09-21, after 2262-04-11).
std::optional<std::int64_t> ParseUtcMillis(std::string_view text);

// Days from 1970-01-01 of a proleptic Gregorian date, and back.
std::int64_t DaysFromCivil(int year, unsigned month, unsigned day);
struct CivilDate {
  int year;
  unsigned month, day;
};
CivilDate CivilFromDays(std::int64_t days);

}  // namespace tessaly
