// Random lines of near-valid characters: every kind answers each with a
// result and, when rejecting, a message; the two-stage parse agrees with Parse.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/SampleSetUp.h"

namespace tessaly::test {
namespace {

std::string RandomLine(std::mt19937& random, const std::string& base) {
  static const std::string alphabet = std::string("0123456789,.-+ NSEW:$KVMGD") + '\0' + '\xff';
  std::string line = base;
  std::uniform_int_distribution<int> edits(0, 3), kind(0, 2), pick(0, static_cast<int>(alphabet.size()) - 1);
  for (int n = edits(random); n > 0; --n) {
    std::uniform_int_distribution<std::size_t> at(0, line.size());
    const std::size_t i = at(random);
    const char c = alphabet[static_cast<std::size_t>(pick(random))];
    switch (kind(random)) {
      case 0: line.insert(i, 1, c); break;
      case 1: if (i < line.size()) line[i] = c; break;
      default: if (i < line.size()) line.erase(i, 1); break;
    }
  }
  return line;
}

TEST(SampleRandomLines, EveryKindAnswersAndBothStagesAgree) {
  const struct {
    std::uint8_t kind;
    char mode;
    const char* base;
  } cases[] = {
      {skKVL, 0, "$KVMGD,+00042,4418.000,N,06318.000,W,25.3,78.4"},
      {skKVS, 0, "+00042,44 18.000N 063 18.000W,25.3,78.4"},
      {skKVG, 0, "                         *                        +00011 44 17.968N 063 18.000W"},
      {skKVG, 0, "44,17.968N,063,18.000W,+00013"},
      {skRTC, 0, "$KVMGD,+00042,063,18.000,W,44,17.968,N,054.5,076.5"},
      {skZPT, 0, "$BTGFG,+0004,52341.2,087"},
      {skPNav, '+', "08:00:00.00,4418.0000,N,06318.0000,W,000.0,4.5,TF:44.2994600:-63.3000000,+00042,25.3,78.4"},
      {skPNav, 'p', "08:00:00.00,4418.0000,N,06318.0000,W,000.0,4.5,+00011,54.5,76.5"},
  };
  std::mt19937 random(20261208);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.base);
    const auto make = [&] { return c.kind == skPNav ? MakeNavigationSample(c.mode) : MakeSample(c.kind); };
    auto sequential = make(), resolving = make(), worker = make();
    LineVerdict verdict;
    int accepted = 0;
    for (int i = 0; i < 3000; ++i) {
      const std::string line = RandomLine(random, c.base);
      const int result = sequential->Parse(line);
      ASSERT_TRUE(result == 0 || result == -1);
      if (result != 0) {
        ASSERT_FALSE(sequential->FErrorText.empty()) << line;
      }
      accepted += result == 0;
      worker->ParseDetached(line, verdict);
      ASSERT_EQ(resolving->Resolve(verdict), result) << line;
      ASSERT_EQ(resolving->FErrorText, sequential->FErrorText) << line;
      ASSERT_EQ(resolving->FPrevLatDeg, sequential->FPrevLatDeg) << line;
      ASSERT_EQ(resolving->FPrevLonDeg, sequential->FPrevLonDeg) << line;
      ASSERT_EQ(resolving->FPrevTowDepth, sequential->FPrevTowDepth) << line;
    }
    EXPECT_GT(accepted, 100);
    EXPECT_LT(accepted, 3000);
  }
}

}  // namespace
}  // namespace tessaly::test
