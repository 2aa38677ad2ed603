// Decodes the byte stream of a serial line read with parity marking (termios
// PARMRK without IGNPAR and IGNBRK/BRKINT): a line break arrives as
// 0xFF 0x00 0x00, a byte received with a parity or framing error as
// 0xFF 0x00 <byte>, and a real 0xFF byte doubled as 0xFF 0xFF. The decoder
// keeps its state between chunks, so a sequence split over two reads is
// still recognised.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

class ParmrkDecoder {
 public:
  // One piece of the decoded stream: received bytes, or a break.
  struct Piece {
    bool Break = false;
    std::string Data;
    bool operator==(const Piece&) const = default;
  };

  // Decodes a chunk into pieces in arrival order: bytes (a 0xFF once, a
  // byte with an error passed on as received) and breaks.
  std::vector<Piece> Feed(std::string_view chunk);
  // Forgets a sequence cut off by closing the port.
  void Reset() { state_ = State::Plain; }

 private:
  enum class State { Plain, AfterMark, AfterMarkZero };
  State state_ = State::Plain;
};

}  // namespace tessaly
