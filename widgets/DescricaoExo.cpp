#include "widgets/DescricaoExo.h"

#include <QPainter>
#include <algorithm>

namespace tessaly {

namespace {

constexpr int kOffset = 8;  // from the left (turned) or the top (level)

}  // namespace

TDescricaoExo::TDescricaoExo(int estilo, const QString& texto, QWidget* parent)
    : QWidget(parent), estilo_(estilo), texto_(texto) {
  setAutoFillBackground(true);
  setFont(QFont(QStringLiteral("Arial"), 8));
}

void TDescricaoExo::SetEstilo(int estilo) {
  estilo_ = estilo;
  update();
}

void TDescricaoExo::SetTexto(const QString& texto) {
  texto_ = texto;
  update();
}

void TDescricaoExo::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(Qt::black);
  const QFontMetrics metrics = fontMetrics();
  if (estilo_ == 0) {
    // Reading upward, the glyphs' tops 8 pixels from the left, centred in height.
    painter.translate(kOffset + metrics.ascent(), (height() + metrics.horizontalAdvance(texto_)) / 2);
    painter.rotate(-90);
    painter.drawText(0, 0, texto_);
  } else {
    const int top = std::max(0, std::min(kOffset, height() - metrics.height()));
    painter.drawText(QRect(0, top, width(), metrics.height()), Qt::AlignHCenter | Qt::AlignTop, texto_);
  }
}

}  // namespace tessaly
