// The lines of a VDG export ("Valid Data Grid"): each grid column but the
// one the document leaves out, each cell followed by the delimiter (any
// text, empty allowed, written unchanged), nothing quoted; CR LF at the end.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace tessaly {

// Appends cells[k] + delimiter for each k whose column (firstColumn + k) is
// not skipColumn.
void AppendVdgCells(std::string& out, std::span<const std::string_view> cells, std::size_t firstColumn,
                    std::size_t skipColumn, std::string_view delimiter);
// Appends the caption line, CR LF included.
void AppendVdgCaptionLine(std::string& out, std::size_t skipColumn, std::string_view delimiter);

}  // namespace tessaly
