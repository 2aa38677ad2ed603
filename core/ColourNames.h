// Colour values as text in the settings files: the toolkit's classic colour
// names ("clRed", "clBtnFace", ...) where a colour has one, otherwise "$" and
// 8 hexadecimal digits. Colours are blue-green-red values; the system colours
// (clBtnFace and the like) are 0xFF000000 plus the system colour index.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/BgrColor.h"

namespace tessaly {

inline constexpr BgrColor kSystemColourFlag = 0xFF000000u;

inline bool IsSystemColour(BgrColor colour) { return (colour & 0xFF000000u) == kSystemColourFlag; }

// "clRed" for 0x000000FF, "$00ABCDEF" for a colour without a name.
std::string ColourToString(BgrColor colour);

// Accepts a colour name (letter case ignored), "$" and hexadecimal digits, or
// a decimal integer. Empty when the text is none of these.
std::optional<BgrColor> StringToColour(std::string_view text);

// The colour name of a colour, if it has one.
std::optional<std::string_view> ColourName(BgrColor colour);

}  // namespace tessaly
