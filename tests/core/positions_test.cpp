#include "core/Positions.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaly {
namespace {

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

TEST(FormatFixed, UsesTheSeparator) {
  std::string out;
  FormatFixed(17.9676, 3, ',', out);
  EXPECT_EQ(out, "17,968");
  FormatFixed(0.6, 3, '.', out);
  EXPECT_EQ(out, "0.600");
}

struct Derived {
  std::string decLat = "old", decLon = "old", zone = "old", north = "old", east = "old";
  DerivedTexts Texts() { return {decLat, decLon, zone, north, east}; }
};

TEST(ComputePositions, FillsSignedDecimalsZoneAndMetres) {
  Derived d;
  ASSERT_TRUE(ComputePositions({"45", "12.345", "N", "063", "30.000", "W"}, '.', 22, d.Texts()));
  EXPECT_EQ(d.decLat, "+45.20575");
  EXPECT_EQ(d.decLon, "-63.50000");
  EXPECT_EQ(d.zone, "20 T");
  EXPECT_EQ(d.north.size(), 11u);
  EXPECT_EQ(d.north[7], '.');
  EXPECT_EQ(d.east.size(), 10u);
  EXPECT_EQ(d.east[6], '.');
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
  }
  Derived d;
  EXPECT_FALSE(ComputePositions({"45", "12.345", "N", "063", "30.000", "W"}, '.', 23, d.Texts()));
  EXPECT_TRUE(d.zone.empty());
}

TEST(LocaleDecimalSeparator, IsThePointUnderTheCLocale) { EXPECT_EQ(LocaleDecimalSeparator(), '.'); }

}  // namespace
}  // namespace tessaly
