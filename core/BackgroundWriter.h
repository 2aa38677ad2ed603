// BackgroundWriter: writes a file's buffers on a thread of its own, so the
// thread that makes the text goes on making the next buffer while the
// operating system copies the last one (for an export written after its
// records have been read, that copy is half the time). One buffer is written
// while the next is filled; Write waits when both are full.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace tessaly {

class BackgroundWriter {
 public:
  explicit BackgroundWriter(int fd);
  // Writes what was handed over, then ends the thread; the file stays open.
  ~BackgroundWriter();
  BackgroundWriter(const BackgroundWriter&) = delete;
  BackgroundWriter& operator=(const BackgroundWriter&) = delete;

  // Takes `data` to write and gives back an empty buffer (with room) in its
  // place. After a failure nothing more is written.
  void Write(std::string& data);
  // Waits until everything handed over is written: 0, or the errno of the
  // first write that failed.
  int Finish();
  // The errno of the first write that failed so far, else 0.
  int Failure();

 private:
  void Run();

  int fd_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::string pending_;  // handed over, not yet taken by the thread
  bool hasPending_ = false;
  bool writing_ = false;
  bool stopping_ = false;
  int failure_ = 0;
  std::thread thread_;  // last: started once the rest is set up
};

}  // namespace tessaly
