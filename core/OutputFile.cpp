#include "core/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/WriteAll.h"

namespace tessaly {

namespace {

// Two of these are filled and written in turn.
constexpr std::size_t kOutputBufferBytes = 2u << 20;
constexpr std::size_t kOutputBufferRoom = kOutputBufferBytes + (kOutputBufferBytes >> 2);

// ---- The temporary files a signal handler removes ----

// A slot is free (0), being filled (1) or names a temporary file (2). Only
// lock-free atomics and unlink are used by the handler.
struct PendingReplacement {
  std::atomic<int> state{0};
  char path[4096];
};
std::array<PendingReplacement, 16> pendingReplacements;

int RegisterTemporary(const std::string& temp) {
  if (temp.size() >= sizeof(PendingReplacement::path)) return -1;
  for (std::size_t slot = 0; slot < pendingReplacements.size(); ++slot) {
    int free = 0;
    if (!pendingReplacements[slot].state.compare_exchange_strong(free, 1)) continue;
    std::memcpy(pendingReplacements[slot].path, temp.c_str(), temp.size() + 1);
    pendingReplacements[slot].state.store(2);
    return static_cast<int>(slot);
  }
  return -1;
}

void UnregisterTemporary(int slot) {
  if (slot >= 0) pendingReplacements[static_cast<std::size_t>(slot)].state.store(0);
}

extern "C" void RemovePendingAndEnd(int signal) {
  for (PendingReplacement& pending : pendingReplacements)
    if (pending.state.load() == 2) ::unlink(pending.path);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

// ---- Writing ----

// Creates a new, unique file beside path for writing, with the permissions of
// the file it will replace; -1 on failure. The name is registered for the
// signal handler before the file exists, so that no moment is left in which
// a signal would leave it behind.
int CreateTempBeside(const std::string& path, std::string& temp, int& slot) {
  static std::atomic<unsigned> counter{0};
  struct stat existing {};
  const bool replacing = ::stat(path.c_str(), &existing) == 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = path + "." + std::to_string(::getpid()) + "." + std::to_string(counter++) + ".tmp";
    slot = RegisterTemporary(temp);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      const int error = errno;
      UnregisterTemporary(slot);
      slot = -1;
      errno = error;
      if (error == EEXIST) continue;
    } else if (replacing) {
      ::fchmod(fd, existing.st_mode & 07777);
    }
    return fd;
  }
  return -1;
}

int OpenInPlace(const std::string& path) { return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666); }

}  // namespace

OutputFile::~OutputFile() {
  writer_.reset();
  if (fd_ >= 0) ::close(fd_);
  RemoveTemporary();
}

bool OutputFile::Open(const std::string& path, Mode mode) {
  path_ = path;
  if (mode == Mode::Replace) {
    if (!OpenReplacement(path)) return false;
  } else {
    fd_ = OpenInPlace(path);
  }
  if (fd_ < 0) {
    error_ = "Cannot create " + path + ": " + std::strerror(errno);
    return false;
  }
  buffer_.reserve(kOutputBufferRoom);
  return true;
}

// Replaces the file a symbolic link names, so the link stays a link; writes a
// device or a FIFO in place.
bool OutputFile::OpenReplacement(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_type type = fs::status(path, ec).type();
  if (type == fs::file_type::directory) {
    error_ = "Cannot write " + path + ": it is not a regular file";
    return false;
  }
  if (type != fs::file_type::not_found && type != fs::file_type::regular) {
    fd_ = OpenInPlace(path);
    return true;
  }
  if (type == fs::file_type::regular) {
    const fs::path target = fs::canonical(path, ec);
    if (!ec) path_ = target.string();
  }
  fd_ = CreateTempBeside(path_, temp_, tempSlot_);
  if (fd_ < 0) temp_.clear();
  return true;
}

void OutputFile::Commit() {
  if (buffer_.size() < kOutputBufferBytes || fd_ < 0) return;
  if (!error_.empty()) {
    buffer_.clear();
    return;
  }
  HandOver(buffer_);
  buffer_.reserve(kOutputBufferRoom);  // the first buffer given back is new
}

void OutputFile::Take(std::string& piece) {
  if (piece.size() < kOutputBufferBytes / 8) {  // small: copied as any text
    buffer_.append(piece);
    piece.clear();
    Commit();
    return;
  }
  if (fd_ < 0 || !error_.empty()) {
    piece.clear();
    return;
  }
  if (!buffer_.empty()) HandOver(buffer_);
  buffer_.reserve(kOutputBufferRoom);
  HandOver(piece);
}

// Gives `text` to the writer's thread (started at the first), leaving it
// empty; after a failed write, keeps the failure instead.
void OutputFile::HandOver(std::string& text) {
  if (!writer_) writer_ = std::make_unique<BackgroundWriter>(fd_);
  if (const int failure = writer_->Failure(); failure != 0) {
    Fail("Cannot write", failure);
    text.clear();
    return;
  }
  writer_->Write(text);
}

void OutputFile::Fail(const std::string& what, int error) {
  if (error_.empty()) error_ = what + " " + path_ + ": " + std::strerror(error);
}

// Waits for the buffers on their way to the file.
void OutputFile::FinishWriting() {
  if (!writer_) return;
  if (const int failure = writer_->Finish(); failure != 0) Fail("Cannot write", failure);
  writer_.reset();
}

void OutputFile::Flush() {
  FinishWriting();
  if (fd_ >= 0 && error_.empty() && !buffer_.empty())
    if (const int failure = WriteAll(fd_, buffer_); failure != 0) Fail("Cannot write", failure);
  buffer_.clear();
}

bool OutputFile::Close() {
  if (fd_ < 0) return false;
  Flush();
  if (!temp_.empty() && error_.empty() && ::fsync(fd_) != 0) Fail("Cannot write", errno);
  if (::close(fd_) != 0) Fail("Cannot write", errno);
  fd_ = -1;
  if (!temp_.empty() && error_.empty() && std::rename(temp_.c_str(), path_.c_str()) != 0) Fail("Cannot replace", errno);
  if (error_.empty()) {
    UnregisterTemporary(tempSlot_);
    tempSlot_ = -1;
    temp_.clear();
  }
  RemoveTemporary();
  return error_.empty();
}

void OutputFile::RemoveTemporary() {
  if (temp_.empty()) return;
  UnregisterTemporary(tempSlot_);
  tempSlot_ = -1;
  std::remove(temp_.c_str());
  temp_.clear();
}

std::string ReplaceWithLines(const std::string& path, std::span<const std::string> lines) {
  OutputFile out;
  if (!out.Open(path, OutputFile::Mode::Replace)) return out.Error();
  for (const std::string& line : lines) {
    out.Buffer().append(line).append("\r\n");
    out.Commit();
  }
  return out.Close() ? std::string() : out.Error();
}

void RemoveReplacementsOnSignals() {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, RemovePendingAndEnd);
}

}  // namespace tessaly
