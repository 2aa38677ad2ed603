// The files of a tessaly-cli command. The input is checked before it is read;
// the outputs are checked against the input, its comments file and each
// other; each output is written to a temporary file beside it that replaces
// it only once the whole export has succeeded, so a failed or interrupted
// export never leaves a half-written file in place of an earlier one.
#pragma once

#include <string>
#include <vector>

namespace tessaly::cli {

// Why a command cannot read `path`: a folder, a FIFO or a device; empty for a
// regular file and for a path that does not exist (reported where it is read).
std::string InputFileProblem(const std::string& path);

// A file a command reads or writes, with the words a message names it by.
struct RoleFile {
  std::string path;
  std::string role;  // "the log", "the output file", ...
};

// The refusal when an output is one of the inputs or the same file as another
// output, whatever the spelling of the paths: compared by device and inode
// where both exist, otherwise by their absolute, normalised paths (symbolic
// links resolved). Empty when there is none.
std::string OutputClash(const std::vector<RoleFile>& inputs, const std::vector<RoleFile>& outputs);

// One output of an export. A regular file (or a new one) is written through a
// temporary file in the same folder, renamed over the target by Commit and
// removed otherwise, also when the program is ended by SIGINT, SIGTERM or
// SIGHUP. A device or a FIFO is written in place; a folder is refused.
class StagedOutput {
 public:
  explicit StagedOutput(std::string target);
  ~StagedOutput();
  StagedOutput(const StagedOutput&) = delete;
  StagedOutput& operator=(const StagedOutput&) = delete;

  // Creates the temporary file. False with the reason in `error`.
  bool Prepare(std::string& error);
  // The path the export writes to.
  const std::string& WritePath() const { return temp_.empty() ? target_ : temp_; }
  // Flushes the written file to the disk and renames it over the target.
  bool Commit(std::string& error);
  // A message of the writer with the temporary file's name replaced by the
  // target's.
  std::string InTargetTerms(std::string message) const;

 private:
  void Discard();

  std::string target_;       // as given, for messages
  std::string destination_;  // the file the rename replaces (links followed)
  std::string temp_;
};

}  // namespace tessaly::cli
