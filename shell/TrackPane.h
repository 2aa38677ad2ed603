// TrackPane: the track plot beside a log window's profile chart, and the
// window's "Track" command (Ctrl+T) that shows and hides it. The chart sits
// in a horizontal splitter; while the track is hidden (as it is at first)
// the chart fills the splitter exactly as it filled its place before.
//
// The plot is made the first time the track is shown, so a window whose
// track is never shown pays nothing for it; the window then gives it a
// track through OnFirstShow. Its export dialog, its refusal to write over
// the window's files and its messages go through the window.
#pragma once

#include <QObject>

#include <functional>

class QAction;
class QSplitter;
class QWidget;

namespace tessaly {

class RecordViews;
class TfrmTypeFile;
class TrackPlot;

class TrackPane : public QObject {
  Q_OBJECT

 public:
  // Moves `chart` into the pane's splitter; the window puts Splitter() where
  // the chart was. The command is added to the window, unavailable; while
  // available it is on the chart's context menu too.
  TrackPane(TfrmTypeFile& window, QWidget& chart);

  QSplitter* Splitter() const { return splitter_; }
  // The checkable "Track" command (Ctrl+T).
  QAction* Action() const { return action_; }
  // Null until the track was first shown.
  TrackPlot* Plot() const { return plot_; }

  // Whether the window offers the command now (a window of a kind that has
  // positions, with its records at hand); an unavailable track is hidden.
  void SetAvailable(bool available);
  bool Available() const;
  void SetShown(bool shown);
  bool Shown() const;

  // The view settings' deviation limit, for the plot's colour scale.
  void SetLimit(double limit);

  // Keeps the track in step with the window's views: the record they select
  // is ringed on the track, a record clicked on the track is selected in
  // them. `views` outlives the pane.
  void FollowSelection(RecordViews& views);

  // Called once, with the new plot, the first time the track is shown.
  std::function<void(TrackPlot& plot)> OnFirstShow;

 private:
  TrackPlot& MakePlot();

  TfrmTypeFile& window_;
  QWidget& chart_;
  QSplitter* splitter_ = nullptr;
  QAction* action_ = nullptr;
  TrackPlot* plot_ = nullptr;
  RecordViews* views_ = nullptr;
  double limit_ = 0.0;
};

}  // namespace tessaly
