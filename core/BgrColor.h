// Colours as the settings, the record grid and the chart hold them: 24-bit
// blue-green-red values (0x00BBGGRR). 0 means "not set" where a colour is
// optional; system colours carry a flag in the top byte (ColourNames.h).
#pragma once

#include <cstdint>

namespace tessaly {

using BgrColor = std::uint32_t;

inline constexpr BgrColor kClWhite = 0xFFFFFF;
inline constexpr BgrColor kClInfoBk = 0xE1FFFF;  // the tool-tip background colour
inline constexpr BgrColor kClRed = 0x0000FF;
inline constexpr BgrColor kClBlue = 0xFF0000;
inline constexpr BgrColor kClBlack = 0x000000;

}  // namespace tessaly
