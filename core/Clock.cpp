#include "core/Clock.h"

#include <time.h>

#include <cstdio>
#include <limits>

namespace tessaly {

namespace {

std::int64_t Read(clockid_t id) {
  timespec now{};
  ::clock_gettime(id, &now);
  return static_cast<std::int64_t>(now.tv_sec) * kNsPerSecond + now.tv_nsec;
}

constexpr std::int64_t kNsPerDay = 86400 * kNsPerSecond;

// Floor division, so that times before 1970 fall on the right day.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

bool Digits(std::string_view text, std::size_t at, std::size_t count, int& value) {
  if (at + count > text.size()) return false;
  value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

unsigned DaysInMonth(int year, unsigned month) {
  static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

std::int64_t SystemClock::UtcNs() const { return Read(CLOCK_REALTIME); }
std::int64_t SystemClock::MonotonicNs() const { return Read(CLOCK_MONOTONIC); }

// Howard Hinnant's days_from_civil.
std::int64_t DaysFromCivil(int year, unsigned month, unsigned day) {
  const int y = year - (month <= 2 ? 1 : 0);
  const int era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return static_cast<std::int64_t>(era) * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

CivilDate CivilFromDays(std::int64_t days) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const auto doe = static_cast<unsigned>(days - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned day = doy - (153 * mp + 2) / 5 + 1;
  const unsigned month = mp < 10 ? mp + 3 : mp - 9;
  const auto year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2 ? 1 : 0));
  return {year, month, day};
}

std::string FormatUtcMillis(std::int64_t utcNs) {
  const std::int64_t days = FloorDiv(utcNs, kNsPerDay);
  const std::int64_t inDay = utcNs - days * kNsPerDay;
  const CivilDate date = CivilFromDays(days);
  const std::int64_t ms = inDay / kNsPerMs;
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", date.year, date.month, date.day,
                static_cast<int>(ms / 3600000), static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60),
                static_cast<int>(ms % 1000));
  return text;
}

std::optional<std::int64_t> ParseUtcMillis(std::string_view text) {
  int year, month, day, hour, minute, second;
  if (!Digits(text, 0, 4, year) || text.size() < 20 || text[4] != '-' || !Digits(text, 5, 2, month) ||
      text[7] != '-' || !Digits(text, 8, 2, day) || text[10] != 'T' || !Digits(text, 11, 2, hour) ||
      text[13] != ':' || !Digits(text, 14, 2, minute) || text[16] != ':' || !Digits(text, 17, 2, second))
    return std::nullopt;
  if (month < 1 || month > 12 || day < 1 || static_cast<unsigned>(day) > DaysInMonth(year, month) || hour > 23 ||
      minute > 59 || second > 59)
    return std::nullopt;
  std::size_t at = 19;
  std::int64_t fraction = 0;
  if (text[at] == '.') {
    std::int64_t scale = 100'000'000;
    const std::size_t first = ++at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - first < 9) {
      fraction += (text[at] - '0') * scale;
      scale /= 10;
      ++at;
    }
    if (at == first) return std::nullopt;
  }
  if (at + 1 != text.size() || text[at] != 'Z') return std::nullopt;
  const std::int64_t seconds = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 +
                               hour * 3600 + minute * 60 + second;
  // Nanoseconds in 64 bits reach from 1677 to 2262: a time beyond is none.
  // (A second before 1970 is taken as the one after it less a second, so
  // that the product cannot overflow where the sum would not.)
  constexpr std::int64_t kMostSeconds = std::numeric_limits<std::int64_t>::max() / kNsPerSecond;
  if (seconds > kMostSeconds || seconds < -kMostSeconds - 1) return std::nullopt;
  const bool before = seconds < 0;
  std::int64_t ns = 0;
  if (__builtin_add_overflow((before ? seconds + 1 : seconds) * kNsPerSecond,
                             before ? fraction - kNsPerSecond : fraction, &ns))
    return std::nullopt;
  return ns;
}

}  // namespace tessaly
