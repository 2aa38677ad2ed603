#include "acquisition/untFileLog.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStringList>
#include <QTabWidget>
#include <QTime>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <initializer_list>

#include "acquisition/untSerialPort.h"
#include "core/Positions.h"
#include "core/RecordPipeline.h"
#include "core/TrackModel.h"
#include "shell/AppContext.h"
#include "shell/TrackPane.h"
#include "shell/VaComm.h"
#include "shell/untLogErrors.h"
#include "widgets/ChartSetup.h"
#include "widgets/GraficoOk.h"
#include "widgets/PainelGridOk.h"
#include "widgets/RawTextView.h"
#include "widgets/RecordViews.h"
#include "widgets/TrackPlot.h"

namespace tessaly {

namespace {

const QString kStart = QStringLiteral("&Start");
const QString kPause = QStringLiteral("&Pause");
const QString kResume = QStringLiteral("&Resume");
const QString kStop = QStringLiteral("S&top");
const QString kLogging = QStringLiteral("Logging ...");
const QString kPaused = QStringLiteral("Paused ...");
const QString kDeviceLost = QStringLiteral("Device lost, reconnecting ...");

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
      framer_(std::string(variant_.header)),
      writer_(std::make_unique<LogPartWriter>()),
      store_(std::make_shared<LiveRecordStore>(variant_.layout)) {
  FormCreate();
}

TfrmFileLog::~TfrmFileLog() {
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
  ApplyChartDesignSettings(*Grafico1);
  ShowLogWindowControls(*Grafico1);
  ApplyViewSettings(*Grafico1, AppContext::Instance().View);
  sample_ = std::make_unique<TSample>();
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
  connect(showTimer_, &QTimer::timeout, this, &TfrmFileLog::ShowNewRecords);
  deviceTimer_ = new QTimer(this);
  deviceTimer_->setInterval(1000);
  connect(deviceTimer_, &QTimer::timeout, this, &TfrmFileLog::CheckDevice);
  ++liveWindows;
  countedLive_ = true;
  AppContext::Instance().SetActionsEnabled(AppContext::SerialActionNames(), false);
}

// ---- Layout ----

void TfrmFileLog::BuildLayout() {
  resize(1060, 640);
  PageControl1 = new QTabWidget;
  PageControl1->addTab(BuildRawDataTab(), QStringLiteral("Raw Data"));
  PageControl1->addTab(BuildGraphTab(), QStringLiteral("Graph"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(PageControl1, 1);
  layout->addWidget(BuildControlPanel());

  views_ = std::make_unique<RecordViews>(*PainelGridok1, *Grafico1, *lstRawData,
                                         variant_.layout.empty() ? kRecordLayout : variant_.layout);
  views_->Attach(store_);
  views_->OnCellClicked = [this](int Linha, int Coluna) { PainelGridok1AoClicar(Linha, Coluna); };
  Track->FollowSelection(*views_);
  Track->SetLimit(AppContext::Instance().View.DevLimit);
  Track->SetAvailable(VariantHasPositions());
  Track->OnFirstShow = [this](TrackPlot& plot) { StartTrack(plot); };
  if (variant_.highlightRaw) lstRawData->SetHighlighting(&RecordHighlighting());
  if (!variant_.header.empty()) return;
  // A raw capture shows its text over the whole tab and has no chart.
  grpValidDataGrid->hide();
  Splitter1->setSizes({10000, 0});
  PageControl1->setTabEnabled(1, false);
}

QWidget* TfrmFileLog::BuildRawDataTab() {
  lstRawData = new RawTextView;
  PainelGridok1 = new TPainelGridOk;
  grpValidDataGrid = new QGroupBox(QStringLiteral("Valid Data Grid"));
  auto* gridLayout = new QVBoxLayout(grpValidDataGrid);
  gridLayout->setContentsMargins(4, 4, 4, 4);
  gridLayout->addWidget(PainelGridok1);
  Splitter1 = new QSplitter(Qt::Vertical);
  Splitter1->addWidget(lstRawData);
  Splitter1->addWidget(grpValidDataGrid);
  Splitter1->setSizes({220, 360});
  return Splitter1;
}

QWidget* TfrmFileLog::BuildGraphTab() {
  Grafico1 = new TGraficoOK;
  btnY0Upper = new QPushButton(QStringLiteral("Y - 0"));
  btnY0Lower = new QPushButton(QStringLiteral("Y - 0"));
  auto* buttons = new QVBoxLayout;
  for (QPushButton* button : {btnY0Upper, btnY0Lower}) {
    button->setToolTip(QStringLiteral("Centre the deviation 0 vertically"));
    button->setFixedWidth(48);
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QPushButton::clicked, this, &TfrmFileLog::Button1Click);
  }
  buttons->addWidget(btnY0Upper);
  buttons->addStretch();
  buttons->addWidget(btnY0Lower);
  auto* tab = new QWidget;
  auto* layout = new QHBoxLayout(tab);
  Track = new TrackPane(*this, *Grafico1);
  layout->addWidget(Track->Splitter(), 1);
  layout->addLayout(buttons);
  return tab;
}

QWidget* TfrmFileLog::BuildControlPanel() {
  btnStart = new QPushButton(kStart);
  btnPauseResume = new QPushButton(kPause);
  btnStop = new QPushButton(kStop);
  btnErros = new QPushButton(QStringLiteral("Errors"));
  BitBtn1 = new QPushButton(QStringLiteral("Close"));
  chbAutoScroll = new QCheckBox(QStringLiteral("Auto Scroll"));
  chbAutoScroll->setChecked(true);
  lblStatus = new QLabel;
  lblStatus->setWordWrap(true);
  lblQtdErrors = new QLabel;
  btnPauseResume->setEnabled(false);
  btnStop->setEnabled(false);
  btnErros->setEnabled(false);
  connect(btnStart, &QPushButton::clicked, this, &TfrmFileLog::btnStartClick);
  connect(btnPauseResume, &QPushButton::clicked, this, &TfrmFileLog::btnPauseResumeClick);
  connect(btnStop, &QPushButton::clicked, this, &TfrmFileLog::btnStopClick);
  connect(btnErros, &QPushButton::clicked, this, &TfrmFileLog::btnErrosClick);
  connect(BitBtn1, &QPushButton::clicked, this, &TfrmFileLog::CloseWindow);
  connect(chbAutoScroll, &QCheckBox::clicked, this, &TfrmFileLog::chbAutoScrollClick);

  auto* errors = new QHBoxLayout;
  errors->addWidget(new QLabel(QStringLiteral("Errors:")));
  errors->addWidget(lblQtdErrors, 1);
  grpFunctionKeys = new QGroupBox(QStringLiteral("Function Keys"));
  auto* keys = new QVBoxLayout(grpFunctionKeys);
  for (const char* text : {"F1: Start", "F2: Pause / Resume", "F3: Stop", "F4: Close", "F5: Auto Scroll On / Off",
                           "F6: Raw Data / Grafic", "F7: Horizontal Scale + ", "F8: Horizontal Scale - ",
                           "F9: Verical Scale +", "F10: Verical Scale -"})
    keys->addWidget(new QLabel(QString::fromLatin1(text)));

  auto* panel = new QWidget;
  panel->setFixedWidth(170);
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  for (QWidget* w : std::initializer_list<QWidget*>{btnStart, btnPauseResume, btnStop, chbAutoScroll, lblStatus})
    layout->addWidget(w);
  layout->addLayout(errors);
  layout->addWidget(btnErros);
  layout->addWidget(grpFunctionKeys);
  layout->addStretch();
  layout->addWidget(BitBtn1);
  return panel;
}

// ---- The session ----

TVaComm* TfrmFileLog::Comm() const { return AppContext::Instance().VaComm; }

void TfrmFileLog::SetNumErros(int value) {
  numErros_ = value;
  lblQtdErrors->setText(QString::number(value));
}

void TfrmFileLog::UpdateCaption() {
  setWindowTitle(QString::fromStdString(ShortFileName()) + " - " + QString::fromStdString(FileType()));
}

// A fresh parser for the variant: the continuity checks start anew.
void TfrmFileLog::ConfigureSample() {
  if (variant_.header.empty()) return;
  sample_ = std::make_unique<TSample>();
  sample_->FDevDigits = variant_.devDigits;
  sample_->FMapDatum = AppContext::Instance().MapDatum;
  sample_->SetHeader(variant_.header);
  sample_->SetKind(variant_.kind);
}

void TfrmFileLog::btnStartClick() {
  ConfigureSample();
  if (state_ != LogState::Idle) return;
  AppContext& context = AppContext::Instance();
  if (context.PortOwner() && context.PortOwner() != this) {
    ShowMessage(QStringLiteral("Warning"), context.PortInUseMessage(), TMsgDlgType::mtWarning);
    return;
  }
  const QString path = ChooseLogFile(this, QString::fromStdString(context.CurrentDir + "Projects"),
                                     Latin1(variant_.extension), Latin1(variant_.filter));
  if (path.isEmpty()) return;
  const std::string file = path.toStdString();
  if (!AgreeToReplaceEarlierParts(file) || !ClaimSerialPort()) return;
  StartSession(file);
}

// Parts of the same name left by an earlier session would be emptied one by
// one as this session reaches them: the user decides once, now.
bool TfrmFileLog::AgreeToReplaceEarlierParts(const std::string& path) {
  if (variant_.header.empty()) return true;
  const std::vector<std::string> earlier = ExistingLaterParts(path);
  if (earlier.empty()) return true;
  QStringList names;
  for (std::size_t i = 0; i < earlier.size() && i < 3; ++i)
    names << QString::fromStdString(earlier[i].substr(earlier[i].rfind('/') + 1));
  if (earlier.size() > 3) names << QStringLiteral("...");
  msgMenssage->Botoes = {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo};
  msgMenssage->Estilo = TMsgDlgType::mtConfirmation;
  msgMenssage->Caption = QStringLiteral("Confirmation");
  msgMenssage->Mensagem = QStringLiteral("Parts of an earlier log of this name exist (%1).\rThis session will replace them. Continue?")
                              .arg(names.join(QStringLiteral(", ")));
  return msgMenssage->Execute() == mrYes;
}

// The port is claimed and opened before any file is touched, so a port that
// cannot be opened leaves nothing behind.
bool TfrmFileLog::ClaimSerialPort() {
  AppContext& context = AppContext::Instance();
  TVaComm* comm = Comm();
  if (!comm) {
    ShowMessage(QStringLiteral("Error"), QStringLiteral("There is no serial port."), TMsgDlgType::mtError);
    return false;
  }
  if (!context.ClaimPort(this)) {
    ShowMessage(QStringLiteral("Warning"), context.PortInUseMessage(), TMsgDlgType::mtWarning);
    return false;
  }
  try {
    comm->Open();
  } catch (const SerialPortError& error) {
    context.ReleasePort(this);
    ShowMessage(QStringLiteral("Error"), QString::fromStdString(error.what()), TMsgDlgType::mtError);
    return false;
  }
  comm->OnRxChar = [this](TVaComm*, int) { CommRxChar(); };
  return true;
}

void TfrmFileLog::StartSession(const std::string& path) {
  writer_ = std::make_unique<LogPartWriter>(recordsPerPart_);
  if (const std::string error = writer_->Open(path); !error.empty()) {
    ReleaseSerialPort();
    ShowMessage(QStringLiteral("Error"), QString::fromStdString(error), TMsgDlgType::mtError);
    return;
  }
  partsSeen_ = writer_->Parts().size();
  SetNewFile(true);
  SetFileName(path);
  framer_.Reset();
  inbox_.clear();
  errorList_.clear();
  recordCount_ = 0;
  shownUpTo_ = 0;
  SetNumErros(0);
  btnErros->setEnabled(true);
  state_ = LogState::Logging;
  deviceLost_ = false;
  btnStart->setEnabled(false);
  btnPauseResume->setEnabled(true);
  btnPauseResume->setText(kPause);
  btnStop->setEnabled(true);
  lblStatus->setText(kLogging);
  deviceTimer_->start();
}

void TfrmFileLog::SetLogState(const QString& caption) {
  if (caption == kStart) {
    btnStartClick();
  } else if (caption == kPause && state_ == LogState::Logging) {
    framer_.Reset();
    if (Comm()) Comm()->Close();
    deviceTimer_->stop();
    state_ = LogState::Paused;
    btnPauseResume->setText(kResume);
    lblStatus->setText(kPaused);
  } else if (caption == kResume && state_ == LogState::Paused) {
    ResumeSession();
  } else if (caption == kStop && state_ != LogState::Idle) {
    StopSession();
  }
}

// A record a failed write left behind is written first; a device that does
// not open yet is waited for as a lost one.
void TfrmFileLog::ResumeSession() {
  if (const std::string error = writer_->WritePending(); !error.empty()) {
    NoteParts();
    PauseForWriteFailure(error);
    return;
  }
  NoteParts();
  state_ = LogState::Logging;
  btnPauseResume->setText(kPause);
  lblStatus->setText(kLogging);
  deviceLost_ = false;
  try {
    Comm()->Open();
  } catch (const SerialPortError&) {
    deviceLost_ = true;
    lblStatus->setText(kDeviceLost);
  }
  deviceTimer_->start();
  DrainInbox();
}

void TfrmFileLog::StopSession() {
  writer_->Close();
  ReleaseSerialPort();
  deviceTimer_->stop();
  framer_.Reset();
  inbox_.clear();
  errorList_.clear();
  SetNumErros(0);
  btnErros->setEnabled(false);
  state_ = LogState::Idle;
  btnStart->setEnabled(true);
  btnPauseResume->setEnabled(false);
  btnPauseResume->setText(kPause);
  btnStop->setEnabled(false);
  lblStatus->clear();
  store_->Clear();
  Grafico1->Grafico().Linha().Limpa();
  views_->Attach(store_);
  if (TrackPlot* plot = Track->Plot()) StartTrack(*plot);
}

void TfrmFileLog::ReleaseSerialPort() {
  AppContext& context = AppContext::Instance();
  if (context.PortOwner() != this) return;
  if (TVaComm* comm = Comm()) {
    comm->OnRxChar = nullptr;
    comm->Close();
  }
  context.ReleasePort(this);
}

void TfrmFileLog::PauseForWriteFailure(const std::string& error) {
  framer_.Reset();
  if (Comm()) Comm()->Close();
  deviceTimer_->stop();
  state_ = LogState::Paused;
  btnPauseResume->setText(kResume);
  const QString why = QString::fromStdString(error);
  lblStatus->setText(kPaused + " " + why);
  ShowMessage(QStringLiteral("Error"),
              why + QStringLiteral("\r\rThe session is paused. Resume it once the log can be written again."),
              TMsgDlgType::mtError);
}

// Every second while logging: a port that went away (an unplugged adapter)
// is shown in the status and opened again with the same settings.
void TfrmFileLog::CheckDevice() {
  TVaComm* comm = Comm();
  if (state_ != LogState::Logging || !comm || comm->Active()) return;
  if (!deviceLost_) {
    deviceLost_ = true;
    framer_.Reset();
    lblStatus->setText(kDeviceLost);
  }
  try {
    comm->Open();
  } catch (const SerialPortError&) {
    return;
  }
  deviceLost_ = false;
  lblStatus->setText(kLogging);
}

// ---- Receiving ----

void TfrmFileLog::CommRxChar() {
  TVaComm* comm = Comm();
  if (!comm || AppContext::Instance().PortOwner() != this) return;
  ReceiveBytes(comm->ReadText());
}

void TfrmFileLog::ReceiveBytes(std::string_view chunk) {
  if (state_ != LogState::Logging) return;
  framer_.Feed(chunk, [this](std::string_view record) { inbox_.emplace_back(record); });
  DrainInbox();
}

void TfrmFileLog::DrainInbox() {
  while (!inbox_.empty() && state_ == LogState::Logging) {
    const std::string record = std::move(inbox_.front());
    inbox_.pop_front();
    ProcessRecord(record);
  }
}

bool TfrmFileLog::WriteToLog(std::string_view bytes, bool wholeRecord) {
  const std::string error = wholeRecord ? writer_->Append(bytes) : writer_->AppendBytes(bytes);
  NoteParts();
  if (error.empty()) return true;
  PauseForWriteFailure(error);
  return false;
}

// A new part: its name becomes the window's, its errors start from none and
// the error list is no longer offered.
void TfrmFileLog::NoteParts() {
  if (writer_->Parts().size() == partsSeen_) return;
  partsSeen_ = writer_->Parts().size();
  errorList_.clear();
  SetNumErros(0);
  btnErros->setEnabled(false);
  SetFileName(writer_->Parts().back());
}

// Validated, written (one write, before the next record), then shown whole.
// A record whose write failed is shown as well: it is kept to be written
// first when the session resumes.
void TfrmFileLog::ProcessRecord(std::string_view record) {
  if (sample_->Parse(record) != 0) {
    SetNumErros(numErros_ + 1);
    AddError();
    return;
  }
  WriteToLog(record, true);
  ++recordCount_;
  AddToGrid(recordCount_);
  ScheduleShow();
}

void TfrmFileLog::AddError() {
  errorList_.push_back(std::to_string(numErros_) + " - " + sample_->FErrorText);
  errorList_.push_back(sample_->FRawLine);
  errorList_.push_back("Line: " + std::to_string(recordCount_));
  errorList_.emplace_back();
}

void TfrmFileLog::AddToGrid(std::uint64_t row) {
  const std::string number = std::to_string(row);
  const std::string time = QLocale::system().toString(QTime::currentTime(), QLocale::LongFormat).toStdString();
  const std::string towDepth = sample_->TowDepthOrZero();
  const std::string sounder = sample_->SounderOrZero();
  const TSample& s = *sample_;
  const std::array<std::string_view, kRowFieldCount> fields{
      number, time, s.FDev, s.FLatDeg, s.FLatMin, s.FLatHemi, s.FLonDeg, s.FLonMin, s.FLonHemi, towDepth, sounder};
  std::vector<std::string_view> cells(variant_.layout.size());
  for (std::size_t i = 0; i < variant_.columns.size() && i < fields.size(); ++i)
    if (variant_.columns[i] < cells.size()) cells[variant_.columns[i]] = fields[i];
  store_->AppendRecord(s.FRawLine, cells, CellInteger(s.FDev), AppContext::Instance().View);
}

void TfrmFileLog::ScheduleShow() {
  if (showTimer_->isActive()) return;
  const qint64 since = lastShow_.isValid() ? lastShow_.elapsed() : kShowPeriodMs;
  showTimer_->start(static_cast<int>(std::max<qint64>(0, kShowPeriodMs - since)));
}

// The newest record shows at the bottom of the grid and the raw view and in
// the chart; with auto scroll off the raw view stays at its hold mark. The
// grid paints once, after it has scrolled.
void TfrmFileLog::ShowNewRecords() {
  lastShow_.start();
  const bool follow = chbAutoScroll->isChecked();
  const auto newest = static_cast<int>(store_->RecordCount());
  QScrollBar* bar = PainelGridok1->InformacaoGrid().VerticalBar();
  // VisibleRows counts the caption row and a last row cut by the panel's edge.
  const int firstRow = std::max(0, newest - PainelGridok1->InformacaoGrid().VisibleRows() + 3);
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
  ExtendTrack();
  const std::uint64_t shown = variant_.header.empty() ? store_->RawLineCount() : recordCount_;
  while (shownUpTo_ < shown) emit RecordShown(++shownUpTo_);
}

// ---- The track ----

// The variants whose grid holds the towfish's position offer the track.
bool TfrmFileLog::VariantHasPositions() const { return variant_.columns.size() > kFieldLonHemi; }

// A fresh track of the records the session holds so far.
void TfrmFileLog::StartTrack(TrackPlot& plot) {
  track_ = std::make_shared<TrackModel>(AppContext::Instance().MapDatum);
  plot.SetTrack(store_, track_);
  ExtendTrack();
}

// The records shown since the track last grew join it, their positions
// read from the grid's degree, minute and hemisphere cells. With auto
// scroll on, the plot keeps the newest position in view.
void TfrmFileLog::ExtendTrack() {
  TrackPlot* plot = Track->Plot();
  if (!plot || !track_) return;
  const std::span<const double> deviations = store_->ChartValues();
  const auto cell = [this](std::size_t row, RowField field) {
    return store_->Cells().Cell(row, variant_.columns[field]);
  };
  std::string decLat, decLon;
  for (std::size_t record = track_->Size(); record < deviations.size(); ++record) {
    const std::size_t row = record + 1;
    const DegMinTexts position{cell(row, kFieldLatDeg), cell(row, kFieldLatMin), cell(row, kFieldLatHemi),
                               cell(row, kFieldLonDeg), cell(row, kFieldLonMin), cell(row, kFieldLonHemi)};
    double latitude = 0.0, longitude = 0.0;
    if (PositionDegrees(position, sample_->FDecimalSeparator, decLat, decLon, latitude, longitude))
      track_->Append(latitude, longitude, deviations[record]);
    else
      track_->AppendMissing();
  }
  plot->SetFollowNewest(chbAutoScroll->isChecked());
  plot->RecordsAppended();
}

void TfrmFileLog::chbAutoScrollClick() {
  if (chbAutoScroll->isChecked()) {
    lstRawData->SetHoldMark(-1);
    ScheduleShow();
    return;
  }
  const long long current = lstRawData->CurrentLine();
  lstRawData->SetHoldMark(current >= 0 ? current : lstRawData->FirstVisibleLine());
}

void TfrmFileLog::Button1Click() { Grafico1->CentralizaY(0); }

// ---- Comments and errors ----

void TfrmFileLog::PainelGridok1AoClicar(int Linha, int Coluna) {
  if (state_ == LogState::Idle || variant_.layout.empty() || Coluna != CommentColl()) return;
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
    if (const std::string error = writer_->SetComment(static_cast<std::uint64_t>(row), comment); !error.empty())
      ShowMessage(QStringLiteral("Error"), QString::fromStdString(error), TMsgDlgType::mtError);
  }
  chbAutoScroll->setChecked(following);
}

void TfrmFileLog::btnErrosClick() {
  auto* window = new TfrmLogErrors(this, errorList_);
  window->show();
}

std::vector<std::string> TfrmFileLog::FilesInUse() const {
  if (state_ == LogState::Idle) return TfrmTypeFile::FilesInUse();
  std::vector<std::string> files;
  for (std::size_t part = 0; part < writer_->Parts().size(); ++part) {
    files.push_back(writer_->Parts()[part]);
    if (std::string comments = writer_->CommentsFileOfPart(part); !comments.empty()) files.push_back(comments);
  }
  return files;
}

// ---- View settings, keys, closing ----

void TfrmFileLog::RefreshView(TfrmTypeFile*, bool redrawChart, bool recolour) {
  const ViewSettings& view = AppContext::Instance().View;
  if (redrawChart) ApplyViewSettings(*Grafico1, view);
  Track->SetLimit(view.DevLimit);
  if (recolour) {
    store_->Recolour(view, kLiveColourColumn);
    views_->Update();
  }
}

void TfrmFileLog::FormActivate() {
  ShowLogWindowControls(*Grafico1);
  ApplyViewSettings(*Grafico1, AppContext::Instance().View);
}

bool TfrmFileLog::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && isWindow()) FormActivate();
  return TfrmTypeFile::event(event);
}

