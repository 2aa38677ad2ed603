#include "core/Comments.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/InputFile.h"
#include "core/OutputFile.h"
#include "core/OutputRule.h"

namespace tessaly {

namespace {

// The row a line names: its text before the first "=" when that is a row
// number written the way SetComment writes one (decimal, no leading zeros).
std::optional<std::int64_t> RowOfLine(std::string_view line) {
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  const std::string_view name = line.substr(0, eq);
  const std::string_view digits = name.starts_with('-') ? name.substr(1) : name;
  if (digits.empty() || (digits[0] == '0' && name.size() > 1)) return std::nullopt;
  std::int64_t row = 0;
  const auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), row);
  if (ec != std::errc() || end != name.data() + name.size()) return std::nullopt;
  return row;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t brk = text.find_first_of("\r\n", pos);
    if (brk == std::string::npos) {
      lines.emplace_back(text, pos);
      break;
    }
    lines.emplace_back(text, pos, brk - pos);
    pos = brk + 1;
    if (text[brk] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
  }
  return lines;
}

std::string SystemError(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

bool ReadWholeFile(const std::string& path, std::string& text) {
  const FileHandle file = OpenInputFile(path);
  if (!file) return false;
  char buffer[64 * 1024];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) text.append(buffer, got);
  return !std::ferror(file.get());
}

}  // namespace

std::string CommentsStore::Load(const std::string& path) {
  lines_.clear();
  rowToLine_.clear();
  std::error_code ec;
  if (!std::filesystem::exists(path, ec) && !ec) return {};
  std::string text;
  if (!ReadWholeFile(path, text)) return SystemError("Could not read the comments file", path);
  lines_ = SplitLines(text);
  rowToLine_.reserve(lines_.size());
  for (std::size_t i = 0; i < lines_.size(); ++i) IndexLine(i);
  return {};
}

void CommentsStore::IndexLine(std::size_t index) {
  if (auto row = RowOfLine(lines_[index])) rowToLine_.try_emplace(*row, index);
}

std::optional<std::string_view> CommentsStore::CommentOf(std::int64_t row) const {
  const auto it = rowToLine_.find(row);
  if (it == rowToLine_.end()) return std::nullopt;
  const std::string& line = lines_[it->second];
  return std::string_view(line).substr(line.find('=') + 1);
}

void CommentsStore::SetComment(std::int64_t row, std::string_view comment) {
  std::string line = std::to_string(row) + "=";
  line += comment;
  std::replace_if(line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  const auto it = rowToLine_.find(row);
  if (it != rowToLine_.end()) {
    lines_[it->second] = std::move(line);
    return;
  }
  lines_.push_back(std::move(line));
  IndexLine(lines_.size() - 1);
}

std::string CommentsStore::Save(const std::string& path, const std::string& logPath) const {
  if (path.empty()) return "This log has no comments file.";
  const GuardedFile log{logPath, "the log itself"};
  if (const OutputVerdict verdict = CheckOutput(WriteKind::Comments, path, "The comments file", {&log, 1});
      !verdict.MayWrite())
    return verdict.message;
  return ReplaceWithLines(path, lines_);
}

}  // namespace tessaly
