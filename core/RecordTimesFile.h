// A file of "ROW NS" lines, one per record a live session took, NS being
// the CLOCK_MONOTONIC time the report came: for the timing runs that set
// these against the simulator's send times (bench/live_latency.sh).
#pragma once

#include <fstream>
#include <string>

#include "core/Clock.h"
#include "core/LiveObserver.h"

namespace tessaly {

class RecordTimesFile : public LiveObserver {
 public:
  explicit RecordTimesFile(const std::string& path) : out_(path, std::ios::trunc) {}
  void RecordAccepted(const LiveRecord& record) override { Note(record.row); }
  // A line for `row` now (a window's own moments, such as a record shown).
  void Note(std::uint64_t row) { out_ << row << ' ' << clock_.MonotonicNs() << '\n'; }

 private:
  std::ofstream out_;
  SystemClock clock_;
};

}  // namespace tessaly
