#include "app/untMain.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QStyle>
#include <QStatusTipEvent>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

#include "acquisition/untFileLogOther.h"
#include "acquisition/untFileLogVariants.h"
#include "acquisition/PositioningWindow.h"
#include "acquisition/untSerialPort.h"
#include "core/ProgramVersion.h"
#include "core/RecentFiles.h"
#include "core/SettingsFile.h"
#include "core/SettingsStore.h"
#include "core/TextReplace.h"
#include "shell/AppContext.h"
#include "shell/LogWindows.h"
#include "shell/StandardDialogs.h"
#include "shell/ProductInfo.h"
#include "shell/UntTMsgdlg1.h"
#include "shell/VaComm.h"
#include "shell/untAbutUs.h"
#include "shell/untFile.h"
#include "shell/untLogErrors.h"
#include "shell/AlarmsWindow.h"
#include "shell/untUTM.h"
#include "shell/untView.h"
#include "shell/untWelcome.h"
#include "transfer/ExportVDG.h"
#include "transfer/untDownKV7100.h"
#include "transfer/untFilePNav.h"
#include "transfer/untImpPnav.h"

namespace tessaly {

namespace {

QString WithoutAmpersands(const QString& caption) {
  return QString::fromStdString(ReplaceAllText(caption.toStdString(), "&", ""));
}

QString AskOpenFile(QWidget* parent, const QString& folder, const QString& filter) {
  const std::unique_ptr<QFileDialog> dialog = TfrmMain::NewOpenDialog(parent, folder, filter);
  return dialog->exec() == QDialog::Accepted ? dialog->selectedFiles().value(0) : QString();
}

QString AskSaveFile(QWidget* parent, const QString& folder, const QString& name) {
  return AskSaveFileName(parent, QStringLiteral("Save As"), name.isEmpty() ? folder : QDir(folder).filePath(name),
                         QStringLiteral("KV7100|*.kv2"), QStringLiteral("kv2"));
}

// The lines of a multi-line text box.
std::vector<std::string> TextLines(const QString& text) {
  std::vector<std::string> lines;
  for (const QString& line : text.split('\n')) lines.push_back(line.toStdString());
  return lines;
}

}  // namespace

// ---- TessalyApplication ----

TessalyApplication::TessalyApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool DeliverReportingErrors(const std::function<bool()>& deliver, const QObject* receiver) {
  try {
    return deliver();
  } catch (...) {
    AppContext::Instance().ReportCurrentException(receiver);
  }
  return false;
}

bool TessalyApplication::notify(QObject* receiver, QEvent* event) {
  return DeliverReportingErrors([&] { return QApplication::notify(receiver, event); }, receiver);
}

// ---- Creation ----

// The UTM window is a start-up step of its own, so a settings file that
// stops the creation's reading never leaves the "UTM" command without it.
TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent) {
  try {
    FormCreate();
  } catch (...) {
    AppContext::Instance().ReportCurrentException(this);
  }
  frmUTM = new TfrmUTM(this);
  frmUTM->hide();
}

TfrmMain::~TfrmMain() {
  // The documents go while this window is still whole: their last signals
  // must not reach a half-destroyed main window.
  if (mdiArea) {
    mdiArea->disconnect(this);
    delete mdiArea;
  }
  AppContext& context = AppContext::Instance();
  if (context.MainWindow == this) context.MainWindow = nullptr;
  if (context.VaComm == VaComm) context.VaComm = nullptr;
  context.OpenDocument = nullptr;
}

void TfrmMain::FormCreate() {
  AppContext& context = AppContext::Instance();
  CurrentDir = context.CurrentDir;
  context.MainWindow = this;
  msgMenssage = new TMsgDlg(this);
  VaComm = new TVaComm(this);
  context.VaComm = VaComm;
  context.OpenDocument = [this](const std::string& path) { OpenDocument(QString::fromStdString(path)); };
  setWindowTitle(QString::fromUtf8(product::kName) + " " + QString::fromUtf8(ProgramVersion()));
  setWindowIcon(style()->standardIcon(QStyle::SP_ComputerIcon));
  resize(1200, 800);
  setAcceptDrops(true);
  ChooseOpenFile = AskOpenFile;
  ChooseSaveFile = AskSaveFile;
  ChooseExportFile = [](QWidget* owner, const QString& start) {
    return AskSaveFileName(owner, QStringLiteral("Export"), start, QString::fromStdString(SaveDialogFilter()),
                           QString::fromUtf8(ExportFormats().front().name));
  };
  InputQuery = [this](const QString& caption, const QString& prompt, QString& text) {
    return tessaly::InputQuery(this, caption, prompt, text);
  };

  mdiArea = new QMdiArea(this);
  mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdiArea);
  connect(mdiArea, &QMdiArea::subWindowActivated, this, &TfrmMain::SubWindowActivated);

  RzStatusPane = new QLabel(this);
  statusBar()->addWidget(RzStatusPane, 1);

  CreateActions();
  CreateMenus();
  CreateToolBar();
  ReadSettings();
}

