// A tiny 5 x 7 bitmap font for the labels of pictures drawn without a window
// system: digits, "+", "-", ".", space, "k", "m" and "N".
#pragma once

#include <cstdint>
#include <string_view>

#include "core/TrackStyle.h"

namespace tessaly {

// Glyph cell at scale 1: 5 pixels and a pixel of spacing wide, 7 high.
inline constexpr int kGlyphAdvance = 6;
inline constexpr int kGlyphHeight = 7;

// Width in pixels of `text` at `scale` (each glyph pixel a scale x scale
// square), without the spacing after the last glyph.
int TextWidth(std::string_view text, int scale);

// Draws `text` with its top-left corner at (x, y), clipped to the image.
// Characters without a glyph are left blank.
void DrawText(PixelBuffer& image, int x, int y, std::string_view text, int scale, std::uint32_t pixel);

}  // namespace tessaly
