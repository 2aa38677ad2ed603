#include "core/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tessaly {

FileHandle OpenInputFile(const std::string& path, std::string* error) {
  const auto fail = [error](const char* reason) {
    if (error) *error = reason;
    return FileHandle();
  };
  // Non-blocking, so that opening a FIFO returns at once; fstat then tells
  // what was opened.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return fail(std::strerror(errno));
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    const bool folder = S_ISDIR(status.st_mode);
    ::close(fd);
    return fail(folder ? "is a folder" : "is not a regular file");
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  FileHandle file(::fdopen(fd, "rb"));
  if (!file) {
    const char* reason = std::strerror(errno);
    ::close(fd);
    return fail(reason);
  }
  return file;
}

}  // namespace tessaly
