#include "core/SlidingMedian.h"

#include <algorithm>

namespace tessaly {

SlidingMedian::SlidingMedian(std::size_t capacity) : capacity_(std::max<std::size_t>(capacity, 1)) {
  sorted_.reserve(capacity_);
  slotOf_.reserve(capacity_);
  placeOf_.reserve(capacity_);
}

// The new value takes the place of the one leaving (at the end while the
// window fills) and slides towards its own, the values it passes moving one
// place back. Values of one kind (the intervals of a steady instrument,
// residuals of nothing) move few or none.
void SlidingMedian::Add(double value) {
  if (value != value) return;
  std::size_t at = sorted_.size();
  std::size_t slot = at;
  if (at < capacity_) {
    sorted_.push_back(value);
    slotOf_.push_back(slot);
    placeOf_.push_back(at);
  } else {
    slot = next_;
    next_ = next_ + 1 == capacity_ ? 0 : next_ + 1;
    at = placeOf_[slot];
  }
  const std::size_t n = sorted_.size();
  for (; at + 1 < n && sorted_[at + 1] < value; ++at) MoveTo(at + 1, at);
  for (; at > 0 && sorted_[at - 1] > value; --at) MoveTo(at - 1, at);
  sorted_[at] = value;
  slotOf_[at] = slot;
  placeOf_[slot] = at;
}

void SlidingMedian::MoveTo(std::size_t from, std::size_t to) {
  sorted_[to] = sorted_[from];
  slotOf_[to] = slotOf_[from];
  placeOf_[slotOf_[to]] = to;
}

void SlidingMedian::Clear() {
  sorted_.clear();
  slotOf_.clear();
  placeOf_.clear();
  next_ = 0;
}

double SlidingMedian::Median() const {
  const std::size_t n = sorted_.size();
  if (n == 0) return 0.0;
  if (n % 2 == 1) return sorted_[n / 2];
  return (sorted_[n / 2 - 1] + sorted_[n / 2]) / 2.0;
}

}  // namespace tessaly
