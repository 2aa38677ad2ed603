#include "core/NmeaSentence.h"

#include <gtest/gtest.h>

#include <string>

#include "support/GpsTruth.h"

namespace tessaly {
namespace {

// The sentence of a body with its checksum, worked out apart from the code
// under test.
std::string Sentence(const std::string& body) { return testing::WithChecksum(body); }

struct ChecksumCase {
  const char* sentence;
  NmeaChecksum expected;
};

class NmeaChecksums : public ::testing::TestWithParam<ChecksumCase> {};

TEST_P(NmeaChecksums, AreCheckedAsTheStandardSays) {
  EXPECT_EQ(CheckNmeaChecksum(GetParam().sentence), GetParam().expected) << GetParam().sentence;
}

// The first five are the textbook examples with their published checksums.
INSTANTIATE_TEST_SUITE_P(
    Cases, NmeaChecksums,
    ::testing::Values(ChecksumCase{"$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47", NmeaChecksum::Ok},
                      ChecksumCase{"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A", NmeaChecksum::Ok},
                      ChecksumCase{"$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*48", NmeaChecksum::Ok},
                      ChecksumCase{"$GPZDA,201530.00,04,07,2002,00,00*60", NmeaChecksum::Ok},
                      ChecksumCase{"$HEHDT,274.07,T*19", NmeaChecksum::Ok},
                      ChecksumCase{"$hehdt,274.07,T*19", NmeaChecksum::Bad},
                      ChecksumCase{"$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*6a", NmeaChecksum::Bad},
                      ChecksumCase{"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6a", NmeaChecksum::Ok},
                      ChecksumCase{"$HEHDT,274.07,T*1", NmeaChecksum::Bad},
                      ChecksumCase{"$HEHDT,274.07,T*193", NmeaChecksum::Bad},
                      ChecksumCase{"$HEHDT,274.07,T*G9", NmeaChecksum::Bad},
                      ChecksumCase{"$HEHDT,274.07,T", NmeaChecksum::Missing},
                      ChecksumCase{"", NmeaChecksum::Missing}));

TEST(NmeaChecksumText, IsTheExclusiveOrInUpperCaseHex) {
  EXPECT_EQ(NmeaChecksumText("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W"), "6A");
  EXPECT_EQ(NmeaChecksumText(""), "00");
}

TEST(DecodeNmea, ReadsTheTextbookGga) {
  const auto decoded = DecodeNmea("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47");
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->talker, "GP");
  const auto& gga = std::get<GgaSentence>(decoded->message);
  EXPECT_EQ(gga.time, 45319000);  // 12:35:19
  ASSERT_TRUE(gga.position);
  EXPECT_NEAR(gga.position->latitude, 48.1173, 1e-12);         // 48 + 7.038 / 60
  EXPECT_NEAR(gga.position->longitude, 11.5166666666667, 1e-12);  // 11 + 31 / 60
  EXPECT_EQ(gga.quality, 1);
  EXPECT_EQ(gga.satellites, 8);
  EXPECT_EQ(gga.hdop, 0.9);
  EXPECT_EQ(gga.altitude, 545.4);
  EXPECT_TRUE(IsUsableFix(gga));
}

TEST(DecodeNmea, ReadsAnRmcOfAnyTalkerWithDateAndMode) {
  const auto decoded = DecodeNmea(Sentence("GNRMC,235959.50,A,4417.968000,N,06318.000000,W,3.9,359.9,311226,,,D"));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->talker, "GN");
  const auto& rmc = std::get<RmcSentence>(decoded->message);
  EXPECT_EQ(rmc.time, 86399500);  // 23:59:59.50
  EXPECT_TRUE(rmc.active);
  ASSERT_TRUE(rmc.position);
  EXPECT_NEAR(rmc.position->latitude, 44.2994666666667, 1e-12);
  EXPECT_DOUBLE_EQ(rmc.position->longitude, -63.3);
  EXPECT_EQ(rmc.speedKnots, 3.9);
  EXPECT_EQ(rmc.courseTrue, 359.9);
  ASSERT_TRUE(rmc.date);
  EXPECT_EQ(rmc.date->year, 2026);
  EXPECT_EQ(rmc.date->month, 12u);
  EXPECT_EQ(rmc.date->day, 31u);
  EXPECT_EQ(rmc.mode, 'D');
}

