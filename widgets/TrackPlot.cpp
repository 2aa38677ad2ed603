#include "widgets/TrackPlot.h"

#include <QAction>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "core/TrackStyle.h"

namespace tessaly {

namespace {

constexpr QRgb kBackground = 0xFF3A3F47;    // dark slate: the grey of small deviations shows on it
constexpr QRgb kOverlayFill = 0xB0202428;   // behind the scale bar, colour bar and north mark
constexpr int kColourBarPixels = 12;        // the colour bar's width
constexpr int kScaleBarMaxPixels = 140;
constexpr double kZoomStep = 1.25;          // one wheel notch
constexpr double kMinMetresPerPixel = 0.01;
constexpr double kMaxMetresPerPixel = 1.0e5;
constexpr int kDragThreshold = 3;
constexpr QRgb kFlagRing = 0xFFFF8C00;      // orange, as the chart's flag marks
constexpr QRgb kShipColour = 0xFF7CFC00;    // lime: apart from the deviation scale, the rings and the text
constexpr int kShipCellPixels = 2;          // a ship's point per 2 x 2 pixels, drawn one pixel wide,
                                            // so the towfish's colours show between them
constexpr int kFlagRingRadius = 4;
constexpr int kProvisionalRingRadius = 5;

QString ScaleBarText(double metres) {
  if (metres >= 1000.0) return QString::number(metres / 1000.0, 'g', 6) + QStringLiteral(" km");
  return QString::number(metres, 'g', 6) + QStringLiteral(" m");
}

QString LimitText(double value) {
  const QString number = QString::number(value, 'g', 6);
  return value > 0 ? QStringLiteral("+") + number : number;
}

QString AskPngFile(QWidget* parent) {
  QFileDialog dialog(parent, QStringLiteral("Export PNG"), QString(), QStringLiteral("PNG image (*.png)"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("png"));
  return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

void DrawOverlayBox(QPainter& painter, const QRect& box) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor::fromRgba(kOverlayFill));
  painter.drawRoundedRect(box, 4, 4);
}

}  // namespace

TrackPlot::TrackPlot(QWidget* parent) : QWidget(parent), points_(kBackground) {
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(160, 120);
  setAttribute(Qt::WA_OpaquePaintEvent);
  actFitAll = new QAction(QStringLiteral("Fit All\tHome"), this);  // the key is handled by keyPressEvent
  connect(actFitAll, &QAction::triggered, this, &TrackPlot::FitAll);
  actShipTrack = new QAction(QStringLiteral("Ship's Track"), this);
  actShipTrack->setCheckable(true);
  actShipTrack->setEnabled(false);
  connect(actShipTrack, &QAction::toggled, this, [this] { update(); });
  actExportPng = new QAction(QStringLiteral("Export PNG..."), this);
  connect(actExportPng, &QAction::triggered, this, &TrackPlot::ExportFromMenu);
  addActions({actFitAll, actShipTrack, actExportPng});
  setContextMenuPolicy(Qt::ActionsContextMenu);
  ChooseExportFile = AskPngFile;
  ReportError = [this](const QString& message) { QMessageBox::warning(this, QStringLiteral("Error"), message); };
}

// ---- The track and the view ----

void TrackPlot::SetTrack(std::shared_ptr<const RecordSource> source, std::shared_ptr<const TrackModel> model) {
  source_ = std::move(source);
  model_ = std::move(model);
  highlightedRow_ = 0;
  FlagsChanged();
  viewFitted_ = false;
  FitAll();
}

void TrackPlot::SetShipTrack(std::shared_ptr<const TrackModel> ship) {
  ship_ = std::move(ship);
  actShipTrack->setEnabled(ship_ != nullptr);
  update();
}

bool TrackPlot::ShipShown() const { return ship_ && actShipTrack->isChecked(); }

std::span<const double> TrackPlot::Deviations() const {
  return source_ ? source_->ChartValues() : std::span<const double>();
}

void TrackPlot::SetLimit(double limit) {
  limit_ = TrackScaleLimit(limit);
  update();
}

void TrackPlot::SetView(const TrackView& view) {
  view_ = view;
  view_.width = width();
  view_.height = height();
  viewFitted_ = true;
  userView_ = true;
  update();
}

// The strip at the right that the north mark, the colour bar and its
// labels take.
int TrackPlot::LegendWidth() const {
  const QFontMetrics metrics = fontMetrics();
  const int labels = std::max(metrics.horizontalAdvance(LimitText(limit_)), metrics.horizontalAdvance(LimitText(-limit_)));
  return labels + kColourBarPixels + 24;
}

// The strip at the bottom that the scale bar takes.
int TrackPlot::ScaleBarHeight() const { return fontMetrics().height() + 26; }

// The part of the plot the track is fitted into: all but the legend's and
// the scale bar's strips.
QRect TrackPlot::TrackArea() const { return rect().adjusted(0, 0, -LegendWidth(), -ScaleBarHeight()); }

void TrackPlot::FitAll() {
  const QRect area = TrackArea();
  if (!model_ || area.width() <= 0 || area.height() <= 0) return;
  std::optional<TrackBounds> bounds = model_->Bounds();
  if (const std::optional<TrackBounds> ship = ShipShown() ? ship_->Bounds() : std::nullopt)
    bounds = bounds ? Union(*bounds, *ship) : *ship;
  if (!bounds) return;
  const std::optional<TrackView> fitted = FitBounds(*bounds, area.width(), area.height(), kMarginPixels);
  if (!fitted) return;
  view_ = *fitted;
  view_.width = width();
  view_.height = height();
  view_.centreEasting += (width() - area.width()) / 2.0 * view_.metresPerPixel;
  view_.centreNorthing -= (height() - area.height()) / 2.0 * view_.metresPerPixel;
  viewFitted_ = true;
  userView_ = false;
  update();
}

QPointF TrackPlot::PixelOf(const UtmPosition& position) const {
  return {view_.width / 2.0 + (position.easting - view_.centreEasting) / view_.metresPerPixel,
          view_.height / 2.0 - (position.northing - view_.centreNorthing) / view_.metresPerPixel};
}

QPointF TrackPlot::GroundAt(QPointF pixel) const {
  return {view_.centreEasting + (pixel.x() - view_.width / 2.0) * view_.metresPerPixel,
          view_.centreNorthing - (pixel.y() - view_.height / 2.0) * view_.metresPerPixel};
}

// The ground under `pixel` stays under it.
void TrackPlot::ZoomAbout(QPointF pixel, double factor) {
  const QPointF ground = GroundAt(pixel);
  view_.metresPerPixel = std::clamp(view_.metresPerPixel * factor, kMinMetresPerPixel, kMaxMetresPerPixel);
  view_.centreEasting = ground.x() - (pixel.x() - view_.width / 2.0) * view_.metresPerPixel;
  view_.centreNorthing = ground.y() + (pixel.y() - view_.height / 2.0) * view_.metresPerPixel;
  userView_ = true;
  update();
}

// A position outside `shown` becomes the plot's centre.
void TrackPlot::KeepInView(const UtmPosition& position, const QRectF& shown) {
  if (shown.contains(PixelOf(position))) return;
  view_.centreEasting = position.easting;
  view_.centreNorthing = position.northing;
}

// A selected record already on the plot, near an edge too (one just clicked
// there), leaves the view where the user put it.
void TrackPlot::HighlightRow(int row, bool keepInView) {
  highlightedRow_ = std::max(row, 0);
  if (keepInView && model_ && highlightedRow_ > 0)
    if (const auto position = model_->Position(static_cast<std::size_t>(highlightedRow_ - 1)))
      KeepInView(*position, rect());
  update();
}

void TrackPlot::FlagsChanged() {
  flagged_.clear();
  flagsRead_ = 0;
  CollectFlags();
  update();
}

void TrackPlot::CollectFlags() {
  if (!source_) return;
  const std::span<const std::uint8_t> flags = source_->QualityFlags();
  for (; flagsRead_ < flags.size(); ++flagsRead_)
    if (flags[flagsRead_] != 0) flagged_.push_back(static_cast<std::uint32_t>(flagsRead_));
}

// The newest position is kept clear of the edges by the fitting margin, so
// the track ahead of it shows.
void TrackPlot::RecordsAppended() {
  if (!model_) return;
  CollectFlags();
  if (followNewest_ && !userView_) {
    FitAll();
  } else if (followNewest_ && model_->Size() > 0) {
    const QRectF inner =
        QRectF(TrackArea()).adjusted(kMarginPixels, kMarginPixels, -kMarginPixels, -kMarginPixels);
    if (const auto newest = model_->Position(model_->Size() - 1)) KeepInView(*newest, inner);
  } else if (!viewFitted_) {
    FitAll();
  }
  update();
}

// ---- Painting ----

void TrackPlot::paintEvent(QPaintEvent*) {
  PaintPoints();
  QPainter painter(this);
  painter.drawImage(0, 0, points_.Image());
  if (!model_ || model_->PositionCount() == 0) {
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("No positions"));
    return;
  }
  PaintShip(painter);
  painter.setRenderHint(QPainter::Antialiasing);
  PaintFlags(painter);
  PaintProvisional(painter);
  PaintLineLabels(painter);
  PaintHighlight(painter);
  PaintScaleBar(painter);
  PaintColourBar(painter);
  PaintNorthMark(painter);
}

