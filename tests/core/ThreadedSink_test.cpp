// A sink on a thread of its own: every row reaches it once, in order, with
// what it reads of a row, and what it throws comes back to the caller.
#include "core/ThreadedSink.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace tessaly {
namespace {

// What a row held, written out.
std::string Written(const ExportRecord& r) {
  std::string text = std::to_string(r.row) + " " + std::to_string(r.deviation) + " #" +
                     std::string(r.cells[kColSequence]) + " '" + std::string(r.cells[kColComment]) + "'";
  if (r.numbers) text += " at " + std::to_string(r.numbers->towfish.latitude);
  if (r.formatted) text += " [" + std::string(*r.formatted) + "]";
  return text;
}

// What the inner sink was given; outlives it.
struct Seen {
  bool captions = false;
  std::vector<std::string> rows;
  std::vector<std::thread::id> threads;
  std::size_t ended = 0;  // rows before End; 0 without End
};

class RecordingSink : public ExportSink {
 public:
  RecordingSink(Seen& seen, bool wantsThread, std::uint64_t throwAt = 0)
      : seen_(seen), wantsThread_(wantsThread), throwAt_(throwAt) {}
  void Captions(const ExportInfo&) override { seen_.captions = true; }
  void Row(const ExportRecord& record) override {
    if (record.row == throwAt_) throw std::runtime_error("out of room at row " + std::to_string(record.row));
    seen_.rows.push_back(Written(record));
    seen_.threads.push_back(std::this_thread::get_id());
  }
  void End() override { seen_.ended = seen_.rows.size(); }
  bool WantsOwnThread() const override { return wantsThread_; }

 private:
  Seen& seen_;
  bool wantsThread_;
  std::uint64_t throwAt_;
};

// Rows of every shape: with and without numbers, comments of any length,
// formatted bytes or none. Row i's texts are made here and forgotten after.
void SendRows(ExportSink& sink, std::vector<std::string>& expected, int count) {
  for (int i = 1; i <= count; ++i) {
    const std::string sequence = std::to_string(i + 7);
    const std::string comment = i % 7 == 0 ? std::string(static_cast<std::size_t>(i % 300), 'c') : "";
    const std::string formatted = "f" + std::to_string(i);
    RecordNumbers numbers;
    numbers.towfish = {i / 1000.0, -63.0};
    ExportRecord record;
    record.row = static_cast<std::uint64_t>(i);
    record.deviation = -i * 0.5;
    record.numbers = i % 5 == 0 ? nullptr : &numbers;
    record.cells[kColSequence] = sequence;
    record.cells[kColComment] = comment;
    if (i % 3 != 0) record.formatted = formatted;
    expected.push_back(Written(record));
    sink.Row(record);
  }
}

TEST(ThreadedSink, EveryRowReachesTheSinkOnceInOrderOnItsOwnThread) {
  for (const bool wanted : {true, false}) {
    Seen seen;
    ThreadedSink sink(std::make_unique<RecordingSink>(seen, wanted));
    sink.Captions({});
    std::vector<std::string> expected;
    SendRows(sink, expected, 5000);
    sink.End();
    EXPECT_TRUE(seen.captions);
    EXPECT_EQ(seen.rows, expected);
    EXPECT_EQ(seen.ended, expected.size()) << "End came before the last row";
    for (const std::thread::id id : seen.threads) ASSERT_EQ(id != std::this_thread::get_id(), wanted);
  }
}

TEST(ThreadedSink, WhatTheSinkThrowsOnItsThreadComesOutOfEnd) {
  Seen seen;
  ThreadedSink sink(std::make_unique<RecordingSink>(seen, true, 1500));
  sink.Captions({});
  std::vector<std::string> expected;
  SendRows(sink, expected, 5000);
  EXPECT_THROW(sink.End(), std::runtime_error);
  EXPECT_EQ(seen.rows.size(), 1499u);  // none after the failure
  EXPECT_EQ(seen.ended, 0u);
}

TEST(ThreadedSink, ASinkNeverEndedHasEveryRowWhenDestroyed) {
  Seen seen;
  std::vector<std::string> expected;
  {
    ThreadedSink sink(std::make_unique<RecordingSink>(seen, true));
    sink.Captions({});
    SendRows(sink, expected, 3000);
  }
  EXPECT_EQ(seen.rows, expected);
  EXPECT_EQ(seen.ended, 0u);
}

}  // namespace
}  // namespace tessaly
