// The field checks: each message, and the order in which they run.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "support/SampleSetUp.h"

namespace tessaly::test {
namespace {

// The ten columns of an RTC line, which carries every checked field as is.
struct RtcLine {
  std::array<std::string, 10> column{"$KVMGD", "+00042", "063", "18.000", "W",
                                     "44",     "17.968", "N",   "054.5",  "076.5"};
  std::string Text() const {
    std::string text = column[0];
    for (std::size_t i = 1; i < column.size(); ++i) text += "," + column[i];
    return text;
  }
};

// Message of a fresh RTC sample for the good line with one column replaced.
std::string MessageWith(std::size_t index, const std::string& value) {
  RtcLine line;
  line.column[index] = value;
  auto s = MakeSample(skRTC);
  return s->Parse(line.Text()) == 0 ? "accepted" : s->FErrorText;
}

TEST(SampleChecks, HeaderMustMatchExactly) {
  EXPECT_EQ(MessageWith(0, "$KVMGD"), "accepted");
  EXPECT_EQ(MessageWith(0, "$kvmgd"), "Unrecognized Header");
  EXPECT_EQ(MessageWith(0, ""), "Unrecognized Header");
  EXPECT_EQ(MessageWith(0, " $KVMGD"), "Unrecognized Header");
}

TEST(SampleChecks, DeviationLengthIsCheckedBeforeTheSign) {
  auto rtb = MakeSample(skRTB);
  EXPECT_EQ(rtb->Parse("$MGD,+01234"), 0);
  const std::string wrongLength = "Deviation Field missing or wrong length - expected length of: 5";
  for (const char* dev : {"01234", "+1234", "", "+012345"}) {
    EXPECT_EQ(rtb->Parse(std::string("$MGD,") + dev), -1) << dev;
    EXPECT_EQ(rtb->FErrorText, wrongLength) << dev;
  }
  EXPECT_EQ(MessageWith(1, "001234"), "Missing sign on Deviation Field");
  EXPECT_EQ(MessageWith(1, " 01234"), "Missing sign on Deviation Field");
  EXPECT_EQ(MessageWith(1, "+0123x"), "Deviation is non-numeric");
  EXPECT_EQ(MessageWith(1, "+0x1AB"), "Deviation is non-numeric");
  EXPECT_EQ(MessageWith(1, "-00000"), "accepted");
}

TEST(SampleChecks, ZptDeviationHasFourDigits) {
  auto zpt = MakeSample(skZPT);
  EXPECT_EQ(zpt->Parse("$BTGFG,+1234"), 0);
  EXPECT_EQ(zpt->Parse("$BTGFG,+01234"), -1);
  EXPECT_EQ(zpt->FErrorText, "Deviation Field missing or wrong length - expected length of: 4");
}

TEST(SampleChecks, DegreeFieldsNeedTheirLengthAndAWholeNumber) {
  EXPECT_EQ(MessageWith(2, "63"), "Longitude Degrees larger than 3 digits");
  EXPECT_EQ(MessageWith(2, "0063"), "Longitude Degrees larger than 3 digits");
  EXPECT_EQ(MessageWith(2, "0x3"), "Longitude Degrees is non-numeric");
  EXPECT_EQ(MessageWith(5, "4"), "Latitude Degrees larger than 3 digits");
  EXPECT_EQ(MessageWith(5, "044"), "Latitude Degrees larger than 3 digits");
  EXPECT_EQ(MessageWith(5, "4x"), "Latitude Degrees is non-numeric");
  EXPECT_EQ(MessageWith(5, " 4"), "accepted");  // leading blanks are allowed in a whole number
}

TEST(SampleChecks, MinutesNeedLengthPointAndOneNumericPart) {
  EXPECT_EQ(MessageWith(3, "1x.345"), "accepted");
  EXPECT_EQ(MessageWith(3, "12.3y5"), "accepted");
  EXPECT_EQ(MessageWith(3, "12.34567"), "accepted");
  EXPECT_EQ(MessageWith(3, "1x.3y5"), "Longitude Minutes is non-numeric");
  EXPECT_EQ(MessageWith(6, "1x.3y5"), "Latitude Minutes is non-numeric");
  EXPECT_EQ(MessageWith(3, "12.3"), "Longitude Minutes Field different than 6 digits - expecting MM.mmm");
  EXPECT_EQ(MessageWith(6, "12.345678"), "Latitude Minutes Field different than 6 digits - expecting MM.mmm");
  EXPECT_EQ(MessageWith(3, "12x345"), "Missing \".\" in Longitude Minutes Field");
  EXPECT_EQ(MessageWith(6, "123.45"), "Missing \".\" in Latitude Minutes Field");
}

TEST(SampleChecks, MinutesMayUseACommaAsPoint) {
  // Only the fixed form of KVG can carry a comma inside a field.
  auto s = MakeSample(skKVG, ',');
  const std::string line = std::string(50, ' ') + "+00011 44 12,345N 063 18,000W";
  ASSERT_EQ(s->Parse(line), 0) << s->FErrorText;
  EXPECT_EQ(s->FLatMin, "12,345");
  EXPECT_EQ(s->FTfDecLat, "+44.20575");
}

TEST(SampleChecks, HemispheresAreOneUpperCaseLetter) {
  EXPECT_EQ(MessageWith(4, "E"), "accepted");
  EXPECT_EQ(MessageWith(4, ""), "Longitude E/W Field is larger than 1 digit");
  EXPECT_EQ(MessageWith(4, "WW"), "Longitude E/W Field is larger than 1 digit");
  EXPECT_EQ(MessageWith(4, "w"), "Invalid Longitude E/W Field - expecting \"E\" or \"W\"");
  EXPECT_EQ(MessageWith(4, "N"), "Invalid Longitude E/W Field - expecting \"E\" or \"W\"");
  EXPECT_EQ(MessageWith(7, "S"), "accepted");
  EXPECT_EQ(MessageWith(7, "NS"), "Latitude N/S Field is larger than 1 digit");
  EXPECT_EQ(MessageWith(7, "n"), "Invalid Latitude N/S Field - expecting \"N\" or \"S\"");
}

TEST(SampleChecks, TowfishDepthMustBeADecimalNumberOrEmpty) {
  EXPECT_EQ(MessageWith(8, "1.2.3"), "Invalid Towfish Depth value");
  EXPECT_EQ(MessageWith(8, "abc"), "Invalid Towfish Depth value");
  EXPECT_EQ(MessageWith(8, ".5"), "Invalid Towfish Depth value");
  EXPECT_EQ(MessageWith(8, "-3"), "accepted");
  RtcLine line;
  line.column[8] = "";
  auto s = MakeSample(skRTC);
  EXPECT_EQ(s->Parse(line.Text()), 0);
  EXPECT_EQ(s->FTowDepth, "0");
}

TEST(SampleChecks, SounderMayBeEmptyAndIsNeverCheckedForKvs) {
  EXPECT_EQ(MessageWith(9, "1.2.3"), "Invalid Sounder value");
  EXPECT_EQ(MessageWith(9, "5."), "Invalid Sounder value");
  RtcLine line;
  line.column[9] = "";
  auto s = MakeSample(skRTC);
  EXPECT_EQ(s->Parse(line.Text()), 0);
  EXPECT_TRUE(s->FSounder.empty());
  EXPECT_EQ(s->SounderOrZero(), "0");
  auto kvs = MakeSample(skKVS);
  EXPECT_EQ(kvs->Parse("+00042,44 18.000N 063 18.000W,25.3,deep"), 0) << kvs->FErrorText;
  EXPECT_EQ(kvs->FSounder, "deep");
}

TEST(SampleChecks, TheFirstFailingCheckInOrderGivesTheMessage) {
  // One bad value per column, in check order; breaking columns i and j > i
  // must report the message of i.
  const std::array<std::pair<std::size_t, const char*>, 10> bad{{{0, "$XX"},
                                                                  {1, "+0001x"},
                                                                  {2, "0x3"},
                                                                  {3, "12.3"},
                                                                  {4, "X"},
                                                                  {5, "4x"},
                                                                  {6, "12.3"},
                                                                  {7, "X"},
                                                                  {8, "abc"},
                                                                  {9, "abc"}}};
  for (std::size_t i = 0; i < bad.size(); ++i) {
    const std::string expected = MessageWith(bad[i].first, bad[i].second);
    ASSERT_NE(expected, "accepted");
    for (std::size_t j = i + 1; j < bad.size(); ++j) {
      RtcLine line;
      line.column[bad[i].first] = bad[i].second;
      line.column[bad[j].first] = bad[j].second;
      auto s = MakeSample(skRTC);
      EXPECT_EQ(s->Parse(line.Text()), -1);
      EXPECT_EQ(s->FErrorText, expected) << i << " before " << j;
    }
  }
}

TEST(SampleChecks, ASuccessfulParseKeepsTheLastMessage) {
  auto s = MakeSample(skRTB);
  EXPECT_EQ(s->Parse("$MGD,01234x"), -1);
  EXPECT_EQ(s->Parse("$MGD,+01234"), 0);
  EXPECT_EQ(s->FErrorText, "Missing sign on Deviation Field");
}

TEST(SampleChecks, HeaderKindsAcceptALineWhoseChecksPassThoughItsPositionDoesNotConvert) {
  auto s = MakeSample(skKVL);
  EXPECT_EQ(s->Parse("$KVMGD,+00042,4418.000,N,0631x.000,W,25.3,78.4"), 0) << s->FErrorText;
  EXPECT_EQ(s->Parse("$kvmgd,+00042,4418.000,N,0631x.000,W,25.3,78.4"), -1);
  EXPECT_EQ(s->FErrorText, "Unrecognized Header");
}

}  // namespace
}  // namespace tessaly::test
