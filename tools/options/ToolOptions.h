// Command-line options of the tools (tessaly-cli, tessaly-sim,
// tessaly-live-log): one parser, so that every tool refuses a bad value the
// same way - a message naming the option and the value, then the usage and
// exit status 2.
//
// A tool describes its options in a table (name, whether it takes a value,
// what it does with the value, the commands it applies to); the setters below
// check the values (whole numbers and decimals within a range, texts, words).
// Options come as "--name VALUE" or "--name=VALUE", anywhere among the
// operands; "--" makes every later argument an operand.
#pragma once

#include <charconv>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessaly::options {

inline constexpr int kExitUsage = 2;

// What an option does with its value: nullopt when it takes it, else why not.
using Apply = std::function<std::optional<std::string>(std::string_view value)>;

struct Option {
  std::string_view name;  // "--baud"
  bool takesValue;
  Apply apply;
  std::vector<std::string_view> commands;  // the commands it applies to; empty: all
};

// True when any argument asks for help ("--help" or "-h").
bool AsksForHelp(std::span<const std::string_view> args);

// Applies the options among `args` (the arguments after the command) and
// collects the rest in `operands`. Returns the reason of the first mistake:
// an unknown option, one that does not apply to `command`, a missing or
// refused value, a value given to an option that takes none.
std::optional<std::string> ParseArguments(std::span<const std::string_view> args, std::string_view command,
                                          std::span<const Option> table, std::vector<std::string>& operands);

// ---- Setters ----

// The whole text as a number of type T (no sign for an unsigned type, no
// blanks); none otherwise.
template <typename T>
std::optional<T> ReadWhole(std::string_view text) {
  T value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// A whole number from low to high into target; `rule` says what is taken
// ("--baud takes bits per second from 1 to 4000000"), ", not VALUE" follows.
template <typename T>
Apply WholeNumber(T& target, T low, T high, std::string rule) {
  return [&target, low, high, rule](std::string_view text) -> std::optional<std::string> {
    const std::optional<T> value = ReadWhole<T>(text);
    if (!value || *value < low || *value > high) return rule + ", not " + std::string(text);
    target = *value;
    return std::nullopt;
  };
}

// A finite decimal number from low to high ("." as point) into target.
Apply DecimalNumber(double& target, double low, double high, std::string rule);

// A text into target; an empty one is refused unless allowEmpty.
Apply Text(std::string& target, bool allowEmpty = false);

// A flag: sets target to value; takes no value.
Apply Set(bool& target, bool value);

// One of the given words, each with what target becomes.
template <typename T>
Apply OneOf(T& target, std::vector<std::pair<std::string_view, T>> words, std::string rule) {
  return [&target, words = std::move(words), rule](std::string_view text) -> std::optional<std::string> {
    for (const auto& [word, value] : words)
      if (text == word) {
        target = value;
        return std::nullopt;
      }
    return rule + ", not " + std::string(text);
  };
}

}  // namespace tessaly::options
