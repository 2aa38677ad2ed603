// The one conversion between the blue-green-red colour values of the
// settings and controls (core/BgrColor.h) and Qt colours, used by every
// control that paints. System colours ("clBtnFace", "clInfoBk", ...; see
// core/ColourNames.h) take the colour of the application palette's
// matching role, so they follow the desktop's theme.
#pragma once

#include <QColor>

#include "core/BgrColor.h"

namespace tessaly {

QColor ToQColor(BgrColor colour);
// A QColor as a plain blue-green-red value (never a system colour).
BgrColor FromQColor(const QColor& colour);

}  // namespace tessaly
