// The alarm evaluators and the monitor, in simulated time (ManualClock): each
// rule against hand-worked thresholds. The session's scenes (a silence at 10
// records a second, a GPS dropout, a towfish depth ramp) are played through
// the session in LiveWatch_test.
#include "core/AlarmMonitor.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly::alarms_test {

constexpr std::int64_t kMs = 1'000'000;
constexpr std::int64_t kSecond = 1000 * kMs;
constexpr std::int64_t kStartUtc = 1796841198000 * kMs;  // 2026-12-09T18:33:18Z

// A session's watch in simulated time.
class Watch {
 public:
  explicit Watch(WatchedAlarms watched = {true, true, true}, AlarmSettings settings = {})
      : clock_(kStartUtc, 5 * kSecond), monitor_(settings, watched, clock_) {}

  AcceptedReading Reading() const {
    AcceptedReading reading;
    reading.receivedNs = clock_.MonotonicNs();
    reading.bytes = 27;
    return reading;
  }
  // Advances in steps, evaluating after each; the changes seen.
  std::vector<AlarmChange> Wait(std::int64_t duration, std::int64_t step = 10 * kMs) {
    std::vector<AlarmChange> seen;
    for (std::int64_t t = 0; t < duration; t += step) {
      clock_.Advance(step);
      Collect(seen);
    }
    return seen;
  }
  void Collect(std::vector<AlarmChange>& seen) {
    for (const AlarmChange& change : monitor_.Evaluate()) seen.push_back(change);
  }
  std::int64_t Now() const { return clock_.MonotonicNs(); }

  ManualClock clock_;
  AlarmMonitor monitor_;
};

std::vector<AlarmChange> Of(const std::vector<AlarmChange>& changes, AlarmKind kind) {
  std::vector<AlarmChange> of;
  for (const AlarmChange& change : changes)
    if (change.alarm == kind) of.push_back(change);
  return of;
}

// ---- No data ----

TEST(NoDataAlarm, WaitsFiveMedianIntervalsForSlowInstruments) {
  struct Case {
    std::int64_t interval;
    std::int64_t allowed;
  };
  const Case cases[] = {{100 * kMs, 3 * kSecond}, {500 * kMs, 3 * kSecond}, {1 * kSecond, 5 * kSecond},
                        {2 * kSecond, 10 * kSecond}};
  for (const Case& c : cases) {
    NoDataAlarm alarm(0);
    for (int i = 1; i <= 20; ++i) alarm.Record(i * c.interval);
    EXPECT_EQ(alarm.AllowedSilenceNs(), c.allowed) << c.interval;
    const std::int64_t last = 20 * c.interval;
    EXPECT_EQ(alarm.Evaluate(last + c.allowed - 1).state, AlarmState::Normal);
    EXPECT_EQ(alarm.Evaluate(last + c.allowed).state, AlarmState::Alarm);
  }
  // Before a first record the silence counts from the start.
  EXPECT_EQ(NoDataAlarm(kSecond).Evaluate(4 * kSecond).state, AlarmState::Alarm);
}

// ---- Bad records ----

TEST(BadRecordsAlarm, WarnsAboveTenOfTheLastHundred) {
  struct Case {
    int bad, good;  // framed in this order
    AlarmState state;
    double percent;
  };
  const Case cases[] = {
      {10, 90, AlarmState::Normal, 0},   {11, 89, AlarmState::Warning, 11}, {11, 0, AlarmState::Warning, 100},
      {10, 0, AlarmState::Normal, 0},    {20, 89, AlarmState::Warning, 11}, {20, 90, AlarmState::Normal, 0},
  };
  for (const Case& c : cases) {
    BadRecordsAlarm alarm;
    for (int i = 0; i < c.bad; ++i) alarm.Framed(true);
    for (int i = 0; i < c.good; ++i) alarm.Framed(false);
    EXPECT_EQ(alarm.Evaluate().state, c.state) << c.bad << "/" << c.good;
    EXPECT_DOUBLE_EQ(alarm.Evaluate().value, c.percent) << c.bad << "/" << c.good;
  }
}

// ---- Towfish depth ----

