#include "core/RecordSpill.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace tessaly {

namespace {

constexpr std::size_t kSpillBufferBytes = 1u << 20;

struct CommentLength {
  std::uint32_t bytes;
};

// An unnamed file in `folder`: O_TMPFILE where the file system has it, else
// a named one removed at once.
int CreateUnnamed(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return fd;
  std::string pattern = (std::filesystem::path(folder) / ".tessaly-export-XXXXXX").string();
  const int named = ::mkstemp(pattern.data());
  if (named >= 0) ::unlink(pattern.c_str());
  return named;
}

}  // namespace

RecordSpill::~RecordSpill() {
  if (fd_ >= 0) ::close(fd_);
}

bool RecordSpill::Fail(const std::string& what) {
  if (error_.empty()) error_ = what + " the temporary file in " + folder_ + ": " + std::strerror(errno);
  return false;
}

bool RecordSpill::Open(const std::string& folder) {
  std::error_code ec;
  const std::string temporary = std::filesystem::temp_directory_path(ec).string();
  folder_ = folder.empty() ? temporary : folder;
  fd_ = CreateUnnamed(folder_);
  // A folder that takes no files (/dev for /dev/stdout) leaves the
  // system's temporary folder.
  if (fd_ < 0 && folder_ != temporary && !temporary.empty()) {
    folder_ = temporary;
    fd_ = CreateUnnamed(folder_);
  }
  if (fd_ < 0) return Fail("Cannot create");
  buffer_.reserve(kSpillBufferBytes);
  return true;
}

bool RecordSpill::Flush() {
  std::size_t done = 0;
  while (done < buffer_.size()) {
    const ssize_t written = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return Fail("Cannot write");
    done += static_cast<std::size_t>(written);
  }
  buffer_.clear();
  return true;
}

bool RecordSpill::Append(const SpilledRecord& record, std::string_view comment) {
  if (fd_ < 0 || !error_.empty()) return false;
  const CommentLength length{static_cast<std::uint32_t>(comment.size())};
  buffer_.append(reinterpret_cast<const char*>(&record), sizeof record);
  buffer_.append(reinterpret_cast<const char*>(&length), sizeof length);
  buffer_.append(comment);
  return buffer_.size() < kSpillBufferBytes || Flush();
}

bool RecordSpill::Rewind() {
  if (fd_ < 0 || !error_.empty() || !Flush()) return false;
  if (::lseek(fd_, 0, SEEK_SET) != 0) return Fail("Cannot read");
  readPos_ = 0;
  atEnd_ = false;
  return true;
}

// Makes `needed` bytes available from readPos_; false at the end of the
// file (or on an error).
bool RecordSpill::Fill(std::size_t needed) {
  if (buffer_.size() - readPos_ >= needed) return true;
  buffer_.erase(0, readPos_);
  readPos_ = 0;
  while (buffer_.size() < needed && !atEnd_) {
    const std::size_t old = buffer_.size();
    buffer_.resize(old + std::max(kSpillBufferBytes, needed));
    const ssize_t got = ::read(fd_, buffer_.data() + old, buffer_.size() - old);
    if (got < 0 && errno == EINTR) {
      buffer_.resize(old);
      continue;
    }
    buffer_.resize(old + static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
    if (got < 0) return Fail("Cannot read");
    if (got == 0) atEnd_ = true;
  }
  return buffer_.size() >= needed;
}

bool RecordSpill::Next(SpilledRecord& record, std::string& comment) {
  constexpr std::size_t kFixed = sizeof(SpilledRecord) + sizeof(CommentLength);
  if (fd_ < 0 || !error_.empty() || !Fill(kFixed)) return false;
  CommentLength length;
  std::memcpy(&record, buffer_.data() + readPos_, sizeof record);
  std::memcpy(&length, buffer_.data() + readPos_ + sizeof record, sizeof length);
  if (!Fill(kFixed + length.bytes)) {
    if (error_.empty()) error_ = "The temporary file in " + folder_ + " ended early.";
    return false;
  }
  comment.assign(buffer_, readPos_ + kFixed, length.bytes);
  readPos_ += kFixed + length.bytes;
  return true;
}

}  // namespace tessaly
