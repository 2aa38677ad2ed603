#include "acquisition/GpsStatusPanel.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "core/CableHistory.h"
#include "core/Clock.h"
#include "core/GpsStatusText.h"

namespace tessaly {

namespace {

QLabel* WrappingLabel() {
  auto* label = new QLabel;
  label->setWordWrap(true);
  return label;
}

// Wide enough for any cable out below 10 km ("9999.9 m") whole in the
// edit's font and style.
int CableEditWidth(const QDoubleSpinBox& edit) {
  QDoubleSpinBox widest;
  widest.setFont(edit.font());
  widest.setDecimals(edit.decimals());
  widest.setSuffix(edit.suffix());
  widest.setRange(0.0, 9999.9);
  return widest.sizeHint().width();
}

// A wrapped label keeps the height of all its lines in the narrow panel.
void FitHeight(QLabel* label, int width) {
  label->setMinimumHeight(label->text().isEmpty() ? 0 : label->heightForWidth(width));
}

}  // namespace

GpsStatusPanel::GpsStatusPanel(QWidget* parent) : QGroupBox(QStringLiteral("GPS"), parent) {
  lblPort = WrappingLabel();
  lblFix = WrappingLabel();
  lblTowfish = WrappingLabel();
  edtCable = new QDoubleSpinBox;
  edtCable->setRange(0.0, kMaxCableOut);
  edtCable->setDecimals(1);
  edtCable->setSuffix(QStringLiteral(" m"));
  edtCable->setToolTip(QStringLiteral("Cable out: the change is recorded with its time"));
  btnSetCable = new QPushButton(QStringLiteral("Set"));
  btnUseGps = new QPushButton(QStringLiteral("Use this device"));
  connect(btnSetCable, &QPushButton::clicked, this, &GpsStatusPanel::SetCable);
  connect(btnUseGps, &QPushButton::clicked, this, [this] {
    if (OnUseOtherGps) OnUseOtherGps();
  });

  // The narrow panel's row: the edit keeps its width, the button is no
  // wider than its caption.
  edtCable->setMinimumWidth(CableEditWidth(*edtCable));
  btnSetCable->setFixedWidth(btnSetCable->fontMetrics().horizontalAdvance(btnSetCable->text()) + 16);
  auto* cable = new QHBoxLayout;
  cable->setSpacing(4);
  cable->addWidget(new QLabel(QStringLiteral("Cable:")));
  cable->addWidget(edtCable, 1);
  cable->addWidget(btnSetCable);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  for (QWidget* w : {static_cast<QWidget*>(lblPort), static_cast<QWidget*>(lblFix), static_cast<QWidget*>(lblTowfish)})
    layout->addWidget(w);
  layout->addWidget(btnUseGps);
  layout->addLayout(cable);

  ageTimer_ = new QTimer(this);
  ageTimer_->setInterval(500);
  connect(ageTimer_, &QTimer::timeout, this, &GpsStatusPanel::Refresh);
  SessionStopped();
}

void GpsStatusPanel::SessionStarted(bool gps, double cableOut) {
  gps_ = gps;
  status_.reset();
  edtCable->setValue(cableOut);
  lblTowfish->clear();
  if (gps_) ageTimer_->start();
  Refresh();
}

void GpsStatusPanel::SessionStopped() {
  gps_ = false;
  status_.reset();
  ageTimer_->stop();
  Refresh();
}

void GpsStatusPanel::ShowStatus(const LiveGpsStatus& status) {
  if (!status_ || status_->cableOut != status.cableOut) edtCable->setValue(status.cableOut);
  status_ = status;
  Refresh();
}

void GpsStatusPanel::ShowNewest(const LivePosition& newest) {
  lblTowfish->setText(QString::fromStdString(TowfishText(newest)));
  Refresh();
}

void GpsStatusPanel::Refresh() {
  const bool live = gps_ && status_;
  lblPort->setText(QString::fromStdString(live ? GpsPortText(status_->port) : kNoGpsText));
  lblPort->setVisible(!lblPort->text().isEmpty());
  lblFix->setText(live ? QString::fromStdString(GpsFixText(*status_, SystemClock().UtcNs())) : QString());
  lblFix->setVisible(live);
  if (live && !status_->fileError.empty()) lblFix->setText(lblFix->text() + "\n" + QString::fromStdString(status_->fileError));
  lblTowfish->setVisible(gps_ && !lblTowfish->text().isEmpty());
  btnUseGps->setVisible(live && status_->port.state == GpsPortState::OtherDevice);
  edtCable->setEnabled(gps_);
  btnSetCable->setEnabled(gps_);
  const QMargins margins = layout()->contentsMargins();
  const int width = std::max(contentsRect().width() - margins.left() - margins.right(), 100);
  for (QLabel* label : {lblPort, lblFix, lblTowfish}) FitHeight(label, width);
}

void GpsStatusPanel::SetCable() {
  if (OnCableOut) OnCableOut(edtCable->value());
}

}  // namespace tessaly
