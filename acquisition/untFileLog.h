// TfrmFileLog: the window in which a survey log is recorded live from an
// instrument on the serial line. Each log format has a class of its own
// (untFileLogVariants.h, untFileLogOther.h) that names its row of the
// variants table (core/LogVariants.h); everything else is here.
//
// A session: Start asks for the log file, claims and opens the serial port,
// then creates the log. Received bytes are cut into records (RecordFramer),
// each record is validated by the window's TSample; a valid one is written
// at once (LogPartWriter: one write a record, synced to disk in the
// background, parts of 33000 records) and shown in the grid, the chart and
// the raw view (one LiveRecordStore behind all three); an invalid one is
// counted and listed. Pause closes the port, Resume opens it again, Stop
// closes the port and the log and releases the port.
//
// The window receives bytes only while it holds the port (AppContext). A
// device that goes away during a session is shown in the status and opened
// again every second; a failed write pauses the session with the record kept
// to be written first on Resume.
#pragma once

#include <QString>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/LiveRecordStore.h"
#include "core/LogPartWriter.h"
#include "core/LogVariants.h"
#include "core/RecordFramer.h"
#include "core/untTSample.h"
#include "shell/untTFileForm.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSplitter;
class QTabWidget;

namespace tessaly {

class RawTextView;
class RecordViews;
class TrackModel;
class TrackPane;
class TrackPlot;
class TGraficoOK;
class TPainelGridOk;
class TVaComm;

class TfrmFileLog : public TfrmTypeFile {
  Q_OBJECT

 public:
  enum class LogState { Idle, Logging, Paused };

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

  // Records a file part holds (33000; tests make parts smaller). Takes effect
  // at the next Start.
  void SetRecordsPerPart(std::size_t records) { recordsPerPart_ = records; }

  // ---- State ----
  LogState State() const { return state_; }
  int NumErros() const { return numErros_; }
  void SetNumErros(int value);
  std::uint64_t RecordCount() const { return recordCount_; }
  // The error entries of the current part, four lines each.
  const std::vector<std::string>& ErrorLines() const { return errorList_; }
  const LiveRecordStore& Records() const { return *store_; }
  const TSample& Sample() const { return *sample_; }
  // The parts of the current (or last) session, first to current.
  const std::vector<std::string>& Parts() const { return writer_->Parts(); }
  // Every part of the session and their comments files.
  std::vector<std::string> FilesInUse() const override;

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
  // Reads what the port holds and processes the records it completes.
  void CommRxChar();
  // Processes bytes as they came from the port (what CommRxChar does with
  // what it read); nothing unless a session is logging.
  void ReceiveBytes(std::string_view chunk);
  // The view settings changed.
  void RefreshView(TfrmTypeFile* sender, bool redrawChart, bool recolour);
  void UpdateCaption();

 signals:
  // A record (a chunk of a raw capture) has been written and shown in every
  // view.
  void RecordShown(quint64 row);

 protected:
  TfrmFileLog(LogVariantId variant, QWidget* parent);

  // One record (an unframed session: one received chunk).
  virtual void ProcessRecord(std::string_view record);
  // Writes what the session logs of a record or chunk; false when the write
  // failed (the session is then paused).
  bool WriteToLog(std::string_view bytes, bool wholeRecord);
  LiveRecordStore& Store() { return *store_; }
  // The views show what the store holds once the records at hand are
  // processed, and at most every kShowPeriodMs: one repaint for all the
  // records that arrived meanwhile, however fast they come.
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
  void ConfigureSample();
  bool ClaimSerialPort();
  bool AgreeToReplaceEarlierParts(const std::string& path);
  void StartSession(const std::string& path);
  void StopSession();
  void ResumeSession();
  void PauseForWriteFailure(const std::string& error);
  void NoteParts();
  void DrainInbox();
  void AddToGrid(std::uint64_t row);
  void AddError();
  void ShowNewRecords();
  bool VariantHasPositions() const;
  void StartTrack(TrackPlot& plot);
  void ExtendTrack();
  void CheckDevice();
  void ReleaseSerialPort();
  void LeaveLiveWindows();
  void EditComment(int row);
  void CloseWindow();
  bool ConfirmStop();
  void ShowMessage(const QString& caption, const QString& text, TMsgDlgType style);
  TVaComm* Comm() const;

  const LogVariant& variant_;
  std::unique_ptr<TSample> sample_;
  RecordFramer framer_;
  std::unique_ptr<LogPartWriter> writer_;
  std::size_t recordsPerPart_ = kRecordsPerPart;
  std::shared_ptr<LiveRecordStore> store_;
  std::unique_ptr<RecordViews> views_;
  std::shared_ptr<TrackModel> track_;  // made when the track is first shown
  std::deque<std::string> inbox_;  // framed records not processed yet
  std::vector<std::string> errorList_;
  LogState state_ = LogState::Idle;
  int numErros_ = 0;
  std::uint64_t recordCount_ = 0;
  std::size_t partsSeen_ = 0;
  bool deviceLost_ = false;
  bool closing_ = false;
  bool countedLive_ = false;  // holds the serial commands off
  QTimer* deviceTimer_ = nullptr;  // watches the port while logging
  QTimer* showTimer_ = nullptr;    // shows new records, at most every kShowPeriodMs
  QElapsedTimer lastShow_;
  std::uint64_t shownUpTo_ = 0;    // RecordShown raised up to this row
};

}  // namespace tessaly