// The decimated points go straight into the image's pixels; a repaint that
// changes none of what they show (a new ring, a menu closing) reuses them,
// a pan scrolls them.
void TrackPlot::PaintPoints() {
  points_.Update({view_, limit_, model_.get(), model_ ? model_->Revision() : 0, Deviations(), lines_.get()});
}

// The ship's positions decimated by 2-pixel cell, each one pixel.
void TrackPlot::PaintShip(QPainter& painter) {
  shipPoints_.clear();
  if (!ShipShown()) return;
  ship_->Decimate(view_, {}, kShipCellPixels, shipPoints_);
  for (const DrawnPoint& point : shipPoints_) painter.fillRect(point.x, point.y, 1, 1, QColor::fromRgb(kShipColour));
}

void TrackPlot::PaintHighlight(QPainter& painter) const {
  if (highlightedRow_ <= 0) return;
  const auto position = model_->Position(static_cast<std::size_t>(highlightedRow_ - 1));
  if (!position) return;
  const QPointF centre = PixelOf(*position) + QPointF(kTrackPointPixels / 2.0, kTrackPointPixels / 2.0);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(Qt::black, 4));
  painter.drawEllipse(centre, 7, 7);
  painter.setPen(QPen(QColor(255, 230, 0), 2));
  painter.drawEllipse(centre, 7, 7);
}