// A command whose window is not part of the program yet stays visible but
// disabled, and is left out of the named commands so that no window's state
// change enables it.
QAction* TfrmMain::MakeAction(const char* name, const QString& caption, bool available) {
  auto* action = new QAction(caption, this);
  action->setObjectName(QString::fromLatin1(name));
  action->setStatusTip(caption);
  if (available) {
    AppContext::Instance().RegisterAction(action->objectName(), action);
  } else {
    action->setEnabled(false);
  }
  return action;
}

void TfrmMain::CreateActions() {
  actOpen = MakeAction("actOpen", QStringLiteral("Open"), true);
  actImpPnav = MakeAction("actImpPnav", QStringLiteral("Pnav"), true);
  actExportVDG = MakeAction("actExportVDG", QStringLiteral("VDG"), true);
  actPrint = MakeAction("actPrint", QStringLiteral("Print"), true);
  actExit = MakeAction("actExit", QStringLiteral("Exit"), true);
  actSave = MakeAction("actSave", QStringLiteral("Save"), true);
  actSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  actSaveAs = MakeAction("actSaveAs", QStringLiteral("Save As..."), true);
  actClose = MakeAction("actClose", QStringLiteral("Close"), true);
  actSerialPort = MakeAction("actSerialPort", QStringLiteral("Serial Port"), true);
  actView = MakeAction("actView", QStringLiteral("View"), true);
  actView->setStatusTip(QStringLiteral("vIEW"));
  actUtm = MakeAction("actUtm", QStringLiteral("UTM"), true);
  actAlarms = MakeAction("actAlarms", QStringLiteral("Alarms"), true);
  actPositioning = MakeAction(PositioningWindow::kCommand, QStringLiteral("Positioning"), true);
  actLogKv7100 = MakeAction("actLogKv7100", QStringLiteral("KV 7100"), true);
  actLogZpxKV = MakeAction("actLogZpxKV", QStringLiteral("ZPX - KV"), true);
  actLogZpxBT = MakeAction("actLogZpxBT", QStringLiteral("ZPX - BT"), true);
  actLogRt4Basic = MakeAction("actLogRt4Basic", QStringLiteral("Basic"), true);
  actLogRt4Kv = MakeAction("actLogRt4Kv", QStringLiteral("KV Compatiblility"), true);
  actLogOther = MakeAction("actLogOther", QStringLiteral("Other"), true);
  actLogRt4Pro = MakeAction("actLogRt4Pro", QStringLiteral("Pro"), true);
  acKV7100 = MakeAction("acKV7100", QStringLiteral("KV 7100"), true);
  actRT4 = MakeAction("actRT4", QStringLiteral("RT4"), true);
  actCascade = MakeAction("actCascade", QStringLiteral("Cascade"), true);
  actTile = MakeAction("actTile", QStringLiteral("Tile"), true);
  actAboutUs = MakeAction("actAboutUs", QStringLiteral("About Us"), true);
  for (QAction* action : {actExportVDG, actSave, actSaveAs, actClose}) action->setEnabled(false);
  actCascade->setCheckable(true);
  actTile->setCheckable(true);
  // Save, Save As and Close have no menu entry; Save is reached by its key.
  addAction(actSave);

  connect(actOpen, &QAction::triggered, this, &TfrmMain::actOpenExecute);
  connect(actImpPnav, &QAction::triggered, this, &TfrmMain::actImpPnavExecute);
  connect(actExportVDG, &QAction::triggered, this, &TfrmMain::actExportVDGExecute);
  connect(actView, &QAction::triggered, this, &TfrmMain::actViewExecute);
  connect(actExit, &QAction::triggered, this, &QWidget::close);
  connect(actSave, &QAction::triggered, this, &TfrmMain::actSaveExecute);
  connect(actSaveAs, &QAction::triggered, this, &TfrmMain::actSaveAsExecute);
  connect(actClose, &QAction::triggered, this, &TfrmMain::actCloseExecute);
  connect(actSerialPort, &QAction::triggered, this, &TfrmMain::OpenSerialPort);
  connect(actUtm, &QAction::triggered, this, &TfrmMain::OpenUtm);
  connect(actAlarms, &QAction::triggered, this, &TfrmMain::OpenAlarms);
  connect(actPositioning, &QAction::triggered, this, &TfrmMain::OpenPositioning);
  connect(actLogKv7100, &QAction::triggered, this, [this] { OpenLogWindow(new TfrmFileLogKV7100); });
  connect(actLogZpxKV, &QAction::triggered, this, [this] { OpenLogWindow(new TfrmFileLogZPXKV); });
  connect(actLogZpxBT, &QAction::triggered, this, [this] { OpenLogWindow(new TfrmFileLogZPXBT); });
  connect(actLogRt4Basic, &QAction::triggered, this, [this] { OpenLogWindow(new TfrmFileLogRT4Basic); });
  connect(actLogRt4Kv, &QAction::triggered, this, [this] { OpenLogWindow(new TfrmFileLogRT4KvComp); });
  connect(actLogOther, &QAction::triggered, this, [this] { OpenLogWindow(new TfrmFileLogOther); });
  connect(actPrint, &QAction::triggered, this, &TfrmMain::actPrintExecute);
  connect(actCascade, &QAction::triggered, this, &TfrmMain::actCascadeExecute);
  connect(actTile, &QAction::triggered, this, &TfrmMain::actTileExecute);
  connect(actAboutUs, &QAction::triggered, this, &TfrmMain::OpenAboutUs);
  connect(acKV7100, &QAction::triggered, this, &TfrmMain::OpenKV7100Download);
}

