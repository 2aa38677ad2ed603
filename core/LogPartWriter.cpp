#include "core/LogPartWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>

#include "core/CrLf.h"
#include "core/LogKind.h"

namespace tessaly {

namespace {

std::size_t FileNameStart(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

std::string SystemError(const std::string& what, const std::string& path, int error) {
  return what + " " + path + ": " + std::strerror(error);
}

}  // namespace

std::string PartFileName(const std::string& base, std::size_t index) {
  if (index == 0) return base;
  const std::size_t dot = base.rfind('.');
  const std::size_t cut = (dot == std::string::npos || dot < FileNameStart(base)) ? base.size() : dot;
  return base.substr(0, cut) + "_" + std::to_string(index) + base.substr(cut);
}

std::vector<std::string> ExistingLaterParts(const std::string& base) {
  std::vector<std::string> found;
  std::error_code ignored;
  for (std::size_t index = 1;; ++index) {
    std::string name = PartFileName(base, index);
    if (!std::filesystem::exists(name, ignored)) return found;
    found.push_back(std::move(name));
  }
}

// Syncs the current part to disk at least once a second while records
// arrive, on a thread of its own. It works on a duplicate of the part's
// descriptor, so the writer may close its own at any time; a part left
// behind is synced and closed here too.
class LogPartWriter::SyncThread {
 public:
  SyncThread() : thread_([this] { Run(); }) {}
  ~SyncThread() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
    for (const int old : retired_) SyncAndClose(old);
    SyncAndClose(current_);
  }

  // The part records now go to (takes ownership of the descriptor).
  void Follow(int fd) {
    int previous;
    {
      std::lock_guard lock(mutex_);
      previous = current_;
      current_ = fd;
      dirty_ = false;
      retired_.push_back(previous);
    }
    wake_.notify_one();
  }
  void Written() {
    std::lock_guard lock(mutex_);
    dirty_ = true;
  }
  std::uint64_t Syncs() const {
    std::lock_guard lock(mutex_);
    return syncs_;
  }

 private:
  static void SyncAndClose(int fd) {
    if (fd < 0) return;
    ::fdatasync(fd);
    ::close(fd);
  }

  void Run() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
      wake_.wait_for(lock, std::chrono::milliseconds(500));
      std::vector<int> retired;
      retired.swap(retired_);
      const int fd = dirty_ ? current_ : -1;
      dirty_ = false;
      lock.unlock();
      for (const int old : retired) SyncAndClose(old);
      if (fd >= 0) ::fdatasync(fd);
      lock.lock();
      if (fd >= 0) ++syncs_;
    }
  }

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  int current_ = -1;
  bool dirty_ = false;
  bool stop_ = false;
  std::vector<int> retired_;
  std::uint64_t syncs_ = 0;
  std::thread thread_;
};

LogPartWriter::LogPartWriter(std::size_t recordsPerPart) : recordsPerPart_(recordsPerPart ? recordsPerPart : 1) {}

LogPartWriter::~LogPartWriter() { Close(); }

std::string LogPartWriter::Open(const std::string& base) {
  Close();
  base_ = base;
  parts_.clear();
  comments_.clear();
  records_ = 0;
  pending_.reset();
  sync_ = std::make_unique<SyncThread>();
  std::string error = OpenPart(0);
  if (!error.empty()) sync_.reset();
  return error;
}

std::string LogPartWriter::OpenPart(std::size_t index) {
  const std::string name = PartFileName(base_, index);
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return SystemError("Cannot create the log", name, errno);
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
  partBytes_ = 0;
  partRecords_ = 0;
  parts_.push_back(name);
  const int duplicate = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (duplicate >= 0) sync_->Follow(duplicate);
  return {};
}

void LogPartWriter::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  sync_.reset();  // syncs and closes its duplicate
}

std::string LogPartWriter::Append(std::string_view record) {
  if (fd_ < 0) return "The log is not open.";
  if (pending_) return "A record waits to be written.";
  std::string bytes;
  bytes.reserve(record.size() + kCrLf.size());
  bytes.append(record).append(kCrLf);
  return Write({std::move(bytes), partRecords_ == recordsPerPart_, true});
}

std::string LogPartWriter::AppendBytes(std::string_view bytes) {
  if (fd_ < 0) return "The log is not open.";
  if (pending_) return "A record waits to be written.";
  return Write({std::string(bytes), false, false});
}

std::string LogPartWriter::WritePending() {
  if (!pending_) return {};
  Pending pending = std::move(*pending_);
  pending_.reset();
  return Write(std::move(pending));
}

// One pwrite of the whole record at the end of the last complete one; on
// failure the part is cut back there and the record kept for WritePending.
std::string LogPartWriter::Write(Pending what) {
  if (what.startsPart) {
    if (std::string error = OpenPart(parts_.size()); !error.empty()) {
      pending_ = std::move(what);
      return error;
    }
    what.startsPart = false;
  }
  const std::string& bytes = what.bytes;
  const ssize_t written = ::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(partBytes_));
  if (written != static_cast<ssize_t>(bytes.size())) {
    const int error = written < 0 ? errno : ENOSPC;
    [[maybe_unused]] const int cut = ::ftruncate(fd_, static_cast<off_t>(partBytes_));
    pending_ = std::move(what);
    return SystemError("Cannot write the log", parts_.back(), error);
  }
  partBytes_ += bytes.size();
  if (what.isRecord) {
    ++partRecords_;
    ++records_;
  }
  sync_->Written();
  return {};
}

std::string LogPartWriter::CommentsFileOfPart(std::size_t index) const {
  return CommentsFileName(PartFileName(base_, index));
}

std::string LogPartWriter::SetComment(std::uint64_t row, std::string_view comment) {
  if (row == 0 || row > records_) return "No record in row " + std::to_string(row) + ".";
  const std::size_t part = PartOfRow(row);
  CommentsStore& store = comments_[part];
  store.SetComment(static_cast<std::int64_t>(RowInPart(row)), comment);
  return store.Save(CommentsFileOfPart(part), PartFileName(base_, part));
}

std::uint64_t LogPartWriter::SyncCount() const { return sync_ ? sync_->Syncs() : 0; }

}  // namespace tessaly
