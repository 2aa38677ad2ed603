// The option parser of the tools: values in both forms, operands anywhere,
// and every mistake refused with its reason; then the tools themselves
// answering bad values with the usage and exit status 2.
#include "tools/options/ToolOptions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/Command.h"
#include "support/TempHome.h"

namespace tessaly::options {
namespace {

struct Settings {
  int count = 7;
  std::uint32_t parts = 5000;
  double rate = 1.0;
  std::string name;
  std::string delimiter = ",";
  bool loop = false;
  char mode = 'n';
};

std::vector<Option> Table(Settings& s) {
  return {
      {"--count", true, WholeNumber(s.count, -3, 10, "--count takes -3 to 10"), {}},
      {"--parts", true, WholeNumber<std::uint32_t>(s.parts, 1, 1000000, "--parts takes 1 to 1000000"), {}},
      {"--rate", true, DecimalNumber(s.rate, 0.0, 100.0, "--rate takes 0 to 100"), {"run"}},
      {"--name", true, Text(s.name), {}},
      {"--delimiter", true, Text(s.delimiter, true), {}},
      {"--loop", false, Set(s.loop, true), {"run"}},
      {"--mode", true, OneOf(s.mode, {{"fast", 'f'}, {"slow", 's'}}, "--mode takes fast or slow"), {}},
  };
}

struct Outcome {
  Settings settings;
  std::vector<std::string> operands;
  std::optional<std::string> error;
};

Outcome Parse(const std::vector<std::string_view>& args, std::string_view command = "run") {
  Outcome out;
  const std::vector<Option> table = Table(out.settings);
  out.error = ParseArguments(args, command, table, out.operands);
  return out;
}

TEST(ToolOptions, ValuesComeInBothFormsAmongTheOperands) {
  const Outcome o = Parse({"a", "--count", "-3", "--parts=12", "b", "--rate", "2.5", "--name=x=y", "--delimiter", "",
                           "--loop", "--mode", "slow", "--", "--count", "-h"});
  ASSERT_FALSE(o.error) << *o.error;
  EXPECT_EQ(o.settings.count, -3);
  EXPECT_EQ(o.settings.parts, 12u);
  EXPECT_EQ(o.settings.rate, 2.5);
  EXPECT_EQ(o.settings.name, "x=y");
  EXPECT_EQ(o.settings.delimiter, "");
  EXPECT_TRUE(o.settings.loop);
  EXPECT_EQ(o.settings.mode, 's');
  EXPECT_EQ(o.operands, (std::vector<std::string>{"a", "b", "--count", "-h"}));
}

TEST(ToolOptions, EveryMistakeIsRefusedWithItsReason) {
  const std::vector<std::pair<std::vector<std::string_view>, std::string>> cases = {
      {{"--speed", "3"}, "unknown option: --speed"},
      {{"--count"}, "--count needs a value"},
      {{"a", "--name"}, "--name needs a value"},
      {{"--count", "x"}, "--count takes -3 to 10, not x"},
      {{"--count", "11"}, "--count takes -3 to 10, not 11"},
      {{"--count", "3 "}, "--count takes -3 to 10, not 3 "},
      {{"--count", "99999999999999999999"}, "--count takes -3 to 10, not 99999999999999999999"},
      {{"--parts", "-1"}, "--parts takes 1 to 1000000, not -1"},
      {{"--parts", "0"}, "--parts takes 1 to 1000000, not 0"},
      {{"--rate", "nan"}, "--rate takes 0 to 100, not nan"},
      {{"--rate", "inf"}, "--rate takes 0 to 100, not inf"},
      {{"--rate", "-0.5"}, "--rate takes 0 to 100, not -0.5"},
      {{"--rate", ""}, "--rate takes 0 to 100, not "},
      {{"--name", ""}, "an option was given an empty path"},
      {{"--loop=yes"}, "--loop takes no value"},
      {{"--mode", "Fast"}, "--mode takes fast or slow, not Fast"},
  };
  for (const auto& [args, reason] : cases) {
    const Outcome o = Parse(args);
    ASSERT_TRUE(o.error) << reason;
    EXPECT_EQ(*o.error, reason);
  }
  EXPECT_EQ(Parse({"--rate", "2"}, "show").error, "--rate does not apply to show");
  EXPECT_EQ(Parse({"--loop"}, "show").error, "--loop does not apply to show");
  EXPECT_EQ(Parse({"--count", "11"}).settings.count, 7);  // a refused value changes nothing
}

TEST(ToolOptions, HelpIsAskedByEitherSpelling) {
  EXPECT_TRUE(AsksForHelp(std::vector<std::string_view>{"run", "--help"}));
  EXPECT_TRUE(AsksForHelp(std::vector<std::string_view>{"-h"}));
  EXPECT_FALSE(AsksForHelp(std::vector<std::string_view>{"run", "--helpful"}));
}

// The tools themselves: a bad value is a usage error (exit 2, the usage on
// standard error), never an abort.
TEST(ToolOptions, EveryToolAnswersBadValuesWithExitTwoAndItsUsage) {
  testing::TempHome home;
  const std::string bin = TESSALY_BIN_DIR;
  const std::vector<std::pair<std::string, std::vector<std::string>>> runs = {
      {"tessaly-cli", {"export", "--datum", "x", "a.kvl", "b.vdg"}},
      {"tessaly-cli", {"export", "--datum", "-1", "a.kvl", "b.vdg"}},
      {"tessaly-cli", {"track", "--size", "100x100", "a.kvl", "b.png"}},
      {"tessaly-cli", {"export", "a.kvl", "b.vdg", "--errors"}},
      {"tessaly-cli", {"export", "--bogus", "1", "a.kvl", "b.vdg"}},
      {"tessaly-sim", {"stream", "--baud", "x", "a.kvl"}},
      {"tessaly-sim", {"stream", "--hangup-after", "-1", "a.kvl"}},
      {"tessaly-sim", {"stream", "--rate"}},
      {"tessaly-sim", {"dump", "--bogus", "a.kvl"}},
  };
  for (const auto& [tool, args] : runs) {
    const testing::CommandRun run = testing::RunCommand(bin + "/" + tool, args, home.Home());
    EXPECT_EQ(run.exitCode, 2) << tool << " " << args[1];
    EXPECT_NE(run.err.find("usage: " + tool), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace tessaly::options
