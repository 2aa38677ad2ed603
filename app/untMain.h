// TfrmMain: the multiple-document frame of the application. Owns the menus,
// the tool bar and the status bar, the serial component, and fills the
// AppContext hub (serial component, view settings, map datum, named commands)
// that every other window reads. Opens log documents, keeps the recent-files
// menus and the Windows menu of open documents, and opens the settings
// windows.
//
// TessalyApplication: the application object; every exception that no window
// handles is shown by the error report and the program runs on.
#pragma once

#include <QApplication>
#include <QMainWindow>
#include <QPointer>
#include <QPrinter>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Clock.h"

class QAction;
class QFileDialog;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolButton;

namespace tessaly {

class TfrmDownKV7100;
class TfrmFile;
class TfrmFileLog;
class TfrmTypeFile;
class TfrmUTM;
class TMsgDlg;
enum class TMsgDlgType;
class TVaComm;

// Runs deliver (the delivery of one event); an exception escaping it is shown
// by the error report, naming the receiver's class, and false is returned.
bool DeliverReportingErrors(const std::function<bool()>& deliver, const QObject* receiver);

class TessalyApplication : public QApplication {
 public:
  TessalyApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

class TfrmMain : public QMainWindow {
  Q_OBJECT

 public:
  // Runs the start-up: caption, dialog folders, the settings files of Lib/
  // in order, the recent-files menus, the hidden UTM window.
  explicit TfrmMain(QWidget* parent = nullptr);
  ~TfrmMain() override;

  // The program's folder (ends with a separator).
  std::string CurrentDir;

  QMdiArea* mdiArea = nullptr;
  TVaComm* VaComm = nullptr;
  TMsgDlg* msgMenssage = nullptr;
  QMenu* Windows1 = nullptr;
  QMenu* Reopen1 = nullptr;
  QMenu* ppmLastFiles = nullptr;
  QLabel* RzStatusPane = nullptr;
  QToolButton* btnOpen = nullptr;
  // The UTM settings window: created hidden at start-up, lives for the run.
  TfrmUTM* frmUTM = nullptr;
  QPointer<TfrmDownKV7100> frmDownKV7100;  // while the download window exists

  QAction* actOpen = nullptr;
  QAction* actImpPnav = nullptr;
  QAction* actExportVDG = nullptr;
  QAction* actPrint = nullptr;
  QAction* actExit = nullptr;
  QAction* actSave = nullptr;
  QAction* actSaveAs = nullptr;
  QAction* actClose = nullptr;
  QAction* actSerialPort = nullptr;
  QAction* actView = nullptr;
  QAction* actUtm = nullptr;
  QAction* actAlarms = nullptr;
  QAction* actPositioning = nullptr;
  QAction* actLogKv7100 = nullptr;
  QAction* actLogZpxKV = nullptr;
  QAction* actLogZpxBT = nullptr;
  QAction* actLogRt4Basic = nullptr;
  QAction* actLogRt4Kv = nullptr;
  QAction* actLogOther = nullptr;
  QAction* actLogRt4Pro = nullptr;
  QAction* acKV7100 = nullptr;
  QAction* actRT4 = nullptr;
  QAction* actCascade = nullptr;
  QAction* actTile = nullptr;
  QAction* actAboutUs = nullptr;

  // The log document activated last (target of the VDG export).
  TfrmFile* ActiveDocument() const;

  // Opens a log in a document window (or brings its window forward) and
  // returns once it is loaded; a missing file is reported and dropped from
  // the recent-files list. importMark is empty for a plain open.
  void OpenDocument(const QString& path, const QString& importMark = QString());
  // Opens every file named on the program's command line, in order.
  void OpenCommandLineFiles(const QStringList& paths);
  // The first log window whose FileName equals name exactly, or nullptr.
  TfrmTypeFile* FindOpenDocument(const QString& name) const;
  // Deletes the first item of parent whose caption, without "&" and read from
  // the 1-based position start (at most 100 characters), equals text.
  void RemoveMenuEntry(QMenu* parent, const QString& text, int start);
  // Writes the lines, each ended by CR LF, replacing the file.
  void SaveLines(const QString& fileName, const std::vector<std::string>& lines);

  // The Open dialog: folder, filter (the program's own "A|*.a|B|*.b" form);
  // returns the chosen path or empty text. Tests replace it.
  std::function<QString(QWidget* parent, const QString& folder, const QString& filter)> ChooseOpenFile;
  // The "Save As..." dialog, pre-filled with a name; returns the answer.
  std::function<QString(QWidget* parent, const QString& folder, const QString& name)> ChooseSaveFile;
  // The export's save dialog (sdlExport), starting at a folder and proposed
  // name; returns the chosen path or empty text.
  std::function<QString(QWidget* parent, const QString& start)> ChooseExportFile;
  // The one-line input box: caption, prompt and the text to edit; false when
  // cancelled.
  std::function<bool(const QString& caption, const QString& prompt, QString& text)> InputQuery;
  // The clock whose time an export carries in its header (XYZ's
  // "Exported:"). Tests hand in a manual clock.
  std::shared_ptr<const Clock> ExportClock = std::make_shared<SystemClock>();

  static const QString& OpenDialogFilter();
  // The Open dialog ChooseOpenFile shows by default.
  static std::unique_ptr<QFileDialog> NewOpenDialog(QWidget* parent, const QString& folder, const QString& filter);
  QString OpenDialogFolder() const;
  // The file name "Save As..." last confirmed (empty until then); logging
  // windows start with it.
  const QString& SaveDialogFileName() const { return FSaveDialogFileName; }

  // Handlers, public so that tests can drive them like the menus do.
  void actOpenExecute();
  void actImpPnavExecute();
  void actExportVDGExecute();
  QString AskDelimiter();
  bool Confirm(const QString& question);
  void actViewExecute();
  void actCloseExecute();
  void actSaveExecute();
  void actSaveAsExecute();
  void actCascadeExecute();
  void actTileExecute();
  void RecentFileClick(QAction* item);
  void WindowEntryClick(QAction* item);

 protected:
  bool event(QEvent* event) override;
  void closeEvent(class QCloseEvent* event) override;
  void dragEnterEvent(class QDragEnterEvent* event) override;
  void dropEvent(class QDropEvent* event) override;

 private:
  void FormCreate();
  void CreateActions();
  QAction* MakeAction(const char* name, const QString& caption, bool available);
  void CreateMenus();
  void CreateToolBar();
  void ReadSettings();
  void ReadSerialPortFile();
  void ReadRecentFiles();
  void AddRecentFileItem(int number, const std::string& path);
  void FormActivateFirstTime();
  void PlaceNewWindow(QMdiSubWindow* frame, QSize preferred);
  void AddDocumentWindow(TfrmFile* document);
  void SubWindowActivated(QMdiSubWindow* window);
  void DocumentClosing(TfrmFile* document);
  void UpdateWindowCommands();
  void OpenSerialPort();
  void OpenLogWindow(TfrmFileLog* window);
  void OpenUtm();
  void OpenAlarms();
  void OpenPositioning();
  void OpenKV7100Download();
  void actPrintExecute();
  void OpenAboutUs();
  bool CloseOtherWindows();
  QWidget* NextOpenWindow() const;
  void ShowWarning(const QString& text);

  void ShowMessage(const QString& caption, const QString& text, TMsgDlgType style);

  QPointer<TfrmFile> FActiveDocument;
  QString FSaveDialogFileName;
  bool FSplashShown = false;
  std::unique_ptr<QPrinter> printer_;  // chosen in the printer set-up
};

}  // namespace tessaly
