// What a serial device is, beyond the name it was opened by: the device node
// the name led to, its device number and, for a USB adapter, what the
// adapter says of itself. A live session remembers the identity of the
// device it opened, so that a different device that later appears under the
// same name (another adapter plugged in, another program's pseudo-terminal)
// is not logged into the same survey without the user's word.
#pragma once

#include <cstdint>
#include <string>

namespace tessaly {

struct DeviceIdentity {
  std::string name;          // the name opened, as given
  std::string resolvedPath;  // the device node the name leads to
  std::uint64_t deviceNumber = 0;  // st_rdev of the node; 0 when unknown
  // A USB adapter's vendor and product ("0403:6001"), its serial number (may
  // be empty: cheap adapters have none) and its place on the bus ("1-1.2");
  // all empty for a device that is not on USB.
  std::string usbModel;
  std::string usbSerial;
  std::string usbPort;

  bool operator==(const DeviceIdentity&) const = default;
};

// The identity of the device `name` names now; the sysfs tree under
// `sysfsRoot` tells what a USB adapter says of itself. A name that leads to
// no device gives an identity with the name alone.
DeviceIdentity IdentifyDevice(const std::string& name, const std::string& sysfsRoot = "/sys");

// Fills the USB fields of `identity` from the sysfs entry of terminal
// `ttyName` ("ttyUSB0"): the nearest USB device above it. Leaves them empty
// for a terminal that is not on USB.
void ReadUsbIdentity(const std::string& ttyName, const std::string& sysfsRoot, DeviceIdentity& identity);

// True when `now` is the device `before` was: the same USB adapter (model and
// serial number, or model and bus place when it has no serial number), or
// else the same device number. A pseudo-terminal has no identity beyond its
// name (each one is new, and a freed number is handed out again), so any
// pseudo-terminal counts as the one before.
bool SameDevice(const DeviceIdentity& before, const DeviceIdentity& now);

// "/dev/ttyUSB0 (USB 0403:6001, serial A1B2)": the device as a message names it.
std::string DescribeDevice(const DeviceIdentity& identity);

}  // namespace tessaly
