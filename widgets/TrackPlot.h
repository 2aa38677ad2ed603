// TrackPlot: the towfish's track on the ground, every point coloured by its
// deviation. North up, equal scales on both axes, in UTM metres of the
// track model's zone; a metre scale bar, the deviation colour bar and a
// north mark on top.
//
// The points are decimated by screen cell (TrackModel::Decimate: one point
// per one-pixel cell, the record of largest absolute deviation), each drawn
// 3 pixels wide as the command-line picture draws them, so that a line of
// records reads as a line and a lone anomaly still shows; written straight
// into the pixels of an image (TrackPointImage), so painting costs the cells
// the track crosses, not the records; a pan scrolls the image and decimates
// only the strips it exposes. The plot holds nothing per record but the
// numbers of the records whose quality flags it rings.
//
// Given the survey lines (SetLines), the plot greys the turns (each record
// between lines one grey pixel) and writes each line's number at its first
// position. Given the ship's track (SetShipTrack: the GPS antenna's
// positions of a log positioned from its GPS), it draws it on request
// ("Ship's Track" on the context menu) as a dotted line of one colour of
// its own over the towfish's points.
//
// A live session marks the records whose positions are provisional
// (SetProvisional: extrapolated from the last fixes until the next comes)
// with a hollow white ring.
//
// Wheel zooms about the cursor, dragging pans, Home fits the whole track; a
// click selects the nearest drawn point. The context menu offers "Fit All"
// and "Export PNG...".
#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/OutputRule.h"
#include "core/RecordLines.h"
#include "core/RecordSource.h"
#include "core/TrackModel.h"
#include "widgets/TrackPointImage.h"

class QAction;

namespace tessaly {

class TrackPlot : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kMarginPixels = 24;   // kept free around the track by Fit All
  static constexpr int kPickPixels = 6;      // how far a click reaches for a point

  explicit TrackPlot(QWidget* parent = nullptr);

  // Shows a track: `model` holds the positions, `source` the deviations
  // (its chart values, record i being grid row i + 1). Both are kept alive
  // by the plot; null shows nothing. Fits the view to the track.
  void SetTrack(std::shared_ptr<const RecordSource> source, std::shared_ptr<const TrackModel> model);
  const TrackModel* Model() const { return model_.get(); }

  // The survey lines of the track's records (found by the document's owner,
  // RecordLines.h); null: no lines shown.
  void SetLines(std::shared_ptr<const RecordLines> lines);
  const RecordLines* Lines() const { return lines_.get(); }

  // A line's number as the plot writes it: the box it takes, beside the
  // line's first position in view.
  struct LineLabel {
    std::size_t number = 0;
    QRect box;
  };
  // The labels of the lines whose first position is in view, in line order,
  // leaving out any that would cover an earlier one.
  std::vector<LineLabel> LineLabels() const;

  // The ship's positions, in the track model's frame (BuildShipTrack); null
  // for none, which also makes "Ship's Track" unavailable.
  void SetShipTrack(std::shared_ptr<const TrackModel> ship);
  const TrackModel* ShipTrack() const { return ship_.get(); }
  // Whether the ship's track is drawn: one is given and asked for.
  bool ShipShown() const;
  // The ship's points the last paint drew, one pixel per 2-pixel cell.
  const std::vector<DrawnPoint>& ShipPoints() const { return shipPoints_; }

  // The records whose positions may still change, ringed in white.
  void SetProvisional(std::vector<std::uint32_t> records);
  const std::vector<std::uint32_t>& Provisional() const { return provisional_; }

  // Deviations beyond +/- limit take the end colours of the scale; a
  // negative limit reads as its positive (TrackScaleLimit).
  void SetLimit(double limit);
  double Limit() const { return limit_; }

  const TrackView& View() const { return view_; }
  void SetView(const TrackView& view);
  // Shows every position (the ship's too, when shown).
  void FitAll();
  // The pixel of a position in the current view (fractional).
  QPointF PixelOf(const UtmPosition& position) const;
  // The ground under a pixel: easting as x, northing as y.
  QPointF GroundAt(QPointF pixel) const;