// F1 to F3 act only while their button is enabled; the other keys as the
// panel lists them.
void TfrmFileLog::FormKeyDown(int key) {
  const auto press = [](QPushButton* button) {
    if (button->isEnabled()) button->click();
  };
  switch (key) {
    case Qt::Key_F1: press(btnStart); break;
    case Qt::Key_F2: press(btnPauseResume); break;
    case Qt::Key_F3: press(btnStop); break;
    case Qt::Key_F4: CloseWindow(); break;
    case Qt::Key_F5: chbAutoScroll->click(); break;
    case Qt::Key_F6: {
      int next = PageControl1->currentIndex();
      do next = (next + 1) % PageControl1->count();
      while (!PageControl1->isTabEnabled(next));
      PageControl1->setCurrentIndex(next);
      break;
    }
    case Qt::Key_F7: Grafico1->PassoEscalaX(1); break;
    case Qt::Key_F8: Grafico1->PassoEscalaX(-1); break;
    case Qt::Key_F9: Grafico1->PassoEscalaY(1); break;
    case Qt::Key_F10: Grafico1->PassoEscalaY(-1); break;
    default: break;
  }
}

void TfrmFileLog::keyPressEvent(QKeyEvent* event) {
  if (event->key() < Qt::Key_F1 || event->key() > Qt::Key_F10) {
    TfrmTypeFile::keyPressEvent(event);
    return;
  }
  FormKeyDown(event->key());
  event->accept();
}

void TfrmFileLog::CloseWindow() {
  if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) {
    frame->close();
  } else {
    close();
  }
}

bool TfrmFileLog::ConfirmStop() {
  msgMenssage->Botoes = {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo};
  msgMenssage->Estilo = TMsgDlgType::mtConfirmation;
  msgMenssage->Caption = QStringLiteral("Confirmation");
  msgMenssage->Mensagem = QStringLiteral("Do you really want stop?");
  return msgMenssage->Execute() != mrNo;
}

void TfrmFileLog::btnStopClick() {
  if (ConfirmStop()) SetLogState(kStop);
}

void TfrmFileLog::btnPauseResumeClick() { SetLogState(btnPauseResume->text()); }

// A running session is stopped first, after the question; "No" keeps the
// window and its session.
void TfrmFileLog::closeEvent(QCloseEvent* event) {
  if (!closing_ && state_ != LogState::Idle) {
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