void TfrmMain::CreateMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->addAction(actOpen);
  Reopen1 = file->addMenu(QStringLiteral("Reopen..."));
  file->addSeparator();
  file->addMenu(QStringLiteral("Import"))->addAction(actImpPnav);
  file->addMenu(QStringLiteral("Export"))->addAction(actExportVDG);
  file->addSeparator();
  file->addAction(actPrint);
  file->addSeparator();
  file->addAction(actExit);

  QMenu* configuration = menuBar()->addMenu(QStringLiteral("&Configuration"));
  configuration->addActions({actSerialPort, actView, actUtm, actAlarms, actPositioning});

  QMenu* log = menuBar()->addMenu(QStringLiteral("&Log"));
  log->addAction(actLogKv7100);
  log->addMenu(QStringLiteral("Zeph 2"))->addActions({actLogZpxKV, actLogZpxBT});
  log->addMenu(QStringLiteral("RT4"))->addActions({actLogRt4Basic, actLogRt4Kv});
  log->addAction(actLogOther);

  menuBar()->addMenu(QStringLiteral("&Download"))->addAction(acKV7100);

  Windows1 = menuBar()->addMenu(QStringLiteral("&Windows"));
  Windows1->addAction(actCascade);
  Windows1->addSeparator();

  menuBar()->addMenu(QStringLiteral("&Help"))->addAction(actAboutUs);

  ppmLastFiles = new QMenu(this);
  connect(Reopen1, &QMenu::triggered, this, &TfrmMain::RecentFileClick);
  connect(ppmLastFiles, &QMenu::triggered, this, &TfrmMain::RecentFileClick);
  connect(Windows1, &QMenu::triggered, this, [this](QAction* item) {
    if (item != actCascade && !item->isSeparator()) WindowEntryClick(item);
  });
}

void TfrmMain::CreateToolBar() {
  QToolBar* bar = addToolBar(QStringLiteral("Tools"));
  bar->setObjectName(QStringLiteral("ToolBar1"));
  bar->setMovable(false);
  bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  btnOpen = new QToolButton(bar);
  btnOpen->setDefaultAction(actOpen);
  btnOpen->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
  btnOpen->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  btnOpen->setMenu(ppmLastFiles);
  btnOpen->setPopupMode(QToolButton::MenuButtonPopup);
  bar->addWidget(btnOpen);
  bar->addSeparator();
  actSerialPort->setIcon(style()->standardIcon(QStyle::SP_DriveNetIcon));
  actView->setIcon(style()->standardIcon(QStyle::SP_DesktopIcon));
  actUtm->setIcon(style()->standardIcon(QStyle::SP_DirHomeIcon));
  bar->addActions({actSerialPort, actView, actUtm});
}

