#include "core/ColourNames.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

TEST(ColourNames, NamedColoursWriteTheirClassicNames) {
  EXPECT_EQ(ColourToString(0x000000), "clBlack");
  EXPECT_EQ(ColourToString(0x0000FF), "clRed");
  EXPECT_EQ(ColourToString(0xFF0000), "clBlue");
  EXPECT_EQ(ColourToString(0x800000), "clNavy");
  EXPECT_EQ(ColourToString(0xC0DCC0), "clMoneyGreen");
  EXPECT_EQ(ColourToString(0xF0FBFF), "clCream");
  EXPECT_EQ(ColourToString(0xFF00000F), "clBtnFace");
  EXPECT_EQ(ColourToString(0xFF000018), "clInfoBk");
  EXPECT_EQ(ColourToString(0xFF000005), "clWindow");
  EXPECT_EQ(ColourToString(0xFF000008), "clWindowText");
}

TEST(ColourNames, UnnamedColoursWriteDollarAndEightHexDigits) {
  EXPECT_EQ(ColourToString(0xFFBBBB), "$00FFBBBB");
  EXPECT_EQ(ColourToString(0x3A3A3A), "$003A3A3A");
}

TEST(ColourNames, ReadsNamesInAnyCaseHexAndDecimal) {
  EXPECT_EQ(StringToColour("clRed"), 0x0000FFu);
  EXPECT_EQ(StringToColour("CLRED"), 0x0000FFu);
  EXPECT_EQ(StringToColour("clSkyBlue"), 0xF0CAA6u);
  EXPECT_EQ(StringToColour("$00FFBBBB"), 0xFFBBBBu);
  EXPECT_EQ(StringToColour("$00ffbbbb"), 0xFFBBBBu);
  EXPECT_EQ(StringToColour("255"), 0xFFu);
}

TEST(ColourNames, RejectsTextThatIsNoColour) {
  EXPECT_FALSE(StringToColour(""));
  EXPECT_FALSE(StringToColour("$"));
  EXPECT_FALSE(StringToColour("clPink"));
  EXPECT_FALSE(StringToColour("$12G4"));
  EXPECT_FALSE(StringToColour("12 "));
}

TEST(ColourNames, EveryNameAndManyValuesRoundTrip) {
  for (BgrColor c : {0x000080u, 0x008080u, 0x808000u, 0xA4A0A0u, 0xFF000000u, 0xFF00001Eu, 0x1FFFFFFFu,
                     0x123456u, 0x00DDDDFFu, 0xFFFFFFu}) {
    const std::string text = ColourToString(c);
    ASSERT_TRUE(StringToColour(text)) << text;
    EXPECT_EQ(*StringToColour(text), c) << text;
    if (const auto name = ColourName(c)) {
      EXPECT_EQ(text, *name);
    }
  }
}

}  // namespace
}  // namespace tessaly
