// LogPartWriter: the log files of a live session, written so that no valid
// record is lost or written twice.
//
// A session's records go into parts of a fixed number of records: the chosen
// name first (survey.kvl), then the name with "_1", "_2", ... before the
// extension (survey_1.kvl). Each record is written with one write(2) of the
// whole record and CR LF, so it has reached the operating system when Append
// returns. Syncing to disk (fdatasync) runs on a thread of the writer's own,
// when the owner asks (RequestSync), so the caller never waits for the disk;
// a failed sync or close is kept and handed out by TakeDiskError, since it
// means records said to be written may not be on the disk.
//
// A failed or short write (disk full, file-size limit, medium gone)
// truncates the part back to the end of its last complete record and keeps
// the record pending: nothing is appended until WritePending has written it,
// so after the cause is gone the session goes on with nothing lost and
// nothing twice. Messages name the system's own reason (errno).
//
// Comments: the comment of a session row goes to the comments file of the
// part holding the row, keyed by the row's number within that part, so that
// each part opened as a document shows its comments on its own records.
//
// Side files (SideFile.h), created with each part and named after it: the
// reception times (survey.kvl.times) when asked for, a line a record written
// just before the record (a record that then fails takes its line back out,
// so the part and its times keep the same rows), and the owner's own files
// (survey.kvl.nmea, survey.kvl.cable), lines it writes with AppendSideLine.
// A sync syncs the times, the part, then the times again: every record the
// sync made durable had its time written before the second sync of the
// times. A failed write or sync of the times is a failed write of the
// record; a failure of the owner's files is handed out apart
// (TakeSideError) and never stops the records.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Comments.h"
#include "core/ReceptionTimes.h"
#include "core/SideFile.h"

namespace tessaly {

inline constexpr std::size_t kRecordsPerPart = 33000;

// Part `index` of a session named `base`: base itself for 0, else base with
// "_" and index inserted before the extension (the text from the last "."
// of the file name; appended when the file name has none).
std::string PartFileName(const std::string& base, std::size_t index);

// Every later part (1, 2, ...) of `base` that exists, in order of its
// number, gaps or not.
std::vector<std::string> ExistingLaterParts(const std::string& base);

// The system calls the writer makes on its files; tests replace them to make
// a write, a sync or a close fail as a failing disk would.
struct LogFileCalls {
  std::function<ssize_t(int fd, const void* data, std::size_t size, off_t offset)> pwrite;
  std::function<int(int fd)> fdatasync;
  std::function<int(int fd)> close;
  static LogFileCalls System();
};

class LogPartWriter {
 public:
  // Decides whether a part may be created (replacing a file of its name):
  // empty text when it may, else why not.
  using CreateGuard = std::function<std::string(const std::string& path)>;

  explicit LogPartWriter(std::size_t recordsPerPart = kRecordsPerPart, LogFileCalls calls = LogFileCalls::System());
  ~LogPartWriter();
  LogPartWriter(const LogPartWriter&) = delete;
  LogPartWriter& operator=(const LogPartWriter&) = delete;

  // Every part is created only when the guard allows it (default: always).
  void SetCreateGuard(CreateGuard guard) { guard_ = std::move(guard); }
  // The side files every part gets from the next Open on: the reception
  // times when `times`, and one file per suffix (".nmea") written by
  // AppendSideLine(index in `suffixes`).
  void SetSideFiles(bool times, std::vector<std::string> suffixes);

  // Creates (or empties) the first part. Empty text on success, else why not
  // (nothing is open then).
  std::string Open(const std::string& base);
  // Syncs and closes the current part; the session's names and comments
  // stay readable until the next Open. Empty text, or why the last records
  // may not be on the disk (a failed sync or close, before or now).
  std::string Close();
  bool IsOpen() const { return fd_ >= 0; }

