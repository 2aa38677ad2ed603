// TfrmUTM: "UTM Configuration": choose the map datum (the reference ellipsoid
// of every UTM conversion). The choice is kept in AppContext::MapDatum and in
// Lib/UTM.ega however the window is closed. Unlike the rest of its family the
// window is not freed when closed: the main window creates it once, hidden,
// and shows it at each "UTM" command.
#pragma once

#include "shell/untMother.h"

class QComboBox;
class QPushButton;

namespace tessaly {

class TfrmUTM : public TfrmMother {
  Q_OBJECT

 public:
  explicit TfrmUTM(QWidget* parent = nullptr);

  QComboBox* cmbMapDatum;
  QPushButton* BitBtn1;  // "&Save && Close"
  QPushButton* BitBtn2;  // cancel

  // The 23 entries of cmbMapDatum, in map-datum order.
  static const QStringList& MapDatumNames();

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormActivate();
  void FormClose();
};

}  // namespace tessaly
