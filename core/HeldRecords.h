// HeldRecords: the records a live session has received but cannot write yet
// (the log's disk refuses them), in order, within a memory bound. When the
// bound is reached the oldest records go, and are counted as lost: the
// newest are the ones a crew can still do something with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "core/RecordNumbers.h"

namespace tessaly {

inline constexpr std::size_t kHeldRecordsLimit = std::size_t{64} << 20;  // 64 MiB

class HeldRecords {
 public:
  struct Record {
    std::uint64_t row = 0;  // session row (0 for a raw chunk)
    std::string text;
    std::int64_t utcNs = 0;        // when it was received
    std::int64_t monotonicNs = 0;
    float towDepth = static_cast<float>(kNoValue);  // its towfish depth, for its position
  };

  explicit HeldRecords(std::size_t byteLimit = kHeldRecordsLimit) : limit_(byteLimit) {}

  // Adds a record at the end; then drops the oldest while the records hold
  // more than the limit, and returns what it dropped (oldest first).
  std::deque<Record> Push(Record record);
  bool Empty() const { return records_.empty(); }
  std::size_t Count() const { return records_.size(); }
  const Record& Front() const { return records_.front(); }
  void PopFront();
  // Hands every record over, oldest first, and holds none.
  std::deque<Record> TakeAll();
  // The memory the records are counted for.
  std::size_t Bytes() const { return bytes_; }

 private:
  static std::size_t Cost(const Record& record) { return sizeof(Record) + record.text.size(); }

  std::size_t limit_;
  std::size_t bytes_ = 0;
  std::deque<Record> records_;
};

}  // namespace tessaly
