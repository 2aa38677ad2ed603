// Survey lines: the straight runs a survey is made of, cut out of a log so
// that a processor receives one block per line and no turns.
//
// Two finders decide them, each fed the records one by one in grid order
// and keeping only a bounded amount of state (no record is held):
// CourseLineFinder (CourseLines.h) finds the lines from the positions, and
// MarkLineFinder (LineMarks.h) takes the lines the operator marked with
// "SOL" and "EOL" comments. SurveyLineFinder runs both and chooses: the
// operator's marks win where present.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/CourseLines.h"
#include "core/LineMarks.h"

namespace tessaly {

// How a log is cut into lines.
enum class LineMode : std::uint8_t {
  Auto,   // the operator's marks where the log has any, else the course
  Marks,  // the operator's marks only
  None,   // no lines
};

// "auto", "marks", "none"; none for any other text.
std::optional<LineMode> LineModeNamed(std::string_view name);

// Runs both finders over the records and picks the lines by the mode.
class SurveyLineFinder {
 public:
  explicit SurveyLineFinder(LineMode mode, const CourseLineSettings& course = {});

  // The next record: its position in metres (easting, northing in one UTM
  // zone), none when it has none, and its comment (empty when none).
  void Add(std::optional<PlanePoint> position, std::string_view comment);
  // The lines, numbered in order from 1. Call once, after the last record.
  std::vector<SurveyLine> Finish();
  // Whether Finish took the operator's marks.
  bool UsedMarks() const { return usedMarks_; }

 private:
  LineMode mode_;
  bool usedMarks_ = false;
  CourseLineFinder course_;
  MarkLineFinder marks_;
};

}  // namespace tessaly