// A ring around each flagged record in view, light enough to leave the
// point's colour readable.
void TrackPlot::PaintFlags(QPainter& painter) const {
  if (flagged_.empty()) return;
  const QRectF area = rect().adjusted(-kFlagRingRadius, -kFlagRingRadius, kFlagRingRadius, kFlagRingRadius);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(QColor::fromRgb(kFlagRing), 1.5));
  for (const std::uint32_t record : flagged_) {
    const auto position = model_->Position(record);
    if (!position) continue;
    const QPointF centre = PixelOf(*position) + QPointF(kTrackPointPixels / 2.0, kTrackPointPixels / 2.0);
    if (area.contains(centre)) painter.drawEllipse(centre, kFlagRingRadius, kFlagRingRadius);
  }
}

void TrackPlot::SetProvisional(std::vector<std::uint32_t> records) {
  provisional_ = std::move(records);
  update();
}

void TrackPlot::PaintProvisional(QPainter& painter) const {
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(Qt::white, 1.0));
  for (const std::uint32_t record : provisional_) {
    const auto position = model_->Position(record);
    if (!position) continue;
    const QPointF centre = PixelOf(*position) + QPointF(kTrackPointPixels / 2.0, kTrackPointPixels / 2.0);
    if (rect().contains(centre.toPoint())) painter.drawEllipse(centre, kProvisionalRingRadius, kProvisionalRingRadius);
  }
}

// ---- Survey lines ----

void TrackPlot::SetLines(std::shared_ptr<const RecordLines> lines) {
  lines_ = std::move(lines);
  update();
}

// The first record of the line with a position; a line's records nearly
// always have one, so the walk is short.
std::optional<UtmPosition> TrackPlot::FirstPositionOf(const SurveyLine& line) const {
  for (std::uint64_t record = line.first; record <= line.last; ++record)
    if (const auto position = model_->Position(static_cast<std::size_t>(record))) return position;
  return std::nullopt;
}

