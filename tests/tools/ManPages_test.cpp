// The manual pages describe every command and option each tool's own usage
// text names, so a command added to a tool cannot go without its page entry.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "core/TextReplace.h"
#include "support/Command.h"
#include "support/FileBytes.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

struct ToolPage {
  std::string name, binary;
  std::vector<std::string> usageArguments;  // what makes the tool print its usage
};

std::vector<ToolPage> Tools() {
  const std::string bin = TESSALY_BIN_DIR;
  std::vector<ToolPage> tools = {{"tessaly-cli", TESSALY_CLI, {"--help"}},
                                 {"tessaly-sim", bin + "/tessaly-sim", {"--help"}}};
#ifdef TESSALY_GUI_PROGRAMS
  tools.push_back({"tessaly-live-log", bin + "/tessaly-live-log", {}});
#endif
  return tools;
}

std::set<std::string> Matches(const std::string& text, const std::regex& pattern) {
  std::set<std::string> found;
  for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it) found.insert((*it)[1]);
  return found;
}

// roff writes a hyphen of an option as "\-".
std::string Roff(const std::string& text) { return ReplaceAllText(text, "-", "\\-"); }

TEST(ManPages, DescribeEveryCommandAndOptionOfTheUsage) {
  testing::TempHome home;
  for (const ToolPage& tool : Tools()) {
    const testing::CommandRun run = testing::RunCommand(tool.binary, tool.usageArguments, home.Home());
    const std::string usage = run.out + run.err;
    const std::string page =
        testing::ReadBytes(std::string(TESSALY_SOURCE_DIR) + "/packaging/man/" + tool.name + ".1");
    ASSERT_FALSE(page.empty()) << tool.name;
    const std::set<std::string> options = Matches(usage, std::regex("(--[a-z][a-z-]*)"));
    const std::set<std::string> commands = Matches(usage, std::regex(tool.name + " ([a-z]+)"));
    ASSERT_GE(options.size(), 2u) << tool.name << usage;
    ASSERT_GE(commands.size(), 1u) << tool.name << usage;
    for (const std::string& option : options)
      EXPECT_NE(page.find(Roff(option)), std::string::npos) << tool.name << " page lacks " << option;
    for (const std::string& command : commands)
      EXPECT_NE(page.find(".SY \"" + tool.name + " " + command + "\""), std::string::npos)
          << tool.name << " page lacks the command " << command;
  }
}

}  // namespace
}  // namespace tessaly
