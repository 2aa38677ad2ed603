// RawText: the bytes of a log file and the index of its lines, for the raw
// view and for the load loop.
//
// Lines are split at CR LF, at LF and at a lone CR; a last line without a line
// break counts as a line; every other byte, NUL included, is ordinary text.
// The whole file is one buffer and a line is a start offset into it, so a
// million-line log costs its size plus eight bytes a line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

class RawText {
 public:
  // Reads the whole file. False (and an empty text) when it cannot be read.
  bool LoadFile(const std::string& path);
  // Takes the bytes of a text already in memory.
  void Assign(std::string bytes);
  void Clear();

  std::size_t LineCount() const { return lineStart_.size(); }
  // The line without its line break; empty text outside the text.
  std::string_view Line(std::size_t index) const;
  const std::string& Bytes() const { return bytes_; }

  // Bytes held (capacity of both buffers).
  std::size_t MemoryBytes() const;

 private:
  void IndexLines();

  std::string bytes_;
  std::vector<std::uint64_t> lineStart_;
};

// Calls visit(line) for every line of `bytes` in order, split as above, and
// returns the number of bytes consumed. With `final` false the text may end in
// the middle of a line (or between the CR and LF of a line break): the part
// after the last complete line is left unconsumed for the next call.
template <typename Visit>
std::size_t ForEachLine(std::string_view bytes, bool final, Visit&& visit) {
  const char* const data = bytes.data();
  const std::size_t size = bytes.size();
  std::size_t start = 0;
  while (start < size) {
    const void* lf = std::memchr(data + start, '\n', size - start);
    const std::size_t lfAt = lf ? static_cast<const char*>(lf) - data : size;
    const void* cr = std::memchr(data + start, '\r', lfAt - start);
    std::size_t end, next;
    if (cr) {
      end = static_cast<const char*>(cr) - data;
      if (end + 1 == size && !final) break;  // the LF of a CR LF may follow
      next = end + 1 == lfAt ? lfAt + 1 : end + 1;
    } else if (lf) {
      end = lfAt;
      next = lfAt + 1;
    } else {
      if (!final) break;
      end = next = size;
    }
    visit(std::string_view(data + start, end - start));
    start = next;
  }
  return start;
}

}  // namespace tessaly
