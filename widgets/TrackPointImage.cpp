#include "widgets/TrackPointImage.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/TrackStyle.h"

namespace tessaly {

namespace {

constexpr std::uint32_t kNoRecord = 0xFFFFFFFFu;

void Translate(std::vector<DrawnPoint>& points, QPoint by) {
  for (DrawnPoint& point : points) point.x += by.x(), point.y += by.y();
}

// Moves the values of a width x height array (rows `stride` apart) by
// `step`, row by row, in the order that never reads a row already written;
// the values moved out are lost, those moved into keep what they held.
void MoveRows(std::uint32_t* values, std::ptrdiff_t stride, int width, int height, QPoint step) {
  const std::size_t rowBytes = static_cast<std::size_t>(width - std::abs(step.x())) * sizeof(std::uint32_t);
  const int fromX = std::max(-step.x(), 0), toX = std::max(step.x(), 0);
  const auto moveRow = [&](int row) {
    std::memmove(values + (row + step.y()) * stride + toX, values + row * stride + fromX, rowBytes);
  };
  if (step.y() > 0)
    for (int row = height - 1 - step.y(); row >= 0; --row) moveRow(row);
  else
    for (int row = -step.y(); row < height; ++row) moveRow(row);
}

}  // namespace

TrackPointImage::TrackPointImage(QRgb background) : background_(background) {}

void TrackPointImage::Update(const Content& content) {
  if (shown_ && SameGridScale(content))
    if (const std::optional<QPoint> step = ScrollStep(content.view)) {
      if (!step->isNull()) Scroll(*step);
      return;
    }
  DrawAll(content);
}

// Everything but the view's centre is what the image shows.
bool TrackPointImage::SameGridScale(const Content& content) const {
  const Content& shown = *shown_;
  return content.view.metresPerPixel == shown.view.metresPerPixel && content.view.width == shown.view.width &&
         content.view.height == shown.view.height && content.limit == shown.limit && content.model == shown.model &&
         content.revision == shown.revision && content.deviations.data() == shown.deviations.data() &&
         content.deviations.size() == shown.deviations.size() && content.lines == shown.lines;
}

// How far the image must move (right, down) to show `view`: none when the
// view's centre lies off the image's pixel grid or the move leaves no pixel
// in place.
std::optional<QPoint> TrackPointImage::ScrollStep(const TrackView& view) const {
  constexpr double kFarthestPixels = 1e9;  // keeps the pixel counts in an int
  const TrackView& anchor = shown_->view;
  const double x = (anchor.centreEasting - view.centreEasting) / view.metresPerPixel;
  const double y = (view.centreNorthing - anchor.centreNorthing) / view.metresPerPixel;
  if (!(std::fabs(x) < kFarthestPixels && std::fabs(y) < kFarthestPixels)) return std::nullopt;
  const double wholeX = std::round(x), wholeY = std::round(y);
  if (std::fabs(x - wholeX) > kGridTolerancePixels || std::fabs(y - wholeY) > kGridTolerancePixels)
    return std::nullopt;
  const QPoint step = QPoint(static_cast<int>(wholeX), static_cast<int>(wholeY)) - scrolled_;
  if (std::abs(step.x()) >= view.width || std::abs(step.y()) >= view.height) return std::nullopt;
  return step;
}

void TrackPointImage::DrawAll(const Content& content) {
  shown_ = content;
  scrolled_ = QPoint();
  const QSize size(std::max(content.view.width, 0), std::max(content.view.height, 0));
  if (image_.size() != size) image_ = QImage(size, QImage::Format_RGB32);
  strip_.clear();
  if (content.model) content.model->Decimate(content.view, content.deviations, kTrackCellPixels, strip_);
  cellRecords_.resize(static_cast<std::size_t>(size.width()) * static_cast<std::size_t>(size.height()));
  SetCellRecords(image_.rect(), strip_);
  Draw(strip_, image_.rect());
}

void TrackPointImage::Scroll(QPoint step) {
  scrolled_ += step;
  const int width = image_.width(), height = image_.height();
  MoveRows(reinterpret_cast<std::uint32_t*>(image_.bits()), image_.bytesPerLine() / 4, width, height, step);
  MoveRows(cellRecords_.data(), width, width, height, step);
  if (step.x() != 0)
    Redraw(step.x() > 0 ? QRect(0, 0, step.x(), height) : QRect(width + step.x(), 0, -step.x(), height));
  if (step.y() != 0)
    Redraw(step.y() > 0 ? QRect(0, 0, width, step.y()) : QRect(0, height + step.y(), width, -step.y()));
  // Cells moved past the left or top edge leave the view, and with them the
  // parts of their squares still inside it.
  const int reach = kTrackPointPixels - 1;
  if (step.x() < 0) Redraw(QRect(0, 0, reach, height));
  if (step.y() < 0) Redraw(QRect(0, 0, width, reach));
}

// Decimates and draws anew the pixels of `exposed` and those the point
// squares reach from or into it, from every cell of the view whose square
// covers them.
void TrackPointImage::Redraw(const QRect& exposed) {
  const int reach = kTrackPointPixels - 1;
  const QRect repainted = exposed.adjusted(-reach, -reach, reach, reach) & image_.rect();
  const QRect cells = repainted.adjusted(-reach, -reach, 0, 0) & image_.rect();
  strip_.clear();
  if (shown_->model) shown_->model->Decimate(CellsView(cells), shown_->deviations, kTrackCellPixels, strip_);
  Translate(strip_, cells.topLeft());
  SetCellRecords(cells, strip_);
  Draw(strip_, repainted);
}

// A view of just `cells` (image pixels) whose cells are the image's: the
// grid of the last whole decimation moved by the pixels scrolled since.
TrackView TrackPointImage::CellsView(const QRect& cells) const {
  const TrackView& anchor = shown_->view;
  TrackView view = anchor;
  view.width = cells.width();
  view.height = cells.height();
  view.centreEasting = anchor.centreEasting +
                       (cells.left() - scrolled_.x() + (cells.width() - anchor.width) / 2.0) * anchor.metresPerPixel;
  view.centreNorthing = anchor.centreNorthing -
                        (cells.top() - scrolled_.y() + (cells.height() - anchor.height) / 2.0) * anchor.metresPerPixel;
  return view;
}

// The cells of `cells` hold `points` (image pixels, inside `cells`) and
// nothing else.
void TrackPointImage::SetCellRecords(const QRect& cells, const std::vector<DrawnPoint>& points) {
  const int width = image_.width();
  for (int y = cells.top(); y <= cells.bottom(); ++y) {
    const auto row = cellRecords_.begin() + static_cast<std::ptrdiff_t>(y) * width;
    std::fill(row + cells.left(), row + cells.right() + 1, kNoRecord);
  }
  for (const DrawnPoint& point : points)
    cellRecords_[static_cast<std::size_t>(point.y) * width + static_cast<std::size_t>(point.x)] = point.record;
  drawnStale_ = true;
}

const std::vector<DrawnPoint>& TrackPointImage::Drawn() const {
  if (!drawnStale_) return drawn_;
  drawn_.clear();
  const int width = image_.width(), height = image_.height();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (const std::uint32_t record = cellRecords_[static_cast<std::size_t>(y) * width + x]; record != kNoRecord)
        drawn_.push_back({x, y, record});
  drawnStale_ = false;
  return drawn_;
}

// Fills `clip` with the background and draws `points` (image pixels) into
// it. Points of equal absolute deviation are drawn in record order, so a
// pixel shows the same point whether drawn whole or after scrolls.
void TrackPointImage::Draw(std::vector<DrawnPoint>& points, const QRect& clip) {
  if (clip.isEmpty()) return;
  std::sort(points.begin(), points.end(), [](const DrawnPoint& a, const DrawnPoint& b) { return a.record < b.record; });
  const std::ptrdiff_t stride = image_.bytesPerLine() / static_cast<int>(sizeof(QRgb));
  PixelBuffer buffer{reinterpret_cast<std::uint32_t*>(image_.bits()) + clip.top() * stride + clip.left(),
                     clip.width(), clip.height(), stride};
  FillRect(buffer, 0, 0, clip.width(), clip.height(), background_);
  Translate(points, -clip.topLeft());
  if (shown_->lines)
    DrawTrackPointsByLine(points, shown_->deviations, shown_->limit, kTrackPointPixels, *shown_->lines, buffer);
  else
    DrawTrackPoints(points, shown_->deviations, shown_->limit, kTrackPointPixels, buffer);
  Translate(points, clip.topLeft());
}

}  // namespace tessaly