// At 10 records a second and at 1,000 (where the history is thinned to one
// record a tenth of a second): the rate is the slope of the line the depths
// follow, whichever records measure it.
TEST(TowfishDepthAlarm, RangeAndRate) {
  struct Case {
    double startDepth, metresPerSecond, seconds;
    AlarmState state;
    const char* cause;
  };
  const Case cases[] = {
      {20.0, 0.0, 10, AlarmState::Normal, ""},
      {0.5, 0.0, 10, AlarmState::Alarm, "m depth"},     // above the minimum of 1 m
      {20.0, 0.45, 10, AlarmState::Normal, ""},          // under 0.5 m/s
      {20.0, 0.6, 10, AlarmState::Alarm, "m/s depth rate"},
      {40.0, -0.6, 10, AlarmState::Alarm, "m/s depth rate"},
      {20.0, 2.0, 2, AlarmState::Normal, ""},            // 2 s is too short a span to judge a rate
  };
  for (const int perSecond : {10, 1000}) {
    for (const Case& c : cases) {
      AlarmSettings settings;
      TowfishDepthAlarm alarm(settings);
      for (int i = 0; i <= c.seconds * perSecond; ++i)
        alarm.Record(i * (kSecond / perSecond), c.startDepth + c.metresPerSecond * i / perSecond);
      const AlarmStatus status = alarm.Evaluate();
      EXPECT_EQ(status.state, c.state) << c.startDepth << " " << c.metresPerSecond << " at " << perSecond;
      EXPECT_EQ(status.cause, c.cause) << c.startDepth << " " << c.metresPerSecond << " at " << perSecond;
      if (std::string_view(c.cause) == "m/s depth rate") {
        EXPECT_NEAR(status.value, c.metresPerSecond, 1e-9);
      }
    }
  }
}

// ---- Signal ----

TEST(SignalAlarm, TotalFieldOutsideTheRangeIsAnAlarmAWeakSignalAWarning) {
  struct Case {
    std::optional<double> total, signal;
    AlarmState state;
    double value;
  };
  const Case cases[] = {
      {52341.2, 87, AlarmState::Normal, 0},
      {52341.2, 49, AlarmState::Warning, 49},
      {19999.9, 87, AlarmState::Alarm, 19999.9},
      {70000.5, 12, AlarmState::Alarm, 70000.5},  // the alarm comes first
      {std::nullopt, std::nullopt, AlarmState::Normal, 0},
      {std::nullopt, 10, AlarmState::Warning, 10},
  };
  for (const Case& c : cases) {
    AlarmSettings settings;
    SignalAlarm alarm(settings);
    alarm.Record(c.total, c.signal);
    EXPECT_EQ(alarm.Evaluate().state, c.state);
    EXPECT_DOUBLE_EQ(alarm.Evaluate().value, c.value);
  }
}

// ---- GPS and clock ----

GpsFixStatus GoodFix(std::int64_t receivedNs) {
  GpsFixStatus fix;
  fix.valid = true;
  fix.lastValidFixNs = receivedNs;
  fix.satellites = 9;
  fix.hdop = 0.9;
  return fix;
}

TEST(GpsAlarm, FixQualityWarnings) {
  struct Case {
    bool valid;
    int satellites;
    double hdop;
    AlarmState state;
    const char* cause;
  };
  const Case cases[] = {
      {true, 9, 0.9, AlarmState::Normal, ""},
      {false, 9, 0.9, AlarmState::Normal, ""},  // a fix that came and went: not yet 3 s without one
      {true, 9, 2.1, AlarmState::Warning, "HDOP"},
      {true, 5, 0.9, AlarmState::Warning, "satellites"},
      {true, 6, 2.0, AlarmState::Normal, ""},  // the limits themselves pass
  };
  for (const Case& c : cases) {
    AlarmSettings settings;
    GpsAlarm alarm(settings, 0);
    GpsFixStatus fix = GoodFix(kSecond);
    fix.valid = c.valid;
    fix.satellites = c.satellites;
    fix.hdop = c.hdop;
    alarm.Fix(fix);
    EXPECT_EQ(alarm.Evaluate(kSecond + 500 * kMs).state, c.state) << c.cause;
    EXPECT_EQ(alarm.Evaluate(kSecond + 500 * kMs).cause, c.cause);
  }
}

// The GPS alarm in simulated time: a fix each second (valid or not, or
// none), the alarm judged every 100 ms; its changes worked out by hand from
// the rules (over 3 s without a valid fix warns, 10 s alarms, the warning
// stays until valid fixes have held 2 s).
struct GpsChange {
  std::int64_t atMs;
  AlarmState state;
  std::string_view cause;
  double value;

  bool operator==(const GpsChange&) const = default;
};

