#include "CliProgress.h"

#include <unistd.h>

#include <algorithm>

namespace tessaly::cli {

namespace {

// "\r" back to the line's start, then erase to its end.
constexpr const char* kClearLine = "\r\033[K";

}  // namespace

ProgressLine::ProgressLine(std::FILE* out, bool enabled, const Clock& clock)
    : out_(out), enabled_(enabled), clock_(clock) {}

ProgressLine::~ProgressLine() {
  if (!drawn_) return;
  std::fputs(kClearLine, out_);
  std::fflush(out_);
}

bool ProgressLine::StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) != 0; }

void ProgressLine::Show(std::uint64_t done, std::uint64_t total, std::uint64_t records) {
  if (!enabled_) return;
  const std::int64_t now = clock_.MonotonicNs();
  if (drawn_ && now - lastDrawNs_ < kRedrawNs) return;
  drawn_ = true;
  lastDrawNs_ = now;
  std::fputs(kClearLine, out_);
  if (total > 0) {
    const double share = std::min(1.0, static_cast<double>(done) / static_cast<double>(total));
    std::fprintf(out_, "Exporting: %d%%, ", static_cast<int>(share * 100.0));
  } else {
    std::fputs("Exporting: ", out_);
  }
  std::fprintf(out_, "%llu records", static_cast<unsigned long long>(records));
  std::fflush(out_);
}

}  // namespace tessaly::cli
