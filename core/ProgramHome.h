// The program's folder: where Lib/ (settings) and Projects/ (logs) live.
#pragma once

#include <string>

namespace tessaly {

// The folder named by the environment variable TESSALY_HOME when it is set
// (tests point the program at a temporary folder this way), otherwise the
// folder of the running executable. Always ends with a path separator.
std::string ProgramHome();

}  // namespace tessaly
