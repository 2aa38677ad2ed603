// The input of a tessaly-cli command, checked before it is read (the outputs
// follow the output rule, CheckOutput).
#pragma once

#include <string>

namespace tessaly::cli {

// Why a command cannot read `path`: a folder, a FIFO, a device or a file it
// may not open; empty for a readable regular file and for a path that does
// not exist (reported where it is read).
std::string InputFileProblem(const std::string& path);

}  // namespace tessaly::cli
