#include "core/TextReplace.h"

namespace tessaly {
namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool MatchesAt(std::string_view text, std::size_t pos, std::string_view pattern) {
  if (text.size() - pos < pattern.size()) return false;
  for (std::size_t i = 0; i < pattern.size(); ++i)
    if (AsciiLower(text[pos + i]) != AsciiLower(pattern[i])) return false;
  return true;
}

}  // namespace

std::string ReplaceAllText(std::string_view text, std::string_view oldText, std::string_view newText) {
  if (oldText.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (MatchesAt(text, pos, oldText)) {
      out += newText;
      pos += oldText.size();
    } else {
      out.push_back(text[pos++]);
    }
  }
  return out;
}

}  // namespace tessaly
