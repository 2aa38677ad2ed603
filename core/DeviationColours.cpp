#include "core/DeviationColours.h"

namespace tessaly {

RowColours DeviationColours(std::int64_t row, std::int64_t deviation, std::int32_t devLimit,
                            BgrColor negDevColor, BgrColor posDevColor) {
  RowColours colours{row % 2 != 0 ? kClWhite : kClInfoBk, deviation < 0 ? kClRed : kClBlue, false};
  const std::int64_t magnitude = deviation < 0 ? -deviation : deviation;
  if (magnitude > devLimit) {
    colours.background = deviation < 1 ? negDevColor : posDevColor;
    colours.outOfLimit = true;
  }
  return colours;
}

}  // namespace tessaly
