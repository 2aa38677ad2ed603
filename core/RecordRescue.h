// The last resort of a live session that ends with records it could not
// write to its log: they go to a rescue file of their own, named after the
// log and beside it ("survey.kvl" gives "survey-rescued.kvl"), or, when that
// folder refuses it too, in a fallback folder (the user's settings folder).
// A rescue file is new (an existing file of its name is never touched: the
// name takes a number instead) and holds the records as the log would have,
// so that it opens as a log of the same kind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessaly {

struct RescueResult {
  std::string file;           // where the records are; empty when nowhere
  std::uint64_t written = 0;  // records in it
  std::string problem;        // why the records are not beside the log, or nowhere
};

// The rescue file name of `log` in `folder` (the log's own folder when
// empty); `number` 1 for the first choice, then 2, 3, ...
std::string RescueFileName(const std::string& log, const std::string& folder, int number);

// Writes `pieces` to a new rescue file of `log`: each followed by CR LF when
// `lineBreaks` is set (records), as they are otherwise (raw chunks). Synced
// to disk before it counts as written.
RescueResult RescueRecords(const std::vector<std::string>& pieces, bool lineBreaks, const std::string& log,
                           const std::string& fallbackFolder);

}  // namespace tessaly
