#include "shell/TrackPane.h"

#include <QAction>
#include <QSplitter>

#include "shell/AppContext.h"
#include "shell/LogWindows.h"
#include "shell/StandardDialogs.h"
#include "shell/UntTMsgdlg1.h"
#include "shell/untTFileForm.h"
#include "widgets/RecordViews.h"
#include "widgets/TrackPlot.h"

namespace tessaly {

TrackPane::TrackPane(TfrmTypeFile& window, QWidget& chart) : QObject(&window), window_(window), chart_(chart) {
  splitter_ = new QSplitter(Qt::Horizontal);
  splitter_->setChildrenCollapsible(false);
  splitter_->addWidget(&chart);
  action_ = new QAction(QStringLiteral("&Track"), &window);
  action_->setCheckable(true);
  action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
  action_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  action_->setEnabled(false);
  window.addAction(action_);
  chart.addAction(action_);
  connect(action_, &QAction::toggled, this, &TrackPane::SetShown);
}

// Where the track is available the chart's context menu offers it too;
// elsewhere the chart keeps no menu, as before.
void TrackPane::SetAvailable(bool available) {
  if (!available) SetShown(false);
  action_->setEnabled(available);
  chart_.setContextMenuPolicy(available ? Qt::ActionsContextMenu : Qt::DefaultContextMenu);
}

bool TrackPane::Available() const { return action_->isEnabled(); }

void TrackPane::SetShown(bool shown) {
  if (shown && !Available()) return;
  if (shown) MakePlot().show();
  else if (plot_) plot_->hide();
  if (action_->isChecked() != shown) action_->setChecked(shown);
}

bool TrackPane::Shown() const { return plot_ && !plot_->isHidden(); }

void TrackPane::FollowSelection(RecordViews& views) {
  views_ = &views;
  views.OnRecordSelected = [this](int row) {
    if (plot_) plot_->HighlightRow(row);
  };
}

void TrackPane::SetLimit(double limit) {
  limit_ = limit;
  if (plot_) plot_->SetLimit(limit);
}

// The plot takes half the splitter, as wide as the chart beside it; it
// offers the command too, to be hidden from its own context menu.
TrackPlot& TrackPane::MakePlot() {
  if (plot_) return *plot_;
  plot_ = new TrackPlot;
  plot_->SetLimit(limit_);
  plot_->addAction(action_);
  plot_->ChooseExportFile = [](QWidget* parent) {
    return AskSaveFileName(parent, QStringLiteral("Export PNG"),
                           QString::fromStdString(AppContext::Instance().CurrentDir + "Projects"),
                           QStringLiteral("PNG image|*.png"), QStringLiteral("png"));
  };
  plot_->FilesInUse = FilesOfOpenWindows;
  plot_->ReportError = [this](const QString& message) {
    window_.msgMenssage->ShowOk(QStringLiteral("Error"), message, TMsgDlgType::mtError);
  };
  connect(plot_, &TrackPlot::RecordClicked, this, [this](int row) {
    if (views_) views_->SelectRecord(row);
  });
  splitter_->addWidget(plot_);
  const int total = splitter_->width();
  splitter_->setSizes({total - total / 2, total / 2});
  if (OnFirstShow) OnFirstShow(*plot_);
  return *plot_;
}

}  // namespace tessaly
