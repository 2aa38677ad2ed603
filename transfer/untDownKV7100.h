// TfrmDownKV7100: "Download KV7100": saves a data set that the KV7100 sends
// from its memory into a file, in its "Graphic" form as received or in its
// "Data String" form reformatted (core/DownloadFile.h). The window only
// listens: it opens the serial port, reads it on a timer, and never writes
// to it. A download ends with the end line "** End of data set **", after
// kIdleSteps steps without new text, or at once when the serial port is lost
// (the device went away); after the end line the operator may download
// another file or open the received one as a log document, while a data set
// that ended without it is said to be incomplete (core/DownloadEnd.h). Every
// way a download ends - the end line, silence, a lost port, Cancel, closing
// or destroying the window - first writes everything received, the text the
// port still holds included.
//
// The serial port is claimed for the window from the Download click until
// the download ends, is cancelled or the window goes (AppContext); a start
// while another window holds it is refused. While the window exists the
// main window's acKV7100 command is disabled.
#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <string>

#include "core/DownloadEnd.h"
#include "core/DownloadFile.h"
#include "shell/untMother.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTimer;
class QToolButton;
class QWindow;

namespace tessaly {

class TfrmDownKV7100 : public TfrmMother {
  Q_OBJECT

 public:
  // The receive step: every 10 ms, so that the idle end (more than 200
  // steps without new text) comes about two seconds after the instrument
  // fell silent.
  static constexpr int kStepMs = 10;
  static constexpr int kIdleSteps = 200;
  // Received text is written once more than this much is held.
  static constexpr std::size_t kChunkSize = 200;

  explicit TfrmDownKV7100(QWidget* parent = nullptr);
  ~TfrmDownKV7100() override;

  QLineEdit* edtFile2Save;
  QToolButton* spbFolder;
  QGroupBox* rdgImportType;  // "Download Type": "Graphic" (0), "Data String" (1)
  QPushButton* btnDownload;
  QPushButton* btnCancel;
  QPushButton* btnClose;
  QLabel* Label1;
  QLabel* lblCount;
  QStatusBar* statusBar;
  QLabel* rxglsReading;
  QLabel* rzglsDownload;
  QLabel* rzglsWating;
  QProgressBar* prbReading;
  QTimer* Timer1;

  int ItemIndex() const;
  void SetItemIndex(int index);
  // True from a successful start until the download has ended or stopped.
  bool Receiving() const { return FActive; }

  // The save dialog: folder, filter ("Name|*.ext"), default extension;
  // returns the chosen path or empty text. Tests replace it.
  std::function<QString(QWidget* parent, const QString& folder, const QString& filter, const QString& extension)>
      ChooseSaveFile;

  // Handlers, public so that tests can drive them like the buttons do.
  void spbFolderClick();
  void btnDownloadClick();
  void btnCancelClick();
  // One receive step (the timer's, and a break's).
  void ProcessReceived();
  // Reads Lib/Download.ega into the edit box when it exists.
  void FormActivate();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void BuildStatusBar();
  void Warn(const QString& text);
  void ShowError(const std::exception& error);
  int Ask(const QString& text);
  bool MayStart(const std::string& path);
  void StartReceiving(const std::string& path);
  void ShowIdle();
  void ShowPane(QLabel* pane);
  void MoveBusyBar();
  std::optional<DownloadEnd> EndOfStep() const;
  void TakeWaiting();
  void WriteHeld();
  void StopReceiving();
  void FinishDownload(DownloadEnd how);
  void EndDownload(DownloadEnd how);
  void Abort(const DownloadError& error);
  void FocusWindowChanged(QWindow* now);

  // Per-download state.
  std::int32_t FIdleTicks = 0;
  QString FExtension;
  std::string FBuffer;  // received, not yet written
  std::int32_t FBounce = 0;
  bool FActive = false;
  bool FReceivedAny = false;
  std::string FPath;
  DownloadForm FForm = DownloadForm::DataString;
  DownloadFile FOutFile;
  EndLineDetector FEndLine;

  bool FClosing = false;
  bool FFocusFromModal = false;
};

}  // namespace tessaly
