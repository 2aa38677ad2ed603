#include "core/SlidingMedian.h"

#include <algorithm>

namespace tessaly {

SlidingMedian::SlidingMedian(std::size_t capacity) : capacity_(std::max<std::size_t>(capacity, 1)) {
  ring_.reserve(capacity_);
  sorted_.reserve(capacity_);
}

void SlidingMedian::Add(double value) {
  if (value != value) return;
  if (ring_.size() < capacity_) {
    ring_.push_back(value);
  } else {
    const double leaving = ring_[next_];
    ring_[next_] = value;
    next_ = (next_ + 1) % capacity_;
    sorted_.erase(std::lower_bound(sorted_.begin(), sorted_.end(), leaving));
  }
  sorted_.insert(std::upper_bound(sorted_.begin(), sorted_.end(), value), value);
}

void SlidingMedian::Clear() {
  ring_.clear();
  sorted_.clear();
  next_ = 0;
}

double SlidingMedian::Median() const {
  const std::size_t n = sorted_.size();
  if (n == 0) return 0.0;
  if (n % 2 == 1) return sorted_[n / 2];
  return (sorted_[n / 2 - 1] + sorted_[n / 2]) / 2.0;
}

}  // namespace tessaly
