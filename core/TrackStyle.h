// The track plot's look, shared by the window control and the command-line
// picture: the deviation colour scale, the scale bar's length and the points
// drawn into a 32-bit image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/RecordLines.h"
#include "core/TrackModel.h"

namespace tessaly {

// 0x00RRGGBB; as a pixel of a 32-bit image (0xAARRGGBB) with alpha 0xFF.
using Rgb = std::uint32_t;

// The end of the colour scale for a deviation limit: its magnitude, so a
// negative limit in the view settings reads as its positive (the scale and
// its legend are never turned upside down); NaN reads as 0.
double TrackScaleLimit(double limit);

// A diverging scale centred on 0: mid grey at 0 (a quiet track shows at a
// contrast of at least 3:1 on the picture's white and on the window's dark
// background alike), blue at -limit, red at +limit, clamped to the end
// colours beyond; -d is +d's colour with red and blue swapped. The scale
// ends at TrackScaleLimit(limit); a limit of 0 makes every non-zero
// deviation an end colour; NaN counts as 0.
Rgb TrackDeviationColour(double deviation, double limit);

// A length for the scale bar: 1, 2 or 5 times a power of ten metres, the
// longest such that is at most `maxPixels` pixels at `metresPerPixel`.
double ScaleBarMetres(double metresPerPixel, int maxPixels);

// A 32-bit image in memory: pixel (x, y) is pixels[y * stride + x],
// 0xAARRGGBB (QImage's Format_RGB32/ARGB32 layout on this platform).
struct PixelBuffer {
  std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;  // pixels per row
};

// Fills a rectangle of `width` x `height` pixels from (x, y), clipped to the
// image.
void FillRect(PixelBuffer& image, int x, int y, int width, int height, std::uint32_t pixel);

// The look the window and the picture share: one-pixel cells (at most one
// point per pixel column and row), each drawn 3 pixels wide.
inline constexpr int kTrackCellPixels = 1;
inline constexpr int kTrackPointPixels = 3;

// Draws each point as a `pointPixels`-wide square from its cell's top-left
// pixel, coloured by TrackDeviationColour of its record's deviation, clipped
// to the image; points of larger absolute deviation are drawn last so they
// stay on top where squares overlap.
void DrawTrackPoints(std::span<const DrawnPoint> points, std::span<const double> deviations,
                     double limit, int pointPixels, PixelBuffer& image);

// The colour of the records between survey lines (turns, run-ins).
inline constexpr Rgb kTrackTurnColour = 0x9C9C9C;

// As DrawTrackPoints, with the turns greyed: a point whose record lies on
// no survey line of `lines` is one kTrackTurnColour pixel at its square's
// centre, beneath the points of the lines, so the lines stand out and the
// turns still show where the vessel went. A survey without lines is drawn
// as DrawTrackPoints draws it.
void DrawTrackPointsByLine(std::span<const DrawnPoint> points, std::span<const double> deviations, double limit,
                           int pointPixels, const RecordLines& lines, PixelBuffer& image);

}  // namespace tessaly
