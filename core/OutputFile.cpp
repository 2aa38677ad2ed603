#include "core/OutputFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace tessaly {

namespace {

constexpr std::size_t kOutputBufferBytes = 4u << 20;

// Creates a new, unique file beside path for writing; -1 on failure.
int CreateTempBeside(const std::string& path, std::string& temp) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = path + "." + std::to_string(::getpid()) + "." + std::to_string(counter++) + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Writes all of data to fd; false (errno set) on any failure.
bool WriteAll(int fd, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {
      errno = ENOSPC;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// The file a replacement must rename over: a symbolic link's target, so the
// link stays a link. Empty, with the reason, when that is not a regular file.
std::string ReplacementTarget(const std::string& path, std::string& error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_type type = fs::status(path, ec).type();
  if (type == fs::file_type::not_found) return path;
  if (type != fs::file_type::regular) {
    error = "Cannot write " + path + ": it is not a regular file";
    return {};
  }
  const fs::path target = fs::canonical(path, ec);
  return ec ? path : target.string();
}

}  // namespace

OutputFile::~OutputFile() {
  if (fd_ >= 0) ::close(fd_);
  if (mode_ == Mode::Replace && !temp_.empty()) std::remove(temp_.c_str());
}

bool OutputFile::Open(const std::string& path, Mode mode) {
  mode_ = mode;
  path_ = path;
  if (mode == Mode::Truncate) {
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  } else {
    path_ = ReplacementTarget(path, error_);
    if (path_.empty()) return false;
    fd_ = CreateTempBeside(path_, temp_);
    if (fd_ < 0) temp_.clear();
  }
  if (fd_ < 0) {
    error_ = "Cannot create " + path + ": " + std::strerror(errno);
    return false;
  }
  buffer_.reserve(kOutputBufferBytes + (kOutputBufferBytes >> 2));
  return true;
}

void OutputFile::Commit() {
  if (buffer_.size() >= kOutputBufferBytes) Flush();
}

void OutputFile::Fail(const std::string& what) {
  if (error_.empty()) error_ = what + " " + path_ + ": " + std::strerror(errno);
}

void OutputFile::Flush() {
  if (fd_ >= 0 && error_.empty() && !buffer_.empty() && !WriteAll(fd_, buffer_)) Fail("Cannot write");
  buffer_.clear();
}

bool OutputFile::Close() {
  if (fd_ < 0) return false;
  Flush();
  if (mode_ == Mode::Replace && error_.empty() && ::fsync(fd_) != 0) Fail("Cannot write");
  if (::close(fd_) != 0) Fail("Cannot write");
  fd_ = -1;
  if (mode_ == Mode::Replace) {
    if (error_.empty() && std::rename(temp_.c_str(), path_.c_str()) != 0) Fail("Cannot replace");
    if (!error_.empty()) std::remove(temp_.c_str());
    temp_.clear();
  }
  return error_.empty();
}

}  // namespace tessaly
