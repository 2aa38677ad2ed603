// Opening a file for reading without ever blocking or reading endlessly:
// only a regular file is opened. A FIFO would wait in open() for a writer, a
// device may never end, and a folder has no bytes to read.
#pragma once

#include <string>

#include "core/FileHandle.h"

namespace tessaly {

// The file at `path` opened for binary reading when it is a regular file;
// nullptr otherwise, with the reason in `error` when given ("is a folder",
// "is not a regular file", or the system's text such as "No such file or
// directory").
FileHandle OpenInputFile(const std::string& path, std::string* error = nullptr);

}  // namespace tessaly
