// The last resort of a live session that ends with records it could not
// write to its log: they go to a rescue file of their own, named after the
// log and beside it ("survey.kvl" gives "survey-rescued.kvl"), and what that
// folder does not take (a full disk, a file-size limit, a folder gone) to a
// rescue file in a fallback folder (the user's settings folder). A rescue
// file is new (an existing file of its name is never touched: the name
// takes a number instead), holds whole records in order as the log would
// have, so that it opens as a log of the same kind, and is synced to disk.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessaly {

struct RescueFile {
  std::string path;
  std::uint64_t records = 0;
};

struct RescueResult {
  std::vector<RescueFile> files;  // in order: the records of the first come first
  std::uint64_t written = 0;      // records in them
  std::string problem;            // why some are not beside the log, or nowhere
};

// The rescue file name of `log` in `folder` (the log's own folder when
// empty); `number` 1 for the first choice, then 2, 3, ...
std::string RescueFileName(const std::string& log, const std::string& folder, int number);

// Writes `pieces` to new rescue files of `log`: each followed by CR LF when
// `lineBreaks` is set (records), as they are otherwise (raw chunks); as many
// as the log's folder takes there, the rest in `fallbackFolder`.
RescueResult RescueRecords(const std::vector<std::string>& pieces, bool lineBreaks, const std::string& log,
                           const std::string& fallbackFolder);

}  // namespace tessaly