std::vector<TrackPlot::LineLabel> TrackPlot::LineLabels() const {
  std::vector<LineLabel> labels;
  if (!lines_ || !model_) return labels;
  const QFontMetrics metrics(font());
  const QRect area = TrackArea();
  for (std::size_t i = 0; i < lines_->Lines().size(); ++i) {
    const std::optional<UtmPosition> start = FirstPositionOf(lines_->Lines()[i]);
    if (!start) continue;
    const QPointF pixel = PixelOf(*start);
    if (!area.contains(pixel.toPoint())) continue;
    const QString text = QString::number(i + 1);
    const QSize size(metrics.horizontalAdvance(text) + 6, metrics.height() + 2);
    // Up and to the left of the start, clear of the point's square.
    const QRect box(QPoint(static_cast<int>(pixel.x()) - size.width() - 2, static_cast<int>(pixel.y()) - size.height()),
                    size);
    const bool covers = std::any_of(labels.begin(), labels.end(),
                                    [&](const LineLabel& label) { return label.box.intersects(box); });
    if (!covers) labels.push_back({i + 1, box});
  }
  return labels;
}

void TrackPlot::PaintLineLabels(QPainter& painter) const {
  for (const LineLabel& label : LineLabels()) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 210));
    painter.drawRoundedRect(label.box, 3, 3);
    painter.setPen(Qt::black);
    painter.drawText(label.box, Qt::AlignCenter, QString::number(label.number));
  }
}

// Bottom left: a bar of a round length with the length written above it.
void TrackPlot::PaintScaleBar(QPainter& painter) const {
  const double metres = ScaleBarMetres(view_.metresPerPixel, kScaleBarMaxPixels);
  const int length = static_cast<int>(std::lround(metres / view_.metresPerPixel));
  const QString text = ScaleBarText(metres);
  const QFontMetrics metrics = painter.fontMetrics();
  const int boxWidth = std::max(length, metrics.horizontalAdvance(text)) + 16;
  const QRect box(8, height() - ScaleBarHeight(), boxWidth, ScaleBarHeight() - 8);
  DrawOverlayBox(painter, box);
  const int y = box.bottom() - 7;
  const int x0 = box.left() + 8;
  painter.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::FlatCap));
  painter.drawLine(x0, y, x0 + length, y);
  painter.drawLine(x0, y - 4, x0, y + 1);
  painter.drawLine(x0 + length, y - 4, x0 + length, y + 1);
  painter.drawText(QRect(box.left(), box.top() + 2, boxWidth, metrics.height()), Qt::AlignCenter, text);
}

// At the right, below the north mark: the deviation scale from +limit (top)
// through 0 to -limit.
void TrackPlot::PaintColourBar(QPainter& painter) const {
  const QFontMetrics metrics = painter.fontMetrics();
  const int top = NorthMarkBox().bottom() + 8;
  const int barHeight = std::clamp(height() - top - 8 - 24, 40, 240);
  const int legend = LegendWidth();
  const QRect box(width() - legend + 4, top + (height() - top - 8 - barHeight - 24) / 2, legend - 10, barHeight + 24);
  DrawOverlayBox(painter, box);
  const QRect bar(box.right() - kColourBarPixels - 6, box.top() + 12, kColourBarPixels, barHeight);
  for (int i = 0; i < bar.height(); ++i) {
    const double deviation = limit_ * (1.0 - 2.0 * i / std::max(1, bar.height() - 1));
    painter.fillRect(bar.left(), bar.top() + i, bar.width(), 1, QColor::fromRgb(TrackDeviationColour(deviation, limit_)));
  }
  painter.setPen(Qt::white);
  const int textRight = bar.left() - 4;
  const auto label = [&](int y, const QString& text) {
    painter.drawText(QRect(box.left(), y - metrics.height() / 2, textRight - box.left(), metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, text);
  };
  label(bar.top(), LimitText(limit_));
  label(bar.center().y(), QStringLiteral("0"));
  label(bar.bottom(), LimitText(-limit_));
}

// Top right, above the colour bar.
QRect TrackPlot::NorthMarkBox() const { return QRect(width() - 32, 8, 26, fontMetrics().height() + 30); }

// An arrow pointing up under an "N".
void TrackPlot::PaintNorthMark(QPainter& painter) const {
  const QFontMetrics metrics = painter.fontMetrics();
  const QRect box = NorthMarkBox();
  DrawOverlayBox(painter, box);
  painter.setPen(Qt::white);
  painter.drawText(QRect(box.left(), box.top() + 2, box.width(), metrics.height()), Qt::AlignCenter,
                   QStringLiteral("N"));
  const double cx = box.center().x() + 0.5;
  const double top = box.top() + metrics.height() + 4;
  QPainterPath arrow;
  arrow.moveTo(cx, top);
  arrow.lineTo(cx + 6, top + 12);
  arrow.lineTo(cx, top + 9);
  arrow.lineTo(cx - 6, top + 12);
  arrow.closeSubpath();
  painter.fillPath(arrow, Qt::white);
  painter.setPen(QPen(Qt::white, 2));
  painter.drawLine(QPointF(cx, top + 9), QPointF(cx, box.bottom() - 4));
}

// ---- Mouse and keys ----

// A fitted track is fitted again to the new size; a view the user zoomed or
// panned keeps its centre and scale.
void TrackPlot::resizeEvent(QResizeEvent*) {
  view_.width = width();
  view_.height = height();
  if (!viewFitted_ || !userView_) FitAll();
}

void TrackPlot::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (notches == 0.0) return;
  ZoomAbout(event->position(), std::pow(kZoomStep, -notches));
  event->accept();
}

