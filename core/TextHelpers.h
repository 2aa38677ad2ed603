// Small text helpers shared by the record parser, the document, the loggers
// and the navigation import. Text is bytes; every function works on views and
// never allocates unless it returns a new string.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessaly {

// Field `index` (0-based) of `text` split at `separator`; empty beyond the
// last field. A negative index reads as 0. The view points into `text`.
std::string_view FieldAt(std::int32_t index, char separator, std::string_view text);

// Optional leading blanks, optional sign, decimal digits, nothing after; the
// value must fit a signed 32-bit integer.
bool ParseInteger(std::string_view text, std::int32_t& value);
bool IsInteger(std::string_view text);

// A whole number, or two whole numbers joined by the first "."; "," is never a
// decimal point here.
bool IsNumber(std::string_view text);

// Number of characters of `text` that belong to `set`.
std::int32_t CountCharsInSet(std::string_view text, std::string_view set);

// Occurrences of `substring` in `text`, overlapping ones included; an empty
// substring occurs nowhere.
std::int32_t CountOccurrences(std::string_view substring, std::string_view text);

bool DirectoryExists(const std::string& path);

// Creates every missing directory of `path`; true on success. Throws
// std::invalid_argument for an empty path.
bool ForceDirectories(const std::string& path);

}  // namespace tessaly
