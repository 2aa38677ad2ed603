#include "shell/SerialTransport.h"

namespace tessaly {

SerialTransport::SerialTransport(const SerialSettings& settings, const std::string& device) {
  comm_.SetSettings(settings);
  comm_.SetDevice(QString::fromStdString(device));
  identity_.name = comm_.Device().toStdString();
}

// The identity is taken as the device opens: the node behind the name then.
std::string SerialTransport::Open() {
  if (comm_.Active()) return {};
  try {
    comm_.Open();
  } catch (const SerialPortError& error) {
    return error.what();
  }
  identity_ = IdentifyDevice(comm_.Device().toStdString());
  return {};
}

void SerialTransport::WhenReadable(std::function<void()> readable) {
  comm_.OnRxChar = [readable = std::move(readable)](TVaComm*, int) { readable(); };
}

}  // namespace tessaly
