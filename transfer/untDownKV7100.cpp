#include "transfer/untDownKV7100.h"

#include <algorithm>
#include <optional>
#include <utility>

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include "core/SettingsFile.h"
#include "core/SettingsStore.h"
#include "shell/AppContext.h"
#include "shell/LogWindows.h"
#include "shell/VaComm.h"
#include "shell/untTFileForm.h"

namespace tessaly {
namespace {

const QString kCommand = QStringLiteral("acKV7100");

// "Name|*.ext" as the file dialog's filter "Name (*.ext)".
QString AskSaveFile(QWidget* parent, const QString& folder, const QString& filter, const QString& extension) {
  QFileDialog dialog(parent, QStringLiteral("Save As"), folder);
  const QStringList parts = filter.split('|');
  dialog.setNameFilter(parts.value(0) + " (" + parts.value(1) + ")");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(extension);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);  // the window asks itself
  return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

// No name chosen yet: nothing, or the wildcard left after a download.
bool NamesNoFile(const QString& path) {
  const QString name = QFileInfo(path).fileName();
  return name.isEmpty() || name.contains('*') || name.contains('?');
}

QPushButton* Button(const QString& caption, const char* name, QWidget* parent, QRect place) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setGeometry(place);
  return button;
}

}  // namespace

TfrmDownKV7100::TfrmDownKV7100(QWidget* parent)
    : TfrmMother(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName(QStringLiteral("frmDownKV7100"));
  setWindowTitle(QStringLiteral("Download KV7100"));
  msgMenssage->Caption = QStringLiteral("Warning");
  msgMenssage->Estilo = TMsgDlgType::mtWarning;
  msgMenssage->Botoes = {TMsgDlgBtn::mbOK};
  ChooseSaveFile = AskSaveFile;
  BuildControls();
  BuildStatusBar();
  setFixedSize(491, 181);

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setTimerType(Qt::PreciseTimer);
  Timer1->setInterval(kStepMs);
  connect(Timer1, &QTimer::timeout, this, &TfrmDownKV7100::ProcessReceived);
  connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &TfrmDownKV7100::FocusWindowChanged);

  AppContext::Instance().SetActionsEnabled({kCommand}, false);
  CentreOnMainWindow();
}

// A window destroyed during a download (the program ends) keeps what was
// received: what the port still holds and what is held are written first.
TfrmDownKV7100::~TfrmDownKV7100() {
  try {
    if (FActive) {
      TakeWaiting();
      WriteHeld();
    }
    StopReceiving();
  } catch (const DownloadError&) {
    // The window is going; what was received is written as far as it could be.
  }
  AppContext::Instance().SetActionsEnabled({kCommand}, true);
}

void TfrmDownKV7100::BuildControls() {
  auto* caption = new QLabel(QStringLiteral("File to save:"), this);
  caption->setGeometry(8, 6, 200, 16);
  edtFile2Save = new QLineEdit(this);
  edtFile2Save->setObjectName(QStringLiteral("edtFile2Save"));
  edtFile2Save->setGeometry(8, 24, 447, 24);
  caption->setBuddy(edtFile2Save);
  spbFolder = new QToolButton(this);
  spbFolder->setObjectName(QStringLiteral("spbFolder"));
  spbFolder->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
  spbFolder->setGeometry(459, 24, 24, 24);
  connect(spbFolder, &QToolButton::clicked, this, &TfrmDownKV7100::spbFolderClick);

  rdgImportType = new QGroupBox(QStringLiteral("Download Type"), this);
  rdgImportType->setObjectName(QStringLiteral("rdgImportType"));
  rdgImportType->setGeometry(8, 54, 233, 64);
  auto* items = new QButtonGroup(rdgImportType);
  auto* columns = new QHBoxLayout(rdgImportType);
  for (const QString& item : {QStringLiteral("Graphic"), QStringLiteral("Data String")}) {
    auto* radio = new QRadioButton(item, rdgImportType);
    items->addButton(radio, static_cast<int>(items->buttons().size()));
    columns->addWidget(radio);
  }
  SetItemIndex(1);

  Label1 = new QLabel(QStringLiteral("Entries:"), this);
  Label1->setGeometry(252, 62, 52, 18);
  lblCount = new QLabel(this);
  lblCount->setObjectName(QStringLiteral("lblCount"));
  lblCount->setGeometry(306, 62, 177, 18);

  btnDownload = Button(QStringLiteral("&Download"), "btnDownload", this, {252, 92, 75, 26});
  btnCancel = Button(QStringLiteral("C&ancel"), "btnCancel", this, {330, 92, 75, 26});
  btnClose = Button(QStringLiteral("&Close"), "btnClose", this, {408, 92, 75, 26});
  btnClose->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
  btnCancel->setEnabled(false);
  connect(btnDownload, &QPushButton::clicked, this, &TfrmDownKV7100::btnDownloadClick);
  connect(btnCancel, &QPushButton::clicked, this, &TfrmDownKV7100::btnCancelClick);
  connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
}