  // Writes one record and CR LF, starting the next part when the current one
  // is full; with reception times on, its line goes to the part's times file
  // first (the row is the record's in its part). Empty text on success; else
  // why not, and the record is pending. Refused while a record is pending.
  std::string Append(std::string_view record, const ReceptionTime& time = {});
  // Writes bytes exactly as given (a raw capture): no line end, no record
  // count, no part change. Empty text on success; else as Append.
  std::string AppendBytes(std::string_view bytes);
  bool HasPending() const { return pending_.has_value(); }
  // The pending bytes as Append or AppendBytes was given them.
  std::string PendingText() const;
  // Writes the pending record; empty text when it was written (or none was
  // pending).
  std::string WritePending();
  // Gives up the pending record (it is kept elsewhere now).
  void DropPending() { pending_.reset(); }

  // Writes a line to side file `side` (SetSideFiles) of the current part.
  // Empty text on success, else why not (the file keeps its whole lines).
  std::string AppendSideLine(std::size_t side, std::string_view line);
  // The side files of part `index`, the times first.
  std::vector<std::string> SideFilesOfPart(std::size_t index) const;
  // The first failed sync or close of a side file of the owner's since the
  // last call; empty when none.
  std::string TakeSideError();

  // Asks the sync thread to sync the current part when anything was written
  // since the last request; true when it asked.
  bool RequestSync();
  // Waits until the syncs asked for so far have been done.
  void WaitForSyncs();
  // The first failed sync or close since the last call; empty when none.
  std::string TakeDiskError();

  std::size_t RecordsPerPart() const { return recordsPerPart_; }
  std::uint64_t RecordCount() const { return records_; }
  const std::string& BaseName() const { return base_; }
  // The names of the parts started so far, first to current.
  const std::vector<std::string>& Parts() const { return parts_; }
  std::size_t PartOfRow(std::uint64_t row) const { return static_cast<std::size_t>((row - 1) / recordsPerPart_); }
  std::uint64_t RowInPart(std::uint64_t row) const { return (row - 1) % recordsPerPart_ + 1; }

  // Stores the comment of log row `row` (1-based, counting the records
  // written) in its part's comments file. Empty text on success, else why not.
  std::string SetComment(std::uint64_t row, std::string_view comment);
  // The comments file of part `index`; empty when the part's name allows none.
  std::string CommentsFileOfPart(std::size_t index) const;

  // Syncs asked of the sync thread so far, and syncs it has done.
  std::uint64_t SyncRequests() const { return syncRequests_; }
  std::uint64_t SyncCount() const;

 private:
  class SyncThread;
  struct Pending {
    std::string bytes;
    bool startsPart;
    bool isRecord;
    ReceptionTime time;
  };

  std::string OpenPart(std::size_t index);
  std::string OpenSideFiles(const std::string& part);
  std::string Write(Pending what);
  std::string WriteTime(ReceptionTime time);
  std::string WriteAt(const std::string& bytes);

  std::size_t recordsPerPart_;
  LogFileCalls calls_;
  CreateGuard guard_;
  bool timesWanted_ = false;
  std::vector<std::string> sideSuffixes_;
  std::unique_ptr<SideFileWriter> times_;               // of the current part
  std::vector<std::unique_ptr<SideFileWriter>> sides_;  // of the current part, by suffix
  std::string base_;
  std::vector<std::string> parts_;
  std::map<std::size_t, CommentsStore> comments_;
  int fd_ = -1;
  std::uint64_t partBytes_ = 0;   // end of the last complete record in the part
  std::uint64_t partRecords_ = 0;
  std::uint64_t records_ = 0;
  bool written_ = false;          // since the last sync request
  std::uint64_t syncRequests_ = 0;
  std::string diskError_;         // a close of this thread's own that failed
  std::string sideError_;         // a side file of the owner's that could not be created
  std::optional<Pending> pending_;
  std::unique_ptr<SyncThread> sync_;
};

}  // namespace tessaly
