#include "core/LineMarks.h"

#include <cctype>

namespace tessaly {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsSeparator(char c) { return IsBlank(c) || c == ':' || c == '-' || c == '=' || c == '#' || c == '.' || c == ','; }

bool WordIs(std::string_view text, std::string_view word) {
  if (text.size() < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(text[i])) != word[i]) return false;
  return text.size() == word.size() || !std::isalnum(static_cast<unsigned char>(text[word.size()]));
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<LineMark> ReadLineMark(std::string_view comment) {
  while (!comment.empty() && IsBlank(comment.front())) comment.remove_prefix(1);
  if (WordIs(comment, "EOL")) return LineMark{LineMark::Kind::EndOfLine, {}};
  if (!WordIs(comment, "SOL")) return std::nullopt;
  std::string_view name = comment.substr(3);
  while (!name.empty() && IsSeparator(name.front())) name.remove_prefix(1);
  return LineMark{LineMark::Kind::StartOfLine, Trimmed(name)};
}

void MarkLineFinder::Close(std::uint64_t last) {
  open_->last = last;
  lines_.push_back(std::move(*open_));
  open_.reset();
}

void MarkLineFinder::Add(std::string_view comment) {
  const std::uint64_t record = records_++;
  const std::optional<LineMark> mark = ReadLineMark(comment);
  if (!mark) return;
  if (mark->kind == LineMark::Kind::EndOfLine) {
    if (open_) Close(record);
    return;
  }
  marked_ = true;
  if (open_) Close(record - 1);
  open_ = SurveyLine{record, record, std::string(mark->name)};
}

std::vector<SurveyLine> MarkLineFinder::Finish() {
  if (open_) Close(records_ - 1);
  return std::move(lines_);
}

}  // namespace tessaly
