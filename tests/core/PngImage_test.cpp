// The PNG writer: what it writes decodes to the image's pixels.
#include "core/PngImage.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "support/PngDecode.h"

namespace tessaly {
namespace {

TEST(EncodePng, DecodesToThePixelsOfTheImageWithoutItsAlphaOrRowPadding) {
  constexpr int kWidth = 37, kHeight = 23, kStride = 40;
  std::vector<std::uint32_t> buffer(kStride * kHeight);
  std::mt19937 random(3);
  for (std::uint32_t& pixel : buffer) pixel = static_cast<std::uint32_t>(random());
  const PixelBuffer image{buffer.data(), kWidth, kHeight, kStride};
  const testing::DecodedPng png = testing::DecodePng(EncodePng(image));
  ASSERT_EQ(png.error, "");
  ASSERT_EQ(png.width, kWidth);
  ASSERT_EQ(png.height, kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      ASSERT_EQ(png.At(x, y), 0xFF000000u | (buffer[y * kStride + x] & 0xFFFFFFu)) << x << "," << y;
}

TEST(EncodePng, AWhitePictureCompresses) {
  std::vector<std::uint32_t> white(1024 * 768, 0xFFFFFFFFu);
  const std::string png = EncodePng({white.data(), 1024, 768, 1024});
  EXPECT_LT(png.size(), 20000u);
  EXPECT_EQ(testing::DecodePng(png).pixels, white);
}

}  // namespace
}  // namespace tessaly
