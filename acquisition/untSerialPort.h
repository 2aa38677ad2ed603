// TfrmSerialPort: "Serial Port": edit the settings of the serial component
// and of the GPS's port.
//
// While the window exists the seven serial commands are disabled; when it
// closes they come back unless a live logging window still holds them off
// (the live windows' rule). "&Save && Close" applies the controls to the
// component and rewrites Lib/SerialPort.ega and Lib/GpsPort.ega; the cancel
// button changes nothing. Nothing is saved while a live logging window is
// open: its session would take the new settings at its next reconnect.
//
// The instrument's port is a number ("Com Port #:", /dev/ttyS<N-1>) or a
// device chosen from the ports the system has (listed with their
// description, maker and serial number) or typed as a path; the number is
// kept either way, for settings files written before devices were. The GPS
// port is "None", a number or a device likewise, with its own baud rate
// (8 data bits, no parity, one stop bit).
//
// A field that does not hold a valid value (not an integer, a port number
// of 0 or below, a device that is not a path) keeps the window open
// (nothing applied or written) with the focus on that field.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "core/SerialDevice.h"
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

  // The serial ports the system has; Qt's serial port information unless a
  // test sets another list.
  static std::function<std::vector<SerialPortEntry>()> ListSystemPorts;

  QComboBox* cmbBaurdate;
  QComboBox* cmbParity;
  QSpinBox* spnDataBit;
  QLineEdit* numedtPortNumber;
  QComboBox* cmbDevice;  // "(Com Port #)", the system's ports, or a typed path
  QLineEdit* numedtRSize;
  QLineEdit* numedtWSize;
  QLineEdit* numedtRTO;
  QLineEdit* numedtWTO;
  QLineEdit* numedtXoffL;
  QLineEdit* numedtXonL;
  QComboBox* cmbGpsPort;  // "None", "Com Port #", the system's ports, or a typed path
  QLineEdit* numedtGpsPortNumber;
  QComboBox* cmbGpsBaudrate;
  QPushButton* BitBtn1;  // "&Save && Close"
  QPushButton* BitBtn2;  // cancel

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* BuildGpsGroup();
  void FormShow();
  // The settings in the controls; empty (after the warning, with the focus
  // on the bad control) when one does not hold a valid value.
  std::optional<SerialSettings> SettingsFromControls();
  std::optional<GpsPortSettings> GpsSettingsFromControls();
  // The device a port combo box names: empty for its first `fixedItems`
  // entries, the listed port's location, or the typed text; none when typed
  // text is not a device path.
  std::optional<std::string> ChosenDevice(const QComboBox* box, int fixedItems) const;
  void WriteSettingsFiles(const SerialSettings& settings, const GpsPortSettings& gps);
  void Refuse(QWidget* control);

  std::vector<SerialPortEntry> ports_;
  bool cancelled_ = false;
  bool actionsReleased_ = false;
};

}  // namespace tessaly
