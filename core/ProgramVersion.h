// The program's version: the build's project version, the same for the
// window program and every tool, shown by --version and the about box.
#pragma once

#include <string>
#include <string_view>

namespace tessaly {

// "1.0.5.3": the version the build was made with.
const char* ProgramVersion();

// "tessaly-cli 1.0.5.3" and a line end: what --version prints.
std::string VersionLine(std::string_view program);

// When the first argument is --version, prints the version line of
// `program` to standard output and returns true; otherwise does nothing.
// Each program calls it before reading its other options.
bool PrintVersionIfAsked(int argc, char** argv, std::string_view program);

}  // namespace tessaly
