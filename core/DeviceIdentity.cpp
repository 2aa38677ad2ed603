#include "core/DeviceIdentity.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>

namespace tessaly {

namespace {

namespace fs = std::filesystem;

// How far above a terminal's sysfs entry its USB device may sit (the
// interface, then the device).
constexpr int kUsbLevels = 4;

// Majors of the pseudo-terminal slaves (Unix 98 ptys).
constexpr unsigned kFirstPtyMajor = 136;
constexpr unsigned kLastPtyMajor = 143;

std::string FirstLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
  return line;
}

bool IsPseudoTerminal(std::uint64_t deviceNumber) {
  const unsigned major = ::major(static_cast<dev_t>(deviceNumber));
  return deviceNumber != 0 && major >= kFirstPtyMajor && major <= kLastPtyMajor;
}

}  // namespace

void ReadUsbIdentity(const std::string& ttyName, const std::string& sysfsRoot, DeviceIdentity& identity) {
  std::error_code error;
  fs::path dir = fs::canonical(fs::path(sysfsRoot) / "class" / "tty" / ttyName / "device", error);
  if (error) return;
  for (int level = 0; level < kUsbLevels && dir.has_relative_path(); ++level, dir = dir.parent_path()) {
    if (!fs::exists(dir / "idVendor", error)) continue;
    identity.usbModel = FirstLine(dir / "idVendor") + ":" + FirstLine(dir / "idProduct");
    identity.usbSerial = FirstLine(dir / "serial");
    identity.usbPort = dir.filename().string();
    return;
  }
}

DeviceIdentity IdentifyDevice(const std::string& name, const std::string& sysfsRoot) {
  DeviceIdentity identity;
  identity.name = name;
  std::error_code error;
  const fs::path resolved = fs::canonical(name, error);
  if (error) return identity;
  identity.resolvedPath = resolved.string();
  struct stat status {};
  if (::stat(identity.resolvedPath.c_str(), &status) != 0 || !S_ISCHR(status.st_mode)) return identity;
  identity.deviceNumber = status.st_rdev;
  ReadUsbIdentity(resolved.filename().string(), sysfsRoot, identity);
  return identity;
}

bool SameDevice(const DeviceIdentity& before, const DeviceIdentity& now) {
  if (!before.usbModel.empty() || !now.usbModel.empty()) {
    if (before.usbModel != now.usbModel || before.usbSerial != now.usbSerial) return false;
    return !before.usbSerial.empty() || before.usbPort == now.usbPort;
  }
  if (IsPseudoTerminal(before.deviceNumber) && IsPseudoTerminal(now.deviceNumber)) return true;
  if (before.deviceNumber != 0 && now.deviceNumber != 0) return before.deviceNumber == now.deviceNumber;
  return before.resolvedPath == now.resolvedPath;
}

std::string DescribeDevice(const DeviceIdentity& identity) {
  std::string text = identity.resolvedPath.empty() ? identity.name : identity.resolvedPath;
  if (identity.usbModel.empty()) return text;
  text += " (USB " + identity.usbModel;
  text += identity.usbSerial.empty() ? ", port " + identity.usbPort : ", serial " + identity.usbSerial;
  return text + ")";
}

}  // namespace tessaly
