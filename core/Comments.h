// The comments of a log: one line per commented grid row, "row=comment",
// kept in the log's sibling comments file (see CommentsFileName).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tessaly {

class CommentsStore {
 public:
  // Replaces the lines with those of the file (line breaks CR LF, LF or CR).
  // A missing file gives an empty list and no error. Returns an error text
  // when the file exists but cannot be read (the list is then empty).
  std::string Load(const std::string& path);

  // Comment of grid row r: the text after the first "=" of the first line
  // whose name (the text before that "=") is r in decimal. O(1).
  std::optional<std::string_view> CommentOf(std::int64_t row) const;

  // Stores "r=comment", replacing the line of r in place or appending it.
  // Line breaks inside the comment become blanks so the line stays one line.
  void SetComment(std::int64_t row, std::string_view comment);

  // Writes every line, each ended by CR LF, to path: to a temporary file in
  // the same folder first, then renamed over the old file, so a failure
  // leaves the old file as it was. Refuses, writing nothing, when path is
  // empty or names the log itself (logPath). Returns an error text, empty on
  // success.
  std::string Save(const std::string& path, const std::string& logPath) const;

  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  void IndexLine(std::size_t index);

  std::vector<std::string> lines_;
  std::unordered_map<std::int64_t, std::size_t> rowToLine_;  // first line of each row
};

}  // namespace tessaly
