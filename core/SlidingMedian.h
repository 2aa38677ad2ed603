// SlidingMedian: the median of the last N values added, kept up to date as
// values arrive (the typical interval between records, the usual size of a
// deviation's residuals). The window is held sorted, each value's place
// noted by its arrival slot (a ring), so the one leaving is found at once
// and a value costs a move of the values between it and the one coming (at
// most N); the median is read in constant time.
#pragma once

#include <cstddef>
#include <vector>

namespace tessaly {

class SlidingMedian {
 public:
  // `capacity`: how many of the latest values count (at least 1).
  explicit SlidingMedian(std::size_t capacity);

  // Adds a value; once the window is full the oldest one leaves it. A NaN
  // is not added (it has no place in the order).
  void Add(double value);
  void Clear();

  std::size_t Size() const { return sorted_.size(); }
  bool Empty() const { return sorted_.empty(); }
  // The median of the values in the window: the middle one of an odd count,
  // the mean of the two middle ones of an even count; 0 when empty.
  double Median() const;

 private:
  // Moves the value at place `from` (and the note of its arrival) to `to`.
  void MoveTo(std::size_t from, std::size_t to);

  std::size_t capacity_;
  std::vector<double> sorted_;        // the values, ascending
  std::vector<std::size_t> slotOf_;   // for each place in sorted_, the value's arrival slot
  std::vector<std::size_t> placeOf_;  // for each arrival slot, the value's place in sorted_
  std::size_t next_ = 0;              // the slot of the next value to leave, once full
};

}  // namespace tessaly
