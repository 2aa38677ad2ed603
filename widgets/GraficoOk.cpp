#include "widgets/GraficoOk.h"

#include <QPainter>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <algorithm>
#include <cmath>

#include "widgets/BgrColour.h"
#include "widgets/ChartScale.h"
#include "widgets/ZoomSlider.h"

namespace tessaly {

namespace {

constexpr int kSliderThickness = 16;
constexpr int kSliderStep = 3;

QSlider* MakeSlider(Qt::Orientation orientation, int minimum, int maximum, QWidget* parent) {
  auto* slider = new TZoomSlider(orientation, parent);
  slider->setFocusPolicy(Qt::StrongFocus);
  slider->setRange(minimum, maximum);
  slider->setTickInterval(kSliderStep);
  slider->setSingleStep(kSliderStep);
  slider->setPageStep(kSliderStep);
  return slider;
}

// A computed position put on a scroll bar, held within its bounds.
void MoveBar(QScrollBar* bar, double position) {
  bar->setValue(static_cast<int>(std::clamp(position, static_cast<double>(bar->minimum()),
                                            static_cast<double>(bar->maximum()))));
}

void StepSlider(QSlider* slider, int delta) {
  if (!slider) return;
  const int position = slider->value() + delta;
  if (position >= slider->minimum() && position <= slider->maximum()) slider->setValue(position);
}

}  // namespace

TGraficoOK::TGraficoOK(QWidget* parent) : QFrame(parent), grafico_(*this) {
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setAutoFillBackground(true);
  resize(561, 200);
  backPainel_ = new TBackPainel(this);
  backPainel_->setGeometry(TPainel::kLeft, TPainel::kTop, width() - TPainel::kLeft - TPainel::kRightMargin,
                           height() - TPainel::kTop - TPainel::kBottomMargin);
  painel_ = new TPainel(*this, *backPainel_);
  descricaoX_ = new TDescricaoExo(1, QStringLiteral("Exo X"), this);
  descricaoY_ = new TDescricaoExo(0, QStringLiteral("Exo Y"), this);
  SetColor(0xF0F0F0);
  PlaceControls();
}

TGraficoOK::~TGraficoOK() = default;

void TGraficoOK::SetColor(BgrColor colour) {
  color_ = colour;
  QPalette colours = palette();
  colours.setColor(QPalette::Window, ToQColor(colour));
  setPalette(colours);
  update();
}

void TGraficoOK::SelecionaPonto(double index) {
  TLinha& line = painel_->Linha();
  if (!std::isfinite(index) || index > line.QtdValores()) return;
  const TIndices& records = painel_->IndicesH();
  if (navegadorX_ && (index < records.PPontoInicio() || index > records.PPontoFinal())) {
    MoveBar(navegadorX_, index - records.QtdPontos() / 2);
  }
  line.SetSel(index, 0);
  line.SetSeleciona(true);
  RepaintLine();
}

void TGraficoOK::CentralizaY(double value) {
  if (!std::isfinite(value)) return;
  if (navegadorY_) MoveBar(navegadorY_, navegadorY_->maximum() / 2 - value);
  grafico_.SetPontoMedioY(value);
  RepaintLine();
}

void TGraficoOK::PassoEscalaX(int delta) { StepSlider(escalaX_, delta); }
void TGraficoOK::PassoEscalaY(int delta) { StepSlider(escalaY_, delta); }

void TGraficoOK::SetSurveyLines(std::shared_ptr<const RecordLines> lines) {
  surveyLines_ = std::move(lines);
  painel_->update();
}

double TGraficoOK::FirstIndex() const { return navegadorX_ ? navegadorX_->value() : 0; }

// The navigator's position is the first index shown; the record labels start
// from it so that labels, points and clicks agree.
void TGraficoOK::SetNavegadorX(bool on) {
  if (on == (navegadorX_ != nullptr)) return;
  delete navegadorX_;
  navegadorX_ = nullptr;
  if (on) {
    navegadorX_ = new QScrollBar(Qt::Horizontal, this);
    navegadorX_->setFocusPolicy(Qt::StrongFocus);
    navegadorX_->setRange(0, painel_->Linha().QtdValores());
    connect(navegadorX_, &QScrollBar::valueChanged, this, [this](int position) {
      grafico_.SetPontoInicioX(position);
      RepaintLine();
    });
    navegadorX_->show();
    grafico_.SetPontoInicioX(0);
  }
  PlaceControls();
  RepaintLine();
}

// The middle position shows 0 on the middle line.
void TGraficoOK::SetNavegadorY(bool on) {
  if (on == (navegadorY_ != nullptr)) return;
  delete navegadorY_;
  navegadorY_ = nullptr;
  if (on) {
    navegadorY_ = new QScrollBar(Qt::Vertical, this);
    navegadorY_->setFocusPolicy(Qt::StrongFocus);
    navegadorY_->setRange(0, 100);
    navegadorY_->setValue(50);
    connect(navegadorY_, &QScrollBar::valueChanged, this, [this](int position) {
      grafico_.SetPontoMedioY(navegadorY_->maximum() / 2 - position);
    });
    navegadorY_->show();
  }
  PlaceControls();
}

void TGraficoOK::SetEscalaX(bool on) {
  if (on == (escalaX_ != nullptr)) return;
  delete escalaX_;
  escalaX_ = nullptr;
  if (on) {
    escalaX_ = MakeSlider(Qt::Horizontal, 16, 1000, this);
    escalaX_->setTickPosition(QSlider::TicksBelow);
    escalaX_->setValue(grafico_.EscalaXInicial);
    connect(escalaX_, &QSlider::valueChanged, this, &TGraficoOK::ApplyHorizontalZoom);
    escalaX_->show();
  }
  PlaceControls();
}

void TGraficoOK::SetEscalaY(bool on) {
  if (on == (escalaY_ != nullptr)) return;
  delete escalaY_;
  escalaY_ = nullptr;
  if (on) {
    escalaY_ = MakeSlider(Qt::Vertical, 22, 100000, this);
    escalaY_->setTickPosition(QSlider::TicksLeft);
    escalaY_->setValue(grafico_.EscalaYInicial);
    connect(escalaY_, &QSlider::valueChanged, this, &TGraficoOK::ApplyVerticalZoom);
    escalaY_->show();
  }
  PlaceControls();
}

void TGraficoOK::ApplyHorizontalZoom(int position) {
  const chart::HorizontalZoom zoom = chart::HorizontalZoomAt(position);
  grafico_.SetIncrementoX(zoom.increment);
  painel_->SetQtdColunas(zoom.columns);
  RefreshRecordLabels();
}

// A disabled slider is being moved by the program (peak reset): no zoom.
void TGraficoOK::ApplyVerticalZoom(int position) {
  if (!escalaY_ || !escalaY_->isEnabledTo(this)) return;
  const chart::VerticalZoom zoom = chart::VerticalZoomAt(position);
  grafico_.SetIncrementoY(zoom.increment);
  painel_->SetQtdLinhas(zoom.rows);
  RefreshValueLabels();
}

void TGraficoOK::PlaceControls() {
  const int w = width();
  const int h = height();
  backPainel_->setGeometry(TPainel::kLeft, TPainel::kTop,
                           std::max(w - TPainel::kLeft - TPainel::kRightMargin, 1),
                           std::max(h - TPainel::kTop - TPainel::kBottomMargin, 1));
  painel_->PlaceParts();
  const QRect b = backPainel_->geometry();
  descricaoY_->setGeometry(b.left() - 52 - 20, b.top(), 20, b.height());
  descricaoX_->setGeometry(b.left(), b.bottom() + 1 + 2 + 20, b.width(), 20);
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  if (escalaX_) escalaX_->setGeometry(0, 2, w, kSliderThickness);
  if (escalaY_) escalaY_->setGeometry(w - 22, 22, kSliderThickness, h - 49);
  if (navegadorX_) navegadorX_->setGeometry(6, h - 21, w - 11, bar);
  if (navegadorY_) navegadorY_->setGeometry(6, 22, bar, h - 49);
  RefreshValueLabels();
  RefreshRecordLabels();
}

void TGraficoOK::RefreshValueLabels() { painel_->IndicesV().Recalcula(); }
void TGraficoOK::RefreshRecordLabels() { painel_->IndicesH().Recalcula(); }
void TGraficoOK::RepaintLine() { painel_->Linha().update(); }

// A 2-pixel black frame just outside the plot.
void TGraficoOK::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  painter.setPen(QPen(Qt::black, 2));
  const QRect b = backPainel_->geometry();
  painter.drawRect(QRect(b.left() - 1, b.top() - 1, b.width() + 1, b.height() + 1));
}

void TGraficoOK::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  PlaceControls();
}

}  // namespace tessaly
