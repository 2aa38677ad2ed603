// TfrmSerialPort: "Serial Port": edit the settings of the serial component.
// While the window exists the seven serial commands are disabled. "&Save &&
// Close" applies the controls to the component and rewrites
// Lib/SerialPort.ega; the cancel button changes nothing. A field that does
// not hold an integer keeps the window open (nothing applied or written) with
// the focus on that field, since a stored non-number would lose every serial
// setting at the next start.
#pragma once

#include "core/SettingsStore.h"
#include "shell/untMother.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace tessaly {

class TfrmSerialPort : public TfrmMother {
  Q_OBJECT

 public:
  explicit TfrmSerialPort(QWidget* parent = nullptr);
  ~TfrmSerialPort() override;

  QComboBox* cmbBaurdate;
  QComboBox* cmbParity;
  QSpinBox* spnDataBit;
  QLineEdit* numedtPortNumber;
  QLineEdit* numedtRSize;
  QLineEdit* numedtWSize;
  QLineEdit* numedtRTO;
  QLineEdit* numedtWTO;
  QLineEdit* numedtXoffL;
  QLineEdit* numedtXonL;
  QPushButton* BitBtn1;  // "&Save && Close"
  QPushButton* BitBtn2;  // cancel

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormShow();
  // The settings in the controls; empty (after the warning, with the focus
  // on the bad control) when one does not hold a valid value.
  std::optional<SerialSettings> SettingsFromControls();
  void WriteSettingsFile(const SerialSettings& settings);
  void Refuse(QWidget* control);

  bool cancelled_ = false;
  bool actionsReleased_ = false;
};

}  // namespace tessaly
