#include "core/TrackPicture.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "core/BitmapFont.h"

namespace tessaly {

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kBlack = 0xFF000000u;
constexpr int kColourBarWidth = 14;
constexpr int kBandGap = 16;  // between the plot area and the right band

// The shortest text of a number in the font's characters (no exponent, "."
// whatever the locale).
std::string NumberText(double value) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
  return std::string(text, result.ptr);
}

std::string SignedText(double value) {
  std::string text = value > 0.0 ? "+" : "";
  text += NumberText(value);
  return text;
}

std::string LengthText(double metres) {
  return metres >= 1000.0 ? NumberText(metres / 1000.0) + " km" : NumberText(metres) + " m";
}

int NorthMarkHeight(int scale) { return kGlyphHeight * scale + 4 + 16 * scale; }

// "N" with an arrow pointing up below it, from (x, y).
void DrawNorthMark(PixelBuffer& image, int x, int y, int scale) {
  DrawText(image, x, y, "N", scale, kBlack);
  const int centre = x + 5 * scale / 2;
  const int apex = y + kGlyphHeight * scale + 4;
  const int head = 5 * scale;
  for (int k = 0; k < head; ++k) FillRect(image, centre - k / 2, apex + k, 2 * (k / 2) + 1, 1, kBlack);
  FillRect(image, centre - scale / 2, apex + head, std::max(scale, 1) | 1, 16 * scale - head, kBlack);
}

void DrawScaleBar(PixelBuffer& image, const TrackPictureLayout& layout, double metresPerPixel) {
  const int s = layout.textScale;
  const double metres = ScaleBarMetres(metresPerPixel, std::max(layout.plotWidth / 3, 1));
  if (metres <= 0.0) return;
  const int length = static_cast<int>(std::lround(metres / metresPerPixel));
  const int x = kTrackPictureMargin, top = layout.plotHeight + 8;
  const int textHeight = kGlyphHeight * s;
  FillRect(image, x, top + textHeight / 2, length, 2, kBlack);
  FillRect(image, x, top, 2, textHeight + 2, kBlack);
  FillRect(image, x + length - 2, top, 2, textHeight + 2, kBlack);
  DrawText(image, x + length + 8, top + 1, LengthText(metres), s, kBlack);
}

// The scale from +limit at the top to -limit at the bottom, framed, with
// its ends and 0 written beside it.
void DrawColourBar(PixelBuffer& image, const TrackPictureLayout& layout, double limit) {
  const int s = layout.textScale;
  const int x = layout.plotWidth + kBandGap;
  const int top = kTrackPictureMargin + NorthMarkHeight(s) + kGlyphHeight * s;
  const int bottom = layout.plotHeight - kTrackPictureMargin;
  // An odd height puts 0 on the middle row.
  const int height = (bottom - top) | 1;
  if (height < 3) return;
  for (int y = 0; y < height; ++y) {
    const double value = limit * (1.0 - 2.0 * y / (height - 1));
    FillRect(image, x, top + y, kColourBarWidth, 1, kBlack | TrackDeviationColour(value, limit));
  }
  FillRect(image, x - 1, top - 1, kColourBarWidth + 2, 1, kBlack);
  FillRect(image, x - 1, top + height, kColourBarWidth + 2, 1, kBlack);
  FillRect(image, x - 1, top - 1, 1, height + 2, kBlack);
  FillRect(image, x + kColourBarWidth, top - 1, 1, height + 2, kBlack);
  const int labelX = x + kColourBarWidth + 6, half = kGlyphHeight * s / 2;
  DrawText(image, labelX, top - half, SignedText(limit), s, kBlack);
  DrawText(image, labelX, top + height / 2 - half, "0", s, kBlack);
  DrawText(image, labelX, top + height - 1 - half, SignedText(-limit), s, kBlack);
}

}  // namespace

TrackPictureLayout LayoutTrackPicture(int width, int height, double limit) {
  limit = TrackScaleLimit(limit);
  TrackPictureLayout layout;
  layout.width = width;
  layout.height = height;
  layout.textScale = width >= 640 && height >= 480 ? 2 : 1;
  const int labels = std::max(TextWidth(SignedText(limit), layout.textScale),
                              TextWidth(SignedText(-limit), layout.textScale));
  const int rightBand = kBandGap + kColourBarWidth + 6 + labels + kTrackPictureMargin;
  const int bottomBand = kGlyphHeight * layout.textScale + 8 + kTrackPictureMargin;
  layout.plotWidth = std::max(width - rightBand, 1);
  layout.plotHeight = std::max(height - bottomBand, 1);
  return layout;
}

std::optional<TrackView> TrackPictureView(const TrackModel& model, const TrackPictureLayout& layout) {
  return model.FitAll(layout.plotWidth, layout.plotHeight, kTrackPictureMargin);
}

bool DrawTrackPicture(const TrackModel& model, std::span<const double> deviations, double limit,
                      const TrackPictureLayout& layout, std::vector<std::uint32_t>& pixels) {
  const std::optional<TrackView> view = TrackPictureView(model, layout);
  if (!view) return false;
  limit = TrackScaleLimit(limit);
  pixels.assign(static_cast<std::size_t>(layout.width) * static_cast<std::size_t>(layout.height), kWhite);
  PixelBuffer image{pixels.data(), layout.width, layout.height, layout.width};
  PixelBuffer plot{pixels.data(), std::min(layout.plotWidth, layout.width), std::min(layout.plotHeight, layout.height),
                   layout.width};
  std::vector<DrawnPoint> points;
  model.Decimate(*view, deviations, kTrackCellPixels, points);
  DrawTrackPoints(points, deviations, limit, kTrackPointPixels, plot);
  DrawScaleBar(image, layout, view->metresPerPixel);
  DrawNorthMark(image, layout.plotWidth + kBandGap, kTrackPictureMargin, layout.textScale);
  DrawColourBar(image, layout, limit);
  return true;
}

}  // namespace tessaly
