#include "core/RecordSpill.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "core/WriteAll.h"

namespace tessaly {

namespace {

constexpr std::size_t kSpillBufferBytes = 1u << 20;
constexpr std::size_t kMemoryBlockBytes = 1u << 20;

// What a spilled record holds, one bit each, in the order written.
enum Present : std::uint8_t {
  kPosition = 1, kPlane = 2, kDeviation = 4, kDepth = 8, kSounder = 16, kTime = 32, kFlags = 64, kComment = 128,
};

std::uint8_t PresentIn(const SpilledRecord& r, std::string_view comment) {
  const auto bit = [](bool has, Present present) { return has ? present : 0; };
  return static_cast<std::uint8_t>(
      bit(HasValue(r.latitude) || HasValue(r.longitude), kPosition) | bit(HasValue(r.x) || HasValue(r.y), kPlane) |
      bit(HasValue(r.deviation), kDeviation) | bit(!std::isnan(r.towfishDepth), kDepth) |
      bit(!std::isnan(r.sounder), kSounder) | bit(r.hasTime, kTime) | bit(r.hasFlags, kFlags) |
      bit(!comment.empty(), kComment));
}

// Bytes after the presence byte, the comment's text left out.
std::size_t FixedBytes(std::uint8_t present) {
  std::size_t bytes = 0;
  if (present & kPosition) bytes += 2 * sizeof(double);
  if (present & kPlane) bytes += 2 * sizeof(double);
  if (present & kDeviation) bytes += sizeof(double);
  if (present & kDepth) bytes += sizeof(float);
  if (present & kSounder) bytes += sizeof(float);
  if (present & kTime) bytes += sizeof(std::int64_t) + 1;
  if (present & kFlags) bytes += sizeof(std::uint32_t);
  if (present & kComment) bytes += sizeof(std::uint32_t);
  return bytes;
}

template <typename T>
void Put(std::string& buffer, const T& value) {
  buffer.append(reinterpret_cast<const char*>(&value), sizeof value);
}

template <typename T>
void Take(const char*& from, T& value) {
  std::memcpy(&value, from, sizeof value);
  from += sizeof value;
}

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
  return true;
}

bool RecordSpill::Flush() {
  if (const int error = WriteAll(fd_, buffer_); error != 0) {
    errno = error;
    return Fail("Cannot write");
  }
  buffer_.clear();
  return true;
}

bool RecordSpill::Append(const SpilledRecord& record, std::string_view comment) {
  if (fd_ < 0 || !error_.empty()) return false;
  const std::uint8_t present = PresentIn(record, comment);
  const std::size_t bytes = 1 + FixedBytes(present) + comment.size();
  toFile_ = toFile_ || memoryUsed_ + bytes > memoryBytes_;
  std::string& to = toFile_ ? buffer_ : MemoryFor(bytes);
  to.push_back(static_cast<char>(present));
  if (present & kPosition) Put(to, record.latitude), Put(to, record.longitude);
  if (present & kPlane) Put(to, record.x), Put(to, record.y);
  if (present & kDeviation) Put(to, record.deviation);
  if (present & kDepth) Put(to, record.towfishDepth);
  if (present & kSounder) Put(to, record.sounder);
  if (present & kTime) Put(to, record.timeMillis), Put(to, static_cast<std::uint8_t>(record.dateKnown));
  if (present & kFlags) Put(to, record.flags);
  if (present & kComment) Put(to, static_cast<std::uint32_t>(comment.size()));
  to.append(comment);
  return buffer_.size() < kSpillBufferBytes || Flush();
}

// The block a record of `bytes` goes into: the last one while it has room,
// else a new one.
std::string& RecordSpill::MemoryFor(std::size_t bytes) {
  if (memory_.empty() || memory_.back().capacity() - memory_.back().size() < bytes)
    memory_.emplace_back().reserve(std::max(kMemoryBlockBytes, bytes));
  memoryUsed_ += bytes;
  return memory_.back();
}

bool RecordSpill::Rewind() {
  if (fd_ < 0 || !error_.empty() || !Flush()) return false;
  if (::lseek(fd_, 0, SEEK_SET) != 0) return Fail("Cannot read");
  memoryBlock_ = memoryPos_ = 0;
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
  if (fd_ < 0 || !error_.empty()) return false;
  for (; memoryBlock_ < memory_.size(); ++memoryBlock_, memoryPos_ = 0) {
    const std::string& block = memory_[memoryBlock_];
    if (memoryPos_ == block.size()) continue;
    const auto inBlock = [&](std::size_t needed) { return block.size() - memoryPos_ >= needed; };
    return Decode(block, memoryPos_, inBlock, record, comment);
  }
  if (!Fill(1)) return false;
  return Decode(buffer_, readPos_, [this](std::size_t needed) { return Fill(needed); }, record, comment);
}

// Reads the record at `pos` of `bytes`; `enough(n)` makes n bytes from pos
// available (the file's buffer may move), false when it cannot.
template <typename Enough>
bool RecordSpill::Decode(const std::string& bytes, std::size_t& pos, Enough enough, SpilledRecord& record,
                         std::string& comment) {
  const auto present = static_cast<std::uint8_t>(bytes[pos]);
  const std::size_t fixed = 1 + FixedBytes(present);
  if (!enough(fixed)) return Truncated();
  const char* from = bytes.data() + pos + 1;
  record = SpilledRecord();
  if (present & kPosition) Take(from, record.latitude), Take(from, record.longitude);
  if (present & kPlane) Take(from, record.x), Take(from, record.y);
  if (present & kDeviation) Take(from, record.deviation);
  if (present & kDepth) Take(from, record.towfishDepth);
  if (present & kSounder) Take(from, record.sounder);
  if (present & kTime) {
    std::uint8_t dateKnown = 0;
    Take(from, record.timeMillis), Take(from, dateKnown);
    record.hasTime = true;
    record.dateKnown = dateKnown != 0;
  }
  if (present & kFlags) Take(from, record.flags), record.hasFlags = true;
  std::uint32_t length = 0;
  if (present & kComment) Take(from, length);
  if (!enough(fixed + length)) return Truncated();
  comment.assign(bytes, pos + fixed, length);
  pos += fixed + length;
  return true;
}

bool RecordSpill::Truncated() {
  if (error_.empty()) error_ = "The temporary file in " + folder_ + " ended early.";
  return false;
}

}  // namespace tessaly
