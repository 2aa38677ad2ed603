#include "shell/VaComm.h"

#include <termios.h>

#include <cstdlib>

#include "core/SerialDevice.h"

namespace tessaly {
namespace {

QSerialPort::Parity ToQtParity(SerialParity parity) {
  switch (parity) {
    case SerialParity::Even: return QSerialPort::EvenParity;
    case SerialParity::Mark: return QSerialPort::MarkParity;
    case SerialParity::Odd: return QSerialPort::OddParity;
    case SerialParity::Space: return QSerialPort::SpaceParity;
    case SerialParity::None: break;
  }
  return QSerialPort::NoParity;
}

std::string Text(const QString& text) { return text.toStdString(); }

}  // namespace

TVaComm::TVaComm(QObject* owner) : QObject(owner) {
  connect(&port_, &QSerialPort::readyRead, this, [this] { Drain(true); });
  connect(&port_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
    // Device gone. An unplugged adapter (a hung-up terminal) reads as end of
    // file, which the port reports as a read error again and again. Bytes the
    // port read before it went (held back while a handler was busy) are
    // handed out first; closing would drop them.
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError) return;
    Drain(true);
    Close();
  });
}

TVaComm::~TVaComm() { Close(); }

QString TVaComm::DeviceName(const SerialSettings& settings) {
  const char* pattern = std::getenv("TESSALY_SERIAL_DEVICE");
  return QString::fromLocal8Bit(SerialDevicePath(settings.PortNum, settings.Device, pattern ? pattern : ""));
}

void TVaComm::Open() {
  if (port_.isOpen()) return;
  const QString device = Device();
  port_.setPortName(device);
  if (!port_.open(QIODevice::ReadWrite))
    throw SerialPortError("Cannot open the serial port " + Text(device) + ": " + Text(port_.errorString()));
  try {
    Configure(device);
    EnableBreakMarking(device);
  } catch (...) {
    port_.close();
    throw;
  }
  decoder_.Reset();
  received_.clear();
  unnotified_ = 0;
}

void TVaComm::Configure(const QString& device) {
  const auto fail = [&](const std::string& what) {
    throw SerialPortError("Cannot configure the serial port " + Text(device) + " (" + what + "): " +
                          Text(port_.errorString()));
  };
  if (settings_.Databits < 5 || settings_.Databits > 8)
    throw SerialPortError("Cannot configure the serial port " + Text(device) + ": " +
                          std::to_string(settings_.Databits) + " data bits are not supported");
  if (!port_.setBaudRate(settings_.Baudrate)) fail(std::to_string(settings_.Baudrate) + " baud");
  if (!port_.setDataBits(static_cast<QSerialPort::DataBits>(settings_.Databits))) fail("data bits");
  if (!port_.setParity(ToQtParity(settings_.Parity))) fail("parity");
  if (!port_.setStopBits(QSerialPort::OneStop)) fail("stop bits");
  if (!port_.setFlowControl(QSerialPort::NoFlowControl)) fail("flow control");
  // Modem lines are absent on some devices (pseudo-terminals); not an error.
  port_.setDataTerminalReady(true);
  port_.setRequestToSend(true);
  port_.clearError();
}

// QSerialPort sets the line raw, which drops breaks; mark them instead so a
// break arrives as 0xFF 0x00 0x00. Parity errors are marked too when parity
// is checked. Must follow every change of the port's settings.
void TVaComm::EnableBreakMarking(const QString& device) {
  termios tio{};
  const int fd = static_cast<int>(port_.handle());
  if (tcgetattr(fd, &tio) != 0)
    throw SerialPortError("Cannot configure the serial port " + Text(device) + " (line settings)");
  tio.c_iflag |= PARMRK;
  tio.c_iflag &= ~static_cast<tcflag_t>(IGNPAR | IGNBRK | BRKINT | ISTRIP);
  if (settings_.Parity == SerialParity::None) tio.c_iflag &= ~static_cast<tcflag_t>(INPCK);
  else tio.c_iflag |= INPCK;
  if (tcsetattr(fd, TCSANOW, &tio) != 0)
    throw SerialPortError("Cannot configure the serial port " + Text(device) + " (break detection)");
}

void TVaComm::Close() {
  if (!port_.isOpen()) return;
  port_.close();
  decoder_.Reset();
}

std::string TVaComm::ReadText() {
  Drain(false);
  unnotified_ = 0;
  return std::exchange(received_, {});
}

void TVaComm::Drain(bool notify) {
  if (!port_.isOpen()) return;
  const QByteArray bytes = port_.readAll();
  for (auto& piece : decoder_.Feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
    if (!piece.Break) {
      received_ += piece.Data;
      unnotified_ += static_cast<int>(piece.Data.size());
      continue;
    }
    if (notify) NotifyReceived();
    if (OnBreak) OnBreak(this);
  }
  if (notify) NotifyReceived();
}

void TVaComm::NotifyReceived() {
  if (unnotified_ == 0 || !OnRxChar) return;
  const int count = std::exchange(unnotified_, 0);
  OnRxChar(this, count);
}

}  // namespace tessaly
