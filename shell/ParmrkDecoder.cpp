#include "shell/ParmrkDecoder.h"

namespace tessaly {
namespace {

constexpr char kMark = '\xFF';

void AppendByte(std::vector<ParmrkDecoder::Piece>& pieces, char byte) {
  if (pieces.empty() || pieces.back().Break) pieces.push_back({});
  pieces.back().Data.push_back(byte);
}

}  // namespace

std::vector<ParmrkDecoder::Piece> ParmrkDecoder::Feed(std::string_view chunk) {
  std::vector<Piece> pieces;
  for (const char byte : chunk) {
    switch (state_) {
      case State::Plain:
        if (byte == kMark) state_ = State::AfterMark;
        else AppendByte(pieces, byte);
        break;
      case State::AfterMark:
        state_ = State::Plain;
        if (byte == '\0') {
          state_ = State::AfterMarkZero;
        } else if (byte == kMark) {
          AppendByte(pieces, kMark);
        } else {  // not a marked sequence: pass both bytes on
          AppendByte(pieces, kMark);
          AppendByte(pieces, byte);
        }
        break;
      case State::AfterMarkZero:
        state_ = State::Plain;
        if (byte == '\0') pieces.push_back({true, {}});
        else AppendByte(pieces, byte);
        break;
    }
  }
  return pieces;
}

}  // namespace tessaly
