#include "acquisition/untFileLog.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>
#include <array>

#include "acquisition/GpsStatusPanel.h"
#include "acquisition/LiveSessionThread.h"
#include "acquisition/untSerialPort.h"
#include "core/LiveLogFiles.h"
#include "core/LiveStatusText.h"
#include "core/SettingsFile.h"
#include "shell/AppContext.h"
#include "shell/LogWindows.h"
#include "shell/SerialTransport.h"
#include "shell/TrackPane.h"
#include "shell/untLogErrors.h"
#include "widgets/GraficoOk.h"
#include "widgets/PainelGridOk.h"
#include "widgets/RawTextView.h"
#include "widgets/ReceptionTimeText.h"
#include "widgets/RecordViews.h"
#include "widgets/TrackPlot.h"

namespace tessaly {

namespace {

const QString kStart = QString::fromLatin1(TfrmFileLog::kStartCaption);
const QString kPause = QString::fromLatin1(TfrmFileLog::kPauseCaption);
const QString kResume = QString::fromLatin1(TfrmFileLog::kResumeCaption);
const QString kStop = QString::fromLatin1(TfrmFileLog::kStopCaption);

// Live logging windows open now: the serial commands come back when the last
// one closes (and no serial settings window holds them off).
int liveWindows = 0;

QString Latin1(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

// "Description (*.ext)|*.ext" as the file dialog's filter.
QString DialogFilter(const QString& filter) { return filter.section('|', 0, 0); }

QString AskLogFile(QWidget* parent, const QString& folder, const QString& extension, const QString& filter) {
  QFileDialog dialog(parent, QString(), folder, DialogFilter(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(extension);
  return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

bool AskLine(QWidget* parent, const QString& caption, const QString& prompt, QString& text) {
  bool ok = false;
  const QString answer = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, text, &ok);
  if (ok) text = answer;
  return ok;
}

bool SerialSettingsWindowOpen() {
  const auto windows = QApplication::topLevelWidgets();
  return std::any_of(windows.begin(), windows.end(),
                     [](QWidget* w) { return qobject_cast<TfrmSerialPort*>(w) && w->isVisible(); });
}

// The window title before a log is chosen: the variant's description.
QString DesignCaption(const LogVariant& variant) {
  const QString description = DialogFilter(Latin1(variant.filter));
  return description.left(description.indexOf(QStringLiteral(" ("))).trimmed();
}

}  // namespace

TfrmFileLog::TfrmFileLog(LogVariantId variant, QWidget* parent)
    : TfrmTypeFile(parent),
      variant_(FindLogVariant(variant)),
      store_(std::make_shared<LiveRecordStore>(variant_.layout)),
      track_(variant_) {
  FormCreate();
}

// Every way out of a session writes what it received: the session's own
// end does, whatever closes the window.
TfrmFileLog::~TfrmFileLog() {
  session_.reset();
  ReleaseSerialPort();
  LeaveLiveWindows();
}

void TfrmFileLog::LeaveLiveWindows() {
  if (!countedLive_) return;
  countedLive_ = false;
  if (--liveWindows == 0 && !SerialSettingsWindowOpen())
    AppContext::Instance().SetActionsEnabled(AppContext::SerialActionNames(), true);
}

void TfrmFileLog::FormCreate() {
  setWindowTitle(DesignCaption(variant_));
  BuildLayout();
  FormActivate();
  OnRefresh = [this](TfrmTypeFile* sender, bool redrawChart, bool recolour) {
    RefreshView(sender, redrawChart, recolour);
  };
  OnFileNameChanged = [this](TfrmTypeFile*) { UpdateCaption(); };
  ChooseLogFile = AskLogFile;
  InputQuery = [this](const QString& caption, const QString& prompt, QString& text) {
    return AskLine(this, caption, prompt, text);
  };
  showTimer_ = new QTimer(this);
  showTimer_->setSingleShot(true);
  connect(showTimer_, &QTimer::timeout, this, &TfrmFileLog::ShowSessionReports);
  ++liveWindows;
  countedLive_ = true;
  AppContext::Instance().SetActionsEnabled(AppContext::SerialActionNames(), false);
}

// ---- The session ----

void TfrmFileLog::SetNumErros(int value) {
  numErros_ = value;
  lblQtdErrors->setText(QString::number(value));
}

void TfrmFileLog::UpdateCaption() {
  setWindowTitle(QString::fromStdString(ShortFileName()) + " - " + QString::fromStdString(FileType()));
}

TfrmFileLog::LogState TfrmFileLog::State() const {
  switch (status_.state) {
    case LiveState::Logging: return LogState::Logging;
    case LiveState::Paused: return LogState::Paused;
    default: return LogState::Idle;
  }
}

void TfrmFileLog::btnStartClick() {
  if (State() != LogState::Idle) return;
  AppContext& context = AppContext::Instance();
  if (context.PortOwner() && context.PortOwner() != this) {
    ShowMessage(QStringLiteral("Warning"), context.PortInUseMessage(), TMsgDlgType::mtWarning);
    return;
  }
  const QString path = ChooseLogFile(this, QString::fromStdString(context.CurrentDir + "Projects"),
                                     Latin1(variant_.extension), Latin1(variant_.filter));
  if (path.isEmpty()) return;
  const std::string file = path.toStdString();
  // The save dialog asked about the log itself; the rest is asked here.
  const EarlierLogFiles earlier = FindEarlierLogFiles(file);
  if (earlier.BeyondTheLog(file) && !AgreeToReplace(earlier)) return;
  if (!ClaimSerialPort()) return;
  StartSession(file, earlier);
}

// Parts of an earlier log of the name would be emptied one by one as this
// session reaches them, and its comments would attach to the new records:
// the user decides once, now.
bool TfrmFileLog::AgreeToReplace(const EarlierLogFiles& earlier) {
  QString text = QStringLiteral("Files of an earlier log of this name exist (%1).\r")
                     .arg(QString::fromStdString(ListFileNames(earlier)));
  if (!earlier.logs.empty()) text += QStringLiteral("This session will replace them. ");
  if (!earlier.comments.empty()) text += QStringLiteral("Its comments will be set aside (renamed *.replaced). ");
  msgMenssage->Botoes = {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo};
  msgMenssage->Estilo = TMsgDlgType::mtConfirmation;
  msgMenssage->Caption = QStringLiteral("Confirmation");
  msgMenssage->Mensagem = text + QStringLiteral("Continue?");
  return msgMenssage->Execute() == mrYes;
}

// The port is claimed before the session starts; the session opens it
// before any file is touched.
bool TfrmFileLog::ClaimSerialPort() {
  AppContext& context = AppContext::Instance();
  if (!MakeTransport && !context.VaComm) {
    ShowMessage(QStringLiteral("Error"), QStringLiteral("There is no serial port."), TMsgDlgType::mtError);
    return false;
  }
  if (!context.ClaimPort(this)) {
    ShowMessage(QStringLiteral("Warning"), context.PortInUseMessage(), TMsgDlgType::mtWarning);
    return false;
  }
  return true;
}

void TfrmFileLog::StartSession(const std::string& path, const EarlierLogFiles& consent) {
  AppContext& context = AppContext::Instance();
  LiveSessionOptions options;
  options.recordsPerPart = recordsPerPart_;
  options.mapDatum = context.MapDatum;
  options.rescueFolder = LibPath(context.CurrentDir, "");
  const auto gps = ChooseGps(options);
  if (!gps) {
    ReleaseSerialPort();
    return;
  }
  auto transport = MakeTransport;
  if (!transport) {
    const SerialSettings settings = context.VaComm->Settings();
    transport = [settings] { return std::make_unique<SerialTransport>(settings); };
  }
  track_.SetGps(static_cast<bool>(*gps));
  Track->SetAvailable(track_.Available());
  ClearSession();
  grpGps->SessionStarted(track_.Gps(), options.layback.cableOut);
  session_ = std::make_unique<LiveSessionThread>(variant_, std::move(options), transport, SessionWatcher, *gps);
  connect(session_.get(), &LiveSessionThread::ReportsWaiting, this, &TfrmFileLog::ScheduleShow);
  if (const std::string error = session_->Start(path, consent, FilesOfOtherWindows(this)); !error.empty()) {
    session_.reset();
    grpGps->SessionStopped();
    ReleaseSerialPort();
    ShowMessage(QStringLiteral("Error"), QString::fromStdString(error), TMsgDlgType::mtError);
    return;
  }
  SetNewFile(true);
  SetFileName(path);
  btnErros->setEnabled(true);
  ShowSessionReports();
}

void TfrmFileLog::SetLogState(const QString& caption) {
  if (caption == kStart) {
    btnStartClick();
  } else if (caption == kPause && State() == LogState::Logging) {
    session_->Pause();
  } else if (caption == kResume && State() == LogState::Paused) {
    session_->Resume();
  } else if (caption == kStop && State() != LogState::Idle) {
    StopSession();
    return;
  }
  if (session_) ShowSessionReports();
}

// What the session still had is shown (and a rescue reported) before the
// views are emptied for the next session.
void TfrmFileLog::StopSession() {
  session_->Stop();
  ShowSessionReports();
  session_.reset();
  grpGps->SessionStopped();
  ReleaseSerialPort();
  ClearSession();
}

// The views, counts and status as before any session.
void TfrmFileLog::ClearSession() {
  parts_.clear();
  errorList_.clear();
  SetNumErros(0);
  btnErros->setEnabled(false);
  recordCount_ = 0;
  shownUpTo_ = 0;
  newestPositioned_ = 0;
  status_ = LiveStatus{};
  ShowState();
  store_->Clear();
  Grafico1->Grafico().Linha().Limpa();
  views_->Attach(store_);
  track_.Reset(store_, AppContext::Instance().MapDatum);
  if (TrackPlot* plot = Track->Plot()) track_.Attach(*plot, chbAutoScroll->isChecked());
}

void TfrmFileLog::ReleaseSerialPort() { AppContext::Instance().ReleasePort(this); }

// Buttons and status line follow the session's state.
void TfrmFileLog::ShowState() {
  const LogState state = State();
  btnStart->setEnabled(state == LogState::Idle);
  btnPauseResume->setEnabled(state != LogState::Idle);
  btnPauseResume->setText(state == LogState::Paused ? kResume : kPause);
  btnStop->setEnabled(state != LogState::Idle);
  lblStatus->setText(QString::fromStdString(LiveStatusText(status_)));
}

// ---- The session's reports ----

void TfrmFileLog::ScheduleShow() {
  if (showTimer_->isActive()) return;
  const qint64 since = lastShow_.isValid() ? lastShow_.elapsed() : kShowPeriodMs;
  showTimer_->start(static_cast<int>(std::max<qint64>(0, kShowPeriodMs - since)));
}

// Messages wait until the reports at hand are taken: a message box lets
// the timer run again meanwhile, and reports must not overtake each other.
void TfrmFileLog::ShowSessionReports() {
  if (taking_ || !session_) return;
  taking_ = true;
  session_->Deliver(*this);
  ShowNewRecords();
  taking_ = false;
  for (const QString& message : std::exchange(messages_, {}))
    ShowMessage(QStringLiteral("Error"), message, TMsgDlgType::mtError);
}

void TfrmFileLog::RecordAccepted(const LiveRecord& record) { AddRecord(record); }

void TfrmFileLog::AddRecord(const LiveRecord& record) {
  ++recordCount_;
  AddToGrid(record);
}

void TfrmFileLog::RecordRejected(const RejectedRecord& record) {
  SetNumErros(numErros_ + 1);
  errorList_.push_back(std::to_string(numErros_) + " - " + record.message);
  errorList_.push_back(record.text);
  errorList_.push_back("Line: " + std::to_string(record.rowsBefore));
  errorList_.emplace_back();
}

// A new part: its name becomes the window's, its errors start from none and
// the error list is no longer offered.
void TfrmFileLog::PartStarted(std::size_t index, const std::string& path) {
  parts_.push_back(path);
  if (index == 0) return;
  errorList_.clear();
  SetNumErros(0);
  btnErros->setEnabled(false);
  SetFileName(path);
}

void TfrmFileLog::Happened(LiveEvent event, const LiveStatus& status) {
  status_ = status;
  ShowState();
  if (event == LiveEvent::WriteFailed)
    messages_.push_back(QString::fromStdString(status.writeError) +
                        QStringLiteral("\r\rThe session is paused. Resume it once the log can be written again."));
}

void TfrmFileLog::Stopped(const StopReport& report) {
  status_ = LiveStatus{};
  if (const std::string text = StopReportText(report); !text.empty()) messages_.push_back(QString::fromStdString(text));
}

// The row as the one row builder made it on the session's thread, with the
// time of reception (the moment its reception times file keeps).
void TfrmFileLog::AddToGrid(const LiveRecord& record) {
  const std::string time = ReceptionTimeText(record.utcNs);
  GridRowTexts row{};
  std::copy(record.cells.begin(), record.cells.end(), row.begin() + kFirstRecordColumn);
  row[kColTime] = time;
  store_->AppendRow(variant_, record.text, row, record.numbers, AppContext::Instance().View);
}

// The newest record shows at the bottom of the grid and the raw view and in
// the chart; with auto scroll off the raw view stays at its hold mark. The
// grid paints once, after it has scrolled.
void TfrmFileLog::ShowNewRecords() {
  lastShow_.start();
  const bool follow = chbAutoScroll->isChecked();
  const auto newest = static_cast<int>(store_->RecordCount());
  QScrollBar* bar = PainelGridok1->InformacaoGrid().VerticalBar();
  // The newest row is the last one shown whole, above the horizontal bar.
  const int firstRow = std::max(0, newest - PainelGridok1->FullRowsShown() + 1);
  PainelGridok1->SetPainting(false);
  if (follow && bar) bar->setValue(firstRow);
  views_->Update();
  if (follow && bar && bar->value() != firstRow) bar->setValue(firstRow);  // the range grew with the grid
  if (follow) {
    if (newest > 0) Grafico1->SelecionaPonto(newest - 1);
    lstRawData->ShowLastLine();
  } else {
    lstRawData->ReturnToHoldMark();
  }
  track_.Extend(Track->Plot(), follow);
  const std::uint64_t shown = variant_.header.empty() ? store_->RawLineCount() : recordCount_;
  while (shownUpTo_ < shown) emit RecordShown(++shownUpTo_);
}

// ---- Comments and errors ----

void TfrmFileLog::PainelGridok1AoClicar(int Linha, int Coluna) {
  if (State() == LogState::Idle || variant_.layout.empty() || Coluna != CommentColl()) return;
  if (Linha < 1 || static_cast<std::uint64_t>(Linha) > recordCount_) return;
  EditComment(Linha);
}

// Auto scroll rests while the comment is typed, so the row stays in place.
void TfrmFileLog::EditComment(int row) {
  const bool following = chbAutoScroll->isChecked();
  chbAutoScroll->setChecked(false);
  QString text = Latin1(store_->Cells().Cell(static_cast<std::size_t>(row), variant_.commentColumn));
  if (InputQuery(QStringLiteral("Comment"), QStringLiteral("Comment:"), text)) {
    const std::string comment = text.toStdString();
    store_->SetCell(static_cast<std::size_t>(row), variant_.commentColumn, comment);
    views_->Update();
    if (const std::string error = session_->SetComment(static_cast<std::uint64_t>(row), comment); !error.empty())
      ShowMessage(QStringLiteral("Error"), QString::fromStdString(error), TMsgDlgType::mtError);
  }
  chbAutoScroll->setChecked(following);
}

void TfrmFileLog::btnErrosClick() {
  auto* window = new TfrmLogErrors(this, errorList_);
  window->show();
}

std::vector<std::string> TfrmFileLog::FilesInUse() const {
  return session_ ? session_->FilesInUse() : TfrmTypeFile::FilesInUse();
}

// ---- Closing ----

bool TfrmFileLog::ConfirmStop() {
  msgMenssage->Botoes = {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo};
  msgMenssage->Estilo = TMsgDlgType::mtConfirmation;
  msgMenssage->Caption = QStringLiteral("Confirmation");
  msgMenssage->Mensagem = QStringLiteral("Do you really want stop?");
  msgMenssage->DefaultButton = TMsgDlgBtn::mbNo;  // a stray Enter does not stop logging
  const bool stop = msgMenssage->Execute() != mrNo;
  msgMenssage->DefaultButton.reset();
  return stop;
}

void TfrmFileLog::btnStopClick() {
  if (ConfirmStop()) SetLogState(kStop);
}

void TfrmFileLog::btnPauseResumeClick() { SetLogState(btnPauseResume->text()); }

// A running session is stopped first, after the question; "No" keeps the
// window and its session.
void TfrmFileLog::closeEvent(QCloseEvent* event) {
  if (!closing_ && State() != LogState::Idle) {
    if (!ConfirmStop()) {
      event->ignore();
      return;
    }
    StopSession();
  }
  closing_ = true;
  ReleaseSerialPort();
  LeaveLiveWindows();
  TfrmTypeFile::closeEvent(event);
}

void TfrmFileLog::ShowMessage(const QString& caption, const QString& text, TMsgDlgType style) {
  msgMenssage->ShowOk(caption, text, style);
}

}  // namespace tessaly