// ---- Settings at start-up ----

// The serial settings, the recent files, the view settings, the map datum
// and the alarm thresholds (their defaults when Lib/Alarms.ega does not
// exist), in this order. A broken serial file is reported and skipped; any
// other failure ends the reading and reaches the error report.
void TfrmMain::ReadSettings() {
  ReadSerialPortFile();
  AppContext& context = AppContext::Instance();
  ReadRecentFiles();
  ReadViewSettings(LibPath(CurrentDir, "View.ega"), context.View);
  context.MapDatum = ReadMapDatum(LibPath(CurrentDir, "UTM.ega"));
  context.Alarms = ReadAlarmSettingsOrDefaults(LibPath(CurrentDir, "Alarms.ega"));
}

void TfrmMain::ReadSerialPortFile() {
  SerialSettings settings = VaComm->Settings();
  try {
    ReadSerialSettings(LibPath(CurrentDir, "SerialPort.ega"), settings);
  } catch (const SettingsError&) {
    ShowWarning(QStringLiteral("Couldn't open the configuration file.\rAll the information in Serial Port was lost."));
  }
  VaComm->SetSettings(settings);
}

void TfrmMain::ReadRecentFiles() {
  const std::vector<std::string> paths = tessaly::ReadRecentFiles(LibPath(CurrentDir, "Files.ega"));
  for (std::size_t i = 0; i < paths.size(); ++i) AddRecentFileItem(static_cast<int>(i) + 1, paths[i]);
}

void TfrmMain::AddRecentFileItem(int number, const std::string& path) {
  const QString caption = "&" + QString::number(number) + " " + QString::fromStdString(path);
  ppmLastFiles->addAction(caption);
  Reopen1->addAction(caption);
}

// ---- Opening documents ----

void TfrmMain::actOpenExecute() {
  const QString path = ChooseOpenFile(this, OpenDialogFolder(), OpenDialogFilter());
  if (!path.isEmpty()) OpenDocument(path);
}

// Patterns match names in any letter case: the ZEPH 2 BT logs the program
// writes end in ".zpT" and must show under "*.zpt".
std::unique_ptr<QFileDialog> TfrmMain::NewOpenDialog(QWidget* parent, const QString& folder, const QString& filter) {
  auto dialog = std::make_unique<QFileDialog>(parent, QStringLiteral("Open"), folder);
  dialog->setFilter(dialog->filter() & ~QDir::CaseSensitive);
  dialog->setNameFilters(DialogFilters(filter));
  dialog->setFileMode(QFileDialog::ExistingFile);
  return dialog;
}

const QString& TfrmMain::OpenDialogFilter() {
  static const QString filter = QStringLiteral(
      "All (*.kvs, *.kvg, *.kvl, *.zpx, *.zpt, *.rtb, *.rtc)|*.kvs;*.kvg;*.kvl;*.zpx;*.zpt;*.rtb;*.rtc|"
      "KV7100 Data String (*.kvs)|*.kvs|KV7100 Graphic (*.kvg)|*.kvg|KV7100 Log (*.kvl)|*.kvl|"
      "ZEPH2 - KV Log (*.zpx)|*.zpx|ZEPH2 - BT Log (*.zpt)|*.zpt|RT4 Bacic (*.rtb)|*.rtb|"
      "RT4 Kv Compability (*.rtc)|*.rtc|Unknown (*.*)|*.*");
  return filter;
}

QString TfrmMain::OpenDialogFolder() const { return QString::fromStdString(CurrentDir + "Projects"); }

TfrmFile* TfrmMain::ActiveDocument() const { return FActiveDocument; }

