#include "core/DeviceIdentity.h"

#include <gtest/gtest.h>

#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/FileBytes.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;

TEST(DeviceIdentity, FollowsTheNameToTheDeviceNodeAndItsNumber) {
  testing::TempHome home;
  fs::create_symlink("/dev/null", home.Path("tty1"));
  const DeviceIdentity identity = IdentifyDevice(home.Path("tty1"), home.Path("sys"));
  EXPECT_EQ(identity.name, home.Path("tty1"));
  EXPECT_EQ(identity.resolvedPath, "/dev/null");
  EXPECT_EQ(identity.deviceNumber, makedev(1, 3));  // the null device's number on every Linux
  EXPECT_EQ(identity.usbModel, "");

  const DeviceIdentity missing = IdentifyDevice(home.Path("tty2"));
  EXPECT_EQ(missing.name, home.Path("tty2"));
  EXPECT_EQ(missing.resolvedPath, "");
  EXPECT_EQ(missing.deviceNumber, 0u);
}

// A sysfs tree as the kernel lays out a USB serial adapter: the terminal's
// device link leads into the adapter's interface, below the USB device that
// holds idVendor, idProduct and (when it has one) serial.
TEST(DeviceIdentity, ReadsWhatAUsbAdapterSaysOfItself) {
  testing::TempHome home;
  const std::string sys = home.Path("sys");
  const std::string usb = sys + "/devices/pci0000:00/usb1/1-1.2";
  fs::create_directories(usb + "/1-1.2:1.0/ttyUSB0");
  fs::create_directories(sys + "/class/tty/ttyUSB0");
  fs::create_symlink(usb + "/1-1.2:1.0/ttyUSB0", sys + "/class/tty/ttyUSB0/device");
  testing::WriteBytes(usb + "/idVendor", "0403\n");
  testing::WriteBytes(usb + "/idProduct", "6001\n");
  testing::WriteBytes(usb + "/serial", "A10KZ3\n");
  fs::create_directories(sys + "/devices/platform/serial8250/tty/ttyS0");
  fs::create_directories(sys + "/class/tty/ttyS0");
  fs::create_symlink(sys + "/devices/platform/serial8250", sys + "/class/tty/ttyS0/device");

  DeviceIdentity adapter;
  ReadUsbIdentity("ttyUSB0", sys, adapter);
  EXPECT_EQ(adapter.usbModel, "0403:6001");
  EXPECT_EQ(adapter.usbSerial, "A10KZ3");
  EXPECT_EQ(adapter.usbPort, "1-1.2");

  fs::remove(usb + "/serial");
  DeviceIdentity noSerial;
  ReadUsbIdentity("ttyUSB0", sys, noSerial);
  EXPECT_EQ(noSerial.usbModel, "0403:6001");
  EXPECT_EQ(noSerial.usbSerial, "");

  DeviceIdentity builtIn;
  ReadUsbIdentity("ttyS0", sys, builtIn);
  ReadUsbIdentity("ttyUSB9", sys, builtIn);
  EXPECT_EQ(builtIn, DeviceIdentity{});
}

DeviceIdentity Node(std::uint64_t number, const std::string& path = "/dev/x") {
  DeviceIdentity identity;
  identity.name = "/dev/port";
  identity.resolvedPath = path;
  identity.deviceNumber = number;
  return identity;
}

DeviceIdentity Usb(std::uint64_t number, const std::string& model, const std::string& serial, const std::string& port) {
  DeviceIdentity identity = Node(number);
  identity.usbModel = model;
  identity.usbSerial = serial;
  identity.usbPort = port;
  return identity;
}

TEST(DeviceIdentity, TellsTheSameDeviceFromAnother) {
  struct Case {
    const char* name;
    DeviceIdentity before, now;
    bool same;
  };
  const Case cases[] = {
      {"same adapter on another node", Usb(makedev(188, 0), "0403:6001", "A1", "1-1"),
       Usb(makedev(188, 1), "0403:6001", "A1", "1-2"), true},
      {"another adapter on the same node", Usb(makedev(188, 0), "0403:6001", "A1", "1-1"),
       Usb(makedev(188, 0), "0403:6001", "B2", "1-1"), false},
      {"another model", Usb(makedev(188, 0), "0403:6001", "A1", "1-1"), Usb(makedev(188, 0), "067b:2303", "A1", "1-1"),
       false},
      {"no serial number, same socket", Usb(makedev(188, 0), "1a86:7523", "", "1-1"),
       Usb(makedev(188, 0), "1a86:7523", "", "1-1"), true},
      {"no serial number, other socket", Usb(makedev(188, 0), "1a86:7523", "", "1-1"),
       Usb(makedev(188, 0), "1a86:7523", "", "1-3"), false},
      {"built-in port, then an adapter", Node(makedev(4, 64)), Usb(makedev(4, 64), "0403:6001", "A1", "1-1"), false},
      {"built-in port, same number", Node(makedev(4, 64)), Node(makedev(4, 64)), true},
      {"another built-in port", Node(makedev(4, 64)), Node(makedev(4, 65)), false},
      {"pseudo-terminals", Node(makedev(136, 3)), Node(makedev(136, 7)), true},
      {"a pseudo-terminal, then a port", Node(makedev(136, 3)), Node(makedev(4, 64)), false},
      {"numbers unknown, same node", Node(0, "/dev/a"), Node(0, "/dev/a"), true},
      {"numbers unknown, other node", Node(0, "/dev/a"), Node(0, "/dev/b"), false},
  };
  for (const Case& c : cases) EXPECT_EQ(SameDevice(c.before, c.now), c.same) << c.name;
}

TEST(DeviceIdentity, DescribesTheDeviceForMessages) {
  EXPECT_EQ(DescribeDevice(Usb(1, "0403:6001", "A1", "1-1")), "/dev/x (USB 0403:6001, serial A1)");
  EXPECT_EQ(DescribeDevice(Usb(1, "1a86:7523", "", "1-3")), "/dev/x (USB 1a86:7523, port 1-3)");
  EXPECT_EQ(DescribeDevice(Node(0, "")), "/dev/port");
}

}  // namespace
}  // namespace tessaly
