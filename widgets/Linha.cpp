#include "widgets/Linha.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSlider>
#include <algorithm>

#include "widgets/BgrColour.h"
#include "widgets/ChartScale.h"
#include "widgets/GraficoOk.h"

namespace tessaly {

namespace {

// The dot of a point: a one-pixel rectangle drawn with a wide square pen.
void DrawDot(QPainter& painter, int x, int y, int size, BgrColor colour) {
  QPen pen(ToQColor(colour), std::max(size, 1), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
  painter.setPen(pen);
  painter.setBrush(ToQColor(colour));
  painter.drawRect(QRect(x + 1, y, 1, 1));
}

// A quality flag's mark: a short orange tick above the point, clear of the
// line and the dots; at the plot's top or bottom edge when the point lies
// beyond it, so a flag shows whatever the vertical zoom.
constexpr QRgb kFlagMark = 0xFFFF8C00;
constexpr int kFlagMarkGap = 4, kFlagMarkLength = 7;

void DrawFlagMark(QPainter& painter, int x, int y, int height) {
  const int bottom = std::clamp(y - kFlagMarkGap, kFlagMarkLength, std::max(kFlagMarkLength, height - 1));
  painter.setPen(QPen(QColor::fromRgb(kFlagMark), 2, Qt::SolidLine, Qt::FlatCap));
  painter.drawLine(x + 1, bottom - kFlagMarkLength, x + 1, bottom);
}

}  // namespace

TLinha::TLinha(TGraficoOK& chart, QWidget* parent) : QWidget(parent), chart_(chart) {}

void TLinha::AdicionaValor(double value) {
  if (shownFromElsewhere_) {
    own_.assign(valores_.begin(), valores_.end());
    shownFromElsewhere_ = false;
  }
  if (value > valorMaximo_) valorMaximo_ = value;
  own_.push_back(value);
  valores_ = own_;
  AfterValuesAdded(value == valorMaximo_);
}

void TLinha::MostraValores(std::span<const double> values) {
  const std::size_t shownBefore = valores_.size();
  own_ = std::vector<double>();
  valores_ = values;
  shownFromElsewhere_ = true;
  if (values.size() <= shownBefore) {
    if (values.size() < shownBefore) AfterValuesAdded(false);
    return;
  }
  const double largest = *std::max_element(values.begin() + static_cast<std::ptrdiff_t>(shownBefore), values.end());
  const bool peak = largest >= valorMaximo_;
  valorMaximo_ = std::max(valorMaximo_, largest);
  AfterValuesAdded(peak);
}

// The scroll bar and slider reach the last value; a peak resets the vertical
// zoom slider to its middle without applying that zoom (it is disabled while
// it moves).
void TLinha::AfterValuesAdded(bool peak) {
  const int count = QtdValores();
  if (chart_.navegadorX_) chart_.navegadorX_->setMaximum(count);
  if (chart_.escalaX_) chart_.escalaX_->setMaximum(count);
  if (peak && chart_.escalaY_) {
    QSlider* slider = chart_.escalaY_;
    slider->setEnabled(false);
    slider->setRange(14, 200);
    slider->setValue((14 + 200) / 2);
    slider->setEnabled(true);
  }
}

void TLinha::ShowFlags(std::span<const std::uint8_t> flags) {
  flags_ = flags;
  update();
}

void TLinha::Limpa() {
  own_.clear();
  valores_ = own_;
  shownFromElsewhere_ = false;
  flags_ = {};
}

void TLinha::SetSel(double index, double value) {
  selX_ = index;
  selY_ = value;
}

void TLinha::SetCor(BgrColor colour) {
  cor_ = colour;
  update();
}

void TLinha::SetLargura(int width) {
  largura_ = std::max(width, 0);
  update();
}

void TLinha::SetPostosVisiveis(bool on) {
  postosVisiveis_ = on;
  update();
}

void TLinha::SetPontosTamanho(int size) {
  pontosTamanho_ = size;
  update();
}

void TLinha::SetPontosCor(BgrColor colour) {
  pontosCor_ = colour;
  update();
}

// Walks the visible indices only and draws them as one polyline; the dots
// (and the highlighted point, once) go down as the walk passes them.
void TLinha::paintEvent(QPaintEvent*) {
  if (valores_.empty()) return;
  const TPainel& panel = chart_.Painel();
  const double perRecord = panel.RLarguraCelula();
  const double perUnit = panel.RAlturaCelula();
  const double top = panel.IndicesV().PPontoInicio();
  const double first = chart_.FirstIndex();
  const chart::IndexRange range = chart::VisibleIndices(first, valores_.size(), perRecord, width());
  if (range.begin >= range.end) return;
  const TGraficoInf& settings = chart_.Grafico();
  QPainter painter(this);
  QPolygon line;
  line.reserve(static_cast<qsizetype>(range.end - range.begin));
  for (std::size_t i = range.begin; i < range.end; ++i) {
    const int x = chart::PointX(static_cast<double>(i), first, perRecord);
    const int y = chart::PointY(valores_[i], top, perUnit);
    if (x <= width()) {
      if (postosVisiveis_) DrawDot(painter, x, y, pontosTamanho_, pontosCor_);
      if (seleciona_ && static_cast<double>(i) == selX_) {
        DrawDot(painter, x, y, settings.SelecaoTamPonto, settings.SelecaoCor);
        seleciona_ = false;
      }
    }
    line << QPoint(x, y);
  }
  painter.setPen(QPen(ToQColor(cor_), largura_));
  painter.setBrush(Qt::NoBrush);
  painter.drawPolyline(line);
  for (std::size_t i = range.begin; i < std::min(range.end, flags_.size()); ++i) {
    const QPoint point = line[static_cast<qsizetype>(i - range.begin)];
    if (flags_[i] != 0 && point.x() <= width()) DrawFlagMark(painter, point.x(), point.y(), height());
  }
}

void TLinha::mousePressEvent(QMouseEvent* event) {
  if (!chart_.AoClicar) return;
  const QPointF at = event->position();
  const TPainel& panel = chart_.Painel();
  seleciona_ = true;
  selX_ = chart::ClickIndex(at.x(), panel.RLarguraCelula(), panel.IndicesH().PPontoInicio());
  selY_ = chart::ClickValue(at.y(), panel.IndicesV().PPontoInicio(), panel.RAlturaCelula());
  chart_.AoClicar(this, seleciona_, selX_, selY_);
  if (seleciona_) update();
}

}  // namespace tessaly
