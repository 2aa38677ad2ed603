// The manual pages describe every command and option each tool's own usage
// text names, and tessaly-cli's every export format, so a command or format
// added to a tool cannot go without its page entry.
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

// The formats --help lists under "export formats:" each have an entry under
// FORMATS.
TEST(ManPages, DescribeEveryExportFormat) {
  testing::TempHome home;
  const testing::CommandRun run = testing::RunCommand(TESSALY_CLI, {"--help"}, home.Home());
  const std::string usage = run.out + run.err;
  const std::size_t list = usage.find("export formats:\n");
  ASSERT_NE(list, std::string::npos) << usage;
  const std::size_t end = usage.find("\n\n", list);
  const std::set<std::string> formats =
      Matches(usage.substr(list, end - list), std::regex("\n  ([a-z0-9]+) "));
  ASSERT_GE(formats.size(), 5u) << usage;
  const std::string page = testing::ReadBytes(std::string(TESSALY_SOURCE_DIR) + "/packaging/man/tessaly-cli.1");
  const std::size_t section = page.find(".SH FORMATS\n");
  ASSERT_NE(section, std::string::npos);
  const std::string entries = page.substr(section, page.find("\n.SH ", section + 1) - section);
  for (const std::string& format : formats)
    EXPECT_NE(entries.find(".TP\n.B " + format + "\n"), std::string::npos) << "page lacks the format " << format;
}

}  // namespace
}  // namespace tessaly
