#include "core/SerialDevice.h"

namespace tessaly {

std::string SerialDevicePath(int portNumber, std::string_view chosenDevice, std::string_view pattern) {
  if (!pattern.empty()) {
    std::string path(pattern);
    for (std::size_t at = path.find("%d"); at != std::string::npos; at = path.find("%d", at)) {
      const std::string number = std::to_string(portNumber);
      path.replace(at, 2, number);
      at += number.size();
    }
    return path;
  }
  if (!chosenDevice.empty()) return std::string(chosenDevice);
  return "/dev/ttyS" + std::to_string(portNumber - 1);
}

std::string SerialPortEntryText(const SerialPortEntry& port) {
  std::string text = port.name.empty() ? port.location : port.name;
  std::string details;
  for (const auto& [prefix, value] : {std::pair<const char*, const std::string&>{"", port.description},
                                      {"", port.maker},
                                      {"serial number ", port.serialNumber}})
    if (!value.empty()) details.append(details.empty() ? "" : ", ").append(prefix).append(value);
  if (!details.empty()) text += " - " + details;
  return text;
}

}  // namespace tessaly
