// The settings files of the GPS: the GPS port, the positioning, and the
// device of the instrument's port.
#include <gtest/gtest.h>

#include <cmath>

#include "core/SettingsFile.h"
#include "core/SettingsStore.h"
#include "support/SettingsFileProbe.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

TEST(GpsPortSettingsFile, NoneAtFourThousandEightHundredBaudByDefault) {
  const GpsPortSettings none;
  EXPECT_FALSE(none.Enabled());
  EXPECT_EQ(none.Baudrate, 4800);
  testing::TempHome home;
  const std::string path = home.Lib("GpsPort.ega");
  WriteGpsPortSettings(path, none);
  EXPECT_EQ(ReadSettingsValues(path), (std::vector<std::string>{"10", "0", ""}));
}

TEST(GpsPortSettingsFile, KeepsThePortNumberOrTheDevice) {
  testing::TempHome home;
  const std::string path = home.Lib("GpsPort.ega");
  GpsPortSettings gps;
  gps.Baudrate = 38400;
  gps.PortNum = 3;
  gps.Device = "/dev/serial/by-id/usb-u-blox_GNSS_receiver-if00";
  WriteGpsPortSettings(path, gps);
  EXPECT_EQ(ReadSettingsValues(path), (std::vector<std::string>{"9", "3", gps.Device}));
  GpsPortSettings back;
  ReadGpsPortSettings(path, back);
  EXPECT_EQ(back, gps);
  EXPECT_TRUE(back.Enabled());
}

TEST(GpsPortSettingsFile, RefusesANegativePortAndAnUnlistedRate) {
  testing::TempHome home;
  const std::string path = home.Lib("GpsPort.ega");
  GpsPortSettings gps;
  gps.PortNum = -1;
  EXPECT_THROW(WriteGpsPortSettings(path, gps), SettingsError);
  gps.PortNum = 1;
  gps.Baudrate = 1234;
  EXPECT_THROW(WriteGpsPortSettings(path, gps), SettingsError);
  WriteSettingsValues(path, {"10", "-2", ""});
  EXPECT_THROW(ReadGpsPortSettings(path, gps), SettingsError);
}

TEST(PositioningSettingsFile, HoldsSixValuesWithAPointAsDecimalMark) {
  testing::TempHome home;
  const std::string path = home.Lib("Positioning.ega");
  LaybackSettings s;
  s.cableOut = 75.5;
  s.towPointAstern = 12.25;
  s.towPointStarboard = -1.5;
  s.defaultDepth = 8;
  s.mode = LaybackMode::FollowTheFish;
  s.smoothingSeconds = 20;
  WriteLaybackSettings(path, s);
  EXPECT_EQ(ReadSettingsValues(path), (std::vector<std::string>{"75.5", "12.25", "-1.5", "8", "1", "20"}));
  LaybackSettings back;
  ReadLaybackSettings(path, back);
  EXPECT_EQ(back, s);
}

TEST(PositioningSettingsFile, DefaultsAreAlongCourseOverThirtySeconds) {
  const LaybackSettings s;
  EXPECT_EQ(s.mode, LaybackMode::AlongCourse);
  EXPECT_EQ(s.smoothingSeconds, 30.0);
  EXPECT_EQ(LaybackSettingsProblem(s), "");
}

struct BadValue {
  const char* name;
  std::vector<std::string> values;
};

class PositioningValuesOutOfRange : public ::testing::TestWithParam<BadValue> {};

