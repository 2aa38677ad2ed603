#include "core/LogPartWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>
#include <utility>

#include "core/CrLf.h"
#include "core/LogKind.h"

namespace tessaly {

namespace {

std::size_t FileNameStart(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

// Where PartFileName inserts the part number.
std::size_t PartNumberAt(const std::string& base) {
  const std::size_t dot = base.rfind('.');
  return (dot == std::string::npos || dot < FileNameStart(base)) ? base.size() : dot;
}

std::string SystemError(const std::string& what, const std::string& path, int error) {
  return what + " " + path + ": " + std::strerror(error);
}

// The part number of a file name of the form stem_N.ext, or 0 when the name
// is not one (N is decimal without leading zeros).
std::size_t PartNumberOf(const std::string& name, const std::string& stem, const std::string& extension) {
  if (name.size() <= stem.size() + 1 + extension.size() || name.compare(0, stem.size(), stem) != 0 ||
      name[stem.size()] != '_' || name.compare(name.size() - extension.size(), extension.size(), extension) != 0)
    return 0;
  const std::string digits = name.substr(stem.size() + 1, name.size() - stem.size() - 1 - extension.size());
  if (digits.size() > 9 || digits[0] == '0' ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return 0;
  return std::stoul(digits);
}

}  // namespace

std::string PartFileName(const std::string& base, std::size_t index) {
  if (index == 0) return base;
  const std::size_t cut = PartNumberAt(base);
  return base.substr(0, cut) + "_" + std::to_string(index) + base.substr(cut);
}

std::vector<std::string> ExistingLaterParts(const std::string& base) {
  namespace fs = std::filesystem;
  const std::size_t nameStart = FileNameStart(base);
  const std::size_t cut = PartNumberAt(base);
  const std::string stem = base.substr(nameStart, cut - nameStart);
  const std::string extension = base.substr(cut);
  std::vector<std::pair<std::size_t, std::string>> found;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(nameStart ? base.substr(0, nameStart) : ".", error)) {
    const std::size_t number = PartNumberOf(entry.path().filename().string(), stem, extension);
    if (number > 0) found.emplace_back(number, PartFileName(base, number));
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> parts;
  for (auto& [number, name] : found) parts.push_back(std::move(name));
  return parts;
}

LogFileCalls LogFileCalls::System() {
  return {[](int fd, const void* data, std::size_t size, off_t offset) { return ::pwrite(fd, data, size, offset); },
          [](int fd) { return ::fdatasync(fd); }, [](int fd) { return ::close(fd); }};
}

// Syncs the current part to disk when asked, on a thread of its own. It
// works on duplicates of the part's descriptors, so the writer may close its
// own at any time; a part left behind is synced and closed here too. The
// first failure is kept until taken: of the times and the log in one place,
// of the owner's side files in another.
class LogPartWriter::SyncThread {
 public:
  struct File {
    int fd = -1;
    std::string name;
  };
  // A part's files as they are synced: the times, the log, the times again,
  // then the side files.
  struct Part {
    File times, log;
    std::vector<File> sides;
  };

  explicit SyncThread(const LogFileCalls& calls) : calls_(calls), thread_([this] { Run(); }) {}
  ~SyncThread() { Finish(); }

  // The part records now go to (takes ownership of the descriptors).
  void Follow(Part part) {
    {
      std::lock_guard lock(mutex_);
      retired_.push_back(std::move(current_));
      current_ = std::move(part);
    }
    wake_.notify_one();
  }
  void Request() {
    {
      std::lock_guard lock(mutex_);
      ++requested_;
    }
    wake_.notify_one();
  }
  void Wait() {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return handled_ == requested_ && retired_.empty(); });
  }
  std::string TakeError(bool side) {
    std::lock_guard lock(mutex_);
    return std::exchange(side ? sideError_ : error_, {});
  }
  std::uint64_t Syncs() const {
    std::lock_guard lock(mutex_);
    return syncs_;
  }
  // Stops the thread, then syncs and closes the current part.
  void Finish() {
    if (!thread_.joinable()) return;
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
    SyncAndClose(std::exchange(current_, {}));
  }

