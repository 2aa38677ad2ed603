#include "tools/screenshots/ScreenshotSteps.h"

#include <algorithm>
#include <set>

namespace tessaly::screenshots {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// The words of one line: blank-separated, "..." holding blanks.
std::vector<std::string> SplitWords(std::string_view line, std::size_t number) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i == line.size()) return words;
    std::string word;
    if (line[i] == '"') {
      const std::size_t close = line.find('"', i + 1);
      if (close == std::string_view::npos) throw StepsError(number, "a quote is not closed");
      word = line.substr(i + 1, close - i - 1);
      i = close + 1;
      if (i < line.size() && !IsBlank(line[i])) throw StepsError(number, "a blank must follow a closing quote");
    } else {
      const std::size_t start = i;
      while (i < line.size() && !IsBlank(line[i])) ++i;
      word = line.substr(start, i - start);
    }
    words.push_back(std::move(word));
  }
}

const StepKind* FindKind(const std::string& name) {
  for (const StepKind& kind : StepKinds())
    if (name == kind.name) return &kind;
  return nullptr;
}

bool IsMenuStep(const Step& step) { return step.name == "menu" || step.name == "show-menu"; }

bool IsPictureName(const std::string& name) {
  if (name.empty() || name.front() == '-') return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
  });
}

std::string Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

void CheckStep(const Step& step, std::set<std::string>& pictures) {
  const StepKind* kind = FindKind(step.name);
  if (!kind) throw StepsError(step.line, "no step is called \"" + step.name + "\"");
  const std::size_t count = step.words.size();
  if (count < kind->minWords || (kind->maxWords != kAnyCount && count > kind->maxWords))
    throw StepsError(step.line, std::string("usage: ") + kind->usage);
  if (IsMenuStep(step)) {
    for (const std::string& caption : MenuPath(step))
      if (caption.empty()) throw StepsError(step.line, "a menu path has an empty caption");
  }
  if (step.name == "shot") {
    const std::string& name = step.words.front();
    if (!IsPictureName(name))
      throw StepsError(step.line, "a picture's name is lower-case letters, digits and \"-\": " + name);
    if (!pictures.insert(name).second) throw StepsError(step.line, "the picture " + name + " is taken twice");
  }
}

}  // namespace

StepsError::StepsError(std::size_t line, const std::string& why)
    : std::runtime_error("line " + std::to_string(line) + ": " + why), line_(line) {}

const std::vector<StepKind>& StepKinds() {
  static const std::vector<StepKind> kinds = {
      {"menu", 1, kAnyCount, "menu CAPTION > CAPTION ...: the main window's menu command at that path"},
      {"show-menu", 1, kAnyCount, "show-menu CAPTION > CAPTION ...: opens the menus along the path, for a picture"},
      {"window", 1, 2, "window TITLE [SECONDS]: waits (30 s) for a window of that title (TITLE* : starting so); it becomes the "
       "current one"},
      {"click", 1, 1, "click CAPTION: the current window's button of that caption or tool tip, once enabled"},
      {"type", 2, 2, "type FIELD TEXT: the text into an edit box (object name or label caption)"},
      {"choose", 2, 2, "choose FIELD ITEM: the item of a list box (object name or label caption)"},
      {"file", 1, 1, "file PATH: answers the next file dialog with PATH (relative to the program's home)"},
      {"key", 1, 2, "key KEY [TIMES]: presses KEY (F6, Ctrl+T, Escape) in the open menu or the current window"},
      {"action", 1, 1, "action CAPTION: the current window's command of that caption, once enabled"},
      {"tab", 1, 1, "tab CAPTION: shows the current window's tab of that caption"},
      {"cell", 2, 2, "cell ROW COLUMN: clicks a cell of the current window's grid (record row or last, column caption) once "
       "the row is there"},
      {"maximize", 0, 0, "maximize: the current window fills the main window"},
      {"close", 0, 0, "close: closes the current window"},
      {"wait", 1, 1, "wait SECONDS"},
      {"spawn", 2, kAnyCount,
       "spawn NAME PROGRAM WORDS...: starts PROGRAM (the build's own when it names no folder; {home} stands for "
       "the program's home) and waits for its first line of output"},
      {"stop", 1, 1, "stop NAME: ends a program spawn started"},
      {"shot", 1, 2,
       "shot NAME [TARGET]: NAME.png of the current window, the whole screen (screen), the open menus (menus) or "
       "a part of the window (its object or class name)"},
  };
  return kinds;
}

std::vector<Step> ParseSteps(std::string_view text) {
  std::vector<Step> steps;
  std::set<std::string> pictures;
  std::size_t number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++number;
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos || line[first] == '#') continue;
    std::vector<std::string> words = SplitWords(line, number);
    Step step{number, words.front(), std::vector<std::string>(words.begin() + 1, words.end())};
    CheckStep(step, pictures);
    steps.push_back(std::move(step));
  }
  return steps;
}

std::vector<std::string> MenuPath(const Step& step) {
  std::string joined;
  for (const std::string& word : step.words) joined += (joined.empty() ? "" : " ") + word;
  std::vector<std::string> captions;
  std::size_t start = 0;
  while (true) {
    const std::size_t mark = joined.find('>', start);
    captions.push_back(Trimmed(std::string_view(joined).substr(start, mark - start)));
    if (mark == std::string::npos) return captions;
    start = mark + 1;
  }
}

std::vector<std::string> PictureNames(const std::vector<Step>& steps) {
  std::vector<std::string> names;
  for (const Step& step : steps)
    if (step.name == "shot") names.push_back(step.words.front());
  return names;
}

}  // namespace tessaly::screenshots
