// A file-size limit for the test process (RLIMIT_FSIZE): a write past it
// fails as on a full disk, deterministically and also for root. SIGXFSZ is
// ignored so the write returns its error. The old limit comes back at the
// end of the scope.
#pragma once

#include <signal.h>
#include <sys/resource.h>

namespace tessaly::testing {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved_); }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
};

}  // namespace tessaly::testing
