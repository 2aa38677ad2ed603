#include "core/Clock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace tessaly {
namespace {

// Hand-worked instants: seconds since 1970 from a calendar (date -u -d ...).
struct Instant {
  std::int64_t utcNs;
  const char* text;
};

TEST(Clock, FormatsUtcWithMilliseconds) {
  const Instant cases[] = {
      {0, "1970-01-01T00:00:00.000Z"},
      {1796841198123456789, "2026-12-09T18:33:18.123Z"},
      {951782400 * kNsPerSecond, "2000-02-29T00:00:00.000Z"},
      {4102444799 * kNsPerSecond + 999 * kNsPerMs, "2099-12-31T23:59:59.999Z"},
      {-1 * kNsPerMs, "1969-12-31T23:59:59.999Z"},
  };
  for (const Instant& c : cases) EXPECT_EQ(FormatUtcMillis(c.utcNs), c.text) << c.utcNs;
}

TEST(Clock, ReadsWhatItWrites) {
  for (std::int64_t ns : {std::int64_t{0}, std::int64_t{1796841198123} * kNsPerMs, std::int64_t{951782400000} * kNsPerMs})
    EXPECT_EQ(ParseUtcMillis(FormatUtcMillis(ns)), ns);
  EXPECT_EQ(ParseUtcMillis("2026-12-09T18:33:18Z"), std::int64_t{1796841198} * kNsPerSecond);
  EXPECT_EQ(ParseUtcMillis("2026-12-09T18:33:18.5Z"), std::int64_t{1796841198500} * kNsPerMs);
}

TEST(Clock, RefusesTimesBeyondWhatNanosecondsHold) {
  EXPECT_EQ(ParseUtcMillis("2262-04-11T23:47:16.854775807Z"), INT64_MAX);
  EXPECT_EQ(ParseUtcMillis("1677-09-21T00:12:43.145224192Z"), INT64_MIN);
  for (const char* text : {"2262-04-11T23:47:16.854775808Z", "2262-04-11T23:47:17Z", "8207-12-09T19:41:00.000Z",
                           "9999-12-31T23:59:59.999Z", "1677-09-21T00:12:43.145224191Z", "0000-01-01T00:00:00Z"})
    EXPECT_FALSE(ParseUtcMillis(text).has_value()) << text;
}

TEST(Clock, RefusesWhatIsNoTime) {
  for (const char* text : {"", "2026-12-09", "2026-12-09T18:33:18.123", "2026-02-29T00:00:00Z",
                           "2026-13-01T00:00:00Z", "2026-12-09T24:00:00Z", "2026-12-09T18:33:18.Z",
                           "2026-12-09 18:33:18Z", "2026-12-09T18:33:18.123Zx", "20x6-12-09T18:33:18Z"})
    EXPECT_FALSE(ParseUtcMillis(text).has_value()) << text;
}

TEST(Clock, CivilDaysRoundTrip) {
  for (std::int64_t days = -800000; days <= 800000; days += 997) {
    const CivilDate date = CivilFromDays(days);
    EXPECT_EQ(DaysFromCivil(date.year, date.month, date.day), days);
  }
  EXPECT_EQ(DaysFromCivil(2026, 12, 9), 20796);
}

TEST(Clock, ManualClockMovesBothReadingsTogether) {
  ManualClock clock(100, 7);
  clock.Advance(5 * kNsPerSecond);
  EXPECT_EQ(clock.UtcNs(), 100 + 5 * kNsPerSecond);
  EXPECT_EQ(clock.MonotonicNs(), 7 + 5 * kNsPerSecond);
  clock.SetUtc(0);
  EXPECT_EQ(clock.UtcNs(), 0);
  EXPECT_EQ(clock.MonotonicNs(), 7 + 5 * kNsPerSecond);
}

TEST(Clock, SystemClockIsNearTheCalendar) {
  const SystemClock clock;
  const std::int64_t before = clock.MonotonicNs();
  EXPECT_GT(clock.UtcNs(), std::int64_t{1700000000} * kNsPerSecond);
  EXPECT_GE(clock.MonotonicNs(), before);
}

}  // namespace
}  // namespace tessaly
