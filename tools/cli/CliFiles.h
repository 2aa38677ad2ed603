// The files of a tessaly-cli command: the input is checked before it is
// read, the outputs against the input, its comments file and each other.
#pragma once

#include <string>
#include <vector>

namespace tessaly::cli {

// Why a command cannot read `path`: a folder, a FIFO, a device or a file it
// may not open; empty for a readable regular file and for a path that does
// not exist (reported where it is read).
std::string InputFileProblem(const std::string& path);

// A file a command reads or writes, with the words a message names it by.
struct RoleFile {
  std::string path;
  std::string role;  // "the log", "the output file", ...
};

// The refusal when an output is one of the inputs or the same file as another
// output, however the paths are spelt (SameFile). Empty when there is none.
std::string OutputClash(const std::vector<RoleFile>& inputs, const std::vector<RoleFile>& outputs);

}  // namespace tessaly::cli
