#include "shell/untFile.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <new>

#include "core/GridLayout.h"
#include "core/OutputFile.h"
#include "core/OutputRule.h"
#include "core/SettingsFile.h"
#include "core/LineMarks.h"
#include "core/LogPositioner.h"
#include "core/SettingsStore.h"
#include "core/TrackModel.h"
#include "shell/AppContext.h"
#include "shell/LogWindows.h"
#include "shell/ProgressMessage.h"
#include "shell/StandardDialogs.h"
#include "shell/TrackPane.h"
#include "widgets/CellText.h"
#include "widgets/ChartSetup.h"
#include "widgets/GraficoOk.h"
#include "widgets/PainelGridOk.h"
#include "widgets/RawTextView.h"
#include "widgets/RecordViews.h"
#include "widgets/TrackPlot.h"

namespace tessaly {

namespace {

int ClampToInt(std::uint64_t value) { return static_cast<int>(std::min<std::uint64_t>(value, INT_MAX)); }

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  ForEachLine(text, true, [&lines](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

}  // namespace

// ---- TLoadGrid ----

TLoadGrid::TLoadGrid(std::shared_ptr<LogDocument> document, Opener open, LoadOptions options, QObject* parent)
    : QThread(parent), document_(std::move(document)), open_(std::move(open)), options_(std::move(options)) {
  options_.cancel = &terminate_;
  options_.progress = [this](std::uint64_t position, std::uint64_t maximum) {
    maximum_.store(maximum, std::memory_order_relaxed);
    position_.store(position, std::memory_order_relaxed);
  };
  options_.caption = [this](std::string_view caption) { emit CaptionChanged(CellText(caption)); };
}

// An exception must not leave the thread (that would end the program).
void TLoadGrid::run() {
  try {
    open_(*document_, options_);
  } catch (...) {
    failure_ = std::current_exception();
  }
}

// ---- TfrmFile ----

TfrmFile::TfrmFile(QWidget* parent) : TfrmTypeFile(parent) { FormCreate(); }

TfrmFile::~TfrmFile() {
  if (FLoader) {
    FLoader->Terminate();
    FLoader->wait();
  }
}

void TfrmFile::FormCreate() {
  BuildLayout();
  ApplyChartDesignSettings(*Grafico1);
  FromProgressBar = new TFromProgressBar(this);
  FromProgressBar->Botoes.Botoes = btCancelar;
  FromProgressBar->Botoes.Iniciar = QStringLiteral("Start");
  FromProgressBar->Botoes.Cancelar = QStringLiteral("Cancel");
  QFont progressFont = font();
  progressFont.setBold(true);
  progressFont.setPixelSize(19);
  FromProgressBar->ProgressBar->SetFont(progressFont);
  FromProgressBar->ProgressBar->SetAVI(TCommonAVI::aviFindFile);
  FProgressTimer = new QTimer(this);
  FProgressTimer->setInterval(40);
  connect(FProgressTimer, &QTimer::timeout, this, &TfrmFile::ShowLoadProgress);
  OnRefresh = [this](TfrmTypeFile* sender, bool redrawChart, bool recolour) {
    RecolourRows(sender, redrawChart, recolour);
  };
  OnFileNameChanged = [this](TfrmTypeFile*) { OpenLogFile(); };
  OnAlarmsChanged = [this](TfrmTypeFile*) { RequalifyRecords(); };
  InputQuery = [this](const QString& caption, const QString& prompt, QString& text) {
    return tessaly::InputQuery(this, caption, prompt, text);
  };
  ChooseImportSaveFile = [](QWidget* parent) {
    return AskSaveFileName(parent, QString(), QString::fromStdString(AppContext::Instance().CurrentDir + "Projects"),
                           QStringLiteral("KV7100|*.kv2"), QStringLiteral("kv2"));
  };
}

void TfrmFile::BuildLayout() {
  resize(1040, 660);

  lstRawData = new RawTextView;
  lstRawData->SetGutterVisible(false);
  grpRawData = new QGroupBox(QStringLiteral("Raw Data"));
  auto* rawLayout = new QVBoxLayout(grpRawData);
  rawLayout->setContentsMargins(4, 4, 4, 4);
  rawLayout->addWidget(lstRawData);

  PainelGrid1 = new TPainelGridOk;
  grpValidDataGrid = new QGroupBox(QStringLiteral("Valid Data Grid"));
  auto* gridLayout = new QVBoxLayout(grpValidDataGrid);
  gridLayout->setContentsMargins(4, 4, 4, 4);
  gridLayout->addWidget(PainelGrid1);

  RzSplitter1 = new QSplitter(Qt::Horizontal);
  RzSplitter1->addWidget(grpRawData);
  RzSplitter1->addWidget(grpValidDataGrid);
  RzSplitter1->setStretchFactor(0, 1);
  RzSplitter1->setStretchFactor(1, 2);
  RzSplitter1->setSizes({330, 650});

  Grafico1 = new TGraficoOK;
  btnY0Upper = new QPushButton(QStringLiteral("Y - 0"));
  btnY0Lower = new QPushButton(QStringLiteral("Y - 0"));
  for (QPushButton* button : {btnY0Upper, btnY0Lower}) {
    button->setToolTip(QStringLiteral("Centre the deviation 0 vertically"));
    button->setFixedWidth(48);
    connect(button, &QPushButton::clicked, this, &TfrmFile::Button1Click);
  }
  auto* chartButtons = new QVBoxLayout;
  chartButtons->addWidget(btnY0Upper);
  chartButtons->addStretch();
  chartButtons->addWidget(btnY0Lower);
  grpGraphic = new QGroupBox(QStringLiteral("Graphic"));
  auto* graphicLayout = new QHBoxLayout(grpGraphic);
  graphicLayout->setContentsMargins(4, 4, 4, 4);
  Track = new TrackPane(*this, *Grafico1);
  graphicLayout->addWidget(Track->Splitter(), 1);
  graphicLayout->addLayout(chartButtons);

  RzSplitter2 = new QSplitter(Qt::Vertical);
  RzSplitter2->addWidget(RzSplitter1);
  RzSplitter2->addWidget(grpGraphic);
  RzSplitter2->setStretchFactor(0, 3);
  RzSplitter2->setStretchFactor(1, 2);
  RzSplitter2->setSizes({360, 240});

  lblErrors = new QLabel(QStringLiteral("Errors:"));
  lblQtdErrors = new QLabel(QStringLiteral("0"));
  lblQtdErrors->setMinimumWidth(60);
  lblPartial = new QLabel;
  btnErros = new QPushButton(QStringLiteral("Errors"));
  btnErros->setEnabled(false);
  lblFlags = new QLabel(QStringLiteral("Flags:"));
  lblQtdFlags = new QLabel(QStringLiteral("0"));
  lblQtdFlags->setObjectName(QStringLiteral("lblQtdFlags"));
  lblQtdFlags->setMinimumWidth(60);
  btnClose = new QPushButton(QStringLiteral("Close"));
  connect(btnErros, &QPushButton::clicked, this, &TfrmFile::btnErrosClick);
  connect(btnClose, &QPushButton::clicked, this, &TfrmFile::CloseWindow);
  auto* bottomBar = new QHBoxLayout;
  bottomBar->addWidget(lblErrors);
  bottomBar->addWidget(lblQtdErrors);
  bottomBar->addWidget(btnErros);
  bottomBar->addWidget(lblPartial);
  bottomBar->addSpacing(16);
  bottomBar->addWidget(lblFlags);
  bottomBar->addWidget(lblQtdFlags);
  bottomBar->addStretch();
  bottomBar->addWidget(btnClose);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(RzSplitter2, 1);
  layout->addLayout(bottomBar);

  FViews = std::make_unique<RecordViews>(*PainelGrid1, *Grafico1, *lstRawData);
  // A click on the comment column edits that row's comment.
  FViews->OnCellClicked = [this](int Linha, int Coluna) {
    if (Coluna == kColComment && Linha >= 1 && Linha < PainelGrid1->InformacaoGrid().QtdLinhas())
      EditComment(Linha);
  };
  Track->FollowSelection(*FViews);
  Track->OnFirstShow = [this](TrackPlot& plot) { FillTrack(plot); };
}

// ---- Opening and loading ----

// The document loads the file as recognised here. The raw text shows line
// numbers unless the file is unknown or a memory dump (the kinds without a
// header sentence).
void TfrmFile::OpenLogFile() {
  setWindowTitle(QString::fromStdString(FileType() + " - " + ShortFileName()));
  const Recognition recognition = FileState().recognition;
  if (recognition == Recognition::Empty) {
    ShowMessage(QStringLiteral("Error"), QStringLiteral("File empty."), TMsgDlgType::mtError);
    CloseWindow();
    return;
  }
  SetRawChanged(false);
  if (recognition == Recognition::Unknown) {
    ShowRawTextOnly();
  } else {
    lstRawData->SetGutterVisible(!Kind() || !Kind()->header.empty());
  }
  StartLoad();
}

TLoadGrid::Opener TfrmFile::DocumentOpener() const {
  return [file = FileState()](LogDocument& document, const LoadOptions& options) { document.OpenLog(file, options); };
}

void TfrmFile::StartLoad() {
  if (FLoader) return;
  Track->SetAvailable(false);
  const AppContext& context = AppContext::Instance();
  LoadOptions options;
  options.view = context.View;
  options.mapDatum = context.MapDatum;
  options.alarms = context.Alarms;
  FPositioningError = SetLayback(options);
  FLoading = std::make_shared<LogDocument>();
  FLoader = new TLoadGrid(FLoading, DocumentOpener(), std::move(options), this);

  TMeuProgressBar& bar = *FromProgressBar->ProgressBar;
  bar.SetMaximo(100);
  bar.SetPosicao(0);
  bar.SetMensagem(QStringLiteral("Loading File ..."));
  FProgressTimer->start();
  connect(FLoader, &TLoadGrid::CaptionChanged, this,
          [this](const QString& caption) { FromProgressBar->ProgressBar->SetMensagem(caption); });
  connect(FLoader, &QThread::finished, this, &TfrmFile::FinishLoad);
  FromProgressBar->QuantoIniciar = [this](QObject*) {
    if (FLoader && !FLoader->isRunning()) FLoader->start(QThread::TimeCriticalPriority);
  };
  FromProgressBar->QuantoCancelar = [this](QObject*, bool& bFechar) {
    if (FLoader) FLoader->Terminate();
    bFechar = false;  // FinishLoad closes the window once the load has stopped
  };
  FromProgressBar->Execute(true);
}

// The layback of Lib/Positioning.ega for a log with the files a live part
// has beside it (the defaults when it does not exist). When it cannot be
// read the records are not positioned from those files, and the reason is
// returned to be said once the log has opened.
std::string TfrmFile::SetLayback(LoadOptions& options) const {
  try {
    options.layback = ReadLaybackSettingsOrDefaults(LibPath(AppContext::Instance().CurrentDir, "Positioning.ega"));
    return {};
  } catch (const SettingsError& error) {
    options.sideFiles = false;
    return error.what();
  }
}

// The window closes when FinishLoad has attached the result; the last
// position is therefore never shown.
void TfrmFile::ShowLoadProgress() {
  if (!FLoader || FLoader->Maximum() == 0) return;
  const std::uint64_t maximum = FLoader->Maximum();
  const std::uint64_t position = FLoader->Position();
  TMeuProgressBar& progress = *FromProgressBar->ProgressBar;
  progress.SetMaximo(ClampToInt(maximum));
  if (position < maximum) progress.SetPosicao(ClampToInt(position));
}

void TfrmFile::FinishLoad() {
  if (!FLoader) return;
  FProgressTimer->stop();
  const std::exception_ptr failure = FLoader->Failure();
  FLoader->deleteLater();
  FLoader = nullptr;
  FDocument = std::move(FLoading);
  if (failure) FDocument = std::make_shared<LogDocument>();  // frees what the failed load held
  FViews->Attach(FDocument);
  FindSurveyLines();
  switch (FDocument->Status()) {
    case LoadStatus::Loaded: ShowRecords(); break;
    case LoadStatus::Cancelled:
      ShowRecords();
      MarkPartial();
      break;
    case LoadStatus::Unreadable:
      ShowRawTextOnly();
      ShowMessage(QStringLiteral("Error"), QStringLiteral("Couldn't read the file ") + CellText(FileName()) + ".",
                  TMsgDlgType::mtError);
      break;
    case LoadStatus::Unknown:
    case LoadStatus::Empty: ShowRawTextOnly(); break;
  }
  FromProgressBar->CloseWindow();
  if (failure) {
    ReportLoadFailure(failure);
  } else if (FDocument->Status() == LoadStatus::Empty) {
    // Emptied between its recognition and the load: reported as any empty file.
    ShowMessage(QStringLiteral("Error"), QStringLiteral("File empty."), TMsgDlgType::mtError);
    CloseWindow();
    return;
  }
  ReportCommentsFailure();
  ReportSideFilesFailure();
}

// A comments file that exists but could not be read is said once, when the
// log has opened; its comments are not shown and none can be added.
void TfrmFile::ReportCommentsFailure() {
  if (FDocument->CommentsError().empty()) return;
  ShowMessage(QStringLiteral("Warning"),
              QString::fromStdString(FDocument->CommentsError()) +
                  QStringLiteral("\rThe comments are not shown, and no comment can be added until it can be read."),
              TMsgDlgType::mtWarning);
}

// Files beside the log (its reception times and NMEA) that could not be
// used are said once, when the log has opened: the records then show
// without their times and GPS positions.
void TfrmFile::ReportSideFilesFailure() {
  std::string problem = FDocument->SideFilesError();
  if (!FPositioningError.empty() && HasPositioningFiles(FDocument->FileName())) problem = FPositioningError;
  if (problem.empty()) return;
  ShowMessage(QStringLiteral("Warning"),
              CellText(problem) + QStringLiteral("\rThe records are shown without their reception times and GPS "
                                                 "positions."),
              TMsgDlgType::mtWarning);
}

void TfrmFile::ReportLoadFailure(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const std::bad_alloc&) {
    ShowMessage(QStringLiteral("Error"),
                QStringLiteral("Not enough memory to open the file ") + CellText(FileName()) + ".",
                TMsgDlgType::mtError);
  } catch (...) {
    AppContext::Instance().ReportCurrentException(this);
  }
}

// The records are shown: the error count, and the chart in the view settings
// (after its values, which set the zoom slider's range).
void TfrmFile::ShowRecords() {
  if (FDocument->ErrorCount() > 0) {
    btnErros->setEnabled(true);
    lblQtdErrors->setText(QString::number(FDocument->ErrorCount()));
  }
  ShowFlagCount();
  ApplyViewSettings(*Grafico1, AppContext::Instance().View);
  Track->SetLimit(AppContext::Instance().View.DevLimit);
  Track->SetAvailable(KindHasPositions());
  if (TrackPlot* plot = Track->Plot(); plot && Track->Available()) FillTrack(*plot);
}

// The count of flagged records, each flag's count in the tool tip.
void TfrmFile::ShowFlagCount() {
  const std::span<const std::uint8_t> flags = FDocument->QualityFlags();
  const auto flagged = std::count_if(flags.begin(), flags.end(), [](std::uint8_t f) { return f != 0; });
  lblQtdFlags->setText(QString::number(flagged));
  QStringList counts;
  for (const QualityFlag flag : kQualityFlags) {
    const auto count = std::count_if(flags.begin(), flags.end(), [flag](std::uint8_t f) { return (f & flag) != 0; });
    const std::string_view name = QualityFlagName(flag);
    counts << QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())) + ": " + QString::number(count);
  }
  lblQtdFlags->setToolTip(counts.join(QStringLiteral(", ")));
}

