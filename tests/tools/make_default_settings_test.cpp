// The default settings committed in Lib/ hold what the default-settings
// generator writes (the scrambling differs from run to run, the values do
// not), and decode to the intended values.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/AlarmSettings.h"
#include "core/RecentFiles.h"
#include "core/SettingsFile.h"
#include "core/SettingsStore.h"
#include "support/Command.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

std::string SourceLib(const char* name) { return std::string(TESSALY_SOURCE_DIR) + "/Lib/" + name; }

TEST(DefaultLib, CommittedFilesAreWhatTheGeneratorWrites) {
  testing::TempHome home;
  const testing::CommandRun run = testing::RunCommand(TESSALY_DEFAULT_SETTINGS, {home.Lib("")}, home.Home());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  for (const char* name : {"SerialPort.ega", "View.ega", "UTM.ega", "Files.ega", "Alarms.ega"}) {
    ASSERT_TRUE(std::filesystem::exists(home.Lib(name))) << name;
    EXPECT_EQ(ReadSettingsValues(home.Lib(name)), ReadSettingsValues(SourceLib(name))) << name;
  }
}

TEST(DefaultLib, SerialPortHoldsTheDesignValues) {
  EXPECT_EQ(ReadSettingsValues(SourceLib("SerialPort.ega")),
            (std::vector<std::string>{"10", "4096", "2048", "1000", "1000", "1024", "1024", "8", "1", "2"}));
  SerialSettings s;
  s.Baudrate = 9600;
  ReadSerialSettings(SourceLib("SerialPort.ega"), s);
  EXPECT_EQ(s, SerialSettings{});
}

TEST(DefaultLib, ViewHoldsAReadableGridAndChart) {
  EXPECT_EQ(ReadSettingsValues(SourceLib("View.ega")),
            (std::vector<std::string>{"500", "$00C8C8FF", "$00C8FFC8", "clBlue", "1", "clGray", "clNavy", "clRed",
                                      "3", "True", "52", "50000", "clCream", "82", "3", "1"}));
  ViewSettings v;
  ReadViewSettings(SourceLib("View.ega"), v);
  EXPECT_EQ(v.GraphBackground, 0xF0FBFFu);
}

TEST(DefaultLib, MapDatumIsWgs84AndRecentFilesEmpty) {
  EXPECT_EQ(ReadMapDatum(SourceLib("UTM.ega")), 22);
  EXPECT_TRUE(ReadRecentFiles(SourceLib("Files.ega")).empty());
  EXPECT_EQ(std::filesystem::file_size(SourceLib("Files.ega")), 0u);
}

TEST(DefaultLib, AlarmsHoldTheDefaultThresholds) {
  EXPECT_EQ(ReadSettingsValues(SourceLib("Alarms.ega")),
            (std::vector<std::string>{"1", "80", "0.5", "50", "20000", "70000", "2", "6", "50", "12", "50", "12",
                                      "5", "1.5", "50", "12", "500", "50", "24"}));
  AlarmSettings a;
  a.depthMax = 1;
  ReadAlarmSettings(SourceLib("Alarms.ega"), a);
  EXPECT_EQ(a, AlarmSettings{});
}

}  // namespace
}  // namespace tessaly
