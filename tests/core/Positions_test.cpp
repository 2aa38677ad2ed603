#include "core/Positions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace tessaly {
namespace {

// Decimal degrees as printf would give them: minutes / 60 with 15
// significant digits in fixed notation, cut to the minutes' length, joined
// with the degrees and printed with 5 decimals.
std::string PrintfDegMinToDec(int degrees, const std::string& minutes) {
  char sci[64];
  std::snprintf(sci, sizeof sci, "%.14e", std::strtod(minutes.c_str(), nullptr) / 60.0);
  std::string digits = std::string(1, sci[0]) + std::string(sci + 2, 14);
  const int exponent = std::atoi(std::strchr(sci, 'e') + 1);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string fixed;
  if (exponent < 0) {
    fixed = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  } else {
    const auto whole = static_cast<std::size_t>(exponent) + 1;
    fixed = digits.size() > whole ? digits.substr(0, whole) + "." + digits.substr(whole)
                                  : digits + std::string(whole - digits.size(), '0');
  }
  const std::string joined = std::to_string(degrees) + fixed.substr(1, minutes.size());
  char out[64];
  std::snprintf(out, sizeof out, "%.5f", std::strtod(joined.c_str(), nullptr));
  return out;
}

std::string Dec(const char* degrees, const char* minutes, char separator = '.') {
  std::string out = "unset";
  return DegMinToDec(degrees, minutes, separator, out) ? out : "failed";
}

TEST(DegMinToDec, JoinsDegreesWithMinutesOverSixty) {
  EXPECT_EQ(Dec("45", "12.345"), "45.20575");
  EXPECT_EQ(Dec("45", "00.000"), "45.00000");
  EXPECT_EQ(Dec("045", "30.000"), "45.50000");
  EXPECT_EQ(Dec("-05", "30.000"), "-5.50000");
  EXPECT_EQ(Dec("44", "18.0000"), "44.30000");
}

TEST(DegMinToDec, TruncatesToTheLengthOfTheMinutesText) {
  // 0.001 / 60 = 0.0000166666666666667: six characters from the point
  EXPECT_EQ(Dec("45", "00.001"), "45.00001");
  EXPECT_EQ(Dec("45", "0.001"), "45.00000");
  // seven characters keep more digits, then five decimals are rounded
  EXPECT_EQ(Dec("45", "59.9999"), "46.00000");
  EXPECT_EQ(Dec("45", "17.9676"), "45.29946");
}

TEST(DegMinToDec, MinutesOfSixtyOrMoreLoseTheirWholePart) {
  EXPECT_EQ(Dec("45", "75.000"), "45.25000");
  EXPECT_EQ(Dec("45", "60.000"), "45.00000");
}

TEST(DegMinToDec, AgreesWithPrintfOnManyMinutes) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> degrees(0, 179), thousandths(0, 59999), extra(0, 9);
  for (int i = 0; i < 20000; ++i) {
    char minutes[32];
    const int t = thousandths(random);
    if (i % 3 == 0) std::snprintf(minutes, sizeof minutes, "%02d.%03d", t / 1000, t % 1000);
    else if (i % 3 == 1) std::snprintf(minutes, sizeof minutes, "%02d.%03d%d", t / 1000, t % 1000, extra(random));
    else std::snprintf(minutes, sizeof minutes, "%d.%d", t / 7, t % 97);
    const int d = degrees(random);
    ASSERT_EQ(Dec(std::to_string(d).c_str(), minutes), PrintfDegMinToDec(d, minutes)) << d << " " << minutes;
  }
  for (const char* odd : {"0.0000001", "1e-9", "600.000", "5999.99", "1e15", "0.5", "59.99999999"})
    EXPECT_EQ(Dec("12", odd), PrintfDegMinToDec(12, odd)) << odd;
}

TEST(DegMinToDec, ReadsMinutesWithTheSeparator) {
  EXPECT_EQ(Dec("45", "12,345", ','), "45.20575");
  EXPECT_EQ(Dec("45", "12.345", ','), "45.20575");
  EXPECT_EQ(Dec("45", "12,345", '.'), "failed");
}

TEST(DegMinToDec, FailsOnTextsThatAreNoNumbers) {
  EXPECT_EQ(Dec("4x", "12.345"), "failed");
  EXPECT_EQ(Dec("45", "1x.345"), "failed");
  EXPECT_EQ(Dec("45", ""), "failed");
  EXPECT_EQ(Dec("", "12.345"), "failed");
  EXPECT_EQ(Dec("45", "inf"), "failed");
}

