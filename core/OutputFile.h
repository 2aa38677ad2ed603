// OutputFile: a file written through a large buffer, for the exports and the
// comments file. Errors are kept, not thrown: the first one stops further
// writing and is reported by Close.
//
// A long file is written on a thread of its own (BackgroundWriter) from its
// first full buffer on, while the caller fills the next.
//
// Replace mode never leaves a half-written file under the path: the bytes go
// to a new temporary file in the same folder, which Close flushes to the disk
// and renames over the path; a failure (disk full, say) removes the temporary
// file and leaves any earlier file of that name as it was.
#pragma once

#include <memory>
#include <span>
#include <string>

#include "core/BackgroundWriter.h"

namespace tessaly {

class OutputFile {
 public:
  enum class Mode {
    Truncate,  // create or truncate the file itself and write into it
    Replace,   // write beside it, rename over it when closed
  };

  OutputFile() = default;
  // Closes the file; in Replace mode without a Close, the temporary file is
  // removed and the path keeps its earlier file.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // False with the reason in Error(). Replace mode refuses a folder; a
  // symbolic link is followed, so the file it points to is the one replaced,
  // and keeps its permissions. A device or a FIFO (/dev/stdout) has nothing
  // to replace: it is written in place.
  bool Open(const std::string& path, Mode mode = Mode::Truncate);
  // The buffer to append to; flushed by Commit when it has grown large.
  std::string& Buffer() { return buffer_; }
  void Commit();
  // Writes `piece` after what the buffer holds, taking the string over
  // rather than copying it: for pieces made whole elsewhere (on other
  // threads). `piece` is left empty.
  void Take(std::string& piece);
  // Writes what is left and closes (Replace mode: renames into place). False
  // when any step failed.
  bool Close();
  const std::string& Error() const { return error_; }

 private:
  bool OpenReplacement(const std::string& path);
  void Flush();
  void HandOver(std::string& text);
  void FinishWriting();
  void Fail(const std::string& what, int error);
  void RemoveTemporary();

  int fd_ = -1;
  std::string path_;  // where the file ends up
  std::string temp_;  // Replace mode: where it is written
  int tempSlot_ = -1; // its entry among the replacements removed on a signal
  std::string buffer_;
  std::string error_;
  std::unique_ptr<BackgroundWriter> writer_;  // from the first full buffer on
};

// Writes `lines`, each ended by CR LF, to path in Replace mode. Returns why
// it failed, empty when written.
std::string ReplaceWithLines(const std::string& path, std::span<const std::string> lines);

// Makes SIGINT, SIGTERM and SIGHUP remove the temporary files of the
// replacements under way, then end the program as the signal would have: for
// a program without handlers of its own (tessaly-cli), so that Ctrl-C or kill
// leaves no temporary file behind.
void RemoveReplacementsOnSignals();

}  // namespace tessaly
