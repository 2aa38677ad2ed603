// TfrmFileLog: the window in which a survey log is recorded live from an
// instrument on the serial line. Each log format has a class of its own
// (untFileLogVariants.h, untFileLogOther.h) that names its row of the
// variants table (core/LogVariants.h); everything else is here.
//
// The session itself (framing, validation, parts, comments, pauses, a lost
// or different device, failed writes and the rescue at Stop) is a
// LiveSession on a thread of its own (LiveSessionThread), so a busy window
// never delays a write. The window is its buttons, questions, views and
// status line: Start asks for the log file and claims the port, the session
// reports what happens, and the window takes those reports on its repaint
// timer, at most every kShowPeriodMs, showing every new record in the grid,
// the chart and the raw view (one LiveRecordStore behind all three) and
// every refused one in the error count and list.
//
// The window receives records only while it holds the port (AppContext).
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/LiveTrack.h"
#include "core/LiveObserver.h"
#include "core/LiveRecordStore.h"
#include "core/LiveSession.h"
#include "core/LiveTransport.h"
#include "core/LogPartWriter.h"
#include "core/LogVariants.h"
#include "shell/untTFileForm.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSplitter;
class QTabWidget;

namespace tessaly {

class GpsStatusPanel;
class LiveSessionThread;
class RawTextView;
class RecordViews;
class TrackPane;
class TrackPlot;
class TGraficoOK;
class TPainelGridOk;
struct EarlierLogFiles;

class TfrmFileLog : public TfrmTypeFile, public LiveObserver {
  Q_OBJECT

 public:
  enum class LogState { Idle, Logging, Paused };
  // The captions of the session's buttons, as SetLogState takes them.
  static constexpr const char* kStartCaption = "&Start";
  static constexpr const char* kPauseCaption = "&Pause";
  static constexpr const char* kResumeCaption = "&Resume";
  static constexpr const char* kStopCaption = "S&top";

  ~TfrmFileLog() override;

  // ---- Components ----
  QPushButton* btnStart = nullptr;
  QPushButton* btnPauseResume = nullptr;
  QPushButton* btnStop = nullptr;
  QPushButton* btnErros = nullptr;
  QPushButton* BitBtn1 = nullptr;  // closes the window
  QCheckBox* chbAutoScroll = nullptr;
  QLabel* lblStatus = nullptr;
  QLabel* lblQtdErrors = nullptr;
  QTabWidget* PageControl1 = nullptr;  // "Raw Data" / "Graph"
  QSplitter* Splitter1 = nullptr;      // raw view above the grid
  RawTextView* lstRawData = nullptr;
  QGroupBox* grpValidDataGrid = nullptr;
  TPainelGridOk* PainelGridok1 = nullptr;
  TGraficoOK* Grafico1 = nullptr;
  TrackPane* Track = nullptr;  // the track beside the chart and its command
  QPushButton* btnY0Upper = nullptr;
  QPushButton* btnY0Lower = nullptr;
  QGroupBox* grpFunctionKeys = nullptr;
  GpsStatusPanel* grpGps = nullptr;  // the GPS's state, the cable out

  // ---- What the variant fixes ----
  const LogVariant& Variant() const { return variant_; }
  int CommentColl() const { return static_cast<int>(variant_.commentColumn); }
  QString LineStart() const { return QString::fromLatin1(variant_.header.data(), variant_.header.size()); }

  // ---- Hooks (tests replace them) ----
  // The save dialog of the log (overwrite prompt): folder, default extension
  // and filter ("Description (*.ext)|*.ext"); empty text when cancelled.
  std::function<QString(QWidget* parent, const QString& folder, const QString& extension, const QString& filter)>
      ChooseLogFile;
  // The one-line input box of a comment; false when cancelled.
  std::function<bool(const QString& caption, const QString& prompt, QString& text)> InputQuery;
  // Makes the device a session reads, on the session's thread; empty: the
  // serial port with the program's serial settings at Start.
  std::function<std::unique_ptr<LiveTransport>()> MakeTransport;
  // Makes the GPS port a session reads beside it; empty: the GPS port of the
  // settings (Lib/GpsPort.ega) at Start, if they name one.
  std::function<std::unique_ptr<LiveTransport>()> MakeGpsTransport;
  // Hears every report of the session on the session's own thread, as it
  // happens (timing measurements); set before Start.
  LiveObserver* SessionWatcher = nullptr;

  // Records a file part holds (33000; tests make parts smaller). Takes effect
  // at the next Start.
  void SetRecordsPerPart(std::size_t records) { recordsPerPart_ = records; }