TEST(DecodeNmea, ReadsTheTextbookRmcWithoutAMode) {
  const auto decoded = DecodeNmea("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A");
  ASSERT_TRUE(decoded);
  const auto& rmc = std::get<RmcSentence>(decoded->message);
  EXPECT_EQ(rmc.mode, 0);
  EXPECT_EQ(rmc.date->year, 1994);
  EXPECT_TRUE(IsUsableFix(rmc));
}

TEST(DecodeNmea, ReadsVtgInBothForms) {
  for (const std::string& sentence :
       {std::string("$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*48"), Sentence("GPVTG,054.7,034.4,005.5,010.2")}) {
    const auto decoded = DecodeNmea(sentence);
    ASSERT_TRUE(decoded) << sentence;
    const auto& vtg = std::get<VtgSentence>(decoded->message);
    EXPECT_EQ(vtg.courseTrue, 54.7);
    EXPECT_EQ(vtg.speedKnots, 5.5);
  }
}

TEST(DecodeNmea, ReadsHeadingAndDate) {
  const auto hdt = DecodeNmea("$HEHDT,274.07,T*19");
  ASSERT_TRUE(hdt);
  EXPECT_EQ(hdt->talker, "HE");
  EXPECT_EQ(std::get<HdtSentence>(hdt->message).headingTrue, 274.07);
  const auto zda = DecodeNmea("$GPZDA,201530.00,04,07,2002,00,00*60");
  ASSERT_TRUE(zda);
  const auto& z = std::get<ZdaSentence>(zda->message);
  EXPECT_EQ(z.time, 72930000);  // 20:15:30
  EXPECT_EQ(z.date.year, 2002);
  EXPECT_EQ(z.date.month, 7u);
  EXPECT_EQ(z.date.day, 4u);
}

TEST(DecodeNmea, TakesALeapSecond) {
  const auto zda = DecodeNmea(Sentence("GPZDA,235960.00,31,12,2016,00,00"));
  ASSERT_TRUE(zda);
  EXPECT_EQ(std::get<ZdaSentence>(zda->message).time, 86400000);
}

TEST(DecodeNmea, KeepsEmptyFieldsOfAReceiverWithoutAFix) {
  const auto gga = DecodeNmea(Sentence("GPGGA,123520.00,,,,,0,00,99.99,,,,,,"));
  ASSERT_TRUE(gga);
  const auto& g = std::get<GgaSentence>(gga->message);
  EXPECT_FALSE(g.position);
  EXPECT_EQ(g.quality, 0);
  EXPECT_FALSE(IsUsableFix(g));
  const auto rmc = DecodeNmea(Sentence("GPRMC,123520.00,V,,,,,,,230394,,,N"));
  ASSERT_TRUE(rmc);
  EXPECT_FALSE(IsUsableFix(std::get<RmcSentence>(rmc->message)));
}

// Sentences with a good checksum that are not decoded: a field does not
// hold what its place requires, or the sentence is not one of the five.
class UndecodedSentences : public ::testing::TestWithParam<const char*> {};

TEST_P(UndecodedSentences, AreLeftOut) { EXPECT_FALSE(DecodeNmea(Sentence(GetParam()))) << GetParam(); }

