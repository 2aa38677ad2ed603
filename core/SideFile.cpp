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

std::string SideFileReader::Open(const std::string& path) {
  std::string error;
  file_ = OpenInputFile(path, &error);
  path_ = path;
  error_.clear();
  pos_ = size_ = 0;
  lastWasCr_ = ended_ = false;
  number_ = 0;
  if (!file_) return "Cannot read " + path + ": " + error;
  buffer_.resize(std::size_t{1} << 16);
  return {};
}

// False once the file is read to its end or a read failed.
bool SideFileReader::Refill() {
  if (!file_ || ended_) return false;
  size_ = std::fread(buffer_.data(), 1, buffer_.size(), file_.get());
  pos_ = 0;
  if (size_ > 0) return true;
  ended_ = true;
  if (std::ferror(file_.get())) error_ = "Cannot read " + path_ + ".";
  return false;
}

bool SideFileReader::Next(std::string_view& line) {
  line_.clear();
  bool any = false;  // a byte of the line (or its end) was seen
  while (pos_ < size_ || Refill()) {
    const char c = buffer_[pos_++];
    if (c == '\n' && lastWasCr_) {  // the LF of CR LF
      lastWasCr_ = false;
      continue;
    }
    lastWasCr_ = c == '\r';
    if (c == '\r' || c == '\n') {
      line = line_;
      ++number_;
      return true;
    }
    any = true;
    if (line_.size() < kMaxSideLineChars) line_.push_back(c);
  }
  if (!any || !error_.empty()) return false;
  line = line_;  // the last line, without a line end
  ++number_;
  return true;
}

std::string ForEachLine(const std::string& path,
                        const std::function<void(std::string_view line, std::uint64_t number)>& onLine) {
  SideFileReader reader;
  if (std::string error = reader.Open(path); !error.empty()) return error;
  std::string_view line;
  while (reader.Next(line)) onLine(line, reader.LineNumber());
  return reader.Error();
}

}  // namespace tessaly
