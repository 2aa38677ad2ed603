#include "core/SerialDevice.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

struct DeviceCase {
  int port;
  const char* chosen;
  const char* pattern;
  const char* expected;
};

class SerialDevices : public ::testing::TestWithParam<DeviceCase> {};

TEST_P(SerialDevices, ThePatternWinsThenTheChosenDeviceThenTheNumber) {
  const DeviceCase& c = GetParam();
  EXPECT_EQ(SerialDevicePath(c.port, c.chosen, c.pattern), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, SerialDevices,
                         ::testing::Values(DeviceCase{1, "", "", "/dev/ttyS0"}, DeviceCase{4, "", "", "/dev/ttyS3"},
                                           DeviceCase{1, "/dev/ttyUSB0", "", "/dev/ttyUSB0"},
                                           DeviceCase{2, "/dev/ttyUSB0", "/tmp/tty%d", "/tmp/tty2"},
                                           DeviceCase{12, "", "/tmp/%d/tty%d", "/tmp/12/tty12"},
                                           DeviceCase{3, "", "/dev/fixed", "/dev/fixed"}));

TEST(SerialPortEntries, NameWhatTheSystemKnows) {
  EXPECT_EQ(SerialPortEntryText({"/dev/ttyUSB0", "ttyUSB0", "FT232R USB UART", "FTDI", "A6008isP"}),
            "ttyUSB0 - FT232R USB UART, FTDI, serial number A6008isP");
  EXPECT_EQ(SerialPortEntryText({"/dev/ttyACM0", "ttyACM0", "", "u-blox AG", ""}), "ttyACM0 - u-blox AG");
  EXPECT_EQ(SerialPortEntryText({"/dev/ttyS0", "ttyS0", "", "", ""}), "ttyS0");
  EXPECT_EQ(SerialPortEntryText({"/dev/ttyS1", "", "", "", "42"}), "/dev/ttyS1 - serial number 42");
}

}  // namespace
}  // namespace tessaly
