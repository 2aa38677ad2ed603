#include "shell/ParmrkDecoder.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

using Piece = ParmrkDecoder::Piece;

Piece Data(std::string bytes) { return {false, std::move(bytes)}; }
Piece Break() { return {true, {}}; }
std::string Bytes(std::initializer_list<int> codes) {
  std::string s;
  for (int c : codes) s.push_back(static_cast<char>(c));
  return s;
}

TEST(ParmrkDecoder, PlainBytesPassUnchanged) {
  ParmrkDecoder d;
  EXPECT_EQ(d.Feed("$KVMGD,+00042\r\n"), std::vector<Piece>{Data("$KVMGD,+00042\r\n")});
  EXPECT_TRUE(d.Feed("").empty());
}

TEST(ParmrkDecoder, BreakSequenceBecomesABreakBetweenTheBytes) {
  ParmrkDecoder d;
  EXPECT_EQ(d.Feed("ab" + Bytes({0xFF, 0, 0}) + "cd"),
            (std::vector<Piece>{Data("ab"), Break(), Data("cd")}));
  EXPECT_EQ(d.Feed(Bytes({0xFF, 0, 0, 0xFF, 0, 0})), (std::vector<Piece>{Break(), Break()}));
}

TEST(ParmrkDecoder, DoubledMarkIsOneRealByte) {
  ParmrkDecoder d;
  EXPECT_EQ(d.Feed(Bytes({'x', 0xFF, 0xFF, 'y'})), std::vector<Piece>{Data(Bytes({'x', 0xFF, 'y'}))});
  EXPECT_EQ(d.Feed(Bytes({0xFF, 0xFF, 0xFF, 0xFF})), std::vector<Piece>{Data(Bytes({0xFF, 0xFF}))});
}

TEST(ParmrkDecoder, SequencesSplitBetweenChunksAreRecognised) {
  ParmrkDecoder d;
  EXPECT_EQ(d.Feed(Bytes({'a', 0xFF})), std::vector<Piece>{Data("a")});
  EXPECT_EQ(d.Feed(Bytes({0})), std::vector<Piece>{});
  EXPECT_EQ(d.Feed(Bytes({0, 'b'})), (std::vector<Piece>{Break(), Data("b")}));
  EXPECT_EQ(d.Feed(Bytes({0xFF})), std::vector<Piece>{});
  EXPECT_EQ(d.Feed(Bytes({0xFF})), std::vector<Piece>{Data(Bytes({0xFF}))});
}

TEST(ParmrkDecoder, ByteWithAnErrorIsPassedOnWithoutItsMark) {
  ParmrkDecoder d;
  EXPECT_EQ(d.Feed(Bytes({'a', 0xFF, 0, 'Q', 'b'})), std::vector<Piece>{Data("aQb")});
}

TEST(ParmrkDecoder, UnexpectedByteAfterAMarkKeepsBothBytes) {
  ParmrkDecoder d;
  EXPECT_EQ(d.Feed(Bytes({0xFF, 'z'})), std::vector<Piece>{Data(Bytes({0xFF, 'z'}))});
}

TEST(ParmrkDecoder, ResetForgetsAnUnfinishedSequence) {
  ParmrkDecoder d;
  d.Feed(Bytes({0xFF, 0}));
  d.Reset();
  EXPECT_EQ(d.Feed(Bytes({0, 'a'})), std::vector<Piece>{Data(Bytes({0, 'a'}))});
}

TEST(ParmrkDecoder, ZeroBytesWithoutMarkAreData) {
  ParmrkDecoder d;
  EXPECT_EQ(d.Feed(Bytes({0, 0, 0})), std::vector<Piece>{Data(Bytes({0, 0, 0}))});
}

}  // namespace
}  // namespace tessaly
