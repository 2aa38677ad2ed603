// The rules a live record must keep before it is parsed. An instrument sends
// short lines of printable text; anything longer, or holding other bytes
// (line noise, a terminal's escape sequences, a wrong baud rate), is refused
// with a message of its own, so that it is listed but never written.
// Records of opened files are judged by the parser alone.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tessaly {

inline constexpr std::size_t kMaxLiveRecordBytes = 256;

inline constexpr std::string_view kLiveRecordTooLong = "Record longer than 256 bytes";
inline constexpr std::string_view kLiveRecordNotText = "Record holds bytes that are not printable text";

// Why `record` is refused; empty when it goes on to the parser.
std::string_view LiveRecordProblem(std::string_view record);

// The record as an error list shows a refused one: at most
// kMaxLiveRecordBytes of it.
std::string ShownRejectedText(std::string_view record);

}  // namespace tessaly
