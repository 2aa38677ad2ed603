#include "core/SettingsLine.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaly {
namespace {

bool FillerInRange(std::string_view filler) {
  for (char c : filler) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 100 || code > 199) return false;
  }
  return true;
}

TEST(SettingsLine, EmptyValueIsNinetyFillerBytesAndDecodesToEmpty) {
  const std::string line = EncodeLine("");
  ASSERT_EQ(line.size(), 90u);
  EXPECT_TRUE(FillerInRange(line));
  EXPECT_EQ(DecodeLine(line), "");
}

TEST(SettingsLine, PlainValueIsStoredInTheClassicLayout) {
  const std::string value = "C:\\Survey\\Log 1.KVS";
  const std::string line = EncodeLine(value);
  ASSERT_EQ(line.size(), value.size() + 90);
  EXPECT_TRUE(FillerInRange(line.substr(0, 40)));
  EXPECT_TRUE(FillerInRange(line.substr(40 + value.size())));
  for (std::size_t i = 0; i < value.size(); ++i)
    EXPECT_EQ(static_cast<unsigned char>(line[40 + i]),
              (static_cast<unsigned char>(value[i]) + 100) % 256);
}

TEST(SettingsLine, DecodesAClassicLineWhateverTheFillerCodes) {
  // Filler of any code is ignored; the value "14" sits at 41..42.
  std::string line(40, 'x');
  line += {static_cast<char>('1' + 100), static_cast<char>('4' + 100)};
  line += std::string(50, '\x01');
  EXPECT_EQ(DecodeLine(line), "14");
}

TEST(SettingsLine, LinesShorterThan91BytesDecodeToEmpty) {
  EXPECT_EQ(DecodeLine(""), "");
  EXPECT_EQ(DecodeLine(std::string(90, 'z')), "");
  EXPECT_EQ(DecodeLine(std::string(91, static_cast<char>('A' + 100))), "A");
}

TEST(SettingsLine, EverySingleByteValueRoundTripsWithoutLineBreaks) {
  for (int code = 0; code < 256; ++code) {
    const std::string value(1, static_cast<char>(code));
    const std::string line = EncodeLine(value);
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "byte " << code;
    EXPECT_EQ(DecodeLine(line), value) << "byte " << code;
  }
}

TEST(SettingsLine, AllByteValuesTogetherRoundTrip) {
  std::string value;
  for (int round = 0; round < 3; ++round)
    for (int code = 0; code < 256; ++code) value.push_back(static_cast<char>(code));
  const std::string line = EncodeLine(value);
  EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(DecodeLine(line), value);
}

TEST(SettingsLine, EscapingMarksOnlyValuesHoldingBytes166Or169) {
  const std::string withLf = std::string("a") + static_cast<char>(166) + "b";
  const std::string withCr = std::string("!") + static_cast<char>(169);
  EXPECT_EQ(EncodeLine(withLf)[0], kEscapedLineMarker);
  EXPECT_EQ(EncodeLine(withCr)[0], kEscapedLineMarker);
  EXPECT_EQ(DecodeLine(EncodeLine(withCr)), withCr);
  // 189 is stored as the escape byte itself; without 166/169 it stays plain.
  const std::string plain(1, static_cast<char>(189));
  EXPECT_EQ(EncodeLine(plain).size(), 91u);
  EXPECT_NE(EncodeLine(plain)[0], kEscapedLineMarker);
  EXPECT_EQ(DecodeLine(EncodeLine(plain)), plain);
}

TEST(SettingsLine, Utf8PathsRoundTrip) {
  for (const std::string value : {"/home/léa/Projets/Été 2026.KVS", "/data/© Survey/ligne é.ZPX",
                                  "C:\\Données\\©\\x.RTB"}) {
    const std::string line = EncodeLine(value);
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << value;
    EXPECT_EQ(DecodeLine(line), value);
  }
}

TEST(SettingsLine, FillerIsRandom) {
  EXPECT_NE(EncodeLine("same").substr(0, 40), EncodeLine("same").substr(0, 40));
}

}  // namespace
}  // namespace tessaly
