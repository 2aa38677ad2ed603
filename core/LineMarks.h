// The operator's line marks: a comment that starts with "SOL" (start of
// line, optionally followed by the line's name) or "EOL" (end of line),
// typed on a row or given by a function key while logging.
//
// The word is matched without regard to case and must stand alone: "SOL",
// "sol 12", "SOL: L1001", "EOL." are marks; "Solent buoy" is not. The name
// is what follows, without the blanks and the punctuation (":", "-", "=",
// "#") that separate it from the word.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/CourseLines.h"

namespace tessaly {

struct LineMark {
  enum class Kind : std::uint8_t { StartOfLine, EndOfLine };
  Kind kind;
  std::string_view name;  // StartOfLine only; may be empty
};

// The mark a comment makes; none when it makes none.
std::optional<LineMark> ReadLineMark(std::string_view comment);

// Lines from the marks of the records, fed one by one: a line runs from
// its SOL record to its EOL record, both included. A SOL while a line is
// open ends that line on the record before; an EOL without an open line is
// ignored; a line still open at the end ends with the last record.
class MarkLineFinder {
 public:
  // The next record's comment (empty when none).
  void Add(std::string_view comment);
  // Whether any record so far carries a SOL mark.
  bool HasMarks() const { return marked_; }
  // The lines, in order. Call once, after the last record.
  std::vector<SurveyLine> Finish();

 private:
  void Close(std::uint64_t last);

  std::uint64_t records_ = 0;
  bool marked_ = false;
  std::optional<SurveyLine> open_;
  std::vector<SurveyLine> lines_;
};

}  // namespace tessaly
