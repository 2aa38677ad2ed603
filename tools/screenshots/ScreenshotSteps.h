// The steps file of the screenshot robot (tessaly-screenshots): the program
// driven as a user drives it, by menu captions, window titles and button
// captions, with a picture taken wherever a "shot" step says.
//
// One step a line: a step name, then its words, separated by blanks; a word
// in double quotes may hold blanks ("Save & Close"), and "" is an empty
// word. Blank lines and lines starting with "#" are left out. The menu
// steps take the rest of the line as a path of captions separated by ">"
// ("menu File > Import > Pnav").
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly::screenshots {

struct Step {
  std::size_t line = 0;  // 1-based line of the steps file
  std::string name;
  std::vector<std::string> words;  // after the name
};

// A steps file that cannot be run: the line and why.
class StepsError : public std::runtime_error {
 public:
  StepsError(std::size_t line, const std::string& why);
  std::size_t Line() const { return line_; }

 private:
  std::size_t line_;
};

// What each step takes: its name, the fewest and most words after it (max
// kAnyCount: no bound) and what it does, for the usage text.
struct StepKind {
  const char* name;
  std::size_t minWords;
  std::size_t maxWords;
  const char* usage;
};
inline constexpr std::size_t kAnyCount = static_cast<std::size_t>(-1);
const std::vector<StepKind>& StepKinds();

// Every step of the text, in order; throws StepsError for an unknown step,
// a wrong number of words, an unclosed quote, a menu path with an empty
// caption or a picture name that is not a plain file name or is taken twice.
std::vector<Step> ParseSteps(std::string_view text);

// The captions of a menu step's path: "File > Import > Pnav" as
// {"File", "Import", "Pnav"}.
std::vector<std::string> MenuPath(const Step& step);

// The names of the pictures the steps take, in order ("main-window" for
// "shot main-window"; the file is main-window.png).
std::vector<std::string> PictureNames(const std::vector<Step>& steps);

}  // namespace tessaly::screenshots
