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

// Cuts the line that begins at `pos` in `bytes`: sets `line` (without its
// break) and moves `pos` past the break. Lines end at CR LF, LF or a lone CR.
// Returns false when no complete line begins at `pos`; with `final` false the
// text may end in the middle of a line (or between the CR and LF of a break),
// and that part is left for a later call with more bytes.
inline bool NextLine(std::string_view bytes, std::size_t& pos, bool final, std::string_view& line) {
  const char* const data = bytes.data();
  const std::size_t size = bytes.size();
  if (pos >= size) return false;
  const void* lf = std::memchr(data + pos, '\n', size - pos);
  const std::size_t lfAt = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) : size;
  const void* cr = std::memchr(data + pos, '\r', lfAt - pos);
  std::size_t end, next;
  if (cr) {
    end = static_cast<std::size_t>(static_cast<const char*>(cr) - data);
    if (end + 1 == size && !final) return false;  // the LF of a CR LF may follow
    next = (lf && end + 1 == lfAt) ? lfAt + 1 : end + 1;
  } else if (lf) {
    end = lfAt;
    next = lfAt + 1;
  } else {
    if (!final) return false;
    end = next = size;
  }
  line = std::string_view(data + pos, end - pos);
  pos = next;
  return true;
}

// Calls visit(line) for every line of `bytes` in order (see NextLine) and
// returns the number of bytes consumed.
template <typename Visit>
std::size_t ForEachLine(std::string_view bytes, bool final, Visit&& visit) {
  std::size_t pos = 0;
  std::string_view line;
  while (NextLine(bytes, pos, final, line)) visit(line);
  return pos;
}

}  // namespace tessaly
