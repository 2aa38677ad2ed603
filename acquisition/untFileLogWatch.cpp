// The logging window's watch: the alarm tiles, the events list, the marks
// and the records flagged as they arrive (see untFileLog.h).
#include <QLabel>
#include <QListWidget>

#include "acquisition/AlarmTiles.h"
#include "acquisition/LiveSessionThread.h"
#include "acquisition/untFileLog.h"
#include "shell/TrackPane.h"
#include "widgets/TrackPlot.h"

namespace tessaly {

void TfrmFileLog::AlarmChanged(const AlarmChange& change) { Alarms->Show(change); }

void TfrmFileLog::EventRecorded(const WatchEvent& event) {
  lstEvents->addItem(QString::fromStdString(DescribeWatchEvent(event)));
  lstEvents->scrollToBottom();
}

// The flag shows with the next repaint (ShowNewFlags).
void TfrmFileLog::RecordFlagged(std::uint64_t row, QualityFlag flag, double) {
  Store().AddFlag(static_cast<std::size_t>(row), flag);
  if (flagsFrom_ == 0 || row < flagsFrom_) flagsFrom_ = row;
  lblQtdFlags->setText(QString::number(Records().FlaggedCount()));
}

// The chart reads the flags with the records; the track rings again from
// the first row flagged since the last repaint, its records drawn before.
void TfrmFileLog::ShowNewFlags() {
  if (flagsFrom_ == 0) return;
  if (TrackPlot* plot = Track->Plot()) plot->FlagsChangedFrom(static_cast<std::size_t>(flagsFrom_ - 1));
  flagsFrom_ = 0;
}

void TfrmFileLog::ClearWatch() {
  flagsFrom_ = 0;
  lblQtdFlags->setText(QStringLiteral("0"));
  lstEvents->clear();
  Alarms->Clear();
}

// The mark goes to the events file at the last record received; a note is
// asked for when wanted (cancelled: no mark).
void TfrmFileLog::MarkLastRecord(const QString& key, bool withNote) {
  if (State() == LogState::Idle) return;
  QString note;
  if (withNote && !InputQuery(QStringLiteral("Mark"), QStringLiteral("Note:"), note)) return;
  session_->Mark(key.toStdString(), note.toStdString());
  ShowSessionReports();
}

}  // namespace tessaly