void TfrmDownKV7100::BuildStatusBar() {
  statusBar = new QStatusBar(this);
  statusBar->setSizeGripEnabled(false);
  statusBar->setGeometry(0, 181 - 26, 491, 26);
  rxglsReading = new QLabel(QStringLiteral("Reading "), statusBar);
  QFont bold = rxglsReading->font();
  bold.setBold(true);
  rxglsReading->setFont(bold);
  rzglsDownload = new QLabel(statusBar);
  rzglsWating = new QLabel(QStringLiteral("Waiting for Data ..."), statusBar);
  for (QLabel* pane : {rxglsReading, rzglsDownload, rzglsWating}) {
    statusBar->addWidget(pane, 1);
    pane->hide();
  }
  prbReading = new QProgressBar(statusBar);
  prbReading->setObjectName(QStringLiteral("prbReading"));
  prbReading->setRange(0, 50);
  prbReading->setValue(0);
  prbReading->setTextVisible(false);
  prbReading->setFixedSize(200, 14);
  statusBar->addPermanentWidget(prbReading);
  prbReading->hide();
}

int TfrmDownKV7100::ItemIndex() const {
  return rdgImportType->findChild<QButtonGroup*>()->checkedId();
}

void TfrmDownKV7100::SetItemIndex(int index) {
  rdgImportType->findChild<QButtonGroup*>()->button(index)->setChecked(true);
}

// ---- Messages ----

void TfrmDownKV7100::Warn(const QString& text) {
  msgMenssage->Botoes = {TMsgDlgBtn::mbOK};
  msgMenssage->Mensagem = text;
  msgMenssage->Execute();
}

// An error the operator can act on (a folder or file that cannot be made
// or written, a port that cannot be opened, a settings file): the reason,
// plainly.
void TfrmDownKV7100::ShowError(const std::exception& error) {
  TMsgDlg message;
  message.ShowOk(QStringLiteral("Error"), QString::fromStdString(error.what()), TMsgDlgType::mtError);
}

int TfrmDownKV7100::Ask(const QString& text) {
  msgMenssage->Botoes = {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo, TMsgDlgBtn::mbCancel};
  msgMenssage->Mensagem = text;
  return msgMenssage->Execute();
}

// ---- File choice and activation ----

void TfrmDownKV7100::spbFolderClick() {
  const bool dataString = ItemIndex() == 1;
  const QString filter = dataString ? QStringLiteral("KV7100 Data String|*.kvs") : QStringLiteral("KV7100 Graphic|*.kvg");
  const QString extension = dataString ? QStringLiteral("kvs") : QStringLiteral("kvg");
  const QString chosen = ChooseSaveFile(this, QString::fromStdString(CurrentDir + "Projects"), filter, extension);
  if (!chosen.isEmpty()) edtFile2Save->setText(chosen);
}

void TfrmDownKV7100::FormActivate() {
  try {
    if (const auto path = ReadDownloadPath(LibFile("Download.ega"))) edtFile2Save->setText(QString::fromStdString(*path));
  } catch (const SettingsError&) {
    // An unreadable file leaves the edit box as it is; a message here would
    // come back at every activation.
  }
}

// The window becomes active: from another window, Download.ega is read
// again; back from a modal dialog (this window's messages and file dialog)
// it is not, so the path just chosen or the wildcard left stays.
void TfrmDownKV7100::FocusWindowChanged(QWindow* now) {
  if (!now) return;
  if (now == windowHandle() && !FFocusFromModal) FormActivate();
  FFocusFromModal = now->modality() != Qt::NonModal;
}

// ---- Starting ----

