#include "core/HeldRecords.h"

#include <utility>

namespace tessaly {

std::deque<HeldRecords::Record> HeldRecords::Push(Record record) {
  records_.push_back(std::move(record));
  bytes_ += Cost(records_.back());
  std::deque<Record> dropped;
  while (bytes_ > limit_ && !records_.empty()) {
    bytes_ -= Cost(records_.front());
    dropped.push_back(std::move(records_.front()));
    records_.pop_front();
  }
  return dropped;
}

void HeldRecords::PopFront() {
  bytes_ -= Cost(records_.front());
  records_.pop_front();
}

std::deque<HeldRecords::Record> HeldRecords::TakeAll() {
  bytes_ = 0;
  return std::exchange(records_, {});
}

}  // namespace tessaly
