#include "core/DeviationColours.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

constexpr BgrColor kNeg = 0x8080FF;
constexpr BgrColor kPos = 0x80FF80;

RowColours Colour(std::int64_t row, std::int64_t dev, std::int32_t limit = 500) {
  return DeviationColours(row, dev, limit, kNeg, kPos);
}

TEST(DeviationColours, OddRowsAreWhiteAndEvenRowsTakeTheToolTipColour) {
  EXPECT_EQ(Colour(1, 10).background, kClWhite);
  EXPECT_EQ(Colour(2, 10).background, kClInfoBk);
  EXPECT_EQ(Colour(3, -10).background, kClWhite);
}

TEST(DeviationColours, NegativeDeviationsAreRedAndTheRestBlue) {
  EXPECT_EQ(Colour(1, -1).font, kClRed);
  EXPECT_EQ(Colour(1, 0).font, kClBlue);
  EXPECT_EQ(Colour(1, 42).font, kClBlue);
}

TEST(DeviationColours, TheLimitItselfIsNotAnExcursion) {
  EXPECT_FALSE(Colour(1, 500).outOfLimit);
  EXPECT_FALSE(Colour(1, -500).outOfLimit);
  EXPECT_EQ(Colour(2, -500).background, kClInfoBk);
}

TEST(DeviationColours, ExcursionsTakeTheColourOfTheirSign) {
  const RowColours high = Colour(1, 501);
  EXPECT_TRUE(high.outOfLimit);
  EXPECT_EQ(high.background, kPos);
  EXPECT_EQ(high.font, kClBlue);
  const RowColours low = Colour(2, -501);
  EXPECT_TRUE(low.outOfLimit);
  EXPECT_EQ(low.background, kNeg);
  EXPECT_EQ(low.font, kClRed);
}

TEST(DeviationColours, ANegativeLimitMakesZeroAnExcursionBelowOne) {
  const RowColours zero = Colour(1, 0, -1);
  EXPECT_TRUE(zero.outOfLimit);
  EXPECT_EQ(zero.background, kNeg);
}

TEST(DeviationColours, ViewSettingsSupplyLimitAndColours) {
  ViewSettings view;
  view.DevLimit = 100;
  view.NegDevColor = kNeg;
  view.PosDevColor = kPos;
  EXPECT_EQ(DeviationColours(5, 101, view).background, kPos);
  EXPECT_EQ(DeviationColours(5, 100, view).background, kClWhite);
}

}  // namespace
}  // namespace tessaly
