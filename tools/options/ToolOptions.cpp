#include "tools/options/ToolOptions.h"

#include <algorithm>

namespace tessaly::options {

namespace {

const Option* Find(std::span<const Option> table, std::string_view name) {
  for (const Option& option : table)
    if (option.name == name) return &option;
  return nullptr;
}

bool AppliesTo(const Option& option, std::string_view command) {
  return option.commands.empty() || std::find(option.commands.begin(), option.commands.end(), command) !=
                                        option.commands.end();
}

bool IsOption(std::string_view arg) { return arg.size() > 2 && arg.starts_with("--"); }

}  // namespace

bool AsksForHelp(std::span<const std::string_view> args) {
  return std::any_of(args.begin(), args.end(), [](std::string_view arg) { return arg == "--help" || arg == "-h"; });
}

std::optional<std::string> ParseArguments(std::span<const std::string_view> args, std::string_view command,
                                          std::span<const Option> table, std::vector<std::string>& operands) {
  bool onlyOperands = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (!onlyOperands && arg == "--") {
      onlyOperands = true;
      continue;
    }
    if (onlyOperands || !IsOption(arg)) {
      operands.emplace_back(arg);
      continue;
    }
    const std::size_t equals = arg.find('=');
    const std::string_view name = arg.substr(0, equals);
    const Option* option = Find(table, name);
    if (!option) return "unknown option: " + std::string(name);
    if (!AppliesTo(*option, command)) return std::string(name) + " does not apply to " + std::string(command);
    if (!option->takesValue) {
      if (equals != std::string_view::npos) return std::string(name) + " takes no value";
      if (auto refused = option->apply({})) return refused;
      continue;
    }
    std::string_view value;
    if (equals != std::string_view::npos) value = arg.substr(equals + 1);
    else if (i + 1 < args.size()) value = args[++i];
    else return std::string(name) + " needs a value";
    if (auto refused = option->apply(value)) return refused;
  }
  return std::nullopt;
}

Apply DecimalNumber(double& target, double low, double high, std::string rule) {
  return [&target, low, high, rule](std::string_view text) -> std::optional<std::string> {
    const std::optional<double> value = ReadWhole<double>(text);
    if (!value || !std::isfinite(*value) || *value < low || *value > high) return rule + ", not " + std::string(text);
    target = *value;
    return std::nullopt;
  };
}

Apply Text(std::string& target, bool allowEmpty) {
  return [&target, allowEmpty](std::string_view text) -> std::optional<std::string> {
    if (text.empty() && !allowEmpty) return std::string("an option was given an empty path");
    target = std::string(text);
    return std::nullopt;
  };
}

Apply Set(bool& target, bool value) {
  return [&target, value](std::string_view) -> std::optional<std::string> {
    target = value;
    return std::nullopt;
  };
}

}  // namespace tessaly::options