void TfrmMain::OpenDocument(const QString& path, const QString& importMark) {
  const std::string file = path.toStdString();
  if (!QFileInfo(path).isFile()) {
    ShowWarning(QStringLiteral("File not found, please select other"));
    tessaly::RemoveRecentFile(LibPath(CurrentDir, "Files.ega"), file);
    RemoveMenuEntry(ppmLastFiles, path, 3);
    RemoveMenuEntry(Reopen1, path, 3);
    return;
  }
  if (importMark.isEmpty()) {
    try {
      tessaly::AddRecentFile(LibPath(CurrentDir, "Files.ega"), file);
    } catch (const SettingsError& error) {
      AppContext::Instance().ReportError(error, this);  // the log opens all the same
    }
  }
  if (TfrmTypeFile* open = FindOpenDocument(path)) {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(open->parentWidget())) mdiArea->setActiveSubWindow(frame);
    open->raise();
  } else {
    auto* document = new TfrmFile;
    document->SetImported(false);
    Windows1->addAction(QFileInfo(path).fileName());
    AddDocumentWindow(document);
    document->SetFileName(file);
  }
}

// Shows a new document (its file not assigned yet) in the client area; Close,
// Save and Save As act on it.
void TfrmMain::AddDocumentWindow(TfrmFile* document) {
  document->ShowErrorList = [](QWidget* owner, std::vector<std::string> lines) {
    (new TfrmLogErrors(owner, std::move(lines)))->show();
  };
  connect(document, &TfrmFile::Activated, this, [this](TfrmFile* active) { FActiveDocument = active; });
  connect(document, &TfrmFile::Closing, this, &TfrmMain::DocumentClosing);
  QMdiSubWindow* frame = mdiArea->addSubWindow(document);
  frame->setWindowIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
  PlaceNewWindow(frame, document->size());
  document->show();
  for (QAction* action : {actClose, actSaveAs, actSave}) action->setEnabled(true);
}

void TfrmMain::OpenCommandLineFiles(const QStringList& paths) {
  for (const QString& path : paths) OpenDocument(QFileInfo(path).absoluteFilePath());
}

// A new document window steps down and right from the one before it and
// keeps within the client area where there is room.
void TfrmMain::PlaceNewWindow(QMdiSubWindow* frame, QSize preferred) {
  constexpr int kStep = 28;
  const QSize area = mdiArea->viewport()->size();
  const int others = static_cast<int>(mdiArea->subWindowList().size()) - 1;
  const int offset = kStep * (others % 8);
  const QSize room(area.width() - offset, area.height() - offset);
  frame->resize(preferred.boundedTo(room).expandedTo(QSize(640, 420)));
  frame->move(offset, offset);
}

TfrmTypeFile* TfrmMain::FindOpenDocument(const QString& name) const {
  const std::string wanted = name.toStdString();
  for (QMdiSubWindow* frame : mdiArea->subWindowList(QMdiArea::CreationOrder)) {
    auto* window = qobject_cast<TfrmTypeFile*>(frame->widget());
    if (window && window->FileName() == wanted) return window;
  }
  return nullptr;
}

void TfrmMain::RemoveMenuEntry(QMenu* parent, const QString& text, int start) {
  for (QAction* item : parent->actions()) {
    // Only the entries the menu made name files; a command placed in it
    // (Cascade) is held by other code and stays, whatever a file is called.
    if (item->parent() != parent || WithoutAmpersands(item->text()).mid(start - 1, 100) != text) continue;
    parent->removeAction(item);
    item->deleteLater();
    return;
  }
}

void TfrmMain::SaveLines(const QString& fileName, const std::vector<std::string>& lines) {
  WriteTextLines(fileName.toStdString(), lines);
}

void TfrmMain::RecentFileClick(QAction* item) { OpenDocument(item->text().mid(3)); }

void TfrmMain::WindowEntryClick(QAction* item) {
  const QString name = WithoutAmpersands(item->text());
  for (QMdiSubWindow* frame : mdiArea->subWindowList(QMdiArea::CreationOrder)) {
    auto* window = qobject_cast<TfrmTypeFile*>(frame->widget());
    if (window && QString::fromStdString(window->ShortFileName()) == name) {
      mdiArea->setActiveSubWindow(frame);
      return;
    }
  }
}

void TfrmMain::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TfrmMain::dropEvent(QDropEvent* event) {
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) OpenDocument(url.toLocalFile());
  }
  event->acceptProposedAction();
}

// ---- Child windows ----