TEST_P(PositioningValuesOutOfRange, AreRefusedWhenRead) {
  const testing::SettingsFileProbe<LaybackSettings> file("Positioning.ega", ReadLaybackSettings);
  file.WriteValues(GetParam().values);
  EXPECT_NE(file.ReadError(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PositioningValuesOutOfRange,
    ::testing::Values(BadValue{"NegativeCable", {"-1", "0", "0", "0", "0", "30"}},
                      BadValue{"HugeCable", {"10001", "0", "0", "0", "0", "30"}},
                      BadValue{"CommaDecimal", {"50,5", "0", "0", "0", "0", "30"}},
                      BadValue{"NotANumber", {"nan", "0", "0", "0", "0", "30"}},
                      BadValue{"OffsetTooFar", {"50", "1000.5", "0", "0", "0", "30"}},
                      BadValue{"NegativeDepth", {"50", "0", "0", "-3", "0", "30"}},
                      BadValue{"UnknownMode", {"50", "0", "0", "0", "2", "30"}},
                      BadValue{"NoSmoothing", {"50", "0", "0", "0", "0", "0"}},
                      BadValue{"LongSmoothing", {"50", "0", "0", "0", "0", "601"}},
                      BadValue{"ShortFile", {"50", "0", "0"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Each number is refused by its caption, as the window shows it, with its
// range.
TEST(PositioningSettings, AValueOutOfRangeIsNamedByItsCaption) {
  struct Case {
    double LaybackSettings::*member;
    double value;
    const char* message;
  };
  const Case cases[] = {
      {&LaybackSettings::cableOut, 10000.5, "\"Cable out (m):\" must be from 0 to 10000."},
      {&LaybackSettings::towPointAstern, -1001, "\"Tow point astern (m):\" must be from -1000 to 1000."},
      {&LaybackSettings::towPointStarboard, std::nan(""), "\"Tow point to starboard (m):\" must be from -1000 to 1000."},
      {&LaybackSettings::defaultDepth, -0.5, "\"Towfish depth (m):\" must be from 0 to 10000."},
      {&LaybackSettings::smoothingSeconds, 0.5, "\"Smoothing time (s):\" must be from 1 to 600."},
  };
  for (const Case& c : cases) {
    const LaybackSettingsFault fault = testing::FaultWithOneValue(c.member, c.value, FindLaybackSettingsFault);
    EXPECT_EQ(fault.message, c.message);
    ASSERT_NE(fault.field, nullptr);
    EXPECT_EQ(fault.field->member, c.member);
  }
  LaybackSettings s;
  s.mode = static_cast<LaybackMode>(7);
  EXPECT_EQ(LaybackSettingsProblem(s), "Unknown layback mode.");
}

TEST(PositioningSettingsFile, WritingRefusesWhatCannotBeUsed) {
  testing::TempHome home;
  LaybackSettings s;
  s.smoothingSeconds = 0.5;
  EXPECT_NE(LaybackSettingsProblem(s), "");
  EXPECT_THROW(WriteLaybackSettings(home.Lib("Positioning.ega"), s), SettingsError);
}

TEST(SerialDeviceSetting, AFileWrittenBeforeReadsWithoutADevice) {
  testing::TempHome home;
  const std::string path = home.Lib("SerialPort.ega");
  WriteSettingsValues(path, {"10", "4096", "2048", "1000", "1000", "1024", "1024", "8", "3", "2"});
  SerialSettings s;
  s.Device = "/dev/ttyUSB9";
  ReadSerialSettings(path, s);
  EXPECT_EQ(s.PortNum, 3);
  EXPECT_EQ(s.Device, "");
}

TEST(SerialDeviceSetting, AChosenDeviceIsAnEleventhLineAndNoneLeavesTheTen) {
  testing::TempHome home;
  const std::string path = home.Lib("SerialPort.ega");
  SerialSettings s;
  WriteSerialSettings(path, s);
  EXPECT_EQ(ReadSettingsValues(path).size(), 10u);
  s.Device = "/dev/ttyACM0";
  WriteSerialSettings(path, s);
  const auto values = ReadSettingsValues(path);
  ASSERT_EQ(values.size(), 11u);
  EXPECT_EQ(values[8], "1");  // the number stays
  EXPECT_EQ(values[10], "/dev/ttyACM0");
  SerialSettings back;
  ReadSerialSettings(path, back);
  EXPECT_EQ(back, s);
}

TEST(SerialDeviceSetting, OnlyAnAbsolutePathNamesADevice) {
  EXPECT_TRUE(IsDevicePath("/dev/ttyUSB0"));
  EXPECT_FALSE(IsDevicePath("ttyUSB0"));
  EXPECT_FALSE(IsDevicePath("/"));
  EXPECT_FALSE(IsDevicePath("/dev/tty\nUSB0"));
  testing::TempHome home;
  SerialSettings s;
  s.Device = "COM3";
  EXPECT_THROW(WriteSerialSettings(home.Lib("SerialPort.ega"), s), SettingsError);
  WriteSettingsValues(home.Lib("GpsPort.ega"), {"10", "0", "ttyUSB1"});
  GpsPortSettings gps;
  EXPECT_THROW(ReadGpsPortSettings(home.Lib("GpsPort.ega"), gps), SettingsError);
}

}  // namespace
}  // namespace tessaly