void TrackPlot::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  dragFrom_ = event->position().toPoint();
  dragged_ = false;
}

void TrackPlot::mouseMoveEvent(QMouseEvent* event) {
  if (!dragFrom_) return;
  const QPoint now = event->position().toPoint();
  const QPoint delta = now - *dragFrom_;
  if (!dragged_ && delta.manhattanLength() < kDragThreshold) return;
  dragged_ = true;
  view_.centreEasting -= delta.x() * view_.metresPerPixel;
  view_.centreNorthing += delta.y() * view_.metresPerPixel;
  userView_ = true;
  dragFrom_ = now;
  update();
}

// A release where the press was (no drag) is a click on the nearest point.
void TrackPlot::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !dragFrom_) return;
  const bool click = !dragged_;
  dragFrom_.reset();
  if (!click) return;
  if (const auto nearest = NearestDrawnPoint(event->position().toPoint())) {
    const int row = static_cast<int>(nearest->record) + 1;
    HighlightRow(row, false);
    emit RecordClicked(row);
  }
}

void TrackPlot::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Home) {
    FitAll();
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

// The drawn record whose own position is nearest to `pixel`, within reach.
std::optional<DrawnPoint> TrackPlot::NearestDrawnPoint(QPoint pixel) const {
  if (!model_) return std::nullopt;
  std::optional<DrawnPoint> nearest;
  double best = kPickPixels * kPickPixels;
  for (const DrawnPoint& point : points_.Drawn()) {
    const auto position = model_->Position(point.record);
    if (!position) continue;
    const QPointF offset = PixelOf(*position) - QPointF(pixel);
    const double distance = QPointF::dotProduct(offset, offset);
    if (distance <= best) {
      best = distance;
      nearest = point;
    }
  }
  return nearest;
}

// ---- Export ----

void TrackPlot::ExportFromMenu() {
  const QString path = ChooseExportFile ? ChooseExportFile(this) : QString();
  if (path.isEmpty()) return;
  if (const QString error = ExportPng(path); !error.isEmpty() && ReportError) ReportError(error);
}

// Never over the files in use nor over any survey log or navigation file
// (CheckOutput). Written to a temporary file renamed over `path` once
// complete, so a failed export leaves an earlier file as it was.
QString TrackPlot::ExportPng(const QString& path) {
  const std::vector<GuardedFile> guarded = FilesInUse ? FilesInUse() : std::vector<GuardedFile>();
  if (const OutputVerdict verdict = CheckOutput(WriteKind::Export, path.toStdString(), "The picture file", guarded);
      !verdict.MayWrite())
    return QString::fromStdString(verdict.message);
  QImage image(size(), QImage::Format_RGB32);
  render(&image);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
    return QStringLiteral("Couldn't write the file %1: %2").arg(path, file.errorString());
  return {};
}

}  // namespace tessaly