void TfrmMain::SubWindowActivated(QMdiSubWindow* window) {
  if (!window) return;
  if (auto* document = qobject_cast<TfrmFile*>(window->widget())) document->FormActivate();
}

void TfrmMain::DocumentClosing(TfrmFile* document) {
  RemoveMenuEntry(Windows1, QString::fromStdString(document->ShortFileName()), 1);
  if (FActiveDocument == document) FActiveDocument = nullptr;
  UpdateWindowCommands();
}

// Close, Save and Save As follow the Windows menu: off once only its two
// fixed items (Cascade and the separator) are left.
void TfrmMain::UpdateWindowCommands() {
  if (Windows1->actions().size() == 2) {
    for (QAction* action : {actClose, actSaveAs, actSave}) action->setEnabled(false);
  }
}

void TfrmMain::actCloseExecute() {
  QMdiSubWindow* active = mdiArea->activeSubWindow();
  if (!active) return;
  RemoveMenuEntry(Windows1, active->windowTitle(), 1);
  active->close();
  UpdateWindowCommands();
}

// Writes every multi-line text box of the active child window to the file
// its hint names.
void TfrmMain::actSaveExecute() {
  QMdiSubWindow* active = mdiArea->activeSubWindow();
  if (!active || !active->widget()) return;
  const QString hint = active->widget()->statusTip();
  for (auto* box : active->widget()->findChildren<QPlainTextEdit*>()) SaveLines(hint, TextLines(box->toPlainText()));
  for (auto* box : active->widget()->findChildren<QTextEdit*>()) SaveLines(hint, TextLines(box->toPlainText()));
}

void TfrmMain::actSaveAsExecute() {
  QMdiSubWindow* active = mdiArea->activeSubWindow();
  const QString hint = active && active->widget() ? active->widget()->statusTip() : QString();
  const QString answer = ChooseSaveFile(this, OpenDialogFolder(), hint);
  if (!answer.isEmpty()) FSaveDialogFileName = answer;
}

void TfrmMain::actCascadeExecute() {
  mdiArea->cascadeSubWindows();
  actCascade->setChecked(true);
  actTile->setChecked(false);
}

void TfrmMain::actTileExecute() {
  mdiArea->tileSubWindows();
  actTile->setChecked(true);
  actCascade->setChecked(false);
}

// A new import dialog each time; its navigation document joins the others,
// listed in the Windows menu under its file name.
void TfrmMain::actImpPnavExecute() {
  auto* dialog = new TfrmImpPnav(this);
  dialog->ShowDocument = [this](TfrmFilePNav* document) {
    Windows1->addAction(QFileInfo(QString::fromStdString(document->Import().FilePath())).fileName());
    AddDocumentWindow(document);
  };
  dialog->show();
}

// Exports the active document: the save dialog proposes its name, the
// delimiter is asked (Cancel keeps ","), and a target the output rule
// refuses (a file of an open log window, any survey log or navigation file)
// is refused before anything is written.
void TfrmMain::actExportVDGExecute() {
  TfrmFile* document = ActiveDocument();
  if (!document || document->Loading()) return;
  const QString folder = QFileInfo(QString::fromStdString(document->FileName())).absolutePath();
  const QString path = ChooseExportFile(this, QDir(folder).filePath(ProposedExportName(*document)));
  if (path.isEmpty()) return;
  const OutputVerdict verdict =
      CheckOutput(WriteKind::Export, path.toStdString(), "The export file", FilesOfOpenWindows());
  if (!verdict.MayWrite()) {
    ShowWarning(QString::fromStdString(verdict.message));
    return;
  }
  const std::string partial = PartialExportWarning(*document->Document());
  if (!partial.empty() && !Confirm(QString::fromStdString(partial))) return;
  const ExportFormat& format = FormatOfPath(path.toStdString());
  ExportSettings settings;
  if (format.takesDelimiter) settings.delimiter = AskDelimiter().toStdString();
  settings.exportTimeNs = ExportClock->UtcNs();
  const std::string error = ExportVDG(*document, path.toStdString(), format, settings);
  if (!error.empty()) ShowMessage(QStringLiteral("Error"), QString::fromStdString(error), TMsgDlgType::mtError);
}

