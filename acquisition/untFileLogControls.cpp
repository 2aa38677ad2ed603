// The logging window's controls: its layout, the function keys, auto
// scroll, the chart's "Y - 0" buttons, the alarm tiles and events list, view
// settings and activation (see untFileLog.h).
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <initializer_list>

#include "acquisition/AlarmTiles.h"
#include "acquisition/GpsStatusPanel.h"
#include "acquisition/untFileLog.h"
#include "shell/AppContext.h"
#include "shell/TrackPane.h"
#include "widgets/ChartSetup.h"
#include "widgets/GraficoOk.h"
#include "widgets/PainelGridOk.h"
#include "widgets/RawTextView.h"
#include "widgets/RecordViews.h"
#include "widgets/TrackPlot.h"

namespace tessaly {

void TfrmFileLog::BuildLayout() {
  resize(1060, 640);
  PageControl1 = new QTabWidget;
  PageControl1->addTab(BuildRawDataTab(), QStringLiteral("Raw Data"));
  PageControl1->addTab(BuildGraphTab(), QStringLiteral("Graph"));
  PageControl1->addTab(BuildEventsTab(), QStringLiteral("Events"));
  Alarms = new AlarmTiles;
  auto* views = new QVBoxLayout;
  views->addWidget(Alarms);
  views->addWidget(PageControl1, 1);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addLayout(views, 1);
  layout->addWidget(BuildControlPanel());

  views_ = std::make_unique<RecordViews>(*PainelGridok1, *Grafico1, *lstRawData,
                                         variant_.layout.empty() ? kRecordLayout : variant_.layout);
  views_->Attach(store_);
  views_->OnCellClicked = [this](int Linha, int Coluna) { PainelGridok1AoClicar(Linha, Coluna); };
  Track->FollowSelection(*views_);
  Track->SetLimit(AppContext::Instance().View.DevLimit);
  Track->SetAvailable(track_.Available());
  track_.Reset(store_, AppContext::Instance().MapDatum);
  Track->OnFirstShow = [this](TrackPlot& plot) {
    track_.Attach(plot, chbAutoScroll->isChecked());
  };
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
  ApplyChartDesignSettings(*Grafico1);
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

QWidget* TfrmFileLog::BuildEventsTab() {
  lstEvents = new QListWidget;
  lstEvents->setObjectName(QStringLiteral("lstEvents"));
  return lstEvents;
}

QWidget* TfrmFileLog::BuildControlPanel() {
  BuildGpsPanel();
  btnStart = new QPushButton(QString::fromLatin1(kStartCaption));
  btnPauseResume = new QPushButton(QString::fromLatin1(kPauseCaption));
  btnStop = new QPushButton(QString::fromLatin1(kStopCaption));
  btnErros = new QPushButton(QStringLiteral("Errors"));
  BitBtn1 = new QPushButton(QStringLiteral("Close"));
  chbAutoScroll = new QCheckBox(QStringLiteral("Auto Scroll"));
  chbAutoScroll->setChecked(true);
  lblStatus = new QLabel;
  lblStatus->setWordWrap(true);
  lblQtdErrors = new QLabel;
  lblQtdFlags = new QLabel(QStringLiteral("0"));
  lblQtdFlags->setToolTip(QStringLiteral("Records flagged: spike, noise, gap or depth"));
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
  auto* flags = new QHBoxLayout;
  flags->addWidget(new QLabel(QStringLiteral("Flags:")));
  flags->addWidget(lblQtdFlags, 1);
  grpFunctionKeys = new QGroupBox(QStringLiteral("Function Keys"));
  auto* keys = new QVBoxLayout(grpFunctionKeys);
  keys->setSpacing(0);  // a list: thirteen lines that must fit the window's height whole
  for (const char* text : {"F1: Start", "F2: Pause / Resume", "F3: Stop", "F4: Close", "F5: Auto Scroll On / Off",
                           "F6: Raw Data / Grafic", "F7: Horizontal Scale + ", "F8: Horizontal Scale - ",
                           "F9: Verical Scale +", "F10: Verical Scale -", "F11: Mark", "F12: Mark with a note",
                           "Esc: Silence the alarm"})
    keys->addWidget(new QLabel(QString::fromLatin1(text)));

  auto* panel = new QWidget;
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  for (QWidget* w : std::initializer_list<QWidget*>{btnStart, btnPauseResume, btnStop, chbAutoScroll, lblStatus})
    layout->addWidget(w);
  layout->addLayout(errors);
  layout->addLayout(flags);
  layout->addWidget(btnErros);
  layout->addWidget(grpGps);
  layout->addWidget(grpFunctionKeys);
  layout->addStretch();
  layout->addWidget(BitBtn1);
  // 170 pixels, or what its widest row needs whole (the GPS box's cable row).
  panel->setFixedWidth(std::max(170, layout->minimumSize().width()));
  return panel;
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
    case Qt::Key_F6: {  // between Raw Data and Graph; the Events tab is clicked
      constexpr int kViewTabs = 2;
      int next = PageControl1->currentIndex();
      do next = (next + 1) % kViewTabs;
      while (!PageControl1->isTabEnabled(next));
      PageControl1->setCurrentIndex(next);
      break;
    }
    case Qt::Key_F7: Grafico1->PassoEscalaX(1); break;
    case Qt::Key_F8: Grafico1->PassoEscalaX(-1); break;
    case Qt::Key_F9: Grafico1->PassoEscalaY(1); break;
    case Qt::Key_F10: Grafico1->PassoEscalaY(-1); break;
    case Qt::Key_F11: MarkLastRecord(QStringLiteral("F11"), false); break;
    case Qt::Key_F12: MarkLastRecord(QStringLiteral("F12"), true); break;
    case Qt::Key_Escape: Alarms->Acknowledge(); break;
    default: break;
  }
}

void TfrmFileLog::keyPressEvent(QKeyEvent* event) {
  if ((event->key() < Qt::Key_F1 || event->key() > Qt::Key_F12) && event->key() != Qt::Key_Escape) {
    TfrmTypeFile::keyPressEvent(event);
    return;
  }
  FormKeyDown(event->key());
  event->accept();
}

// ---- View settings, activation, closing ----

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

void TfrmFileLog::CloseWindow() {
  if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) {
    frame->close();
  } else {
    close();
  }
}

}  // namespace tessaly
