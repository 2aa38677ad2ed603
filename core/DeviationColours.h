// The row colouring rule of every record grid.
#pragma once

#include <cstdint>

#include "core/BgrColor.h"
#include "core/ViewSettings.h"

namespace tessaly {

struct RowColours {
  BgrColor background;
  BgrColor font;
  bool outOfLimit;
};

// Odd rows white, even rows the tool-tip colour; red text for a negative
// deviation, blue otherwise; beyond the deviation limit the row takes the
// negative (deviation below 1) or positive excursion colour.
RowColours DeviationColours(std::int64_t row, std::int64_t deviation, std::int32_t devLimit,
                            BgrColor negDevColor, BgrColor posDevColor);

inline RowColours DeviationColours(std::int64_t row, std::int64_t deviation, const ViewSettings& view) {
  return DeviationColours(row, deviation, view.DevLimit, view.NegDevColor, view.PosDevColor);
}

}  // namespace tessaly