void TfrmFile::RequalifyRecords() {
  if (!FDocument || FLoader) return;
  FDocument->Requalify(AppContext::Instance().Alarms);
  FViews->Update();
  ShowFlagCount();
  if (TrackPlot* plot = Track->Plot()) plot->FlagsChanged();
}

// The survey lines are found once a load has finished (and again when a
// comment makes or removes a SOL or EOL mark); the chart and the track read
// them.
void TfrmFile::FindSurveyLines() {
  FLines.reset();
  if (KindHasPositions()) FLines = std::make_shared<RecordLines>(FindRecordLines(*FDocument, AppContext::Instance().MapDatum));
  Grafico1->SetSurveyLines(FLines);
  if (TrackPlot* plot = Track->Plot()) plot->SetLines(FLines);
}

bool TfrmFile::ChangesSurveyLines(std::string_view before, std::string_view after) const {
  return KindHasPositions() && (ReadLineMark(before) || ReadLineMark(after));
}

// Logs of kinds whose lines carry the towfish's position (the kinds table
// says which), logs positioned from the GPS beside them and navigation
// imports offer the track.
bool TfrmFile::KindHasPositions() const {
  return FileState().recognition == Recognition::Navigation || (Kind() && Kind()->positions) ||
         (FDocument && !FDocument->Received().empty());
}

