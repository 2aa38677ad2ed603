// The line break of every text file the program writes: logs, comments,
// error lists, VDG exports and settings.
#pragma once

#include <string_view>

namespace tessaly {

inline constexpr std::string_view kCrLf = "\r\n";

}  // namespace tessaly
