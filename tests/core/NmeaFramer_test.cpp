#include "core/NmeaFramer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessaly {
namespace {

using Sentences = std::vector<std::string>;

struct FramingCase {
  const char* name;
  std::vector<std::string> chunks;
  Sentences sentences;
  std::uint64_t garbageBytes, overlongRuns, brokenRuns;
};

const std::string k80 = "$GPGGA," + std::string(73, '1');  // 80 characters: the longest sentence

class NmeaFraming : public ::testing::TestWithParam<FramingCase> {};

TEST_P(NmeaFraming, HandsOutSentencesAndCountsWhatItDrops) {
  const FramingCase& c = GetParam();
  NmeaFramer framer;
  Sentences got;
  for (const auto& chunk : c.chunks) framer.Feed(chunk, [&](std::string_view s) { got.emplace_back(s); });
  EXPECT_EQ(got, c.sentences);
  EXPECT_EQ(framer.Counted().sentences, c.sentences.size());
  EXPECT_EQ(framer.Counted().garbageBytes, c.garbageBytes);
  EXPECT_EQ(framer.Counted().overlongRuns, c.overlongRuns);
  EXPECT_EQ(framer.Counted().brokenRuns, c.brokenRuns);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NmeaFraming,
    ::testing::Values(
        FramingCase{"CrLf", {"$GPHDT,1.0,T*00\r\n$GPHDT,2.0,T*00\r\n"}, {"$GPHDT,1.0,T*00", "$GPHDT,2.0,T*00"}, 0, 0, 0},
        FramingCase{"LfOrCrAlone", {"$A,1\n$B,2\r!C,3\n"}, {"$A,1", "$B,2", "!C,3"}, 0, 0, 0},
        FramingCase{"SplitAcrossChunks", {"$GP", "HDT,1", ".0,T*0", "0\r", "\n"}, {"$GPHDT,1.0,T*00"}, 0, 0, 0},
        FramingCase{"GarbageBetweenSentences", {"xx$A,1\r\nyyy$B,2\r\n"}, {"$A,1", "$B,2"}, 5, 0, 0},
        FramingCase{"LongestSentenceKept", {k80 + "\r\n"}, {k80}, 0, 0, 0},
        FramingCase{"OneCharacterTooMany", {k80 + "2\r\n$A,1\r\n"}, {"$A,1"}, 81, 1, 0},
        FramingCase{"RunawayCountedOnce", {k80 + std::string(1000, '9') + "\n"}, {}, 1080, 1, 0},
        FramingCase{"CutShortByTheNextStart", {"$GPGGA,1234$A,1\r\n"}, {"$A,1"}, 11, 0, 1},
        FramingCase{"ControlByteBreaksTheSentence", {std::string("$A,1\x01,2\r\n$B\r\n", 13)}, {"$B"}, 7, 0, 1},
        FramingCase{"HighByteBreaksTheSentence", {"$A,\xff" "2\r\n"}, {}, 5, 0, 1},
        FramingCase{"LoneStartIsGarbage", {"$\r\n!\n"}, {}, 2, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NmeaFramer, ResetDropsTheIncompleteSentenceAsGarbage) {
  NmeaFramer framer;
  Sentences got;
  const auto collect = [&](std::string_view s) { got.emplace_back(s); };
  framer.Feed("$A,1\r\n$B,ha", collect);
  EXPECT_EQ(framer.Pending(), 5u);
  framer.Reset();
  EXPECT_EQ(framer.Pending(), 0u);
  EXPECT_EQ(framer.Counted().garbageBytes, 5u);
  framer.Feed("lf\r\n$C\r\n", collect);
  EXPECT_EQ(got, (Sentences{"$A,1", "$C"}));
}

TEST(NmeaFramer, NeverHoldsMoreThanTheLongestSentence) {
  NmeaFramer framer;
  framer.Feed("$" + std::string(100000, 'A'), [](std::string_view) {});
  EXPECT_LE(framer.Pending(), NmeaFramer::kMaxSentenceChars);
}

}  // namespace
}  // namespace tessaly
