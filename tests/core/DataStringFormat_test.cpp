#include "core/DataStringFormat.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tessaly {
namespace {

// Feeds the chunks in order and returns everything the formatter wrote.
std::string FormatInChunks(const std::vector<std::string>& chunks, std::int64_t* entries = nullptr) {
  DataStringFormatter formatter;
  std::string out;
  for (const std::string& chunk : chunks) out += formatter.Feed(chunk);
  out += formatter.Finish();
  if (entries) *entries = formatter.Entries();
  return out;
}

// `text` cut before each of the given ascending positions.
std::vector<std::string> CutAt(const std::string& text, const std::vector<std::size_t>& cuts) {
  std::vector<std::string> chunks;
  std::size_t start = 0;
  for (std::size_t cut : cuts) {
    chunks.push_back(text.substr(start, cut - start));
    start = cut;
  }
  chunks.push_back(text.substr(start));
  return chunks;
}

TEST(FormatDataString, PutsValuesOnLinesAndHeadingsAfterABlankLine) {
  const std::string sent =
      "\r\nNo. of entries: 2\r\n\r\nPolarise on\r\nFish 1\r\nDev    lat        long\r\n"
      "+00002,44 17.968N 063 18.000W,54.6,76.6\r\n-00007,44 17.969N 063 18.000W,54.5,76.5\r\n"
      "** End of data set **\r\n";
  EXPECT_EQ(FormatDataString(sent),
            "\r\n\r\nNo. of entries: 2\r\n\r\n\tPolarise on\r\n\r\n\t\tFish 1\r\n\r\nDev    lat        long"
            "\r\n+00002,44 17.968N 063 18.000W,54.6,76.6\r\n-00007,44 17.969N 063 18.000W,54.5,76.5"
            "\r\n** End of data set **");
  EXPECT_EQ(CountEntries(FormatDataString(sent)), 2);
}

TEST(FormatDataString, IsCaseSensitiveAndJoinsWordsCutByLineEnds) {
  EXPECT_EQ(FormatDataString("no dev fish polarise ** end"), "no dev fish polarise ** end");
  EXPECT_EQ(FormatDataString("N\r\no D\ne\rv"), "\r\n\r\nNo \r\n\r\nDev");
  EXPECT_EQ(FormatDataString(""), "");
}

// Every replaced word, and the end line, cut between two chunks at every
// place, with line ends in the cut or not: the same as one reformatting.
TEST(DataStringFormatter, WordsCutBetweenChunksAreReplacedAsInTheWhole) {
  for (const std::string word : {"Polarise", "Fish", "No", "Dev", "** End of data set **", "+1-2", "Nox", "*"}) {
    for (const std::string lineEnd : {"", "\r\n", "\r", "\n"}) {
      for (std::size_t cut = 0; cut <= word.size(); ++cut) {
        const std::string text = "ab" + word.substr(0, cut) + lineEnd + word.substr(cut) + "zz";
        const std::size_t at = 2 + cut;
        EXPECT_EQ(FormatInChunks(CutAt(text, {at})), FormatDataString(text)) << word << " cut at " << cut;
        EXPECT_EQ(FormatInChunks(CutAt(text, {at, at + lineEnd.size()})), FormatDataString(text));
      }
    }
  }
}

TEST(DataStringFormatter, HoldsBackOnlyWhatCouldStillBecomeAWord) {
  DataStringFormatter formatter;
  EXPECT_EQ(formatter.Feed("+00001,Pola"), "\r\n+00001,");
  EXPECT_EQ(formatter.Feed("x ** E"), "Polax ");
  EXPECT_EQ(formatter.Feed("nd"), "\r\n** End");
  EXPECT_EQ(formatter.Feed("D"), "");
  EXPECT_EQ(formatter.Finish(), "D");
  EXPECT_EQ(formatter.Finish(), "");
}

// A data set as the instrument sends it, built from random pieces that
// contain every replaced word, its starts, signs and stray line ends.
std::string RandomTransmission(std::mt19937& random) {
  static const std::vector<std::string> pieces{
      "No. of entries: 250", "Dev    lat        long", "Polarise", "Fish", "Dev", "No", "** End",
      "+00002,44 17.968N 063 18.000W,54.6,76.6", "-00012,44 17.969N 063 17.999W,54.5,76.5", "Pol", "Fi",
      "N", "D", "De", "*", "**", "** E", "\r\n", "\r", "\n", " ", "x", "+", "-", "oN"};
  std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
  std::uniform_int_distribution<int> length(0, 300);
  std::string text;
  for (int n = length(random); n > 0; --n) text += pieces[pick(random)];
  if (random() % 2) text += std::string(kDataSetEndLine) + "\r\n";
  return text;
}

std::vector<std::string> RandomChunks(const std::string& text, std::mt19937& random) {
  std::vector<std::size_t> cuts;
  std::uniform_int_distribution<std::size_t> step(0, random() % 2 ? 8 : 260);
  for (std::size_t at = step(random); at < text.size(); at += step(random)) cuts.push_back(at);
  return CutAt(text, cuts);
}

TEST(DataStringFormatter, AnyChunkingGivesOneReformattingOfTheWholeAndItsEntries) {
  std::mt19937 random(20261209);
  for (int round = 0; round < 2000; ++round) {
    const std::string text = RandomTransmission(random);
    std::int64_t entries = 0;
    const std::string whole = FormatDataString(text);
    ASSERT_EQ(FormatInChunks(RandomChunks(text, random), &entries), whole) << "round " << round;
    ASSERT_EQ(entries, CountEntries(whole));
  }
}

// The count is not cut to 8 bits per chunk: 300 values in one chunk are 300.
TEST(DataStringFormatter, CountsEveryEntry) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += i % 3 ? "+00001\r\n" : "-00001\r\n";
  std::int64_t entries = 0;
  FormatInChunks({text}, &entries);
  EXPECT_EQ(entries, 300);
  FormatInChunks(CutAt(text, {1000, 1001, 2000}), &entries);
  EXPECT_EQ(entries, 300);
}

TEST(EndLineDetector, SeesTheEndLineCutAnywhereBetweenChunks) {
  const std::string text = "+00001\r\n" + std::string(kDataSetEndLine) + "\r\n";
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    for (std::size_t second = cut; second <= text.size(); second += 5) {
      EndLineDetector detector;
      bool seen = false;
      for (const std::string& chunk : CutAt(text, {cut, second})) seen = detector.Feed(chunk);
      EXPECT_TRUE(seen) << cut << ", " << second;
    }
  }
}

TEST(EndLineDetector, StaysQuietUntilTheWholeEndLineCame) {
  EndLineDetector detector;
  for (char c : std::string("** End of data set *")) EXPECT_FALSE(detector.Feed(std::string(1, c)));
  EXPECT_FALSE(detector.Feed("\r\n** End of data"));
  EXPECT_FALSE(detector.Seen());
  EXPECT_TRUE(detector.Feed(" set **"));
  EXPECT_TRUE(detector.Feed("more"));
  EXPECT_TRUE(detector.Seen());
}

}  // namespace
}  // namespace tessaly
