#include "core/ProgramVersion.h"

#include <iostream>

// The build names the version (the project version of the top CMakeLists.txt).
#ifndef TESSALY_VERSION
#error "TESSALY_VERSION must be defined by the build"
#endif

namespace tessaly {

const char* ProgramVersion() { return TESSALY_VERSION; }

std::string VersionLine(std::string_view program) {
  return std::string(program) + " " + ProgramVersion() + "\n";
}

bool PrintVersionIfAsked(int argc, char** argv, std::string_view program) {
  if (argc < 2 || std::string_view(argv[1]) != "--version") return false;
  std::cout << VersionLine(program) << std::flush;
  return true;
}

}  // namespace tessaly