// The track is built when first shown, and again for each later load; the
// ship's beside it where the log was positioned from its GPS.
void TfrmFile::FillTrack(TrackPlot& plot) {
  auto model = std::make_shared<TrackModel>(AppContext::Instance().MapDatum);
  BuildTrack(*FDocument, *model);
  auto ship = std::make_shared<TrackModel>(AppContext::Instance().MapDatum);
  plot.SetShipTrack(BuildShipTrack(*FDocument, *model, *ship) ? std::move(ship) : nullptr);
  plot.SetTrack(FDocument, std::move(model));
  plot.SetLines(FLines);
  if (const int row = PainelGrid1->CurrentRow(); row > 0) plot.HighlightRow(row);
}

// A cancelled load keeps what it read: the caption and the status line say
// how far, and the export says so again before it writes.
void TfrmFile::MarkPartial() {
  const QString partial = QStringLiteral("loaded up to line %1 of about %2")
                              .arg(FDocument->LoadedLineCount())
                              .arg(FDocument->RawLineCount());
  setWindowTitle(windowTitle() + QStringLiteral(" (") + partial + QStringLiteral(")"));
  lblPartial->setText(QStringLiteral("Partial: ") + partial);
}

// Only the raw text shows: the grid and chart panes are collapsed.
void TfrmFile::ShowRawTextOnly() {
  grpValidDataGrid->hide();
  grpGraphic->hide();
}

