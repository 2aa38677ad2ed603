// SlidingMedian: the median of the last N values added, kept up to date as
// values arrive (the typical interval between records, the usual size of a
// deviation's residuals). The window is held sorted beside a ring of the
// values in arrival order, so a value costs a binary search and a move of at
// most N doubles; the median is read in constant time.
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
  std::size_t capacity_;
  std::vector<double> ring_;    // arrival order; next_ is where the next value goes once full
  std::size_t next_ = 0;
  std::vector<double> sorted_;  // the same values, ascending
};

}  // namespace tessaly
