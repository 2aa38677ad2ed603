// TfrmFile: the document window of an opened survey log. Shows the log three
// ways at once - the raw text, the grid of valid records and the deviation
// profile - kept in step: a click on a grid row, a chart point or a raw line
// selects the same record in all three.
//
// Assigning FileName opens the file: the log is loaded by a LogDocument on the
// worker thread TLoadGrid while the modal progress window runs (the user-
// interface thread keeps handling events; Cancel stops the load within a
// batch of lines and keeps what was loaded). When the worker is done the
// grid, chart and raw view are attached to the document (RecordViews) on the
// user-interface thread and read it in place. Comments are written through
// the document. The records' quality flags are marked on the chart and the
// track and counted beside the errors. A log with its reception times and
// NMEA beside it (a live part) shows each record's reception time in the
// grid's "Time" column and its towfish from the GPS and the layback of
// Lib/Positioning.ega on the track, the ship's track on request.
#pragma once

#include <QThread>
#include <QTimer>

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/LogDocument.h"
#include "core/RecordLines.h"
#include "shell/untTFileForm.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QSplitter;

namespace tessaly {

class RawTextView;
class RecordViews;
class TrackPane;
class TrackPlot;
class TFromProgressBar;
class TGraficoOK;
class TPainelGridOk;

// The worker of one load: opens the document off the user-interface thread
// (LogDocument::OpenLog for a log). Its only shared state is the terminate
// request, polled by the load.
class TLoadGrid : public QThread {
  Q_OBJECT

 public:
  // Fills a document with the options the worker completes (cancel request,
  // progress, caption).
  using Opener = std::function<void(LogDocument& document, const LoadOptions& options)>;

  TLoadGrid(std::shared_ptr<LogDocument> document, Opener open, LoadOptions options, QObject* parent);
  // Asks the load to stop; it does so within a batch of lines.
  void Terminate() { terminate_.store(true); }
  bool TerminateRequested() const { return terminate_.load(); }
  // Where the load is, in lines. Read by the window on a timer: a signal
  // per step would wake the user-interface thread hundreds of times a
  // second, taking processor time from the load.
  std::uint64_t Position() const { return position_.load(std::memory_order_relaxed); }
  std::uint64_t Maximum() const { return maximum_.load(std::memory_order_relaxed); }
  // What the load threw, if anything: the window reports it once the thread
  // has finished.
  std::exception_ptr Failure() const { return failure_; }

 signals:
  void CaptionChanged(const QString& caption);

 protected:
  void run() override;

 private:
  std::shared_ptr<LogDocument> document_;
  Opener open_;
  LoadOptions options_;
  std::atomic<bool> terminate_{false};
  std::atomic<std::uint64_t> position_{0};
  std::atomic<std::uint64_t> maximum_{0};
  std::exception_ptr failure_;
};

class TfrmFile : public TfrmTypeFile {
  Q_OBJECT

 public:
  explicit TfrmFile(QWidget* parent = nullptr);
  ~TfrmFile() override;

  QSplitter* RzSplitter1 = nullptr;  // raw text | grid
  QSplitter* RzSplitter2 = nullptr;  // upper panes / chart
  QGroupBox* grpRawData = nullptr;
  QGroupBox* grpValidDataGrid = nullptr;
  QGroupBox* grpGraphic = nullptr;
  RawTextView* lstRawData = nullptr;  // with its line-number gutter
  TPainelGridOk* PainelGrid1 = nullptr;
  TGraficoOK* Grafico1 = nullptr;
  TrackPane* Track = nullptr;  // the track beside the chart and its command
  QPushButton* btnY0Upper = nullptr;
  QPushButton* btnY0Lower = nullptr;
  QLabel* lblErrors = nullptr;
  QLabel* lblQtdErrors = nullptr;
  QLabel* lblPartial = nullptr;  // says when a cancelled load left the log partial
  QPushButton* btnErros = nullptr;
  QLabel* lblFlags = nullptr;     // "Flags:"
  QLabel* lblQtdFlags = nullptr;  // the records with a quality flag; a tool tip counts each flag
  QPushButton* btnClose = nullptr;
  TFromProgressBar* FromProgressBar = nullptr;

  // The one-line input box of the comment editing: caption, prompt and the
  // text to edit; false when the user cancelled. Tests replace it.
  std::function<bool(const QString& caption, const QString& prompt, QString& text)> InputQuery;
  // The save dialog of an import ("KV7100|*.kv2"); empty text when dismissed.
  std::function<QString(QWidget* parent)> ChooseImportSaveFile;
  // Opens the error list window (TfrmLogErrors) on a snapshot of the error
  // lines; installed by whoever creates the window, which knows that window.
  std::function<void(QWidget* owner, std::vector<std::string> lines)> ShowErrorList;

  // The document behind the views; null until a load has finished.
  const LogDocument* Document() const { return FDocument.get(); }
  // The survey lines the chart and the track show; null where the kind has
  // no positions or nothing is loaded.
  const RecordLines* SurveyLines() const { return FLines.get(); }
  bool Loading() const { return FLoader != nullptr; }

  // Selects a grid row (1-based record row) in the grid, chart and raw text.
  void SelectRecord(int row);
  // The view settings changed (OnRefresh): recolour the rows, redraw the chart.
  void RecolourRows(TfrmTypeFile* sender, bool redrawChart, bool recolour);
  // The alarm settings changed (OnAlarmsChanged): the records' quality flags
  // are judged again and shown.
  void RequalifyRecords();
  // The window became the active document.
  void FormActivate();

  // Handlers, public so that tests can drive them like the controls do.
  void PainelGrid1AoClicar(int Linha, int Coluna);
  void Grafico1AoClicar(double X);
  void lstRawDataClick(long long line);
  void btnErrosClick();
  void Button1Click();

 signals:
  // The window became active (the main window makes it the ActiveDocument).
  void Activated(TfrmFile* document);
  // The window is closing for good; the main window drops its menu entry.
  void Closing(TfrmFile* document);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;
  // How the worker opens the file: as the log kind recognised at the last
  // FileName assignment.
  virtual TLoadGrid::Opener DocumentOpener() const;

 private:
  void FormCreate();
  void BuildLayout();
  void OpenLogFile();
  void StartLoad();
  void ShowLoadProgress();
  void FinishLoad();
  void ReportLoadFailure(const std::exception_ptr& failure);
  void ReportCommentsFailure();
  void ReportSideFilesFailure();
  std::string SetLayback(LoadOptions& options) const;
  void ShowRecords();
  void ShowRawTextOnly();
  void ShowFlagCount();
  void MarkPartial();
  bool KindHasPositions() const;
  void FillTrack(TrackPlot& plot);
  void FindSurveyLines();
  bool ChangesSurveyLines(std::string_view before, std::string_view after) const;
  bool ConfirmImportClose();
  std::string SaveImportation(const std::string& path, const std::vector<std::string>& lines) const;
  void EditComment(int row);
  void ShowMessage(const QString& caption, const QString& text, TMsgDlgType style);

  std::shared_ptr<LogDocument> FDocument;
  std::shared_ptr<LogDocument> FLoading;  // the document the worker fills
  TLoadGrid* FLoader = nullptr;
  QTimer* FProgressTimer = nullptr;  // moves the progress bar during a load
  std::unique_ptr<RecordViews> FViews;
  std::shared_ptr<const RecordLines> FLines;
  std::string FPositioningError;  // why Lib/Positioning.ega could not be read at the last load
  bool FClosing = false;
};

}  // namespace tessaly
