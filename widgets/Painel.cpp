#include "widgets/Painel.h"

#include <QPainter>

#include <algorithm>

#include "widgets/BgrColour.h"
#include "widgets/ChartLines.h"
#include "widgets/ChartScale.h"
#include "widgets/GraficoOk.h"

namespace tessaly {

TBackPainel::TBackPainel(QWidget* parent) : QWidget(parent) {}

TPainel::TPainel(TGraficoOK& chart, TBackPainel& back)
    : QWidget(&back),
      chart_(chart),
      back_(back),
      indicesV_(new TIndices(chart, 0, &chart)),
      indicesH_(new TIndices(chart, 1, &chart)),
      linha_(new TLinha(chart, this)) {
  setGeometry(back.rect());
  alturaCelula_ = height() / static_cast<double>(qtdLinhas_);
  larguraCelula_ = width() / static_cast<double>(qtdColunas_);
}

int TPainel::Topo() const { return back_.y(); }
int TPainel::Esquerda() const { return back_.x(); }
int TPainel::Largura() const { return width(); }
int TPainel::Altura() const { return height(); }

void TPainel::SetQtdLinhas(int rows) {
  qtdLinhas_ = rows;
  if (rows > 0) SetAlturaCelula(height() / static_cast<double>(rows));
}

void TPainel::SetQtdColunas(int cols) {
  qtdColunas_ = cols;
  if (cols > 0) SetLarguraCelula(width() / static_cast<double>(cols));
}

void TPainel::SetCor(BgrColor colour) {
  cor_ = colour;
  update();
}

void TPainel::SetCorExo(BgrColor colour) {
  corExo_ = colour;
  update();
}

void TPainel::SetAlturaCelula(double pixels) {
  if (pixels <= 0 || pixels == alturaCelula_) return;
  alturaCelula_ = pixels;
  update();
  chart_.RefreshValueLabels();
}

void TPainel::SetLarguraCelula(double pixels) {
  if (pixels <= 0 || pixels == larguraCelula_) return;
  larguraCelula_ = pixels;
  update();
  chart_.RefreshRecordLabels();
}

double TPainel::RAlturaCelula() const { return alturaCelula_ / chart_.incrementoY_; }
double TPainel::RLarguraCelula() const { return larguraCelula_ / chart_.incrementoX_; }

void TPainel::PlaceParts() {
  setGeometry(back_.rect());
  linha_->setGeometry(rect());
  const QRect b = back_.geometry();
  indicesV_->setGeometry(b.left() - 52, b.top() - 5, 50, b.height() + 10);
  indicesH_->setGeometry(b.left() - 3, b.top() + b.height() + 2, b.width() + 10, 20);
}

// The dotted grid: horizontal lines from the middle line outward, vertical
// lines one cell apart from x = 1 + cell width.
void TPainel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), ToQColor(cor_));
  painter.setPen(QPen(ToQColor(corExo_), 1, Qt::DotLine));
  for (double y : chart::HorizontalGridLines(height(), alturaCelula_)) {
    painter.drawLine(1, qRound(y), width(), qRound(y));
  }
  for (double x : chart::VerticalGridLines(width(), larguraCelula_)) {
    painter.drawLine(qRound(x), 1, qRound(x), height());
  }
  PaintSurveyLines(painter);
}

// Over the grid, beneath the profile: the records the profile walks, placed
// as it places them.
void TPainel::PaintSurveyLines(QPainter& painter) const {
  const RecordLines* lines = chart_.SurveyLines();
  if (!lines) return;
  const std::size_t count = linha_->Valores().size();
  const double first = chart_.FirstIndex(), perRecord = RLarguraCelula();
  const chart::IndexRange visible = chart::VisibleIndices(first, count, perRecord, width());
  if (visible.begin >= visible.end) return;
  const int lastX = chart::PointX(static_cast<double>(count - 1), first, perRecord);
  PaintChartLines(painter, VisibleLineSpans(*lines, visible, first, perRecord), std::min(lastX, width()), height());
}

}  // namespace tessaly
