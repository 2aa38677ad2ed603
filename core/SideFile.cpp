#include "core/SideFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <cstdio>
#include <utility>

#include "core/CrLf.h"
#include "core/InputFile.h"

namespace tessaly {
namespace {

std::string SystemError(const std::string& what, const std::string& path, int error) {
  return what + " " + path + ": " + std::strerror(error);
}

}  // namespace

std::string SideFileName(std::string_view part, std::string_view suffix) {
  std::string name(part);
  name += suffix;
  return name;
}

SideFileWriter::SideFileWriter(WriteCall write) : write_(std::move(write)) {
  if (!write_) write_ = [](int fd, const void* data, std::size_t size, off_t offset) {
    return ::pwrite(fd, data, size, offset);
  };
}

SideFileWriter::~SideFileWriter() { Close(); }

std::string SideFileWriter::Open(const std::string& path) {
  Close();
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return SystemError("Cannot create", path, errno);
  fd_ = fd;
  path_ = path;
  bytes_ = lastLineStart_ = 0;
  return {};
}

std::string SideFileWriter::AppendLine(std::string_view line) {
  if (fd_ < 0) return "The file " + path_ + " is not open.";
  std::string bytes;
  bytes.reserve(line.size() + kCrLf.size());
  bytes.append(line).append(kCrLf);
  const ssize_t written = write_(fd_, bytes.data(), bytes.size(), static_cast<off_t>(bytes_));
  if (written != static_cast<ssize_t>(bytes.size())) {
    const int error = written < 0 ? errno : ENOSPC;
    [[maybe_unused]] const int cut = ::ftruncate(fd_, static_cast<off_t>(bytes_));
    return SystemError("Cannot write", path_, error);
  }
  lastLineStart_ = bytes_;
  bytes_ += bytes.size();
  return {};
}

void SideFileWriter::RemoveLastLine() {
  if (fd_ < 0 || lastLineStart_ == bytes_) return;
  [[maybe_unused]] const int cut = ::ftruncate(fd_, static_cast<off_t>(lastLineStart_));
  bytes_ = lastLineStart_;
}

std::string SideFileWriter::Sync() {
  if (fd_ < 0) return {};
  if (::fdatasync(fd_) != 0) return SystemError("Cannot sync", path_, errno);
  return {};
}

void SideFileWriter::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

std::string ForEachLine(const std::string& path,
                        const std::function<void(std::string_view line, std::uint64_t number)>& onLine) {
  std::string error;
  const FileHandle file = OpenInputFile(path, &error);
  if (!file) return "Cannot read " + path + ": " + error;
  std::uint64_t number = 0;
  std::string pending;  // the line so far, across reads
  char buffer[1 << 16];
  bool lastWasCr = false;
  std::size_t size = 0;
  while ((size = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    for (std::size_t i = 0; i < size; ++i) {
      const char c = buffer[i];
      if (c == '\n' && lastWasCr) {  // the LF of CR LF
        lastWasCr = false;
        continue;
      }
      lastWasCr = c == '\r';
      if (c == '\r' || c == '\n') {
        onLine(pending, ++number);
        pending.clear();
      } else if (pending.size() < kMaxSideLineChars) {
        pending.push_back(c);
      }
    }
  }
  if (std::ferror(file.get())) return "Cannot read " + path + ".";
  if (!pending.empty()) onLine(pending, ++number);
  return {};
}

}  // namespace tessaly
