// SideFile: the text files written beside each part of a live session
// (survey.kvl.times, survey.kvl.nmea, survey.kvl.cable), named after the
// part's full name, and the line-by-line reading of them.
//
// SideFileWriter appends one line at a time with one pwrite(2) of the line
// and CR LF, so a line has reached the operating system when AppendLine
// returns; a failed or short write cuts the file back to the end of its last
// whole line. Syncing is the caller's: the session's part writer syncs a
// part's side files with the part (Descriptor gives what its sync thread
// duplicates), the reception times before the records, so that a record
// made durable has its time made durable too.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tessaly {

inline constexpr std::string_view kTimesSuffix = ".times";
inline constexpr std::string_view kNmeaSuffix = ".nmea";
inline constexpr std::string_view kCableSuffix = ".cable";

// "survey.kvl" + ".times".
std::string SideFileName(std::string_view part, std::string_view suffix);

class SideFileWriter {
 public:
  // The pwrite(2) the writer calls; tests replace it to make a write fail as
  // a failing disk would.
  using WriteCall = std::function<ssize_t(int fd, const void* data, std::size_t size, off_t offset)>;

  // `write` empty: the system's pwrite(2).
  explicit SideFileWriter(WriteCall write = {});
  ~SideFileWriter();
  SideFileWriter(const SideFileWriter&) = delete;
  SideFileWriter& operator=(const SideFileWriter&) = delete;

  // Creates (or empties) the file. Empty text on success, else why not.
  std::string Open(const std::string& path);
  // Writes `line` and CR LF. Empty text on success, else why not (the file
  // then ends with its last whole line).
  std::string AppendLine(std::string_view line);
  // Takes the last line written back out (its record could not follow it).
  void RemoveLastLine();
  // fdatasync; empty text on success, else why not.
  std::string Sync();
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  int Descriptor() const { return fd_; }
  const std::string& Path() const { return path_; }

 private:
  WriteCall write_;
  std::string path_;
  int fd_ = -1;
  std::uint64_t bytes_ = 0;
  std::uint64_t lastLineStart_ = 0;
};

// Lines longer than this are cut there when read: no line these files hold
// comes near it, and a file of noise must not fill the memory.
inline constexpr std::size_t kMaxSideLineChars = 1024;

// Calls `onLine` with every line of a file (without CR LF, LF or CR), and its
// 1-based number, in order. Empty text when the file was read to its end,
// else why not (a file that does not exist, a folder).
std::string ForEachLine(const std::string& path,
                        const std::function<void(std::string_view line, std::uint64_t number)>& onLine);

}  // namespace tessaly
