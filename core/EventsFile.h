// The events file of a log part ("survey.kvl.events" beside "survey.kvl"):
// the survey's watch log. One line an event, fields separated by a tab,
// lines ended by LF, appended as the events happen:
//
//   time                      row   event          state    value  text
//   2026-12-09T18:33:18.123Z  1234  No data        alarm    3.2    s without a valid record
//   2026-12-09T18:33:19.020Z  1235  No data        normal   0
//   2026-12-09T18:40:02.500Z  5120  Comment                        crossing the cable route
//   2026-12-09T18:41:00.000Z  5700  Mark           F11             start of line 7
//
// time   UTC of the event (FormatUtcMillis)
// row    the part's grid row of the last record received when it happened
//        (0 before the first)
// event  an alarm's name (AlarmName), "Comment" or "Mark"
// state  an alarm's new state (AlarmStateName); a mark's key; empty for a
//        comment
// value  an alarm's value, a number with "." and at most 3 decimals; empty
//        for comments and marks
// text   what the value is (an alarm's cause), the comment, or the mark's
//        note; tabs and line breaks become blanks
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/AlarmMonitor.h"

namespace tessaly {

inline constexpr std::string_view kCommentEvent = "Comment";
inline constexpr std::string_view kMarkEvent = "Mark";

struct WatchEvent {
  std::int64_t utcNs = 0;
  std::uint64_t row = 0;
  std::string event;
  std::string state;
  std::optional<double> value;
  std::string text;

  bool operator==(const WatchEvent&) const = default;
};

// "survey.kvl" -> "survey.kvl.events".
std::string EventsFileName(std::string_view partPath);

WatchEvent AlarmEvent(const AlarmChange& change, std::uint64_t row);
WatchEvent CommentEvent(std::int64_t utcNs, std::uint64_t row, std::string_view comment);
WatchEvent MarkEvent(std::int64_t utcNs, std::uint64_t row, std::string_view key, std::string_view note);

// The event's line, LF included.
std::string FormatWatchEvent(const WatchEvent& event);
// The event as the watch reads it on a screen or a terminal:
//   "2026-12-09T18:33:18.123Z row 1234: No data alarm, 3.2 s without a valid record"
//   "2026-12-09T18:33:19.020Z row 1235: No data normal"
//   "2026-12-09T18:40:02.500Z row 5120: Comment: crossing the cable route"
//   "2026-12-09T18:41:00.000Z row 5700: Mark F11: start of line 7"
std::string DescribeWatchEvent(const WatchEvent& event);

struct EventsFileContent {
  std::vector<WatchEvent> events;
  std::vector<std::string> problems;  // "line N: why", for each line that is not an event
};

// The events of a file's bytes; lines may end with LF or CR LF, empty lines
// are skipped.
EventsFileContent ParseEventsFile(std::string_view bytes);
// The same for a file; a file that cannot be read gives one problem.
EventsFileContent ReadEventsFile(const std::string& path);

// Appends events to a part's events file, each written through to the disk
// before Append returns (events are rare; a crash must not lose the one
// that explains it). A line the file does not take whole is taken back, so
// the file holds whole lines only. Errors are kept, never thrown.
class EventsFileWriter {
 public:
  EventsFileWriter() = default;
  ~EventsFileWriter();
  EventsFileWriter(const EventsFileWriter&) = delete;
  EventsFileWriter& operator=(const EventsFileWriter&) = delete;

  // Opens (creates) the file for appending; false with the reason in Error().
  bool Open(const std::string& path);
  bool IsOpen() const { return fd_ >= 0; }
  bool Append(const WatchEvent& event);
  void Close();
  const std::string& Error() const { return error_; }

 private:
  int fd_ = -1;
  std::string path_;
  std::string error_;
};

}  // namespace tessaly
