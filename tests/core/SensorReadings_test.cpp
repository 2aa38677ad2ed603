#include "core/SensorReadings.h"

#include <gtest/gtest.h>

#include <optional>

#include "core/untTSample.h"

namespace tessaly::sensor_readings_test {

TEST(SensorReadings, ReadTheColumnsAfterTheDeviation) {
  struct Case {
    std::uint8_t kind;
    const char* line;
    std::optional<double> totalField;
    std::optional<int> signal;
  };
  const Case cases[] = {
      {skZPX, "$KVMGD,+00042,52341.2,087", 52341.2, 87},
      {skZPT, "$BTGFG,+0004,48012.9,099", 48012.9, 99},
      {skRTB, "$MGD,-00120,52340,5", 52340.0, 5},
      {skZPX, "$KVMGD,+00042", std::nullopt, std::nullopt},            // the short form
      {skZPX, "$KVMGD,+00042,52341.2", 52341.2, std::nullopt},
      {skZPX, "$KVMGD,+00042,,087", std::nullopt, 87},
      {skZPX, "$KVMGD,+00042,5234x.2,1000", std::nullopt, std::nullopt}, // no number, four digits
      {skZPX, "$KVMGD,+00042,-52341.2,-87", std::nullopt, std::nullopt}, // no signs
      {skZPX, "$KVMGD,+00042,52341.,087 ", std::nullopt, std::nullopt},  // a bare point, a blank
      {skZPX, "$KVMGD,+00042,.5,08.7", std::nullopt, std::nullopt},
      {skZPX, "$KVMGD,+00042,52341.2,087,extra", 52341.2, 87},
      {skKVL, "$KVMGD,+00042,4418.000,N,06318.000,W,25.3,78.4", std::nullopt, std::nullopt},
      {skRTC, "$KVMGD,+00042,063,18.000,W,44,18.000,N,025.3,078.4", std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    const SensorReadings readings = ReadSensorReadings(c.kind, c.line);
    EXPECT_EQ(readings.totalField, c.totalField) << c.line;
    EXPECT_EQ(readings.signal, c.signal) << c.line;
  }
}

TEST(SensorReadings, OnlyZeph2AndRt4BasicCarryThem) {
  for (std::uint8_t kind = skNone; kind <= skPNav; ++kind)
    EXPECT_EQ(KindCarriesSensorReadings(kind), kind == skZPX || kind == skZPT || kind == skRTB) << int(kind);
}

// The readings are read beside the parser: a record whose readings are no
// numbers is still a valid record, as before.
TEST(SensorReadings, LeaveTheRecordsVerdictAlone) {
  TSample sample('.');
  sample.FDevDigits = 5;
  sample.SetHeader("$KVMGD");
  sample.SetKind(skZPX);
  EXPECT_EQ(sample.Parse("$KVMGD,+00042,garbage,%%%"), 0);
  EXPECT_EQ(ReadSensorReadings(skZPX, "$KVMGD,+00042,garbage,%%%"), SensorReadings{});
}

}  // namespace tessaly::sensor_readings_test