 private:
  void Fail(bool side, std::string message) {
    std::lock_guard lock(mutex_);
    std::string& error = side ? sideError_ : error_;
    if (error.empty()) error = std::move(message);
  }
  void Sync(const File& file, bool side) {
    if (file.fd >= 0 && calls_.fdatasync(file.fd) != 0)
      Fail(side, SystemError(side ? "Cannot write" : "Cannot write the log", file.name + " to disk", errno));
  }
  void Sync(const Part& part) {
    Sync(part.times, false);
    Sync(part.log, false);
    Sync(part.times, false);  // the times of records written meanwhile
    for (const File& side : part.sides) Sync(side, true);
  }
  void Close(const File& file, bool side) {
    if (file.fd >= 0 && calls_.close(file.fd) != 0)
      Fail(side, SystemError(side ? "Cannot close" : "Cannot close the log", file.name, errno));
  }
  void SyncAndClose(const Part& part) {
    Sync(part);
    Close(part.times, false);
    Close(part.log, false);
    for (const File& side : part.sides) Close(side, true);
  }

  void Run() {
    std::unique_lock lock(mutex_);
    while (true) {
      wake_.wait(lock, [this] { return stop_ || handled_ != requested_ || !retired_.empty(); });
      if (stop_ && handled_ == requested_ && retired_.empty()) return;
      std::vector<Part> retired;
      retired.swap(retired_);
      const std::uint64_t target = requested_;
      const Part current = handled_ != requested_ ? current_ : Part{};
      lock.unlock();
      for (const Part& old : retired) SyncAndClose(old);
      Sync(current);
      lock.lock();
      if (current.log.fd >= 0) ++syncs_;
      handled_ = target;
      done_.notify_all();
    }
  }

