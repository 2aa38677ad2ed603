// TrackPointImage: the track plot's decimated points drawn into an image,
// brought up to date with as little work as the change allows.
//
// An unchanged view reuses the image. A view moved by whole pixels (same
// scale, size, limit, model, its revision and deviations) scrolls the image as a
// map viewer does: the kept pixels move, and only the exposed strips (plus
// the reach of the point squares around them) are decimated and drawn, on
// the same pixel grid as the rest, so every cell still shows its record of
// largest absolute deviation. Anything else decimates the whole view.
//
// The pixel grid of a scrolled image is that of its last whole decimation
// moved by whole pixels; a view whose centre lies off that grid by more
// than kGridTolerancePixels is decimated anew, so floating-point drift of
// the centre never builds up. Strips are decimated through views of their
// own, whose arithmetic rounds differently from the whole view's: a position
// lying within that rounding (or kGridTolerancePixels) of a cell border may
// fall into the neighbouring cell after a pan, one pixel from where a whole
// decimation puts it.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/RecordLines.h"
#include "core/TrackModel.h"

namespace tessaly {

class TrackPointImage {
 public:
  static constexpr double kGridTolerancePixels = 1e-6;

  // What the image shows.
  struct Content {
    TrackView view;
    double limit = 0.0;
    const TrackModel* model = nullptr;
    std::uint64_t revision = 0;  // the model's (TrackModel::Revision): records appended or moved
    std::span<const double> deviations;  // record i's is deviations[i]
    const RecordLines* lines = nullptr;  // the survey lines, whose turns are greyed; none: no greying
  };

  explicit TrackPointImage(QRgb background);

  // Makes the image show `content`.
  void Update(const Content& content);
  const QImage& Image() const { return image_; }
  // The points drawn, one per cell, row by row.
  const std::vector<DrawnPoint>& Drawn() const;

 private:
  bool SameGridScale(const Content& content) const;
  std::optional<QPoint> ScrollStep(const TrackView& view) const;
  void DrawAll(const Content& content);
  void Scroll(QPoint step);
  void Redraw(const QRect& exposed);
  TrackView CellsView(const QRect& cells) const;
  void SetCellRecords(const QRect& cells, const std::vector<DrawnPoint>& points);
  void Draw(std::vector<DrawnPoint>& points, const QRect& clip);

  QRgb background_;
  std::optional<Content> shown_;  // its view: that of the last whole decimation
  QPoint scrolled_;               // pixels the image moved since then
  QImage image_;
  // The record drawn in each cell (one per pixel, row by row), kNoRecord in
  // an empty one: scrolled with the pixels, so a pan costs the same however
  // many points are drawn.
  std::vector<std::uint32_t> cellRecords_;
  mutable std::vector<DrawnPoint> drawn_;  // cellRecords_ as a list, made when asked
  mutable bool drawnStale_ = false;
  std::vector<DrawnPoint> strip_;
};

}  // namespace tessaly