std::vector<GpsChange> GpsChanges(const std::string& fixes) {  // one a second from 0 s: 'v' valid, 'x' not, '.' none
  AlarmSettings settings;
  GpsAlarm alarm(settings, 0);
  GpsFixStatus status;
  AlarmStatus shown;
  std::vector<GpsChange> changes;
  for (std::int64_t ms = 0; ms < static_cast<std::int64_t>(fixes.size()) * 1000; ms += 100) {
    const std::int64_t now = ms * kMs;
    const char fix = ms % 1000 == 0 ? fixes[static_cast<std::size_t>(ms / 1000)] : '.';
    if (fix != '.') {
      status.valid = fix == 'v';
      if (status.valid) {
        status.lastValidFixNs = now;
        status.receivedUtcNs = kStartUtc + now;
      }
    }
    alarm.Fix(status);
    const AlarmStatus next = alarm.Evaluate(now);
    if (next.state != shown.state || next.cause != shown.cause)
      changes.push_back({ms, next.state, next.cause, next.value});
    shown = next;
  }
  return changes;
}

TEST(GpsAlarm, WarnsAfterThreeSecondsWithoutAValidFixAndClearsWhenFixesHaveHeld) {
  constexpr auto W = AlarmState::Warning, A = AlarmState::Alarm, N = AlarmState::Normal;
  struct Case {
    const char* name;
    std::string fixes;
    std::vector<GpsChange> changes;
  };
  const Case cases[] = {
      {"fixes coming and going", "vxvxvxvxvxvxvxvxvxvx", {}},
      {"two bad epochs in three", "vxxvxxvxxvxxvxxvxxv", {}},
      {"five bad epochs, then good ones",
       "vvvvvxxxxxvvvvvv",
       {{7100, W, "s without a valid fix", 3.1}, {12000, N, "", 0}}},
      {"the fixes held only after a bad one broke them",
       "vvvvvxxxxxvxvvvvv",
       {{7100, W, "s without a valid fix", 3.1}, {14000, N, "", 0}}},
      {"the GPS silent, then an alarm",
       "vvv...........vvvv",
       {{5100, W, "s since the last fix", 3.1},
        {12000, A, "s without a valid fix", 10},
        {14000, W, "s without a valid fix", 12},
        {16000, N, "", 0}}},
      {"no fix for the first five seconds", "xxxxxvvvv", {{3100, W, "s without a valid fix", 3.1}, {7000, N, "", 0}}},
  };
  for (const Case& c : cases) {
    const std::vector<GpsChange> changes = GpsChanges(c.fixes);
    ASSERT_EQ(changes.size(), c.changes.size()) << c.name;
    for (std::size_t i = 0; i < changes.size(); ++i) {
      EXPECT_EQ(changes[i].atMs, c.changes[i].atMs) << c.name << " " << i;
      EXPECT_EQ(changes[i].state, c.changes[i].state) << c.name << " " << i;
      EXPECT_EQ(changes[i].cause, c.changes[i].cause) << c.name << " " << i;
      EXPECT_NEAR(changes[i].value, c.changes[i].value, 1e-9) << c.name << " " << i;
    }
  }
}

TEST(ClockAlarm, WarnsWhenTheSystemClockIsMoreThanASecondFromGpsTime) {
  struct Case {
    std::int64_t offset;
    AlarmState state;
  };
  const Case cases[] = {{0, AlarmState::Normal},           {1 * kSecond, AlarmState::Normal},
                        {1 * kSecond + kMs, AlarmState::Warning}, {-1500 * kMs, AlarmState::Warning}};
  for (const Case& c : cases) {
    ClockAlarm alarm;
    GpsFixStatus fix = GoodFix(0);
    fix.gpsUtcNs = kStartUtc;
    fix.receivedUtcNs = kStartUtc + c.offset;
    alarm.Fix(fix);
    EXPECT_EQ(alarm.Evaluate().state, c.state) << c.offset;
    if (c.state == AlarmState::Warning) {
      EXPECT_DOUBLE_EQ(alarm.Evaluate().value, c.offset / 1e9);
    }
  }
}

// ---- Disk ----

