// The files a live session on a chosen name would meet: the log itself, the
// later parts of an earlier session of that name and the comments and events
// files of all of them. A session replaces them only with the user's
// consent; it never deletes a comments file (a log of another kind may
// share its name) or an events file but sets it aside under a new name, so
// that old comments and events do not attach to the new records.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "core/OutputRule.h"

namespace tessaly {

struct EarlierLogFiles {
  std::vector<std::string> logs;      // the chosen log and every later part that exist
  std::vector<std::string> comments;  // the comments files of the log and its parts that exist
  std::vector<std::string> events;    // the events files of the log and its parts that exist

  bool Empty() const { return logs.empty() && comments.empty() && events.empty(); }
  // The comments and events files: set aside, never replaced.
  std::vector<std::string> SetAside() const;
  // Whether anything beyond the chosen log itself would be met.
  bool BeyondTheLog(const std::string& base) const;
};

EarlierLogFiles FindEarlierLogFiles(const std::string& base);

// "survey_1.kvl, survey_2.kvl, survey.cmt": the files by name, at most
// `most` of them, then "...".
std::string ListFileNames(const EarlierLogFiles& files, std::size_t most = 6);

// Where a comments file is set aside: "survey.cmt" becomes
// "survey.cmt.replaced", or "survey.cmt.replaced-2", ... when that is taken.
std::string SetAsideName(const std::string& path);
// Renames every file to its set-aside name. Empty text, or why a file
// could not be (the ones before it are set aside already).
std::string SetAsideFiles(const std::vector<std::string>& files);

// The one decision whether a live session may create a log part at `path`,
// by the program's output rule (CheckOutput, as acquisition): never over a
// file an open window uses (`guarded`), over any other existing file only
// when the user agreed to replace it (`consented`). Empty text when it may,
// else why not.
std::string MayCreateLogPart(const std::string& path, const std::vector<std::string>& consented,
                             std::span<const GuardedFile> guarded);

}  // namespace tessaly