  LogFileCalls calls_;
  mutable std::mutex mutex_;
  std::condition_variable wake_, done_;
  Part current_;
  std::vector<Part> retired_;
  std::uint64_t requested_ = 0, handled_ = 0, syncs_ = 0;
  bool stop_ = false;
  std::string error_, sideError_;
  std::thread thread_;
};

LogPartWriter::LogPartWriter(std::size_t recordsPerPart, LogFileCalls calls)
    : recordsPerPart_(recordsPerPart ? recordsPerPart : 1), calls_(std::move(calls)) {}

LogPartWriter::~LogPartWriter() { Close(); }

std::string LogPartWriter::Open(const std::string& base) {
  Close();
  base_ = base;
  parts_.clear();
  comments_.clear();
  records_ = 0;
  syncRequests_ = 0;
  written_ = false;
  diskError_.clear();
  sideError_.clear();
  pending_.reset();
  sync_ = std::make_unique<SyncThread>(calls_);
  std::string error = OpenPart(0);
  if (!error.empty()) sync_.reset();
  return error;
}

namespace {

int Duplicate(int fd) { return fd >= 0 ? ::fcntl(fd, F_DUPFD_CLOEXEC, 0) : -1; }

}  // namespace

void LogPartWriter::SetSideFiles(bool times, std::vector<std::string> suffixes) {
  timesWanted_ = times;
  sideSuffixes_ = std::move(suffixes);
}

// The part's times first (a part without them cannot take records), then
// the owner's side files (one that cannot be created is said once and left
// closed; its lines then fail).
std::string LogPartWriter::OpenSideFiles(const std::string& part) {
  auto times = std::make_unique<SideFileWriter>(calls_.pwrite);
  if (timesWanted_)
    if (std::string error = times->Open(SideFileName(part, kTimesSuffix)); !error.empty()) return error;
  times_ = std::move(times);
  sides_.clear();
  for (const std::string& suffix : sideSuffixes_) {
    sides_.push_back(std::make_unique<SideFileWriter>(calls_.pwrite));
    if (std::string error = sides_.back()->Open(SideFileName(part, suffix)); !error.empty() && sideError_.empty())
      sideError_ = error;
  }
  return {};
}

std::string LogPartWriter::OpenPart(std::size_t index) {
  const std::string name = PartFileName(base_, index);
  if (guard_)
    if (std::string refusal = guard_(name); !refusal.empty()) return refusal;
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return SystemError("Cannot create the log", name, errno);
  if (std::string error = OpenSideFiles(name); !error.empty()) {
    ::close(fd);
    return error;
  }
  if (fd_ >= 0 && calls_.close(fd_) != 0 && diskError_.empty())
    diskError_ = SystemError("Cannot close the log", parts_.back(), errno);
  fd_ = fd;
  partBytes_ = 0;
  partRecords_ = 0;
  parts_.push_back(name);
  SyncThread::Part synced{{Duplicate(times_->Descriptor()), times_->Path()}, {Duplicate(fd), name}, {}};
  for (const auto& side : sides_) synced.sides.push_back({Duplicate(side->Descriptor()), side->Path()});
  sync_->Follow(std::move(synced));
  return {};
}

std::string LogPartWriter::Close() {
  std::string error;
  if (fd_ >= 0 && calls_.close(fd_) != 0) error = SystemError("Cannot close the log", parts_.back(), errno);
  fd_ = -1;
  times_.reset();
  sides_.clear();
  if (sync_) {
    sync_->Finish();
    if (std::string failed = TakeDiskError(); !failed.empty()) error = std::move(failed);
    sync_.reset();
  }
  return error;
}

std::string LogPartWriter::Append(std::string_view record, const ReceptionTime& time) {
  if (fd_ < 0) return "The log is not open.";
  if (pending_) return "A record waits to be written.";
  std::string bytes;
  bytes.reserve(record.size() + kCrLf.size());
  bytes.append(record).append(kCrLf);
  return Write({std::move(bytes), partRecords_ == recordsPerPart_, true, time});
}

std::string LogPartWriter::AppendBytes(std::string_view bytes) {
  if (fd_ < 0) return "The log is not open.";
  if (pending_) return "A record waits to be written.";
  return Write({std::string(bytes), false, false, {}});
}

std::string LogPartWriter::PendingText() const {
  if (!pending_) return {};
  const std::string& bytes = pending_->bytes;
  return pending_->isRecord ? bytes.substr(0, bytes.size() - kCrLf.size()) : bytes;
}

std::string LogPartWriter::WritePending() {
  if (!pending_) return {};
  if (fd_ < 0) return "The log is not open.";
  Pending pending = std::move(*pending_);
  pending_.reset();
  return Write(std::move(pending));
}

// The whole record at the end of the last complete one; on failure the part
// is cut back there and the record kept for WritePending.
std::string LogPartWriter::Write(Pending what) {
  if (what.startsPart) {
    if (std::string error = OpenPart(parts_.size()); !error.empty()) {
      pending_ = std::move(what);
      return error;
    }
    what.startsPart = false;
  }
  if (std::string error = what.isRecord ? WriteTime(what.time) : std::string(); !error.empty()) {
    pending_ = std::move(what);
    return error;
  }
  if (std::string error = WriteAt(what.bytes); !error.empty()) {
    [[maybe_unused]] const int cut = ::ftruncate(fd_, static_cast<off_t>(partBytes_));
    if (what.isRecord && timesWanted_) times_->RemoveLastLine();
    pending_ = std::move(what);
    return error;
  }
  partBytes_ += what.bytes.size();
  if (what.isRecord) {
    ++partRecords_;
    ++records_;
  }
  written_ = true;
  return {};
}

// The record's line in the part's times, its row the next of the part.
std::string LogPartWriter::WriteTime(ReceptionTime time) {
  if (!timesWanted_) return {};
  time.row = partRecords_ + 1;
  return times_->AppendLine(FormatReceptionTime(time));
}

std::string LogPartWriter::AppendSideLine(std::size_t side, std::string_view line) {
  if (side >= sides_.size()) return "The log is not open.";
  return sides_[side]->AppendLine(line);
}

std::vector<std::string> LogPartWriter::SideFilesOfPart(std::size_t index) const {
  std::vector<std::string> files;
  const std::string part = PartFileName(base_, index);
  if (timesWanted_) files.push_back(SideFileName(part, kTimesSuffix));
  for (const std::string& suffix : sideSuffixes_) files.push_back(SideFileName(part, suffix));
  return files;
}

std::string LogPartWriter::TakeSideError() {
  if (!sideError_.empty()) return std::exchange(sideError_, {});
  return sync_ ? sync_->TakeError(true) : std::string();
}

// One write normally; a short one (a limit reached part way) is followed by
// another for the rest, which then tells why it cannot go on.
std::string LogPartWriter::WriteAt(const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = calls_.pwrite(fd_, bytes.data() + done, bytes.size() - done,
                                          static_cast<off_t>(partBytes_ + done));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return SystemError("Cannot write the log", parts_.back(), written < 0 ? errno : EIO);
    done += static_cast<std::size_t>(written);
  }
  return {};
}

bool LogPartWriter::RequestSync() {
  if (!sync_ || !written_) return false;
  written_ = false;
  ++syncRequests_;
  sync_->Request();
  return true;
}

void LogPartWriter::WaitForSyncs() {
  if (sync_) sync_->Wait();
}

std::string LogPartWriter::TakeDiskError() {
  if (!diskError_.empty()) return std::exchange(diskError_, {});
  return sync_ ? sync_->TakeError(false) : std::string();
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
