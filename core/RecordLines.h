// RecordLines: the survey line of every record of an open document, for the
// views that show the lines (the profile chart and the track). Worked out
// once, when the window shows the document, by the finder the exports use
// in its automatic mode (the operator's SOL and EOL marks where the log has
// any, else the course) on the positions the track draws; the views ask
// it and never find lines themselves. It holds the lines, not the records.
#pragma once

#include <cstddef>
#include <vector>

#include "core/CourseLines.h"

namespace tessaly {

class RecordSource;

class RecordLines {
 public:
  RecordLines() = default;
  // `lines` in record order, not overlapping (as the finders give them).
  explicit RecordLines(std::vector<SurveyLine> lines);

  const std::vector<SurveyLine>& Lines() const { return lines_; }
  // The number (from 1) of the line holding record `record` (0-based);
  // 0 for a record between lines.
  std::size_t LineOf(std::size_t record) const;
  // The index in Lines() of the first line that ends at or after `record`;
  // Lines().size() when none does. A view walks the lines it shows from
  // there.
  std::size_t FirstLineFrom(std::size_t record) const;

 private:
  std::vector<SurveyLine> lines_;
};

// The lines of a source's records, on map datum `mapDatum`'s ellipsoid.
RecordLines FindRecordLines(const RecordSource& source, int mapDatum);

}  // namespace tessaly
