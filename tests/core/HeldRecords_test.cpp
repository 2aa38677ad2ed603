#include "core/HeldRecords.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaly {
namespace {

TEST(HeldRecords, KeepsOrderAndDropsTheOldestBeyondTheBound) {
  const std::size_t each = sizeof(HeldRecords::Record) + 10;
  HeldRecords held(3 * each);
  for (std::uint64_t row = 1; row <= 3; ++row) EXPECT_TRUE(held.Push({row, std::string(10, 'a')}).empty());
  EXPECT_EQ(held.Bytes(), 3 * each);
  const auto dropped = held.Push({4, std::string(10 + 2 * each, 'b')});  // as large as three
  ASSERT_EQ(dropped.size(), 3u);
  EXPECT_EQ(dropped.front().row, 1u);
  EXPECT_EQ(dropped.back().row, 3u);
  EXPECT_EQ(held.Count(), 1u);
  EXPECT_EQ(held.Front().row, 4u);
  EXPECT_EQ(held.Push({5, std::string(10, 'c')}).size(), 1u);  // the big one goes
  EXPECT_EQ(held.Front().row, 5u);
  EXPECT_EQ(held.Bytes(), each);
  held.PopFront();
  EXPECT_TRUE(held.Empty());
  EXPECT_EQ(held.Bytes(), 0u);
}

TEST(HeldRecords, HoldsSixtyFourMebibytesByDefault) {
  HeldRecords held;
  const std::string record(1 << 20, 'r');
  std::size_t dropped = 0;
  for (std::uint64_t row = 1; row <= 70; ++row) dropped += held.Push({row, record}).size();
  EXPECT_EQ(held.Count() + dropped, 70u);
  EXPECT_EQ(held.Count(), 63u);  // 64 MiB less the bookkeeping of each
  EXPECT_LE(held.Bytes(), kHeldRecordsLimit);
  EXPECT_EQ(held.TakeAll().front().row, 8u);
  EXPECT_EQ(held.Bytes(), 0u);
}

}  // namespace
}  // namespace tessaly
