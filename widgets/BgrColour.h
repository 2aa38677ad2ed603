// Conversion of the 24-bit blue-green-red colour values of the controls' API
// to Qt colours, done only when painting.
#pragma once

#include <QColor>

#include "core/BgrColor.h"

namespace tessaly {

inline QColor ToQColor(BgrColor colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

}  // namespace tessaly
