// Conversion between the settings' blue-green-red colour values and QColor.
// The classic system colours (clBtnFace, clWindow, ...) map to the
// application palette.
#pragma once

#include <QColor>

#include "core/BgrColor.h"

namespace tessaly {

QColor ToQColor(BgrColor colour);
// A QColor as a plain blue-green-red value (never a system colour).
BgrColor FromQColor(const QColor& colour);

}  // namespace tessaly
