// The bound on what a loaded document holds (LogDocument::MemoryBytes): the
// file's bytes three times (the raw text; each line again as a record's cells
// or a rejected line's error entry; the cell arena's growth margin), a fixed
// amount per line (line index, grid row, colours, chart value, the derived
// texts of a record or the message of an error entry, with their growth
// margins), and a constant.
#pragma once

#include <cstddef>

namespace tessaly::fuzz {

inline constexpr std::size_t kDocumentBytesPerFileByte = 3;
inline constexpr std::size_t kDocumentBytesPerLine = 512;
inline constexpr std::size_t kDocumentFixedBytes = std::size_t{1} << 20;

inline std::size_t DocumentMemoryBound(std::size_t fileBytes, std::size_t lines) {
  return kDocumentBytesPerFileByte * fileBytes + kDocumentBytesPerLine * lines + kDocumentFixedBytes;
}

}  // namespace tessaly::fuzz
