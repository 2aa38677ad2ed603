#include "core/BackgroundWriter.h"

#include "core/WriteAll.h"

namespace tessaly {

BackgroundWriter::BackgroundWriter(int fd) : fd_(fd), thread_([this] { Run(); }) {}

BackgroundWriter::~BackgroundWriter() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void BackgroundWriter::Write(std::string& data) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !hasPending_; });
  if (failure_ == 0) {
    pending_.swap(data);
    hasPending_ = true;
    changed_.notify_all();
  }
  data.clear();
}

int BackgroundWriter::Finish() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !hasPending_ && !writing_; });
  return failure_;
}

int BackgroundWriter::Failure() {
  std::lock_guard lock(mutex_);
  return failure_;
}

void BackgroundWriter::Run() {
  std::string writing;
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return hasPending_ || stopping_; });
    if (!hasPending_) return;
    writing.swap(pending_);
    hasPending_ = false;
    writing_ = true;
    changed_.notify_all();
    lock.unlock();
    const int failure = WriteAll(fd_, writing);
    writing.clear();
    lock.lock();
    writing_ = false;
    if (failure_ == 0) failure_ = failure;
    changed_.notify_all();
  }
}

}  // namespace tessaly
