#include "core/BitmapFont.h"

#include <array>

namespace tessaly {

namespace {

struct Glyph {
  char character;
  std::array<std::string_view, kGlyphHeight> rows;  // '#' set, '.' clear
};

constexpr Glyph kGlyphs[] = {
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {'+', {".....", "..#..", "..#..", "#####", "..#..", "..#..", "....."}},
    {'-', {".....", ".....", ".....", "#####", ".....", ".....", "....."}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
    {'k', {"#....", "#....", "#..#.", "#.#..", "##...", "#.#..", "#..#."}},
    {'m', {".....", ".....", "##.#.", "#.#.#", "#.#.#", "#.#.#", "#.#.#"}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
};

const Glyph* GlyphOf(char c) {
  for (const Glyph& glyph : kGlyphs)
    if (glyph.character == c) return &glyph;
  return nullptr;
}

}  // namespace

int TextWidth(std::string_view text, int scale) {
  return text.empty() ? 0 : (static_cast<int>(text.size()) * kGlyphAdvance - 1) * scale;
}

void DrawText(PixelBuffer& image, int x, int y, std::string_view text, int scale, std::uint32_t pixel) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const Glyph* glyph = GlyphOf(text[i]);
    if (!glyph) continue;
    const int left = x + static_cast<int>(i) * kGlyphAdvance * scale;
    for (int row = 0; row < kGlyphHeight; ++row)
      for (int column = 0; column < 5; ++column)
        if (glyph->rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] == '#')
          FillRect(image, left + column * scale, y + row * scale, scale, scale, pixel);
  }
}

}  // namespace tessaly
