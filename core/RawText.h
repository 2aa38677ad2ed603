// RawText: the bytes of a log file and the index of its lines, for the raw
// view and for the load loop.
//
// Lines are split at CR LF, at LF and at a lone CR; a last line without a line
// break counts as a line; every other byte, NUL included, is ordinary text.
// The whole file is one buffer and a line is a start offset into it, so a
// million-line log costs its size plus eight bytes a line.
//
// A file can be read piece by piece (OpenFile, then ReadMore): the buffer is
// allocated at the file's size up front and never moves, so the lines read so
// far can be used while the rest is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/InputFile.h"

namespace tessaly {

class RawText {
 public:
  static constexpr std::size_t kPieceBytes = std::size_t{1} << 20;

  RawText();
  ~RawText();
  RawText(RawText&&) noexcept;
  RawText& operator=(RawText&&) noexcept;

  // Opens a file for ReadMore: nothing is read yet. False (and an empty text)
  // when it cannot be opened.
  bool OpenFile(const std::string& path, std::size_t pieceBytes = kPieceBytes);
  // Reads the next piece of the opened file and indexes the lines it
  // completes. False once nothing more is to be read: the file is read to
  // the size it had when opened, it ended sooner, or a read failed.
  bool ReadMore();
  // A read of the opened file failed; the lines read before stay.
  bool ReadFailed() const { return readFailed_; }
  // Takes the bytes of a text already in memory.
  void Assign(std::string_view bytes);
  void Clear();

  std::size_t LineCount() const { return lineStart_.size(); }
  // The line without its line break; empty text outside the text.
  std::string_view Line(std::size_t index) const;
  // The number of lines the whole file is expected to have: exact once it is
  // read, before that estimated from the lines of the first piece.
  std::size_t ExpectedLineCount() const;
  // The length of the longest line, without its break.
  std::size_t LongestLine() const { return longestLine_; }

  // Bytes held (capacity of both buffers).
  std::size_t MemoryBytes() const;

 private:
  bool Allocate(std::size_t capacity);
  void IndexLines(bool final);
  void EstimateLineCount();

  std::unique_ptr<char[]> bytes_;
  std::size_t capacity_ = 0;
  std::size_t size_ = 0;     // bytes read
  std::size_t indexed_ = 0;  // bytes cut into lines, breaks included
  std::size_t longestLine_ = 0;
  std::size_t estimatedLines_ = 0;
  std::vector<std::uint64_t> lineStart_;
  FileHandle file_;
  std::size_t pieceBytes_ = kPieceBytes;
  bool readFailed_ = false;
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
