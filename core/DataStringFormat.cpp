#include "core/DataStringFormat.h"

#include <algorithm>
#include <array>

#include "core/TextHelpers.h"

namespace tessaly {
namespace {

struct Replacement {
  std::string_view word;
  std::string_view before;  // put in front of every occurrence of word
};

// No word ends with the start of another, and the inserted texts hold only
// CR, LF and TAB, so the replacements never meet: each occurrence in the
// text without line ends gets its prefix, whatever the order.
constexpr std::array<Replacement, 7> kReplacements{{
    {"+", "\r\n"},
    {"-", "\r\n"},
    {"Polarise", "\r\n\r\n\t"},
    {"Fish", "\r\n\r\n\t\t"},
    {"No", "\r\n\r\n"},
    {"Dev", "\r\n\r\n"},
    {"** End", "\r\n"},
}};

std::string ReplaceAll(std::string_view text, const Replacement& replacement) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  std::size_t start = 0;
  for (std::size_t found = text.find(replacement.word); found != std::string_view::npos;
       found = text.find(replacement.word, start)) {
    out.append(text.substr(start, found - start)).append(replacement.before).append(replacement.word);
    start = found + replacement.word.size();
  }
  out.append(text.substr(start));
  return out;
}

std::string WithoutLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != '\r' && c != '\n') out.push_back(c);
  return out;
}

// True when text is a proper start of one of the replaced words, so that
// what follows decides whether it is replaced.
bool CouldStartWord(std::string_view text) {
  return std::any_of(kReplacements.begin(), kReplacements.end(), [text](const Replacement& r) {
    return text.size() < r.word.size() && r.word.substr(0, text.size()) == text;
  });
}

// Where the undecided tail of text begins: the first position from which
// the rest of text could still grow into a replaced word.
std::size_t UndecidedTail(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i)
    if (CouldStartWord(text.substr(i))) return i;
  return text.size();
}

}  // namespace

std::string FormatDataString(std::string_view text) {
  std::string out = WithoutLineEnds(text);
  for (const Replacement& replacement : kReplacements) out = ReplaceAll(out, replacement);
  return out;
}

std::int64_t CountEntries(std::string_view text) { return CountCharsInSet(text, "+-"); }

std::string DataStringFormatter::Feed(std::string_view chunk) {
  held_ += WithoutLineEnds(chunk);
  const std::size_t tail = UndecidedTail(held_);
  std::string out = Emit(std::string_view(held_).substr(0, tail));
  held_.erase(0, tail);
  return out;
}

std::string DataStringFormatter::Finish() {
  std::string out = Emit(held_);
  held_.clear();
  return out;
}

std::string DataStringFormatter::Emit(std::string_view text) {
  std::string out = FormatDataString(text);
  entries_ += CountEntries(out);
  return out;
}

bool EndLineDetector::Feed(std::string_view chunk) {
  if (seen_) return true;
  tail_ += chunk;
  seen_ = tail_.find(kDataSetEndLine) != std::string::npos;
  const std::size_t keep = kDataSetEndLine.size() - 1;
  if (tail_.size() > keep) tail_.erase(0, tail_.size() - keep);
  return seen_;
}

}  // namespace tessaly