// ---- Selection ----

void TfrmFile::SelectRecord(int row) { FViews->SelectRecord(row); }

void TfrmFile::PainelGrid1AoClicar(int Linha, int Coluna) { FViews->CellClicked(Linha, Coluna); }

void TfrmFile::Grafico1AoClicar(double X) { FViews->ChartClicked(X); }

void TfrmFile::lstRawDataClick(long long line) { FViews->RawLineChosen(line); }

// ---- Comments ----

void TfrmFile::EditComment(int row) {
  if (!FDocument) return;
  QString text = CellText(FDocument->Cells().Cell(static_cast<std::size_t>(row), kColComment));
  if (!InputQuery(QStringLiteral("Comment"), QStringLiteral("Comment:"), text)) return;
  const std::string before(FDocument->Cells().Cell(static_cast<std::size_t>(row), kColComment));
  std::string error;
  const bool saved = FDocument->SetComment(static_cast<std::size_t>(row), text.toUtf8().toStdString(), &error);
  FViews->Update();
  if (ChangesSurveyLines(before, FDocument->Cells().Cell(static_cast<std::size_t>(row), kColComment)))
    FindSurveyLines();
  if (!saved) ShowMessage(QStringLiteral("Error"), QString::fromStdString(error), TMsgDlgType::mtError);
}

