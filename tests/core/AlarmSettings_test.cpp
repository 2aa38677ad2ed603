#include "core/AlarmSettings.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/SettingsFile.h"
#include "core/SettingsLine.h"
#include "support/SettingsFileProbe.h"

namespace tessaly::alarm_settings_test {

// The values of the default settings, in file order, as written by hand.
const std::vector<std::string> kDefaultValues = {"1",  "80", "0.5", "50", "20000", "70000", "2",  "6",  "50", "12",
                                                 "50", "12", "5",   "1.5", "50",   "12",    "500", "50", "24"};

class AlarmSettingsFile : public ::testing::Test, protected testing::SettingsFileProbe<AlarmSettings> {
 protected:
  AlarmSettingsFile() : SettingsFileProbe("Alarms.ega", ReadAlarmSettings) {}
};

TEST_F(AlarmSettingsFile, HoldsTheNineteenValuesInOrder) {
  WriteAlarmSettings(Path(), AlarmSettings{});
  EXPECT_EQ(ReadSettingsValues(Path()), kDefaultValues);
  AlarmSettings changed;
  changed.depthMax = 42.25;
  changed.satellitesMin = 4;
  changed.noiseEnvelopeZeph2Bt = 0.75;
  changed.diskAlarmMb = 0.25;
  changed.diskWarningHours = 0;
  WriteAlarmSettings(Path(), changed);
  AlarmSettings back;
  ReadAlarmSettings(Path(), back);
  EXPECT_EQ(back, changed);
}

// A file written before the disk levels were settings keeps their defaults;
// one cut short before that is refused.
TEST_F(AlarmSettingsFile, AFileOfTheFirstSixteenValuesKeepsTheDiskDefaults) {
  std::vector<std::string> values(kDefaultValues.begin(), kDefaultValues.begin() + 16);
  values[0] = "2";
  WriteValues(values);
  AlarmSettings settings;
  settings.diskWarningMb = 700;
  ReadAlarmSettings(Path(), settings);
  EXPECT_EQ(settings.depthMin, 2.0);
  EXPECT_EQ(settings.diskWarningMb, 700.0);
  EXPECT_EQ(settings.diskAlarmMb, AlarmSettings{}.diskAlarmMb);
  values.pop_back();
  WriteValues(values);
  EXPECT_NE(ReadError().find("ends before line 16"), std::string::npos) << ReadError();
}

TEST_F(AlarmSettingsFile, AMissingFileGivesTheDefaults) {
  EXPECT_EQ(ReadAlarmSettingsOrDefaults(Path()), AlarmSettings{});
  WriteValues({"2", "30"});
  EXPECT_THROW(ReadAlarmSettingsOrDefaults(Path()), SettingsError);
}

TEST_F(AlarmSettingsFile, RefusesWhatTheWindowRefuses) {
  struct Case {
    std::size_t line;      // 1-based
    const char* value;
    const char* message;   // a part of the error
  };
  const Case cases[] = {
      {1, "deep", "'deep' is not a valid number (line 1 of "},
      {2, "1e3", "'1e3' is not a valid number (line 2"},
      {3, "0", "\"Maximum depth rate (m/s):\" must be from 0.01 to 100 (line 3"},
      {7, "nan", "is not a valid number"},
      {8, "5.5", "\"Minimum satellites:\" must be a whole number (line 8"},
      {8, "65", "\"Minimum satellites:\" must be from 0 to 64"},
      {10, "-1", "\"KV7100 noise envelope:\" must be from 0.01 to 100000"},
      {2, "0.5", "\"Maximum towfish depth (m):\" must be greater than \"Minimum towfish depth (m):\""},
      {5, "80000", "\"Maximum total field (nT):\" must be greater than \"Minimum total field (nT):\""},
      {17, "0", "\"Disk warning below (MB):\" must be from 0.01 to 1000000000"},
      {18, "600", "\"Disk warning below (MB):\" must be greater than \"Disk alarm below (MB):\""},
      {19, "1001", "\"Disk warning below (hours of logging):\" must be from 0 to 1000"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> values = kDefaultValues;
    values[c.line - 1] = c.value;
    WriteValues(values);
    EXPECT_NE(ReadError().find(c.message), std::string::npos) << c.value << ": " << ReadError();
  }
  WriteValues({"1", "80"});
  EXPECT_NE(ReadError().find("ends before line 3"), std::string::npos) << ReadError();
}

TEST_F(AlarmSettingsFile, ValuesBeforeAFailingLineStayApplied) {
  std::vector<std::string> values = kDefaultValues;
  values[0] = "3.5";
  values[3] = "x";
  WriteValues(values);
  AlarmSettings settings;
  EXPECT_THROW(ReadAlarmSettings(Path(), settings), SettingsError);
  EXPECT_EQ(settings.depthMin, 3.5);
  EXPECT_EQ(settings.signalMin, AlarmSettings{}.signalMin);
}

TEST_F(AlarmSettingsFile, NothingUnusableIsWritten) {
  AlarmSettings settings;
  settings.totalFieldMin = settings.totalFieldMax;
  EXPECT_THROW(WriteAlarmSettings(Path(), settings), SettingsError);
  EXPECT_FALSE(std::filesystem::exists(Path()));
}

TEST(AlarmSettings, DefaultsAreUsableAndPerInstrument) {
  const AlarmSettings settings;
  EXPECT_EQ(AlarmSettingsProblem(settings), "");
  EXPECT_EQ(SpikeFloor(settings, InstrumentOfKind(skKVL)), 50.0);
  EXPECT_EQ(NoiseEnvelope(settings, InstrumentOfKind(skZPT)), 1.5);
  EXPECT_EQ(InstrumentOfKind(skZPX), Instrument::Zeph2Kv);
  EXPECT_EQ(InstrumentOfKind(skRTB), Instrument::Rt4);
  EXPECT_EQ(InstrumentOfKind(skRTC), Instrument::Rt4);
  EXPECT_EQ(InstrumentOfKind(skPNav), Instrument::KV7100);
  EXPECT_EQ(InstrumentOfKind(skKVS), Instrument::KV7100);
}

TEST(AlarmSettings, AFaultNamesTheFieldToCorrect) {
  struct Case {
    double AlarmSettings::*member;
    double value;
    const char* caption;
  };
  const Case cases[] = {
      {&AlarmSettings::depthMax, 0.5, "Maximum towfish depth (m):"},   // below the minimum: the maximum
      {&AlarmSettings::depthMin, 90.0, "Maximum towfish depth (m):"},  // above the maximum: the maximum too
      {&AlarmSettings::satellitesMin, 5.5, "Minimum satellites:"},
      {&AlarmSettings::hdopMax, 0.0, "Maximum HDOP:"},
  };
  for (const Case& c : cases) {
    const AlarmSettingsFault fault = testing::FaultWithOneValue(c.member, c.value, FindAlarmSettingsFault);
    ASSERT_NE(fault.field, nullptr) << c.caption;
    EXPECT_EQ(fault.field->caption, c.caption);
    EXPECT_EQ(fault.message.rfind(std::string("\"") + c.caption + "\"", 0), 0u) << fault.message;
  }
  EXPECT_EQ(FindAlarmSettingsFault(AlarmSettings{}).field, nullptr);
}

TEST(SettingsNumber, ReadsDecimalsWithAPointWhateverTheLocale) {
  struct Case {
    const char* text;
    double value;
  };
  const Case good[] = {{"2", 2.0}, {" 0.5 ", 0.5}, {"+12.25", 12.25}, {"-3", -3.0}, {"007.10", 7.1}};
  for (const Case& c : good) EXPECT_EQ(ParseSettingsNumber(c.text, "x"), c.value) << c.text;
  for (const char* bad : {"", "-", ".5", "5.", "1,5", "1.2.3", "1e2", "inf", "nan", "0x10", "--1", "+-1", "1 2"})
    EXPECT_THROW(ParseSettingsNumber(bad, "x"), SettingsError) << bad;
  for (const double v : {0.0, 2.0, 0.1, 1.5, 20000.0, 99.9, 0.01, -2.2e68, 1.7976931348623157e308})
    EXPECT_EQ(ParseSettingsNumber(SettingsNumberText(v), "x"), v) << v;
  EXPECT_EQ(SettingsNumberText(2.0), "2");
  EXPECT_EQ(SettingsNumberText(0.5), "0.5");
}

}  // namespace tessaly::alarm_settings_test