INSTANTIATE_TEST_SUITE_P(Cases, UndecodedSentences,
                         ::testing::Values("GPGGA,123519,4860.000,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",  // minutes 60
                                           "GPGGA,123519,9000.001,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",  // beyond 90
                                           "GPGGA,123519,4807.038,N,18000.001,E,1,08,0.9,545.4,M,46.9,M,,",  // beyond 180
                                           "GPGGA,123519,4807.038,X,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",  // hemisphere
                                           "GPGGA,123519,4807.038,N,,E,1,08,0.9,545.4,M,46.9,M,,",  // half a position
                                           "GPGGA,123519,807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",  // degree digits
                                           "GPGGA,123519,4807.038,N,01131.000,E,1,08,1e1,545.4,M,46.9,M,,",  // exponent
                                           "GPGGA,123519,4807.038,N,01131.000,E,1,08,nan,545.4,M,46.9,M,,",
                                           "GPGGA,123519,4807.038,N,01131.000,E,1,08,-0.9,545.4,M,46.9,M,,",  // HDOP
                                           "GPGGA,123519,4807.038,N,01131.000,E,1,-8,0.9,545.4,M,46.9,M,,",
                                           "GPGGA,243519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",  // hour 24
                                           "GPGGA,126019,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",  // minute 60
                                           "GPGGA,123561,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",  // second 61
                                           "GPGGA,1235,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
                                           "GPGGA,123519,4807.038,N",  // too few fields
                                           "GPRMC,123519,X,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W",  // status
                                           "GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,300294,003.1,W",  // 30 Feb
                                           "GPRMC,123519,A,4807.038,N,01131.000,E,022.4,360.1,230394,003.1,W",  // course
                                           "GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,AD",  // mode
                                           "GPVTG,054.7,X,034.4,M,005.5,N,010.2,K",
                                           "HEHDT,274.07,M", "HEHDT,,T",
                                           "GPZDA,201530.00,29,02,2001,00,00",  // not a leap year
                                           "GPZDA,201530.00,04,07,02,00,00",
                                           "GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00",
                                           "PGRME,15.0,M,45.0,M,25.0,M",  // proprietary
                                           "GPGG,123519"));

TEST(DecodeNmea, NeverDecodesWithoutAGoodChecksum) {
  EXPECT_FALSE(DecodeNmea("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*48"));
  EXPECT_FALSE(DecodeNmea("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"));
  EXPECT_FALSE(DecodeNmea("!AIVDM,1,1,,A,13aEOK?P00PD2wVMdLDRhgvL289?,0*26"));
}

struct UsableCase {
  const char* body;
  bool usable;
};

class UsableFixes : public ::testing::TestWithParam<UsableCase> {};

TEST_P(UsableFixes, AreOnlyRealFixes) {
  const auto decoded = DecodeNmea(Sentence(GetParam().body));
  ASSERT_TRUE(decoded) << GetParam().body;
  const bool usable = std::visit(
      [](const auto& m) {
        if constexpr (requires { IsUsableFix(m); }) return IsUsableFix(m);
        else return false;
      },
      decoded->message);
  EXPECT_EQ(usable, GetParam().usable) << GetParam().body;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UsableFixes,
    ::testing::Values(UsableCase{"GPGGA,123519,4807.038,N,01131.000,E,0,08,0.9,,,,,,", false},
                      UsableCase{"GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,,,,,,", true},
                      UsableCase{"GPGGA,123519,4807.038,N,01131.000,E,2,08,0.9,,,,,,", true},
                      UsableCase{"GPGGA,123519,4807.038,N,01131.000,E,4,08,0.9,,,,,,", true},
                      UsableCase{"GPGGA,123519,4807.038,N,01131.000,E,5,08,0.9,,,,,,", true},
                      UsableCase{"GPGGA,123519,4807.038,N,01131.000,E,6,08,0.9,,,,,,", false},
                      UsableCase{"GPGGA,123519,4807.038,N,01131.000,E,7,08,0.9,,,,,,", false},
                      UsableCase{"GPGGA,123519,4807.038,N,01131.000,E,8,08,0.9,,,,,,", false},
                      UsableCase{"GPRMC,123519,A,4807.038,N,01131.000,E,0.0,0.0,230394,,,A", true},
                      UsableCase{"GPRMC,123519,A,4807.038,N,01131.000,E,0.0,0.0,230394,,,D", true},
                      UsableCase{"GPRMC,123519,A,4807.038,N,01131.000,E,0.0,0.0,230394,,,E", false},
                      UsableCase{"GPRMC,123519,A,4807.038,N,01131.000,E,0.0,0.0,230394,,,N", false},
                      UsableCase{"GPRMC,123519,A,4807.038,N,01131.000,E,0.0,0.0,230394,,,S", false},
                      UsableCase{"GPRMC,123519,V,4807.038,N,01131.000,E,0.0,0.0,230394,,,A", false},
                      UsableCase{"GPRMC,123519,A,,,,,0.0,0.0,230394,,,A", false}));

}  // namespace
}  // namespace tessaly