TEST(DiskAlarm, FreeSpaceAgainstTheLevelsAndTheHoursAhead) {
  constexpr std::uint64_t MB = DiskAlarm::kMegabyte;
  constexpr std::uint64_t kB = 1000;
  AlarmSettings small;  // levels for a small file system, no hours ahead
  small.diskWarningMb = 0.5;
  small.diskAlarmMb = 0.25;
  small.diskWarningHours = 0;
  AlarmSettings fourHours;
  fourHours.diskWarningHours = 4;
  struct Case {
    AlarmSettings settings;
    std::uint64_t bytesPerSecond;
    std::uint64_t free;
    AlarmState state;
  };
  const Case cases[] = {
      {{}, 300, 501 * MB, AlarmState::Normal},      // a day at 300 B/s is 26 MB: the 500 MB floor counts
      {{}, 300, 499 * MB, AlarmState::Warning},
      {{}, 300, 49 * MB, AlarmState::Alarm},
      {{}, 10000, 865 * MB, AlarmState::Normal},    // a day at 10 kB/s is 864 MB
      {{}, 10000, 863 * MB, AlarmState::Warning},
      {{}, 10000, 50 * MB, AlarmState::Warning},    // the alarm is below 50 MB
      {fourHours, 100000, 1441 * MB, AlarmState::Normal},   // 4 hours at 100 kB/s is 1440 MB
      {fourHours, 100000, 1439 * MB, AlarmState::Warning},
      {small, 10000, 500 * kB, AlarmState::Normal},
      {small, 10000, 499 * kB, AlarmState::Warning},
      {small, 10000, 250 * kB, AlarmState::Warning},
      {small, 10000, 249 * kB, AlarmState::Alarm},
  };
  for (const Case& c : cases) {
    DiskAlarm alarm(c.settings);
    for (int s = 0; s < 120; ++s)
      for (int r = 0; r < 10; ++r) alarm.Written(s * kSecond + r * 100 * kMs, c.bytesPerSecond / 10);
    EXPECT_DOUBLE_EQ(alarm.Rate(), static_cast<double>(c.bytesPerSecond));
    alarm.FreeBytes(c.free);
    EXPECT_EQ(alarm.Evaluate().state, c.state) << c.bytesPerSecond << " " << c.free;
    if (c.state != AlarmState::Normal) {
      EXPECT_DOUBLE_EQ(alarm.Evaluate().value, static_cast<double>(c.free) / MB);
    }
  }
  const AlarmSettings defaults;
  DiskAlarm unknown(defaults);
  EXPECT_EQ(unknown.Evaluate().state, AlarmState::Normal);  // no free space reported yet
}

// ---- The monitor ----

TEST(AlarmMonitor, AlarmsNotWatchedStayNormal) {
  Watch watch({false, false, false});
  AcceptedReading reading = watch.Reading();
  reading.depth = 500.0;
  reading.totalField = 1.0;
  watch.monitor_.RecordAccepted(reading);
  watch.monitor_.GpsFix(GpsFixStatus{});
  const auto changes = watch.Wait(20 * kSecond, kSecond);
  for (const AlarmKind kind : {AlarmKind::TowfishDepth, AlarmKind::Signal, AlarmKind::Gps, AlarmKind::Clock}) {
    EXPECT_FALSE(watch.monitor_.Watches(kind));
    EXPECT_TRUE(Of(changes, kind).empty()) << AlarmName(kind);
  }
  EXPECT_EQ(Of(changes, AlarmKind::NoData).size(), 1u);
}

TEST(AlarmMonitor, ReportsAChangeOnceWithItsPreviousState) {
  Watch watch({false, true, false});
  AcceptedReading reading = watch.Reading();
  reading.signal = 30.0;
  watch.monitor_.RecordAccepted(reading);
  const auto first = watch.monitor_.Evaluate();
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0].alarm, AlarmKind::Signal);
  EXPECT_EQ(first[0].previous, AlarmState::Normal);
  EXPECT_EQ(first[0].status, (AlarmStatus{AlarmState::Warning, 30.0, "signal level"}));
  EXPECT_TRUE(watch.monitor_.Evaluate().empty());
  EXPECT_EQ(watch.monitor_.Status(AlarmKind::Signal).state, AlarmState::Warning);
  reading.totalField = 90000.0;
  watch.monitor_.RecordAccepted(reading);
  const auto worse = watch.monitor_.Evaluate();
  ASSERT_EQ(worse.size(), 1u);
  EXPECT_EQ(worse[0].previous, AlarmState::Warning);
  EXPECT_EQ(worse[0].status.state, AlarmState::Alarm);
}

// Rejected records and the free disk space reach their alarms.
TEST(AlarmMonitor, RejectionsAndDiskSpaceReachTheirAlarms) {
  Watch watch({false, false, false});
  for (int i = 0; i < 11; ++i) watch.monitor_.RecordRejected();
  watch.monitor_.FreeDiskBytes(40 * DiskAlarm::kMegabyte);
  const auto changes = watch.monitor_.Evaluate();
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[0].alarm, AlarmKind::BadRecords);
  EXPECT_EQ(changes[0].status.state, AlarmState::Warning);
  EXPECT_EQ(changes[1].alarm, AlarmKind::Disk);
  EXPECT_EQ(changes[1].status.state, AlarmState::Alarm);
}

}  // namespace tessaly::alarms_test