// A name typed without a folder goes into Projects, where the save dialog
// starts; the edit box then shows the whole path.
void TfrmDownKV7100::btnDownloadClick() {
  const std::string path = DownloadTarget(edtFile2Save->text().toStdString(), CurrentDir + "Projects");
  const QString text = QString::fromStdString(path);
  if (text != edtFile2Save->text()) edtFile2Save->setText(text);
  if (!MayStart(path)) return;
  const QString suffix = QFileInfo(text).suffix();
  FExtension = suffix.isEmpty() ? QString() : "." + suffix;
  lblCount->clear();
  try {
    WriteDownloadPath(LibFile("Download.ega"), path);
  } catch (const SettingsError& error) {
    ShowError(error);
    return;
  }
  StartReceiving(path);
}

// No name, a port held by another window, a file an open log window works
// on, or a file the operator keeps: said once, and nothing starts.
bool TfrmDownKV7100::MayStart(const std::string& path) {
  if (NamesNoFile(QString::fromStdString(path))) {
    Warn(QStringLiteral("First select the file to save."));
    return false;
  }
  AppContext& context = AppContext::Instance();
  if (context.PortOwner() && context.PortOwner() != this) {
    Warn(context.PortInUseMessage());
    return false;
  }
  const OutputVerdict verdict =
      CheckOutput(WriteKind::Acquisition, path, "The download file", FilesOfOpenWindows());
  switch (verdict.outcome) {
    case OutputVerdict::Outcome::Write: return true;
    case OutputVerdict::Outcome::AskConsent: return Ask(QString::fromStdString(verdict.message)) == mrYes;
    case OutputVerdict::Outcome::Refuse: break;
  }
  Warn(QString::fromStdString(verdict.message));
  return false;
}

// The port is opened before the file is made, so a port that cannot be
// opened leaves an existing file untouched. Any failure is reported once and
// leaves the window idle with nothing open.
void TfrmDownKV7100::StartReceiving(const std::string& path) {
  AppContext& context = AppContext::Instance();
  TVaComm* comm = context.VaComm;
  context.ClaimPort(this);
  try {
    if (!comm) throw SerialPortError("The program has no serial port.");
    comm->Open();
    FForm = ItemIndex() == 1 ? DownloadForm::DataString : DownloadForm::Graphic;
    FOutFile.Create(path, FForm);
  } catch (const std::exception& error) {
    if (comm) comm->Close();
    context.ReleasePort(this);
    if (dynamic_cast<const SerialPortError*>(&error) || dynamic_cast<const DownloadError*>(&error)) ShowError(error);
    else context.ReportError(error, this);
    return;
  }
  comm->OnRxChar = nullptr;  // read by the steps; nobody else is told
  comm->OnBreak = [this](TVaComm*) { QTimer::singleShot(0, this, &TfrmDownKV7100::ProcessReceived); };
  FPath = path;
  FBuffer.clear();
  FIdleTicks = 0;
  FReceivedAny = false;
  FEndLine = EndLineDetector();
  FActive = true;
  btnDownload->setEnabled(false);
  btnClose->setEnabled(false);
  btnCancel->setEnabled(true);
  ShowPane(rzglsWating);
  Timer1->start();
}

// ---- Receiving ----

// Everything waiting at the port is added to the held text. The download
// ends when the end line has arrived (in this step or cut across earlier
// ones), when the port was lost (its device went away: the port hands out
// what it read before and closes), or after more than kIdleSteps steps
// without new text once text has come; otherwise more than kChunkSize held
// characters are written.
void TfrmDownKV7100::ProcessReceived() {
  if (!FActive) return;
  const std::size_t held = FBuffer.size();
  TakeWaiting();
  if (FBuffer.size() > held) {
    if (!FReceivedAny) {
      ShowPane(rxglsReading);
      prbReading->show();
    }
    FReceivedAny = true;
    FIdleTicks = 0;
  } else if (FReceivedAny) {
    ++FIdleTicks;
  }
  if (FReceivedAny) MoveBusyBar();
  if (const std::optional<DownloadEnd> end = EndOfStep()) {
    FinishDownload(*end);
    return;
  }
  if (FBuffer.size() <= kChunkSize) return;
  try {
    WriteHeld();
  } catch (const DownloadError& error) {
    Abort(error);
  }
}

