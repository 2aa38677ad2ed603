#include "core/NmeaLog.h"

#include <gtest/gtest.h>

#include "support/FileBytes.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

constexpr std::int64_t kMidnight2027 = 20819LL * 86400 * kNsPerSecond;  // 2027-01-01T00:00:00Z

const char* const kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";

TEST(NmeaLog, LinesAreTimeTabSentenceWithBadOnesMarked) {
  EXPECT_EQ(FormatNmeaLogLine(kMidnight2027 + 1'234'567, kGga),
            std::string("2027-01-01T00:00:00.001Z\t") + kGga);
  EXPECT_EQ(FormatNmeaLogLine(kMidnight2027, "$HEHDT,274.07,T*18"),
            "2027-01-01T00:00:00.000Z\t$HEHDT,274.07,T*18\tbad checksum");
  EXPECT_EQ(FormatNmeaLogLine(kMidnight2027, "$HEHDT,274.07,T"), "2027-01-01T00:00:00.000Z\t$HEHDT,274.07,T\tno checksum");
}

struct LineCase {
  const char* line;
  bool reads;
  const char* mark;
};

class NmeaLogLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(NmeaLogLines, ReadOnlyWhatTheWriterWrites) {
  const auto line = ParseNmeaLogLine(GetParam().line);
  ASSERT_EQ(line.has_value(), GetParam().reads) << GetParam().line;
  if (line) {
    EXPECT_EQ(line->mark, GetParam().mark);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, NmeaLogLines,
                         ::testing::Values(LineCase{"2027-01-01T00:00:00.001Z\t$HEHDT,274.07,T*19", true, ""},
                                           LineCase{"2027-01-01T00:00:00.001Z\t!AIVDM,1*00", true, ""},
                                           LineCase{"2027-01-01T00:00:00.001Z\t$HEHDT*18\tbad checksum", true,
                                                    "bad checksum"},
                                           LineCase{"2027-01-01T00:00:00.001Z\t$HEHDT\tno checksum", true, "no checksum"},
                                           LineCase{"2027-01-01T00:00:00.001Z\t$HEHDT*18\tother", false, ""},
                                           LineCase{"2027-01-01T00:00:00.001Z\tHEHDT,274.07,T*19", false, ""},
                                           LineCase{"2027-01-01T00:00:00.001Z\t$", false, ""},
                                           LineCase{"2027-01-01 00:00:00\t$HEHDT,274.07,T*19", false, ""},
                                           LineCase{"$HEHDT,274.07,T*19", false, ""}, LineCase{"", false, ""}));

TEST(NmeaLog, ReadingUsesOnlySentencesWithAGoodChecksumAndNoMark) {
  testing::TempHome home;
  const std::string path = home.Path("survey.kvl.nmea");
  // Two fixes that decode; a third whose checksum is wrong; a fourth marked
  // bad although its checksum is right; a line that is no sentence; a
  // sentence of another type.
  testing::WriteBytes(path,
                      "2027-01-01T00:00:01.000Z\t$GPGGA,000001,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*4B\r\n"
                      "2027-01-01T00:00:02.000Z\t$GPGGA,000002,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*48\r\n"
                      "2027-01-01T00:00:03.000Z\t$GPGGA,000003,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*00\t"
                      "bad checksum\r\n"
                      "2027-01-01T00:00:04.000Z\t$GPGGA,000004,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*4E\t"
                      "bad checksum\r\n"
                      "garbage\r\n"
                      "2027-01-01T00:00:05.000Z\t$GPGSV,1,1,00*79\r\n");
  const NmeaLogFile file = ReadNmeaLog(path);
  EXPECT_EQ(file.error, "");
  EXPECT_EQ(file.sentences, 5u);
  EXPECT_EQ(file.badChecksums, 2u);
  EXPECT_EQ(file.decoded, 2u);
  EXPECT_EQ(file.badLines, 1u);
  ASSERT_EQ(file.timeline.Fixes().size(), 2u);
  EXPECT_EQ(file.timeline.Fixes()[1].receivedUtcNs, kMidnight2027 + 2 * kNsPerSecond);
}

}  // namespace
}  // namespace tessaly