// ---- Commands, keys, activation ----

void TfrmFile::btnErrosClick() {
  if (FDocument && ShowErrorList) ShowErrorList(this, SplitLines(FDocument->ErrorListText()));
}

void TfrmFile::Button1Click() { Grafico1->CentralizaY(0); }

void TfrmFile::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_F7: Grafico1->PassoEscalaX(1); break;
    case Qt::Key_F8: Grafico1->PassoEscalaX(-1); break;
    case Qt::Key_F9: Grafico1->PassoEscalaY(1); break;
    case Qt::Key_F10: Grafico1->PassoEscalaY(-1); break;
    default: TfrmTypeFile::keyPressEvent(event); return;
  }
  event->accept();
}

void TfrmFile::FormActivate() {
  ShowLogWindowControls(*Grafico1);
  ApplyViewSettings(*Grafico1, AppContext::Instance().View);
  AppContext::Instance().SetActionsEnabled({QStringLiteral("actExportVDG")}, true);
  emit Activated(this);
}

// A document inside the main window is activated through its frame (the main
// window calls FormActivate); a free-standing one through its own activation.
bool TfrmFile::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && isWindow()) FormActivate();
  return TfrmTypeFile::event(event);
}

void TfrmFile::RecolourRows(TfrmTypeFile*, bool redrawChart, bool recolour) {
  if (recolour && FDocument) {
    FDocument->Recolour(AppContext::Instance().View);
    FViews->Update();
  }
  if (redrawChart) ApplyViewSettings(*Grafico1, AppContext::Instance().View);
  if (recolour) Track->SetLimit(AppContext::Instance().View.DevLimit);
}

