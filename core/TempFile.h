// Temporary files for replacing a file safely: the new content is written
// beside the target and renamed over it only when complete, so a failure or
// an interruption leaves the earlier file as it was.
#pragma once

#include <string>

namespace tessaly {

// Creates a new file beside `target` (in its folder, so that a rename
// replaces the target at once), named like the target with "." pid "."
// counter ".tmp" appended, and opens it for writing. It takes the target's
// permissions when the target is a regular file. Returns the descriptor, or
// -1 with errno set.
int CreateTempBeside(const std::string& target, std::string& temp);

}  // namespace tessaly