  // ---- State ----
  LogState State() const;
  const LiveStatus& Status() const { return status_; }
  int NumErros() const { return numErros_; }
  void SetNumErros(int value);
  // Valid records shown in this session.
  std::uint64_t RecordCount() const { return recordCount_; }
  // The error entries of the current part, four lines each.
  const std::vector<std::string>& ErrorLines() const { return errorList_; }
  const LiveRecordStore& Records() const { return *store_; }
  // The parts of the current (or last) session, first to current.
  const std::vector<std::string>& Parts() const { return parts_; }
  // Every part of the session and their comments files.
  std::vector<std::string> FilesInUse() const override;
  // The track of the session (LiveTrack.h).
  const LiveTrack& SessionTrack() const { return track_; }
  // The cable out from now on, while a session with a GPS runs. Empty text,
  // or why not.
  std::string SetCableOut(double metres);

  // ---- Handlers, public so that tests drive them as the controls do ----
  void btnStartClick();
  void btnPauseResumeClick();
  void btnStopClick();
  void btnErrosClick();
  void chbAutoScrollClick();
  void Button1Click();
  void PainelGridok1AoClicar(int Linha, int Coluna);
  void FormKeyDown(int key);
  void FormActivate();
  // "&Start", "&Pause", "&Resume" or "S&top"; any other text does nothing.
  void SetLogState(const QString& caption);
  // Takes what the session reported since the last time and shows it (the
  // repaint timer calls it).
  void ShowSessionReports();
  // The view settings changed.
  void RefreshView(TfrmTypeFile* sender, bool redrawChart, bool recolour);
  void UpdateCaption();

  // ---- The session's reports (LiveObserver), taken on this window's thread ----
  void RecordAccepted(const LiveRecord& record) override;
  void RecordRejected(const RejectedRecord& record) override;
  void PartStarted(std::size_t index, const std::string& path) override;
  void Happened(LiveEvent event, const LiveStatus& status) override;
  void Stopped(const StopReport& report) override;
  void GpsChanged(const LiveGpsStatus& status) override;
  void RecordsPositioned(const std::vector<LivePosition>& positions) override;

 signals:
  // A record (a chunk of a raw capture) has been shown in every view.
  void RecordShown(quint64 row);

 protected:
  TfrmFileLog(LogVariantId variant, QWidget* parent);

  // Shows one record the session took.
  virtual void AddRecord(const LiveRecord& record);
  LiveRecordStore& Store() { return *store_; }
  // The views show what the store holds once the reports at hand are taken,
  // and at most every kShowPeriodMs: one repaint for all the records that
  // arrived meanwhile, however fast they come.
  void ScheduleShow();
  static constexpr int kShowPeriodMs = 10;

  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void FormCreate();
  void BuildLayout();
  QWidget* BuildRawDataTab();
  QWidget* BuildGraphTab();
  QWidget* BuildControlPanel();
  bool AgreeToReplace(const EarlierLogFiles& earlier);
  bool ClaimSerialPort();
  void StartSession(const std::string& path, const EarlierLogFiles& consent);
  void StopSession();
  void ClearSession();
  void ShowState();
  void AddToGrid(const LiveRecord& record);
  void ShowNewRecords();
  void ReleaseSerialPort();
  void LeaveLiveWindows();
  void EditComment(int row);
  void CloseWindow();
  bool ConfirmStop();
  // The GPS (untFileLogGps.cpp).
  void BuildGpsPanel();
  // The GPS port and positioning of a session about to start into `options`;
  // its transport maker (empty: no GPS), or nothing when the start must not
  // go on (said to the user).
  std::optional<std::function<std::unique_ptr<LiveTransport>()>> ChooseGps(LiveSessionOptions& options);
  void ShowMessage(const QString& caption, const QString& text, TMsgDlgType style);

  const LogVariant& variant_;
  std::unique_ptr<LiveSessionThread> session_;
  LiveStatus status_;
  std::size_t recordsPerPart_ = kRecordsPerPart;
  std::shared_ptr<LiveRecordStore> store_;
  std::unique_ptr<RecordViews> views_;
  LiveTrack track_;
  std::vector<std::string> parts_;
  std::vector<std::string> errorList_;
  std::vector<QString> messages_;  // errors to show once the reports at hand are taken
  int numErros_ = 0;
  std::uint64_t recordCount_ = 0;
  bool taking_ = false;  // reports are being taken (a message box may run meanwhile)
  bool closing_ = false;
  bool countedLive_ = false;  // holds the serial commands off
  QTimer* showTimer_ = nullptr;    // shows new records, at most every kShowPeriodMs
  QElapsedTimer lastShow_;
  std::uint64_t shownUpTo_ = 0;    // RecordShown raised up to this row
  std::uint64_t newestPositioned_ = 0;  // the newest row whose position the GPS box shows
};

}  // namespace tessaly
