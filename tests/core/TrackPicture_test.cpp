// The track picture: points where the positions are, on white, with the
// scale bar, the colour bar and the north mark in their bands; and the
// bitmap font of its labels.
#include "core/TrackPicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "core/BitmapFont.h"

namespace tessaly {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u;

std::uint32_t Colour(double deviation, double limit) { return 0xFF000000u | TrackDeviationColour(deviation, limit); }

// Two lines 200 m apart, 1 km long, with one anomaly of -300 and one of +90.
struct TwoLines {
  TwoLines() {
    for (int i = 0; i <= 100; ++i) Add(44.0 + i * 0.00009, -63.0, i == 40 ? -300.0 : 5.0);
    for (int i = 0; i <= 100; ++i) Add(44.0 + i * 0.00009, -63.0 + 0.0025, i == 70 ? 90.0 : -5.0);
  }
  void Add(double lat, double lon, double deviation) {
    model.Append(lat, lon, deviation);
    deviations.push_back(deviation);
  }
  // The pixel of record i in the picture.
  std::pair<int, int> PixelOf(std::size_t i, const TrackPictureLayout& layout) const {
    const TrackView view = *TrackPictureView(model, layout);
    const UtmPosition p = *model.Position(i);
    return {static_cast<int>((p.easting - view.centreEasting) / view.metresPerPixel + view.width / 2.0),
            static_cast<int>((view.centreNorthing - p.northing) / view.metresPerPixel + view.height / 2.0)};
  }
  TrackModel model;
  std::vector<double> deviations;
};

int Count(const std::vector<std::uint32_t>& pixels, const TrackPictureLayout& layout, int x0, int y0, int x1, int y1,
          std::uint32_t pixel) {
  int count = 0;
  for (int y = std::max(y0, 0); y < std::min(y1, layout.height); ++y)
    for (int x = std::max(x0, 0); x < std::min(x1, layout.width); ++x)
      count += pixels[static_cast<std::size_t>(y * layout.width + x)] == pixel;
  return count;
}

TEST(TrackPicture, PointsInTheirColoursOnWhiteAndTheBandsBesideThem) {
  const TwoLines track;
  const TrackPictureLayout layout = LayoutTrackPicture(640, 480, 100.0);
  ASSERT_LT(layout.plotWidth, 640);
  ASSERT_LT(layout.plotHeight, 480);
  std::vector<std::uint32_t> pixels;
  ASSERT_TRUE(DrawTrackPicture(track.model, track.deviations, 100.0, layout, pixels));
  ASSERT_EQ(pixels.size(), 640u * 480u);
  const auto at = [&](int x, int y) { return pixels[static_cast<std::size_t>(y * 640 + x)]; };

  const auto [ax, ay] = track.PixelOf(40, layout);
  EXPECT_EQ(at(ax, ay), Colour(-300.0, 100.0));
  const auto [bx, by] = track.PixelOf(101 + 70, layout);
  EXPECT_EQ(at(bx, by), Colour(90.0, 100.0));
  const auto [cx, cy] = track.PixelOf(10, layout);
  EXPECT_EQ(at(cx, cy), Colour(5.0, 100.0));
  // Between the lines and outside the track: white.
  EXPECT_EQ(at((ax + bx) / 2, ay), kWhite);
  EXPECT_EQ(Count(pixels, layout, 0, 0, layout.plotWidth, layout.plotHeight, kBlack), 0);

  // The right band holds the scale's ends, its centre and black labels.
  const int right = layout.plotWidth;
  EXPECT_GT(Count(pixels, layout, right, 0, 640, 480, Colour(100.0, 100.0)), 10);
  EXPECT_GT(Count(pixels, layout, right, 0, 640, 480, Colour(-100.0, 100.0)), 10);
  EXPECT_GT(Count(pixels, layout, right, 0, 640, 480, Colour(0.0, 100.0)), 10);
  EXPECT_GT(Count(pixels, layout, right, 0, 640, 480, kBlack), 100);
  // The band below holds the scale bar and its length.
  EXPECT_GT(Count(pixels, layout, 0, layout.plotHeight, right, 480, kBlack), 100);
}

TEST(TrackPicture, NothingWithoutAPosition) {
  TrackModel empty;
  empty.AppendMissing();
  std::vector<std::uint32_t> pixels;
  EXPECT_FALSE(DrawTrackPicture(empty, std::vector<double>{1.0}, 100.0, LayoutTrackPicture(300, 200, 100.0), pixels));
  EXPECT_TRUE(pixels.empty());
}

// A negative limit draws the picture of its magnitude: +limit at the top of
// the colour bar, -limit at the bottom.
TEST(TrackPicture, ANegativeLimitDrawsThePictureOfItsMagnitude) {
  const TwoLines track;
  std::vector<std::uint32_t> negative, positive;
  ASSERT_TRUE(DrawTrackPicture(track.model, track.deviations, -100.0, LayoutTrackPicture(640, 480, -100.0), negative));
  ASSERT_TRUE(DrawTrackPicture(track.model, track.deviations, 100.0, LayoutTrackPicture(640, 480, 100.0), positive));
  EXPECT_TRUE(negative == positive);
}

TEST(TrackPicture, LabelsOfLongerLimitsTakeRoomFromThePlot) {
  const TrackPictureLayout small = LayoutTrackPicture(1024, 768, 5.0), large = LayoutTrackPicture(1024, 768, 50000.0);
  EXPECT_EQ(large.plotWidth, small.plotWidth - 4 * kGlyphAdvance * 2);
  EXPECT_EQ(small.plotHeight, large.plotHeight);
  EXPECT_EQ(LayoutTrackPicture(320, 240, 5.0).textScale, 1);
}

TEST(BitmapFont, GlyphsDrawInsideTheirCellsAndUnknownCharactersStayBlank) {
  std::vector<std::uint32_t> buffer(40 * 20, kWhite);
  PixelBuffer image{buffer.data(), 40, 20, 40};
  EXPECT_EQ(TextWidth("", 1), 0);
  EXPECT_EQ(TextWidth("500 m", 1), 29);
  EXPECT_EQ(TextWidth("-5", 2), 22);
  DrawText(image, 1, 1, "1", 2, kBlack);
  // "1" at scale 2: its stem is column 2 of the glyph, rows 0 to 6.
  EXPECT_EQ(buffer[1 * 40 + 1], kWhite);
  EXPECT_EQ(buffer[3 * 40 + 1 + 4], kBlack);
  EXPECT_EQ(buffer[(1 + 13) * 40 + 1 + 5], kBlack);
  const auto inked = std::count(buffer.begin(), buffer.end(), kBlack);
  EXPECT_EQ(inked % 4, 0);  // whole 2 x 2 glyph pixels
  DrawText(image, 20, 1, "?Q", 1, kBlack);
  EXPECT_EQ(std::count(buffer.begin(), buffer.end(), kBlack), inked);
  // Clipped at the image's edge, not written past it.
  DrawText(image, 36, 15, "88", 2, kBlack);
  EXPECT_GT(std::count(buffer.begin(), buffer.end(), kBlack), inked);
}

}  // namespace
}  // namespace tessaly
