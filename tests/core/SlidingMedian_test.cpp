#include "core/SlidingMedian.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace tessaly::sliding_median_test {

// The median of the last `window` values, worked out by sorting them.
double SortedMedian(const std::vector<double>& values, std::size_t window) {
  const std::size_t from = values.size() > window ? values.size() - window : 0;
  std::vector<double> last(values.begin() + static_cast<std::ptrdiff_t>(from), values.end());
  std::sort(last.begin(), last.end());
  const std::size_t n = last.size();
  return n % 2 ? last[n / 2] : (last[n / 2 - 1] + last[n / 2]) / 2.0;
}

TEST(SlidingMedian, HandWorkedWindows) {
  struct Case {
    std::size_t capacity;
    std::vector<double> added;
    double median;
  };
  const Case cases[] = {
      {5, {}, 0.0},
      {5, {7}, 7.0},
      {5, {3, 1}, 2.0},
      {5, {3, 1, 2}, 2.0},
      {3, {10, 20, 30, 40, 1}, 30.0},        // 10 and 20 have left: {30, 40, 1}
      {3, {5, 5, 5, -5, -5}, -5.0},          // {5, -5, -5}
      {4, {1, 2, 3, 4, 100, 100}, 52.0},     // {3, 4, 100, 100}
      {1, {4, 8, -2}, -2.0},
      {0, {4, 8}, 8.0},                      // a capacity of 0 holds one value
      {5, {1, NAN, 3}, 2.0},                 // a NaN is not added
  };
  for (const Case& c : cases) {
    SlidingMedian median(c.capacity);
    for (const double v : c.added) median.Add(v);
    EXPECT_DOUBLE_EQ(median.Median(), c.median) << "capacity " << c.capacity << ", " << c.added.size() << " values";
  }
}

TEST(SlidingMedian, FollowsTheSortedMedianOfTheLastValues) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> value(-50, 50);  // many repeats
  for (const std::size_t window : {std::size_t{1}, std::size_t{2}, std::size_t{7}, std::size_t{100}}) {
    SlidingMedian median(window);
    std::vector<double> added;
    for (int i = 0; i < 1000; ++i) {
      added.push_back(value(random));
      median.Add(added.back());
      ASSERT_DOUBLE_EQ(median.Median(), SortedMedian(added, window)) << "window " << window << ", value " << i;
      ASSERT_EQ(median.Size(), std::min(added.size(), window));
    }
  }
}

TEST(SlidingMedian, ClearStartsAnEmptyWindow) {
  SlidingMedian median(3);
  for (const double v : {9.0, 9.0, 9.0}) median.Add(v);
  median.Clear();
  EXPECT_TRUE(median.Empty());
  median.Add(1.0);
  median.Add(2.0);
  EXPECT_DOUBLE_EQ(median.Median(), 1.5);
}

}  // namespace tessaly::sliding_median_test
