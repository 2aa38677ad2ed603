// Scrambling of one settings value into one line of a Lib/*.ega file.
//
// A value of n bytes is stored as a line of n + 90 bytes: 40 filler bytes
// (random codes 100..199), the value bytes each raised by 100 modulo 256, then
// 50 filler bytes. Decoding takes the bytes from position 41 up to the length
// less 50 and lowers each by 100 modulo 256; a line shorter than 91 bytes
// decodes to the empty value. Filler bytes are ignored whatever their codes.
//
// Value bytes 166 and 169 would be stored as LF and CR and split the line.
// Only a value holding such a byte is stored differently, so that every other
// value is stored exactly as above:
//   - the first filler byte is the marker kEscapedLineMarker ('!', outside
//     100..199 and never CR or LF), which a plain filler never is;
//   - in the stored value bytes, kEscapeByte ('!') is followed by one code:
//     '0' for a stored LF, '1' for a stored CR, '!' for a stored '!' itself.
// The stored line then holds neither CR nor LF, and DecodeLine reverses it.
#pragma once

#include <string>
#include <string_view>

namespace tessaly {

inline constexpr char kEscapedLineMarker = '!';
inline constexpr char kEscapeByte = '!';

// The escaping above on its own: LF becomes kEscapeByte '0', CR becomes
// kEscapeByte '1' and kEscapeByte itself is doubled, so the result holds
// neither CR nor LF. Unescaping reverses it.
std::string EscapeLineEnds(std::string_view text);
std::string UnescapeLineEnds(std::string_view text);

// The stored line for value (without line end).
std::string EncodeLine(std::string_view value);

// The value stored in line (a line without its line end).
std::string DecodeLine(std::string_view line);

}  // namespace tessaly
