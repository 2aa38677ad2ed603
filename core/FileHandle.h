// A C file that closes itself: what the readers of log files hold while they
// read.
#pragma once

#include <cstdio>
#include <memory>

namespace tessaly {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace tessaly
