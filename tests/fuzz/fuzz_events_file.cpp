// The events file reader: see FuzzTargets.h.
#include <string>

#include "core/EventsFile.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzTargets.h"

namespace tessaly::fuzz {

namespace {

std::size_t NonEmptyLines(std::string_view bytes) {
  std::size_t count = 0;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    std::string_view line = bytes.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) ++count;
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
  }
  return count;
}

}  // namespace

int FuzzEventsFile(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const std::string_view bytes = input.Rest();
  const EventsFileContent content = ParseEventsFile(bytes);
  Require(content.events.size() + content.problems.size() == NonEmptyLines(bytes),
          "not every line is an event or a problem", bytes);
  std::string written;
  for (const WatchEvent& event : content.events) {
    const std::string line = FormatWatchEvent(event);
    Require(line.find('\n') == line.size() - 1 && line.find('\r') == std::string::npos,
            "an event is not one line", line);
    written += line;
  }
  // What is written reads back as one event a line and is written again the
  // same (times are written to the millisecond, so a finer time read is not
  // compared with itself).
  const EventsFileContent again = ParseEventsFile(written);
  Require(again.problems.empty(), "a written event does not read back", again.problems.empty() ? "" : again.problems[0]);
  Require(again.events.size() == content.events.size(), "written events read back as another number", bytes);
  std::string rewritten;
  for (const WatchEvent& event : again.events) rewritten += FormatWatchEvent(event);
  Require(rewritten == written, "events do not survive a write", written);
  return 0;
}

}  // namespace tessaly::fuzz
