#include "shell/untUTM.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QPushButton>

#include "core/SettingsStore.h"
#include "shell/AppContext.h"

namespace tessaly {

const QStringList& TfrmUTM::MapDatumNames() {
  static const QStringList names{
      "Airy",        "AustralianNational", "Bessel1841",         "Bessel1841Nambia",    "Clarke1866",
      "Clarke1880",  "Everest",            "Fischer1960Mercury", "Fischer1968",         "GRS1967",
      "GRS1980",     "Helmert1906",        "Hough",              "International",       "Krassovsky",
      "ModifiedAiry", "ModifiedEverest",   "ModifiedFischer1960", "SouthAmerican1969",  "WGS60",
      "WGS66",       "WGS72",              "WGS84"};
  return names;
}

TfrmUTM::TfrmUTM(QWidget* parent)
    : TfrmMother(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  // The one UTM window lives for the whole run: closing only hides it.
  setAttribute(Qt::WA_DeleteOnClose, false);
  setWindowTitle(QStringLiteral("UTM Configuration"));
  setFixedSize(300, 120);

  auto* label = new QLabel(QStringLiteral("Map Datum:"), this);
  label->setGeometry(16, 14, 200, 20);
  cmbMapDatum = new QComboBox(this);
  cmbMapDatum->setObjectName("cmbMapDatum");
  cmbMapDatum->addItems(MapDatumNames());
  cmbMapDatum->setCurrentIndex(0);
  cmbMapDatum->setGeometry(16, 36, 268, 26);
  label->setBuddy(cmbMapDatum);

  BitBtn1 = new QPushButton(QStringLiteral("&Save && Close"), this);
  BitBtn1->setObjectName("BitBtn1");
  BitBtn1->setDefault(true);
  BitBtn1->setGeometry(76, 80, 116, 28);
  BitBtn2 = new QPushButton(QStringLiteral("Cancel"), this);
  BitBtn2->setObjectName("BitBtn2");
  BitBtn2->setGeometry(200, 80, 84, 28);
  connect(BitBtn1, &QPushButton::clicked, this, &QWidget::close);
  connect(BitBtn2, &QPushButton::clicked, this, &QWidget::close);
  CentreOnMainWindow();
}

// Shown, the window holds the datum in use even before it is activated (or
// when it never is): closing it stores what it holds.
void TfrmUTM::showEvent(QShowEvent* event) {
  FormActivate();
  TfrmMother::showEvent(event);
}

void TfrmUTM::changeEvent(QEvent* event) {
  TfrmMother::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TfrmUTM::FormActivate() { cmbMapDatum->setCurrentIndex(AppContext::Instance().MapDatum); }

void TfrmUTM::closeEvent(QCloseEvent* event) {
  FormClose();
  TfrmMother::closeEvent(event);
}

void TfrmUTM::FormClose() {
  const int index = cmbMapDatum->currentIndex();
  if (index < 0) return;
  AppContext::Instance().MapDatum = index;
  RewriteSettings([&] { WriteMapDatum(LibFile("UTM.ega"), index); });
}

}  // namespace tessaly
