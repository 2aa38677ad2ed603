// The serial break decoder: see FuzzTargets.h.
#include <string>
#include <vector>

#include "shell/ParmrkDecoder.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzTargets.h"

namespace tessaly::fuzz {

namespace {

using Piece = ParmrkDecoder::Piece;

// Appends pieces, joining data that follows data: the stream they stand for.
void AppendStream(std::vector<Piece>& stream, const std::vector<Piece>& pieces) {
  for (const Piece& piece : pieces) {
    if (!piece.Break && !stream.empty() && !stream.back().Break) stream.back().Data += piece.Data;
    else stream.push_back(piece);
  }
}

void CheckPieces(const std::vector<Piece>& pieces) {
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    Require(pieces[i].Break || !pieces[i].Data.empty(), "an empty data piece");
    Require(!pieces[i].Break || pieces[i].Data.empty(), "a break piece with data");
    if (i > 0) Require(pieces[i].Break || pieces[i - 1].Break, "two data pieces in a row");
  }
}

// The line as the port would deliver it with parity marking.
std::string Encode(const std::vector<Piece>& stream) {
  std::string bytes;
  for (const Piece& piece : stream) {
    if (piece.Break) bytes.append({'\xFF', '\0', '\0'});
    for (const char c : piece.Data) {
      if (c == '\xFF') bytes.push_back('\xFF');
      bytes.push_back(c);
    }
  }
  return bytes;
}

std::vector<Piece> DecodeInChunks(std::string_view bytes, const std::vector<std::size_t>& cuts) {
  ParmrkDecoder decoder;
  std::vector<Piece> stream;
  std::size_t start = 0;
  for (const std::size_t cut : cuts) {
    const std::size_t end = std::min(bytes.size(), std::max(start, cut));
    const std::vector<Piece> pieces = decoder.Feed(bytes.substr(start, end - start));
    CheckPieces(pieces);
    AppendStream(stream, pieces);
    start = end;
  }
  const std::vector<Piece> last = decoder.Feed(bytes.substr(start));
  CheckPieces(last);
  AppendStream(stream, last);
  return stream;
}

// A stream of breaks and bytes from input bytes: 0xFE stands for a break.
std::vector<Piece> StreamOf(std::string_view bytes) {
  std::vector<Piece> stream;
  for (const char c : bytes) AppendStream(stream, {c == '\xFE' ? Piece{true, {}} : Piece{false, std::string(1, c)}});
  return stream;
}

}  // namespace

int FuzzBreakDecoder(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  std::vector<std::size_t> cuts(input.Choice(8));
  for (std::size_t& cut : cuts) cut = input.Byte();
  const std::string_view bytes = input.Rest();

  const std::vector<Piece> whole = DecodeInChunks(bytes, {});
  Require(DecodeInChunks(bytes, cuts) == whole, "chunking changes the decoded stream", bytes);
  Require(DecodeInChunks(Encode(whole), cuts) == whole, "re-encoding the decoded stream changes it", bytes);

  const std::vector<Piece> stream = StreamOf(bytes);
  Require(DecodeInChunks(Encode(stream), cuts) == stream, "an encoded stream does not decode to itself", bytes);
  return 0;
}

}  // namespace tessaly::fuzz
