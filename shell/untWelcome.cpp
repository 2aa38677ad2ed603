#include "shell/untWelcome.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>

#include "shell/AppContext.h"
#include "shell/JpegImage.h"
#include "shell/ProductInfo.h"

namespace tessaly {
namespace {

QLabel* CentredLabel(const QString& text, const QFont& font, const QRect& place, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignCenter);
  label->setFont(font);
  label->setGeometry(place);
  return label;
}

}  // namespace

TfrmWelcome::TfrmWelcome(QWidget* parent)
    : TfrmBigMother(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setFixedSize(kWidth, kHeight);

  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setGeometry((kWidth - 552) / 2, 8, 552, 288);

  QFont nameFont(QStringLiteral("Arial Black"));
  nameFont.setPixelSize(48);
  nameFont.setBold(true);
  nameFont.setStyleHint(QFont::SansSerif);
  Label2 = CentredLabel(QString::fromUtf8(product::kName), nameFont, QRect(0, 298, kWidth, 66), this);
  Label2->setObjectName("Label2");

  QFont noticeFont(QStringLiteral("Times New Roman"));
  noticeFont.setPixelSize(16);
  noticeFont.setStyleHint(QFont::Serif);
  lblCopyright =
      CentredLabel(QString::fromUtf8(product::kLegalNotice), noticeFont, QRect(0, kHeight - 36, kWidth, 24), this);
  lblCopyright->setObjectName("lblCopyright");

  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  show();
  try {
    Image1->setPixmap(QPixmap::fromImage(LoadJpegImage(CurrentDir + product::kPicture)));
  } catch (...) {
    AppContext::Instance().ReportCurrentException(this);
  }
}

void TfrmWelcome::changeEvent(QEvent* event) {
  TfrmBigMother::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) hide();
}

void TfrmWelcome::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QLinearGradient backdrop(0, 0, 0, height());
  backdrop.setColorAt(0, QColor(250, 252, 255));
  backdrop.setColorAt(1, QColor(214, 226, 240));
  painter.fillRect(rect(), backdrop);
  painter.setPen(QColor(70, 90, 120));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace tessaly