TEST(ReadNumber, TurnsPointsIntoTheSeparatorFirst) {
  double value = 0.0;
  EXPECT_TRUE(ReadNumber("12.5", '.', value));
  EXPECT_DOUBLE_EQ(value, 12.5);
  EXPECT_TRUE(ReadNumber("12,5", ',', value));
  EXPECT_DOUBLE_EQ(value, 12.5);
  EXPECT_TRUE(ReadNumber(" -3.25 ", ',', value));
  EXPECT_DOUBLE_EQ(value, -3.25);
  EXPECT_FALSE(ReadNumber("12,5", '.', value));
  EXPECT_FALSE(ReadNumber("1.234,5", ',', value));
  for (const char* no : {"", "-", "nan", "inf", "0x10", "1.-5", "abc"}) EXPECT_FALSE(ReadNumber(no, '.', value)) << no;
  EXPECT_TRUE(ReadNumber(std::string(100, '0') + "7.5", '.', value));
  EXPECT_DOUBLE_EQ(value, 7.5);
}

// Every decimal of the usual lengths reads as the C library reads it,
// correctly rounded, whatever its digits, point and sign.
TEST(ReadNumber, ReadsEveryShortDecimalAsTheCLibraryDoes) {
  std::mt19937_64 random(7);
  const auto digits = [&random](int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += static_cast<char>('0' + random() % 10);
    return text;
  };
  for (int i = 0; i < 200000; ++i) {
    const int whole = static_cast<int>(random() % 12), decimals = static_cast<int>(random() % 12);
    std::string text = (random() % 3 == 0 ? "-" : "") + digits(whole);
    if (decimals > 0 || random() % 2) text += "." + digits(decimals);
    double value = 0.0;
    const bool read = ReadNumber(text, '.', value);
    const bool any = whole + decimals > 0;
    ASSERT_EQ(read, any) << text;
    if (!any) continue;
    const double expected = std::strtod(text.c_str(), nullptr);
    ASSERT_EQ(value, expected) << text;
    ASSERT_EQ(std::signbit(value), std::signbit(expected)) << text;
  }
  // Hand-checked: the nearest doubles, and texts past the short form.
  const struct {
    const char* text;
    double value;
  } cases[] = {{"76.5", 76.5},         {"0.1", 0.1},           {"-0.3", -0.3},
               {"4417.968", 4417.968}, {"1.", 1.0},            {".5", 0.5},
               {"+12.25", 12.25},      {"999999999999999", 999999999999999.0},
               {"12345678901234567", 12345678901234567.0},     {"0.12345678901234567", 0.12345678901234567},
               {"1e3", 1000.0}};
  for (const auto& c : cases) {
    double value = 0.0;
    EXPECT_TRUE(ReadNumber(c.text, '.', value)) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
  double value = 0.0;
  for (const char* no : {".", "-.", "1..5", "1.2.3", "12a"}) EXPECT_FALSE(ReadNumber(no, '.', value)) << no;
}

TEST(ShortDecimalText, AtMostTheDecimalsWithoutTrailingZeros) {
  const std::pair<double, const char*> cases[] = {{3.2, "3.2"},     {499.9996, "500"}, {-1.25049, "-1.25"},
                                                  {0.0, "0"},       {-0.0001, "0"},    {52341.2, "52341.2"},
                                                  {0.151, "0.151"}, {-30, "-30"},      {100, "100"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(ShortDecimalText(value, 3), text) << value;
}

TEST(FormatFixed, UsesTheSeparator) {
  std::string out;
  FormatFixed(17.9676, 3, ',', out);
  EXPECT_EQ(out, "17,968");
  FormatFixed(0.6, 3, '.', out);
  EXPECT_EQ(out, "0.600");
}

TEST(FormatFixed, AgreesWithPrintfRounding) {
  std::mt19937 random(3);
  std::uniform_real_distribution<double> metres(-1e7, 1e7), small(-2.0, 2.0);
  const auto expectSame = [](double value, int decimals) {
    char expected[512];
    std::snprintf(expected, sizeof expected, "%.*f", decimals, value);
    std::string actual;
    FormatFixed(value, decimals, '.', actual);
    EXPECT_EQ(actual, expected) << value;
  };
  for (int i = 0; i < 20000; ++i) {
    expectSame(metres(random), 3);
    expectSame(small(random), 5);
  }
  for (const double tie : {0.125, 0.375, 2.5, 0.0625, 1e-300, -0.0001, -0.0, 1e300, 5e-324, 4503599627370497.5})
    for (const int decimals : {0, 2, 3, 5}) expectSame(tie, decimals);
}

struct Derived {
  std::string decLat = "old", decLon = "old", zone = "old", north = "old", east = "old";
  GeoPosition degrees{1.0, 2.0};
  DerivedTexts Texts() { return {decLat, decLon, zone, north, east, degrees}; }
};

TEST(ComputePositions, FillsSignedDecimalsZoneAndMetres) {
  Derived d;
  ASSERT_TRUE(ComputePositions({"45", "12.345", "N", "063", "30.000", "W"}, '.', 22, d.Texts()));
  EXPECT_EQ(d.decLat, "+45.20575");
  EXPECT_EQ(d.decLon, "-63.50000");
  EXPECT_EQ(d.zone, "20 T");
  EXPECT_DOUBLE_EQ(d.degrees.latitude, 45.20575);
  EXPECT_DOUBLE_EQ(d.degrees.longitude, -63.5);
  EXPECT_EQ(d.north.size(), 11u);
  EXPECT_EQ(d.north[7], '.');
  EXPECT_EQ(d.east.size(), 10u);
  EXPECT_EQ(d.east[6], '.');
}

// Without the metres: the same degrees and zone, no northing or easting;
// what does not convert with them does not convert without.
TEST(ComputePositions, WithoutMetresKeepsTheDegreesAndTheZone) {
  Derived d;
  ASSERT_TRUE(ComputePositions({"45", "12.345", "N", "063", "30.000", "W"}, '.', 22, d.Texts(), false));
  EXPECT_EQ(d.decLat, "+45.20575");
  EXPECT_EQ(d.decLon, "-63.50000");
  EXPECT_EQ(d.zone, "20 T");
  EXPECT_EQ(d.north + d.east, "");
  EXPECT_DOUBLE_EQ(d.degrees.latitude, 45.20575);
  EXPECT_DOUBLE_EQ(d.degrees.longitude, -63.5);
  EXPECT_FALSE(ComputePositions({"45", "12.345", "N", "063", "30.000", "W"}, '.', 99, d.Texts(), false));
  EXPECT_EQ(d.zone, "");
}

TEST(ComputePositions, HemisphereGivesTheSignUnlessTheDegreesCarryOne) {
  Derived d;
  ASSERT_TRUE(ComputePositions({"33", "54.000", "S", "151", "12.000", "E"}, '.', 22, d.Texts()));
  EXPECT_EQ(d.decLat, "-33.90000");
  EXPECT_EQ(d.decLon, "+151.20000");
  EXPECT_EQ(d.zone, "56 H");
  ASSERT_TRUE(ComputePositions({"-33", "54.000", "N", "151", "12.000", "x"}, '.', 22, d.Texts()));
  EXPECT_EQ(d.decLat, "-33.90000");
  EXPECT_EQ(d.decLon, "-151.20000");
}

TEST(ComputePositions, MetresAreRightAlignedInEightCharacters) {
  Derived d;
  ASSERT_TRUE(ComputePositions({"00", "00.006", "N", "009", "00.000", "E"}, ',', 22, d.Texts()));
  EXPECT_EQ(d.north.size(), 8u);
  EXPECT_EQ(d.north.substr(0, 2), "  ");
  EXPECT_EQ(d.north.find(','), 4u);
  EXPECT_EQ(d.east, "500000,000");
}

TEST(ComputePositions, EmptiesEverythingWhenThePositionDoesNotConvert) {
  for (const DegMinTexts& bad : {DegMinTexts{"45", "12.345", "", "063", "30.000", "W"},
                                 DegMinTexts{"45", "12.345", "N", "063", "30.000", ""},
                                 DegMinTexts{"4x", "12.345", "N", "063", "30.000", "W"},
                                 DegMinTexts{"45", "12.345", "N", "063", "3x.000", "W"}}) {
    Derived d;
    EXPECT_FALSE(ComputePositions(bad, '.', 22, d.Texts()));
    EXPECT_EQ(d.decLat + d.decLon + d.zone + d.north + d.east, "");
    EXPECT_FALSE(d.degrees.Known());
  }
  Derived d;
  EXPECT_FALSE(ComputePositions({"45", "12.345", "N", "063", "30.000", "W"}, '.', 23, d.Texts()));
  EXPECT_TRUE(d.zone.empty());
}

TEST(PositionDegrees, GivesTheNumbersOfTheDecimalTexts) {
  for (const DegMinTexts& position : {DegMinTexts{"45", "12.345", "N", "063", "30.000", "W"},
                                      DegMinTexts{"33", "54,017", "S", "151", "12,5", "E"},
                                      DegMinTexts{"-33", "54.000", "N", "009", "00.006", "x"}}) {
    Derived d;
    ASSERT_TRUE(ComputePositions(position, ',', 22, d.Texts()));
    std::string decLat, decLon;
    double latitude = 0.0, longitude = 0.0;
    ASSERT_TRUE(PositionDegrees(position, ',', decLat, decLon, latitude, longitude));
    EXPECT_EQ(decLat, d.decLat);
    EXPECT_EQ(decLon, d.decLon);
    double fromLat = 0.0, fromLon = 0.0;
    ASSERT_TRUE(ReadNumber(d.decLat, ',', fromLat));
    ASSERT_TRUE(ReadNumber(d.decLon, ',', fromLon));
    EXPECT_EQ(latitude, fromLat);
    EXPECT_EQ(longitude, fromLon);
  }
  std::string decLat, decLon;
  double latitude = 0.0, longitude = 0.0;
  EXPECT_FALSE(PositionDegrees({"45", "12.345", "", "063", "30.000", "W"}, '.', decLat, decLon, latitude, longitude));
  EXPECT_FALSE(PositionDegrees({"45", "1x.345", "N", "063", "30.000", "W"}, '.', decLat, decLon, latitude, longitude));
}

TEST(LocaleDecimalSeparator, IsThePointUnderTheCLocale) { EXPECT_EQ(LocaleDecimalSeparator(), '.'); }

}  // namespace
}  // namespace tessaly
