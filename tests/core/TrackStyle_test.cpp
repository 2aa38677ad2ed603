// The track's look: colour scale, scale bar lengths and the drawn points.
#include "core/TrackStyle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tessaly {
namespace {

int Red(Rgb c) { return static_cast<int>(c >> 16 & 0xFF); }
int Green(Rgb c) { return static_cast<int>(c >> 8 & 0xFF); }
int Blue(Rgb c) { return static_cast<int>(c & 0xFF); }

// WCAG contrast ratio of two colours (relative luminance of sRGB).
double Luminance(Rgb c) {
  const auto linear = [](int channel) {
    const double v = channel / 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(Red(c)) + 0.7152 * linear(Green(c)) + 0.0722 * linear(Blue(c));
}
double Contrast(Rgb a, Rgb b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(TrackDeviationColour, DivergesFromAGreyCentreToBlueAndRedEnds) {
  const Rgb centre = TrackDeviationColour(0.0, 50.0);
  EXPECT_EQ(Red(centre), Green(centre));
  EXPECT_EQ(Green(centre), Blue(centre));
  // A quiet track shows on the picture's white and on the window's slate.
  EXPECT_GE(Contrast(centre, 0xFFFFFF), 3.0);
  EXPECT_GE(Contrast(centre, 0x3A3F47), 3.0);
  EXPECT_GE(Contrast(TrackDeviationColour(2.0, 50.0), 0xFFFFFF), 3.0);

  const Rgb red = TrackDeviationColour(50.0, 50.0), blue = TrackDeviationColour(-50.0, 50.0);
  EXPECT_GT(Red(red), 2 * Blue(red));
  EXPECT_GT(Red(red), 2 * Green(red));
  EXPECT_GT(Blue(blue), 2 * Red(blue));
  // Beyond the limit the ends hold.
  EXPECT_EQ(TrackDeviationColour(5000.0, 50.0), red);
  EXPECT_EQ(TrackDeviationColour(-50.01, 50.0), blue);
  EXPECT_EQ(TrackDeviationColour(std::nan(""), 50.0), centre);
}

TEST(TrackDeviationColour, SignsMirrorAndTheColourMovesSteadilyAwayFromTheCentre) {
  const Rgb centre = TrackDeviationColour(0.0, 40.0);
  const auto distance = [&](Rgb c) {
    return std::abs(Red(c) - Red(centre)) + std::abs(Green(c) - Green(centre)) + std::abs(Blue(c) - Blue(centre));
  };
  int previous = 0;
  for (double d = 2.0; d <= 40.0; d += 2.0) {
    const Rgb positive = TrackDeviationColour(d, 40.0), negative = TrackDeviationColour(-d, 40.0);
    EXPECT_EQ(Red(positive), Blue(negative)) << d;
    EXPECT_EQ(Green(positive), Green(negative)) << d;
    EXPECT_EQ(Blue(positive), Red(negative)) << d;
    EXPECT_GT(distance(positive), previous) << d;
    previous = distance(positive);
  }
  // A limit of 0 makes every anomaly an end colour.
  EXPECT_EQ(TrackDeviationColour(0.5, 0.0), TrackDeviationColour(40.0, 40.0));
  EXPECT_EQ(TrackDeviationColour(0.5, std::nan("")), TrackDeviationColour(40.0, 40.0));
  EXPECT_EQ(TrackDeviationColour(0.0, 0.0), centre);
}

// A negative limit (the view settings allow one) is the scale of its
// magnitude, never a scale turned upside down.
TEST(TrackDeviationColour, ANegativeLimitIsTheScaleOfItsMagnitude) {
  EXPECT_EQ(TrackScaleLimit(-500.0), 500.0);
  EXPECT_EQ(TrackScaleLimit(500.0), 500.0);
  EXPECT_EQ(TrackScaleLimit(0.0), 0.0);
  EXPECT_EQ(TrackScaleLimit(std::nan("")), 0.0);
  for (const double deviation : {-900.0, -300.0, -0.5, 0.0, 2.0, 250.0, 500.0, 1e6})
    EXPECT_EQ(TrackDeviationColour(deviation, -500.0), TrackDeviationColour(deviation, 500.0)) << deviation;
  const Rgb top = TrackDeviationColour(500.0, -500.0);
  EXPECT_GT(Red(top), 2 * Blue(top));  // +500 is red whatever the limit's sign
}

TEST(ScaleBarMetres, LongestOneTwoOrFiveTimesAPowerOfTenThatFits) {
  EXPECT_DOUBLE_EQ(ScaleBarMetres(1.0, 100), 100.0);
  EXPECT_DOUBLE_EQ(ScaleBarMetres(1.0, 99), 50.0);
  EXPECT_DOUBLE_EQ(ScaleBarMetres(0.1, 50), 5.0);
  EXPECT_DOUBLE_EQ(ScaleBarMetres(3.0, 100), 200.0);
  EXPECT_DOUBLE_EQ(ScaleBarMetres(12.5, 150), 1000.0);
  EXPECT_DOUBLE_EQ(ScaleBarMetres(40.0, 150), 5000.0);
  EXPECT_DOUBLE_EQ(ScaleBarMetres(0.013, 100), 1.0);
  EXPECT_DOUBLE_EQ(ScaleBarMetres(0.001, 150), 0.1);
  EXPECT_EQ(ScaleBarMetres(0.0, 100), 0.0);
  EXPECT_EQ(ScaleBarMetres(1.0, 0), 0.0);
  EXPECT_EQ(ScaleBarMetres(std::nan(""), 100), 0.0);
}

// A 12 x 8 image inside a wider buffer, so a write past a row shows.
class SmallImage : public ::testing::Test {
 protected:
  static constexpr std::uint32_t kGuard = 0x12345678, kBackground = 0xFFFFFFFF;
  SmallImage() : buffer_(16 * 8, kGuard) {
    image_ = {buffer_.data(), 12, 8, 16};
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 12; ++x) At(x, y) = kBackground;
  }
  std::uint32_t& At(int x, int y) { return buffer_[static_cast<std::size_t>(y * 16 + x)]; }
  int CountOf(std::uint32_t pixel) const { return static_cast<int>(std::count(buffer_.begin(), buffer_.end(), pixel)); }

  std::vector<std::uint32_t> buffer_;
  PixelBuffer image_;
};

TEST_F(SmallImage, PointsAreSquaresInTheirColourClippedToTheImage) {
  const std::vector<double> deviations{10.0, -30.0, 0.0};
  // The last two lie wholly outside.
  const std::vector<DrawnPoint> points{{2, 1, 0}, {10, 6, 1}, {-1, -1, 2}, {-9, 2, 0}, {3, 40, 0}};
  DrawTrackPoints(points, deviations, 30.0, 3, image_);
  const std::uint32_t first = 0xFF000000u | TrackDeviationColour(10.0, 30.0);
  const std::uint32_t second = 0xFF000000u | TrackDeviationColour(-30.0, 30.0);
  const std::uint32_t third = 0xFF000000u | TrackDeviationColour(0.0, 30.0);
  EXPECT_EQ(CountOf(first), 9);
  EXPECT_EQ(At(2, 1), first);
  EXPECT_EQ(At(4, 3), first);
  EXPECT_EQ(At(5, 3), kBackground);
  EXPECT_EQ(CountOf(second), 4);  // 2 x 2 left inside
  EXPECT_EQ(At(11, 7), second);
  EXPECT_EQ(CountOf(third), 4);
  EXPECT_EQ(At(1, 1), third);
  EXPECT_EQ(CountOf(kGuard), 4 * 8);
}

TEST_F(SmallImage, LargerAnomaliesStayOnTopWhereSquaresOverlap) {
  const std::vector<double> deviations{-90.0, 5.0, 40.0};
  DrawTrackPoints(std::vector<DrawnPoint>{{4, 4, 0}, {3, 3, 1}, {5, 5, 2}}, deviations, 50.0, 4, image_);
  EXPECT_EQ(At(5, 5), 0xFF000000u | TrackDeviationColour(-90.0, 50.0));
  EXPECT_EQ(At(8, 7), 0xFF000000u | TrackDeviationColour(40.0, 50.0));
  EXPECT_EQ(At(3, 3), 0xFF000000u | TrackDeviationColour(5.0, 50.0));
  DrawTrackPoints(std::vector<DrawnPoint>{{0, 0, 7}}, deviations, 50.0, 1, image_);
  EXPECT_EQ(At(0, 0), 0xFF000000u | TrackDeviationColour(0.0, 50.0));
}

// Records 1 and 2 lie on a line, 0 and 3 in turns: the turns are single
// grey pixels under the lines' squares.
TEST_F(SmallImage, TurnsAreGreyPixelsBeneathTheLines) {
  const std::vector<double> deviations{60.0, 10.0, -20.0, 0.0};
  const RecordLines lines({{1, 2, {}}});
  const std::vector<DrawnPoint> points{{0, 0, 0}, {2, 2, 1}, {8, 4, 2}, {3, 3, 3}};
  DrawTrackPointsByLine(points, deviations, 50.0, 3, lines, image_);
  const std::uint32_t grey = 0xFF000000u | kTrackTurnColour;
  EXPECT_EQ(At(1, 1), grey);  // record 0: its centre only, whatever its deviation
  EXPECT_EQ(At(0, 0), kBackground);
  EXPECT_EQ(At(2, 1), kBackground);
  EXPECT_EQ(At(4, 4), 0xFF000000u | TrackDeviationColour(10.0, 50.0));  // record 3's centre is under line 1
  EXPECT_EQ(CountOf(0xFF000000u | TrackDeviationColour(10.0, 50.0)), 9);
  EXPECT_EQ(CountOf(0xFF000000u | TrackDeviationColour(-20.0, 50.0)), 9);
  EXPECT_EQ(CountOf(grey), 1);
}

TEST_F(SmallImage, WithoutLinesEveryPointIsDrawnInItsColour) {
  const std::vector<double> deviations{60.0};
  DrawTrackPointsByLine(std::vector<DrawnPoint>{{0, 0, 0}}, deviations, 50.0, 3, RecordLines(), image_);
  EXPECT_EQ(CountOf(0xFF000000u | TrackDeviationColour(60.0, 50.0)), 9);
  EXPECT_EQ(CountOf(0xFF000000u | kTrackTurnColour), 0);
}

}  // namespace
}  // namespace tessaly