// The delimiter of an export: "," unless the user types another (Cancel
// keeps ","). "\\t" stands for a Tab, which an input box cannot take.
QString TfrmMain::AskDelimiter() {
  QString delimiter = QStringLiteral(",");
  if (!InputQuery(QStringLiteral("Delimiter"), QStringLiteral("Delimiter:"), delimiter)) return QStringLiteral(",");
  return delimiter.replace(QStringLiteral("\\t"), QStringLiteral("\t"));
}

bool TfrmMain::Confirm(const QString& question) {
  msgMenssage->Botoes = {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo};
  msgMenssage->Estilo = TMsgDlgType::mtConfirmation;
  msgMenssage->Caption = QStringLiteral("Confirmation");
  msgMenssage->Mensagem = question;
  return msgMenssage->Execute() == mrYes;
}

void TfrmMain::actViewExecute() { (new TfrmView(this))->show(); }

// Owned by this window, so it goes when the program ends.
void TfrmMain::OpenSerialPort() { (new TfrmSerialPort(this))->show(); }

// The download window disables acKV7100 while it exists, so there is one.
void TfrmMain::OpenKV7100Download() {
  frmDownKV7100 = new TfrmDownKV7100(this);
  frmDownKV7100->show();
}

// A live logging window; its creation disables the serial commands until it
// closes. It starts with the name "Save As..." confirmed last, if any.
void TfrmMain::OpenLogWindow(TfrmFileLog* window) {
  QMdiSubWindow* frame = mdiArea->addSubWindow(window);
  frame->setWindowIcon(style()->standardIcon(QStyle::SP_DriveNetIcon));
  PlaceNewWindow(frame, window->size());
  window->show();
  if (!FSaveDialogFileName.isEmpty()) {
    window->SetNewFile(true);
    window->SetFileName(FSaveDialogFileName.toStdString());
  }
}

// The window disables the command while it exists, so there is one.
void TfrmMain::OpenAlarms() { (new AlarmsWindow(this))->show(); }

void TfrmMain::OpenPositioning() { (new PositioningWindow(this))->show(); }

void TfrmMain::OpenUtm() {
  frmUTM->show();
  frmUTM->raise();
  frmUTM->activateWindow();
}

// Shows the printer set-up; the program prints nothing itself.
void TfrmMain::actPrintExecute() {
  if (!printer_) printer_ = std::make_unique<QPrinter>();
  auto* dialog = new QPrintDialog(printer_.get(), this);
  dialog->setObjectName(QStringLiteral("PrinterSetupDialog"));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->open();
}

void TfrmMain::OpenAboutUs() {
  auto* about = new TfrmAboutBox;
  QMdiSubWindow* frame = mdiArea->addSubWindow(about);
  frame->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  frame->adjustSize();
  frame->show();
}

// ---- Events ----

bool TfrmMain::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip) {
    RzStatusPane->setText(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  if (event->type() == QEvent::WindowActivate && !FSplashShown) FormActivateFirstTime();
  return QMainWindow::event(event);
}

// Closing the main window (File > Exit, the title bar) ends the program once
// every other window has closed through its own close, as if the user closed
// each: a live session asks before it stops, a download writes what it
// received, a settings window keeps its settings. The first window that
// refuses keeps the program running.
void TfrmMain::closeEvent(QCloseEvent* event) {
  if (!CloseOtherWindows()) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
  if (event->isAccepted()) QCoreApplication::exit(0);
}

bool TfrmMain::CloseOtherWindows() {
  while (QWidget* window = NextOpenWindow())
    if (!window->close()) return false;
  return true;
}

// The windows of the client area in the order they were opened (a document
// a closing download opens comes last), then this window's own (the
// download, the settings windows, the import).
QWidget* TfrmMain::NextOpenWindow() const {
  if (mdiArea)
    for (QMdiSubWindow* frame : mdiArea->subWindowList(QMdiArea::CreationOrder))
      if (frame->isVisible()) return frame;
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (child->isWindow() && child->isVisible()) return child;
  return nullptr;
}

void TfrmMain::FormActivateFirstTime() {
  FSplashShown = true;
  new TfrmWelcome(this);
}

void TfrmMain::ShowWarning(const QString& text) {
  ShowMessage(QStringLiteral("Warning"), text, TMsgDlgType::mtWarning);
}

void TfrmMain::ShowMessage(const QString& caption, const QString& text, TMsgDlgType style) {
  msgMenssage->ShowOk(caption, text, style);
}

}  // namespace tessaly