// Whether the download ends after this step, and how.
std::optional<DownloadEnd> TfrmDownKV7100::EndOfStep() const {
  if (FEndLine.Seen()) return DownloadEnd::EndLine;
  if (!AppContext::Instance().VaComm->Active()) return DownloadEnd::PortLost;
  if (FIdleTicks > kIdleSteps) return DownloadEnd::Silence;
  return std::nullopt;
}

// Adds what is waiting at the port to the held text.
void TfrmDownKV7100::TakeWaiting() {
  const std::string text = AppContext::Instance().VaComm->ReadText();
  FBuffer += text;
  FEndLine.Feed(text);
}

// The end of a data set, or the window closing while it comes: what is held
// is written, then the download ends.
void TfrmDownKV7100::FinishDownload(DownloadEnd how) {
  try {
    WriteHeld();
  } catch (const DownloadError& error) {
    Abort(error);
    return;
  }
  EndDownload(how);
}

// Runs back and forth between the bar's minimum and maximum.
void TfrmDownKV7100::MoveBusyBar() {
  const int position = std::clamp(prbReading->value() + (FBounce != 0 ? 1 : -1), prbReading->minimum(),
                                  prbReading->maximum());
  prbReading->setValue(position);
  if (position == prbReading->maximum()) FBounce = 0;
  if (position == prbReading->minimum()) FBounce = -1;
}

void TfrmDownKV7100::WriteHeld() {
  FOutFile.Write(FBuffer);
  FBuffer.clear();
  if (FForm == DownloadForm::DataString) lblCount->setText(QString::number(FOutFile.Entries()));
}

// ---- Ending ----

void TfrmDownKV7100::ShowPane(QLabel* pane) {
  for (QLabel* each : {rxglsReading, rzglsDownload, rzglsWating}) each->setVisible(each == pane);
}

void TfrmDownKV7100::ShowIdle() {
  prbReading->hide();
  ShowPane(rzglsDownload);
  btnCancel->setEnabled(false);
  btnDownload->setEnabled(true);
  btnClose->setEnabled(true);
}

// Stops the timer, closes the port and lets it go, and closes the file with
// what it still holds. Throws DownloadError when the file could not be
// written to its end.
void TfrmDownKV7100::StopReceiving() {
  const bool wasActive = std::exchange(FActive, false);
  Timer1->stop();
  if (wasActive) {
    if (TVaComm* comm = AppContext::Instance().VaComm) {
      comm->Close();
      comm->OnBreak = nullptr;
    }
    AppContext::Instance().ReleasePort(this);
  }
  FOutFile.Close();
}

// After the end line (or a close) the question; after a data set that ended
// without it, the message that says so, and nothing is opened. Either way
// the edit box is left with the folder and a wildcard, so that the next
// download needs a new name.
void TfrmDownKV7100::EndDownload(DownloadEnd how) {
  ShowIdle();
  if (!FActive) return;
  try {
    StopReceiving();
  } catch (const DownloadError& error) {
    ShowError(error);
    return;
  }
  const std::string incomplete = DownloadEndMessage(how, FOutFile);
  const int answer = incomplete.empty() ? Ask(QStringLiteral("Do you want to download other file?")) : mrOk;
  edtFile2Save->setText(QFileInfo(QString::fromStdString(FPath)).path() + "/*" + FExtension);
  if (!incomplete.empty()) Warn(QString::fromStdString(incomplete));
  if (answer != mrNo) return;
  if (const auto& open = AppContext::Instance().OpenDocument) open(FPath);
  if (!FClosing) close();
}

// What the port still holds and what is held are written before the file
// is closed, so the file keeps everything received.
void TfrmDownKV7100::btnCancelClick() {
  if (!FActive) return;
  try {
    TakeWaiting();
    WriteHeld();
    StopReceiving();
  } catch (const DownloadError& error) {
    Abort(error);
    return;
  }
  ShowIdle();
}

// The file cannot take more: the download stops and the error is shown once.
void TfrmDownKV7100::Abort(const DownloadError& error) {
  try {
    StopReceiving();
  } catch (const DownloadError&) {
    // Already said below.
  }
  ShowIdle();
  ShowError(error);
}

void TfrmDownKV7100::closeEvent(QCloseEvent* event) {
  FClosing = true;
  if (FActive) {
    TakeWaiting();
    FinishDownload(DownloadEnd::Closed);
  }
  AppContext::Instance().SetActionsEnabled({kCommand}, true);
  TfrmMother::closeEvent(event);
}

}  // namespace tessaly
