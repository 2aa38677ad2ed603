#include "shell/FileAnimation.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace tessaly {
namespace {

void PaintPage(QPainter& p, QPointF topLeft, double scale) {
  const double w = 22 * scale, h = 28 * scale, fold = 7 * scale;
  QPainterPath page;
  page.moveTo(topLeft);
  page.lineTo(topLeft + QPointF(w - fold, 0));
  page.lineTo(topLeft + QPointF(w, fold));
  page.lineTo(topLeft + QPointF(w, h));
  page.lineTo(topLeft + QPointF(0, h));
  page.closeSubpath();
  p.setPen(QPen(QColor(90, 90, 90), 1));
  p.setBrush(Qt::white);
  p.drawPath(page);
  p.setPen(QPen(QColor(150, 170, 200), 1));
  for (int i = 0; i < 4; ++i) {
    const double y = topLeft.y() + (10 + 4 * i) * scale;
    p.drawLine(QPointF(topLeft.x() + 4 * scale, y), QPointF(topLeft.x() + w - 4 * scale, y));
  }
}

void PaintFolder(QPainter& p, QRectF box) {
  p.setPen(QPen(QColor(150, 110, 20), 1));
  p.setBrush(QColor(240, 200, 90));
  p.drawRoundedRect(QRectF(box.x(), box.y(), box.width() * 0.45, 6), 2, 2);
  p.drawRoundedRect(QRectF(box.x(), box.y() + 4, box.width(), box.height() - 4), 3, 3);
}

}  // namespace

FileAnimation::FileAnimation(QWidget* parent) : QWidget(parent) {
  timer_.setInterval(60);
  connect(&timer_, &QTimer::timeout, this, [this] {
    frame_ = (frame_ + 1) % kFrames;
    update();
  });
}

void FileAnimation::SetKind(TCommonAVI kind) {
  kind_ = kind;
  if (kind_ == TCommonAVI::aviNone) Stop();
  update();
}

void FileAnimation::Start() {
  if (kind_ != TCommonAVI::aviNone) timer_.start();
}

void FileAnimation::Stop() { timer_.stop(); }

void FileAnimation::paintEvent(QPaintEvent*) {
  if (kind_ == TCommonAVI::aviNone) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const double phase = static_cast<double>(frame_) / kFrames;
  switch (kind_) {
    case TCommonAVI::aviFindFolder:
    case TCommonAVI::aviFindFile:
    case TCommonAVI::aviFindComputer: PaintSearch(painter, phase); break;
    default: PaintTransfer(painter, phase); break;
  }
}

void FileAnimation::PaintSearch(QPainter& p, double phase) {
  const QPointF centre(width() / 2.0, height() / 2.0);
  for (int i = -1; i <= 1; ++i) PaintPage(p, centre + QPointF(i * 34 - 11, -17), 1.2);
  const double angle = 2 * std::numbers::pi * phase;
  const QPointF lens = centre + QPointF(42 * std::cos(angle), 10 * std::sin(2 * angle));
  p.setPen(QPen(QColor(70, 50, 30), 4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(lens + QPointF(8, 8), lens + QPointF(17, 17));
  p.setPen(QPen(QColor(60, 60, 60), 2));
  p.setBrush(QColor(190, 220, 255, 150));
  p.drawEllipse(lens, 11, 11);
}

void FileAnimation::PaintTransfer(QPainter& p, double phase) {
  const double y = height() / 2.0 - 6;
  const QRectF from(20, y, 44, 32), to(width() - 64, y, 44, 32);
  PaintFolder(p, from);
  PaintFolder(p, to);
  const double startX = from.center().x() - 11, endX = to.center().x() - 11;
  const double x = startX + (endX - startX) * phase;
  const double lift = 12 * std::sin(std::numbers::pi * phase);
  PaintPage(p, QPointF(x, y - 6 - lift), 1.0);
}

}  // namespace tessaly