// ---- Closing ----

// The navigation text of an import, written only where the output rule lets
// an export write (never a survey log, never a file an open window uses),
// through a temporary file renamed into place. Why not, empty when written.
std::string TfrmFile::SaveImportation(const std::string& path, const std::vector<std::string>& lines) const {
  const OutputVerdict verdict = CheckOutput(WriteKind::Export, path, "The importation file", FilesOfOpenWindows());
  if (!verdict.MayWrite()) return verdict.message;
  return ReplaceWithLines(path, lines);
}

// An unsaved import asks first; Cancel keeps the window open; a refused or
// failed save keeps it open too.
bool TfrmFile::ConfirmImportClose() {
  if (!Imported()) return true;
  msgMenssage->Botoes = {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo, TMsgDlgBtn::mbCancel};
  msgMenssage->Estilo = TMsgDlgType::mtConfirmation;
  msgMenssage->Caption = QStringLiteral("Confirmation");
  msgMenssage->Mensagem = QStringLiteral("Save importation?");
  const int answer = msgMenssage->Execute();
  if (answer == mrCancel) return false;
  if (answer != mrYes || !FDocument) return true;
  const QString path = ChooseImportSaveFile(this);
  if (path.isEmpty()) return true;
  std::vector<std::string> lines;
  lines.reserve(FDocument->RawLineCount());
  for (std::size_t i = 0; i < FDocument->RawLineCount(); ++i) lines.emplace_back(FDocument->RawLine(i));
  const std::string error = SaveImportation(path.toStdString(), lines);
  if (error.empty()) return true;
  ShowMessage(QStringLiteral("Error"), QString::fromStdString(error), TMsgDlgType::mtError);
  return false;
}

void TfrmFile::closeEvent(QCloseEvent* event) {
  if (!FClosing && !ConfirmImportClose()) {
    event->ignore();
    return;
  }
  if (!FClosing) {
    FClosing = true;
    if (FLoader) FLoader->Terminate();
    emit Closing(this);
    AppContext::Instance().SetActionsEnabled({QStringLiteral("actExportVDG")}, false);
  }
  TfrmTypeFile::closeEvent(event);
}

void TfrmFile::ShowMessage(const QString& caption, const QString& text, TMsgDlgType style) {
  msgMenssage->ShowOk(caption, text, style);
}

}  // namespace tessaly
