// The progress of a long command on standard error, for a person watching a
// terminal: "Exporting: 42%, 123456 records" on one line, redrawn at most
// four times a second and cleared when the command ends. Nothing at all is
// written when the stream is not a terminal, so scripts and logs stay clean.
#pragma once

#include <cstdint>
#include <cstdio>

#include "core/Clock.h"

namespace tessaly::cli {

class ProgressLine {
 public:
  // Draws on `out` when `enabled`; `clock` paces the redrawing.
  ProgressLine(std::FILE* out, bool enabled, const Clock& clock);
  // Clears the line when one was drawn.
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // A line on standard error, drawn when standard error is a terminal.
  static bool StandardErrorIsTerminal();

  // `done` of `total` bytes read (no percentage when `total` is 0),
  // `records` records written. Drawn at once the first time, then only when
  // the last drawing is kRedrawNs old.
  void Show(std::uint64_t done, std::uint64_t total, std::uint64_t records);

  static constexpr std::int64_t kRedrawNs = 250 * kNsPerMs;

 private:
  std::FILE* out_;
  bool enabled_;
  const Clock& clock_;
  bool drawn_ = false;
  std::int64_t lastDrawNs_ = 0;
};

}  // namespace tessaly::cli
