// SerialDevice: which device a serial port of the settings opens, and how a
// port the system has is named to the user.
#pragma once

#include <string>
#include <string_view>

namespace tessaly {

// The device of a port: a pattern given in the environment (with "%d" for
// the port number; "/tmp/tessaly-tty%d") wins, then the device chosen from
// the system's ports, then the port number N as /dev/ttyS<N-1>.
std::string SerialDevicePath(int portNumber, std::string_view chosenDevice, std::string_view pattern);

// A serial port the system has, as the system describes it.
struct SerialPortEntry {
  std::string location;  // "/dev/ttyUSB0": what is stored and opened
  std::string name;      // "ttyUSB0"
  std::string description;
  std::string maker;
  std::string serialNumber;
};

// "ttyUSB0 - FT232R USB UART, FTDI, serial number A6008isP", leaving out
// what the system does not know.
std::string SerialPortEntryText(const SerialPortEntry& port);

}  // namespace tessaly
