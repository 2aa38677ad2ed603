// TVaComm: the program's serial-port component on QSerialPort.
//
// Settings take effect at the next Open. The device chosen in the settings
// is opened, else port N's /dev/ttyS<N-1>; the environment variable
// TESSALY_SERIAL_DEVICE, a pattern with "%d" (for example
// "/tmp/tessaly-tty%d"), names another device over both, filled with N.
// One stop bit, DTR and RTS on, no flow control.
//
// Received bytes and line breaks are delivered on the thread that owns the
// component (the user-interface thread), also while a modal dialog runs:
// OnRxChar when bytes have arrived, OnBreak when the line signals a break.
// Breaks are detected through parity marking on the open descriptor
// (ParmrkDecoder); the bytes handed out never hold the marking.
//
// The queue sizes and time-outs are kept and stored with the settings; the
// port itself reads without limit and never waits, so nothing is dropped.
// A device that goes away (an unplugged adapter) closes the port once the
// bytes read before it went are delivered: Active() turns false.
#pragma once

#include <QObject>
#include <QSerialPort>
#include <QString>

#include <functional>
#include <stdexcept>
#include <string>

#include "shell/ParmrkDecoder.h"
#include "core/SettingsStore.h"

namespace tessaly {

class SerialPortError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TVaComm : public QObject {
  Q_OBJECT

 public:
  explicit TVaComm(QObject* owner = nullptr);
  ~TVaComm() override;

  const SerialSettings& Settings() const { return settings_; }
  void SetSettings(const SerialSettings& settings) { settings_ = settings; }

  // The device the settings name (see SerialDevicePath).
  static QString DeviceName(const SerialSettings& settings);
  // Opens `device` instead of the one the settings name (a command line's
  // choice); empty: the settings' own.
  void SetDevice(const QString& device) { device_ = device; }
  QString Device() const { return device_.isEmpty() ? DeviceName(settings_) : device_; }

  // Opens the device of PortNum with the current settings and starts the
  // events. Throws SerialPortError naming the device when it cannot be
  // opened or configured. Opening an open port does nothing.
  void Open();
  // Stops the events and releases the device; a closed port closes quietly.
  void Close();
  bool Active() const { return port_.isOpen(); }

  // Every byte waiting, in order, without waiting for more (empty if none).
  std::string ReadText();

  std::function<void(TVaComm* sender, int count)> OnRxChar;
  std::function<void(TVaComm* sender)> OnBreak;

 private:
  void Configure(const QString& device);
  void EnableBreakMarking(const QString& device);
  // Moves the bytes waiting in the port through the decoder; breaks raise
  // OnBreak at once, after an OnRxChar for the bytes before them when
  // notify is set.
  void Drain(bool notify);
  void NotifyReceived();

  SerialSettings settings_;
  QString device_;
  QSerialPort port_;
  ParmrkDecoder decoder_;
  std::string received_;
  int unnotified_ = 0;
};

}  // namespace tessaly
