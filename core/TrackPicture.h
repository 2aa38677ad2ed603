// The track plot as a picture without a window system (tessaly-cli track):
// on white, the decimated points coloured by deviation, a metre scale bar
// with its length, a colour bar of the scale with its ends (±limit) and 0,
// and a north mark.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/TrackModel.h"
#include "core/TrackStyle.h"

namespace tessaly {

// Where the picture puts things, for `width` x `height` pixels: the plot
// area from the top-left corner, the scale bar's band below it and the band
// of the north mark and the colour bar to its right.
struct TrackPictureLayout {
  int width = 0, height = 0;
  int plotWidth = 0, plotHeight = 0;
  int textScale = 1;  // labels are 7 x textScale pixels high
};

// The picture's free edge inside the plot area and its bands.
inline constexpr int kTrackPictureMargin = 12;

TrackPictureLayout LayoutTrackPicture(int width, int height, double limit);

// The view of the plot area that shows every position; none while the
// model has none.
std::optional<TrackView> TrackPictureView(const TrackModel& model, const TrackPictureLayout& layout);

// Draws the picture into `pixels` (resized to width x height, 0xFFRRGGBB).
// `deviations` are the records' deviations (the chart values), `limit` the
// ends of the colour scale (TrackScaleLimit: a negative limit reads as its
// positive). False, drawing nothing, when the model has no
// position.
bool DrawTrackPicture(const TrackModel& model, std::span<const double> deviations, double limit,
                      const TrackPictureLayout& layout, std::vector<std::uint32_t>& pixels);

}  // namespace tessaly