  // The records the last paint drew, one per cell.
  const std::vector<DrawnPoint>& DrawnPoints() const { return points_.Drawn(); }

  // Records were appended to the model: repaint. With follow-newest on, the
  // whole track stays fitted until the user zooms or pans; after that the
  // view moves to keep the newest position in it. The caller limits how
  // often.
  void RecordsAppended();
  void SetFollowNewest(bool follow) { followNewest_ = follow; }
  bool FollowNewest() const { return followNewest_; }

  // The grid row whose record is ringed; 0 for none.
  int HighlightedRow() const { return highlightedRow_; }

  // Records whose quality flags (the source's QualityFlags) are set get a
  // small orange ring. The flags of new records are read as they are
  // appended; FlagsChanged reads all of them again (new thresholds).
  void FlagsChanged();
  // The records ringed for their flags, in record order.
  const std::vector<std::uint32_t>& FlaggedRecords() const { return flagged_; }

  // ---- Context menu ----
  QAction* actFitAll = nullptr;
  QAction* actShipTrack = nullptr;  // "Ship's Track", checkable
  QAction* actExportPng = nullptr;
  // Writes the plot as shown, at its size, to `path` as a PNG image; the
  // message of a refusal or failure, empty when written.
  QString ExportPng(const QString& path);

  // ---- Hooks ----
  // The save dialog of the export; empty text when dismissed.
  std::function<QString(QWidget* parent)> ChooseExportFile;
  // The files an export must never write over (those of the open log
  // windows).
  std::function<std::vector<GuardedFile>()> FilesInUse;
  // Shows the message of a refused or failed export.
  std::function<void(const QString& message)> ReportError;

 public slots:
  // Rings the record of grid row `row` (0: none); with keepInView the view
  // centres on the record when it is outside the plot.
  void HighlightRow(int row, bool keepInView = true);

 signals:
  // The user clicked a point: the grid row of its record.
  void RecordClicked(int row);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void PaintPoints();
  void PaintShip(class QPainter& painter);
  void PaintHighlight(class QPainter& painter) const;
  void PaintFlags(class QPainter& painter) const;
  void PaintProvisional(class QPainter& painter) const;
  void CollectFlags();
  void PaintLineLabels(class QPainter& painter) const;
  std::optional<UtmPosition> FirstPositionOf(const SurveyLine& line) const;
  void PaintScaleBar(class QPainter& painter) const;
  void PaintColourBar(class QPainter& painter) const;
  void PaintNorthMark(class QPainter& painter) const;
  std::optional<DrawnPoint> NearestDrawnPoint(QPoint pixel) const;
  void KeepInView(const UtmPosition& position, const QRectF& shown);
  void ZoomAbout(QPointF pixel, double factor);
  int LegendWidth() const;
  int ScaleBarHeight() const;
  QRect TrackArea() const;
  QRect NorthMarkBox() const;
  void ExportFromMenu();
  std::span<const double> Deviations() const;

  std::shared_ptr<const RecordSource> source_;
  std::shared_ptr<const TrackModel> model_;
  std::shared_ptr<const RecordLines> lines_;
  std::shared_ptr<const TrackModel> ship_;
  std::vector<DrawnPoint> shipPoints_;
  std::vector<std::uint32_t> provisional_;
  TrackView view_;
  bool viewFitted_ = false;  // the view was never set: fit at the first size
  bool userView_ = false;    // zoomed or panned since the last fit
  double limit_ = 100.0;
  int highlightedRow_ = 0;
  bool followNewest_ = false;
  std::optional<QPoint> dragFrom_;
  bool dragged_ = false;
  TrackPointImage points_;
  std::vector<std::uint32_t> flagged_;  // records with a quality flag
  std::size_t flagsRead_ = 0;           // records whose flags were read
};

}  // namespace tessaly
