// Whether two paths name one file, however they are spelt: the guard that
// keeps every writer of the program off a log it would destroy.
#pragma once

#include <string>

namespace tessaly {

// True when a and b name the same file: the same device and inode when both
// exist; when neither exists, the same absolute path once ".", ".." and the
// symbolic links of the folders that do exist are resolved. An empty path
// names no file.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace tessaly
