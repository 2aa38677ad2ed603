// The session does not wait for the window: with the window's thread
// blocked for ten seconds during a full-rate 115200-baud stream from the
// simulator, every record is written within moments of its line end and
// shown once the window is free.
#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

#include "LiveLogTest.h"
#include "acquisition/untFileLogVariants.h"
#include "core/Clock.h"

namespace tessaly::livetest {
namespace {

// When each record was written, heard on the session's thread.
class WriteTimes : public LiveObserver {
 public:
  void RecordAccepted(const LiveRecord& record) override {
    std::lock_guard lock(mutex_);
    times_.push_back(clock_.MonotonicNs());
    rows_.push_back(record.row);
  }
  std::vector<std::int64_t> Times() const {
    std::lock_guard lock(mutex_);
    return times_;
  }
  bool RowsInOrder() const {
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < rows_.size(); ++i)
      if (rows_[i] != i + 1) return false;
    return true;
  }

 private:
  mutable std::mutex mutex_;
  SystemClock clock_;
  std::vector<std::int64_t> times_;
  std::vector<std::uint64_t> rows_;
};

// The times the simulator finished sending each record (its T lines).
std::vector<std::int64_t> SentTimes(const std::string& report) {
  std::vector<std::int64_t> times;
  for (const simtest::SentEvent& event : simtest::ReadSentReport(report))
    if (event.tag == 'T') times.push_back(std::stoll(event.text));
  return times;
}

using LiveLogThreads = LiveLogTest;

TEST_F(LiveLogThreads, ABlockedWindowDelaysNoWrite) {
  constexpr int kRecords = 3500;  // about 15 s at the line's full rate
  const std::string source = Generate("kvl", kRecords, 0, 5);
  const std::vector<std::string> records = Lines(ReadBytes(source));  // the generator's, every one valid
  auto* window = NewWindow<TfrmFileLogKV7100>(Path("blocked.kvl"));
  WriteTimes written;
  window->SessionWatcher = &written;
  StartSimulator(source, {"--sent-times"});
  window->btnStartClick();
  ASSERT_TRUE(WaitFor([&] { return window->RecordCount() >= 200; }));
  const std::size_t beforeBlock = window->RecordCount();
  std::this_thread::sleep_for(std::chrono::seconds(10));  // the window's thread stops
  EXPECT_GT(written.Times().size(), beforeBlock + 1500);   // the session went on meanwhile
  SimulatorDevices();
  ASSERT_TRUE(WaitFor([&] { return window->RecordCount() == records.size(); }, 30000)) << window->RecordCount();
  EXPECT_EQ(ReadBytes(Path("blocked.kvl")), WithCrLf(records));
  EXPECT_TRUE(written.RowsInOrder());

  const std::vector<std::int64_t> sent = SentTimes(Path("sent.txt"));
  const std::vector<std::int64_t> times = written.Times();
  ASSERT_EQ(sent.size(), records.size());
  ASSERT_EQ(times.size(), records.size());
  std::vector<double> latencyMs;
  for (std::size_t i = 0; i < times.size(); ++i) latencyMs.push_back(static_cast<double>(times[i] - sent[i]) / 1e6);
  std::sort(latencyMs.begin(), latencyMs.end());
  const double p99 = latencyMs[latencyMs.size() * 99 / 100];
  RecordProperty("write_latency_p99_ms", std::to_string(p99));
  EXPECT_LE(p99, 50.0);
  EXPECT_LT(latencyMs.back(), 1000.0);  // a write held up by the block would wait ten seconds
  window->close();
}

}  // namespace
}  // namespace tessaly::livetest
