#include "tools/sim/LineClock.h"

#include <cmath>

namespace tessaly::sim {

// Bits per byte come in halves (1.5 stop bits), so half-bit nanoseconds
// over twice the baud rate give a byte's time as an exact fraction.
LineClock::LineClock(const LineSettings& line, TimePoint start) : anchor_(start) {
  const auto halfBits = static_cast<std::uint64_t>(std::lround(line.BitsPerByte() * 2.0));
  const std::uint64_t nanos = halfBits * 1000000000u;
  divisor_ = 2u * static_cast<std::uint64_t>(line.baud);
  whole_ = nanos / divisor_;
  fraction_ = nanos % divisor_;
}

LineClock::TimePoint LineClock::At(std::uint64_t bytes) const {
  // Rounded up: a byte is never taken to have left the line early.
  const std::uint64_t nanos = bytes * whole_ + (bytes * fraction_ + divisor_ - 1) / divisor_;
  return anchor_ + std::chrono::nanoseconds(static_cast<Clock::rep>(nanos));
}

LineClock::TimePoint LineClock::FreeAt() const { return At(bytesSinceAnchor_); }

LineClock::TimePoint LineClock::Send(std::size_t bytes, TimePoint notBefore) {
  if (notBefore > FreeAt()) {
    anchor_ = notBefore;
    bytesSinceAnchor_ = 0;
  }
  bytesSinceAnchor_ += bytes;
  return FreeAt();
}

void LineClock::Idle(Clock::duration duration) {
  anchor_ = FreeAt() + duration;
  bytesSinceAnchor_ = 0;
}

void LineClock::RestartAt(TimePoint now) {
  if (now <= FreeAt()) return;
  anchor_ = now;
  bytesSinceAnchor_ = 0;
}

}  // namespace tessaly::sim
