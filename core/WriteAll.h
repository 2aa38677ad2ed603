// Writes every byte of a text to a file descriptor, going on after an
// interrupted or short write.
#pragma once

#include <string_view>

namespace tessaly {

// 0 when every byte was written, else the errno of the failure (ENOSPC for
// a write that takes nothing).
int WriteAll(int fd, std::string_view bytes);

}  // namespace tessaly
