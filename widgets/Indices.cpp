#include "widgets/Indices.h"

#include <QFontMetrics>
#include <QPainter>

#include "widgets/GraficoOk.h"

namespace tessaly {

namespace {

constexpr int kLongTick = 5;
constexpr int kShortTick = 2;
constexpr int kValueTextGap = 10;  // right edge of a value text to the strip's right edge

QString LabelText(double value) { return QString::fromStdString(chart::FormatValue(value)); }

}  // namespace

TIndices::TIndices(TGraficoOK& chart, int estilo, QWidget* parent)
    : QWidget(parent), chart_(chart), estilo_(estilo) {
  setAutoFillBackground(true);
  QFont small = font();
  small.setPointSize(8);
  setFont(small);
}

void TIndices::Recalcula() {
  const TPainel& panel = chart_.Painel();
  if (estilo_ == 0) {
    labels_ = chart::ValueLabels(height(), panel.AlturaCelula(), chart_.pontoMedioY_,
                                 chart_.incrementoY_, fontMetrics().height());
    pPontoInicio_ = chart::TopValue(panel.height(), chart_.pontoMedioY_, panel.RAlturaCelula());
    pPontoFinal_ = labels_.empty() ? pPontoInicio_ : labels_.back().value;
  } else {
    const QFontMetrics metrics = fontMetrics();
    labels_ = chart::RecordLabels(
        panel.width(), panel.LarguraCelula(), chart_.pontoInicioX_, chart_.incrementoX_,
        [&metrics](const std::string& text) { return metrics.horizontalAdvance(QString::fromStdString(text)); });
    pPontoInicio_ = chart_.pontoInicioX_;
    pPontoFinal_ = labels_.empty() ? pPontoInicio_ : labels_.back().value;
  }
  update();
  chart_.RepaintLine();
}

void TIndices::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(Qt::black);
  if (estilo_ == 0) {
    PaintValueLabels(painter);
  } else {
    PaintRecordLabels(painter);
  }
}

// A tick running left from the right edge, the text right-aligned 10 pixels
// from that edge and centred on the tick.
void TIndices::PaintValueLabels(QPainter& painter) {
  const int right = width() - 1;
  const int textHeight = fontMetrics().height();
  for (const chart::Label& label : labels_) {
    const int y = qRound(label.position);
    if (!label.withText) {
      painter.drawLine(right - kShortTick + 1, y, right, y);
      continue;
    }
    painter.drawLine(right - kLongTick + 1, y, right, y);
    const QRect box(0, y - textHeight / 2, width() - kValueTextGap, textHeight);
    painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, LabelText(label.value));
  }
}

// A tick down from the top, the text below it starting two pixels left.
void TIndices::PaintRecordLabels(QPainter& painter) {
  const int textHeight = fontMetrics().height();
  for (const chart::Label& label : labels_) {
    const int x = qRound(label.position);
    painter.drawLine(x, 0, x, (label.withText ? kLongTick : kShortTick) - 1);
    if (label.withText) {
      painter.drawText(QRect(x - 2, kLongTick, width(), textHeight), Qt::AlignLeft | Qt::AlignTop,
                       LabelText(label.value));
    }
  }
}

}  // namespace tessaly
