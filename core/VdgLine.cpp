#include "core/VdgLine.h"

#include <cstring>

#include "core/CrLf.h"
#include "core/GridLayout.h"

namespace tessaly {

void AppendVdgCells(std::string& out, std::span<const std::string_view> cells, std::size_t firstColumn,
                    std::size_t skipColumn, std::string_view delimiter) {
  // Sized once and copied with memcpy: this runs for every cell of every row.
  std::size_t total = 0;
  for (std::size_t k = 0; k < cells.size(); ++k)
    if (firstColumn + k != skipColumn) total += cells[k].size() + delimiter.size();
  const std::size_t start = out.size();
  out.resize(start + total);
  char* to = out.data() + start;
  for (std::size_t k = 0; k < cells.size(); ++k) {
    if (firstColumn + k == skipColumn) continue;
    if (!cells[k].empty()) std::memcpy(to, cells[k].data(), cells[k].size());
    to += cells[k].size();
    if (!delimiter.empty()) std::memcpy(to, delimiter.data(), delimiter.size());
    to += delimiter.size();
  }
}

void AppendVdgCaptionLine(std::string& out, std::size_t skipColumn, std::string_view delimiter) {
  AppendVdgCells(out, GridCaptions(), 0, skipColumn, delimiter);
  out.append(kCrLf);
}

}  // namespace tessaly
