// What the watch adds to a live session, per record: the quality flags of
// the record (QualityFlagger) and the alarm monitor fed with it, evaluated
// on every record (the session's tick comes far less often, so this is an
// upper bound), against a series of 1,000,000 records at 10 a second. To
// set against the per-record cost of a live session (live_log_bench
// BM_LiveRecord, or the soak's figures).
//
//   build/bin/watch_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//
// BM_QualityFlags: one record through the live flagger.
// BM_AlarmMonitorRecord: one record fed to the monitor.
// BM_AlarmMonitorRecordAndTick: one record fed and every alarm evaluated.
// BM_WatchPerRecord: the flags and the monitor with a tick, together.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "core/AlarmMonitor.h"
#include "core/Clock.h"
#include "core/QualityFlags.h"

namespace {

using namespace tessaly;

constexpr std::size_t kRecords = 1'000'000;
constexpr std::int64_t kInterval = 100'000'000;  // 10 records a second

// A survey's series: a wandering deviation with a spike now and then, a
// slowly changing towfish depth, the sensor's readings, steady reception
// times with jitter.
struct Series {
  std::vector<double> values, depths, totals, signals;
  std::vector<std::int64_t> times;

  Series() {
    std::mt19937 random(3);
    std::normal_distribution<double> walk(0.0, 9.0);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    double level = 0.0;
    for (std::size_t i = 0; i < kRecords; ++i) {
      level += walk(random) - 0.002 * level;
      values.push_back(std::round(level + (unit(random) < 0.001 ? 500.0 : 0.0)));
      depths.push_back(30.0 + 10.0 * std::sin(static_cast<double>(i) / 5000.0));
      totals.push_back(52341.2 + 0.01 * level);
      signals.push_back(70.0 + std::floor(30.0 * unit(random)));
      times.push_back(static_cast<std::int64_t>(i) * kInterval + static_cast<std::int64_t>(8e6 * unit(random)));
    }
  }
};

const Series& TheSeries() {
  static const Series series;
  return series;
}

AcceptedReading Reading(const Series& s, std::size_t i) {
  AcceptedReading reading;
  reading.receivedNs = s.times[i];
  reading.bytes = 27;
  reading.depth = s.depths[i];
  reading.totalField = s.totals[i];
  reading.signal = s.signals[i];
  return reading;
}

void BM_QualityFlags(benchmark::State& state) {
  const Series& s = TheSeries();
  QualityFlagger flagger(QualitySettings{});
  std::vector<QualityFinding> findings;
  std::size_t i = 0;
  for (auto _ : state) {
    QualityRecord record;
    record.value = s.values[i];
    record.depth = s.depths[i];
    record.receivedNs = s.times[i];
    flagger.Add(record, findings);
    findings.clear();
    if (++i == kRecords) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_QualityFlags);

// Feeds a monitor the series' records one by one, on a clock that follows
// their reception times (the series again, later, once it is used up).
class MonitorFeed {
 public:
  MonitorFeed() : monitor_(AlarmSettings{}, {true, true, true}, clock_) {}
  // The reading fed.
  AcceptedReading Next() {
    const Series& s = TheSeries();
    AcceptedReading reading = Reading(s, i_);
    reading.receivedNs += base_;
    clock_.Advance(reading.receivedNs - clock_.MonotonicNs());
    monitor_.RecordAccepted(reading);
    if (++i_ == kRecords) {
      i_ = 0;
      base_ += s.times.back() + kInterval;
    }
    return reading;
  }
  AlarmMonitor& Monitor() { return monitor_; }

 private:
  ManualClock clock_{0, 0};
  AlarmMonitor monitor_;
  std::size_t i_ = 0;
  std::int64_t base_ = 0;
};

void BM_AlarmMonitorRecord(benchmark::State& state) {
  MonitorFeed feed;
  for (auto _ : state) benchmark::DoNotOptimize(feed.Next());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AlarmMonitorRecord);

void BM_AlarmMonitorRecordAndTick(benchmark::State& state) {
  MonitorFeed feed;
  for (auto _ : state) {
    feed.Next();
    benchmark::DoNotOptimize(feed.Monitor().Evaluate());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AlarmMonitorRecordAndTick);

void BM_WatchPerRecord(benchmark::State& state) {
  const Series& s = TheSeries();
  MonitorFeed feed;
  QualityFlagger flagger(QualitySettings{});
  std::vector<QualityFinding> findings;
  std::size_t i = 0;
  for (auto _ : state) {
    const AcceptedReading reading = feed.Next();
    benchmark::DoNotOptimize(feed.Monitor().Evaluate());
    QualityRecord record;
    record.value = s.values[i];
    record.depth = s.depths[i];
    record.receivedNs = reading.receivedNs;
    flagger.Add(record, findings);
    findings.clear();
    if (++i == kRecords) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WatchPerRecord);

}  // namespace

BENCHMARK_MAIN();
