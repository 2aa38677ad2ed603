#include "core/EventsFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

#include "core/Clock.h"
#include "core/InputFile.h"
#include "core/Positions.h"

namespace tessaly {

namespace {

constexpr std::size_t kFieldCount = 6;

// Tabs and line breaks would split the line: they become blanks.
std::string OneLine(std::string_view text) {
  std::string line(text);
  std::replace_if(line.begin(), line.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
  return line;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (std::size_t tab; (tab = line.find('\t', start)) != std::string_view::npos; start = tab + 1)
    fields.push_back(line.substr(start, tab - start));
  fields.push_back(line.substr(start));
  return fields;
}

bool IsAlarmName(std::string_view name) {
  return std::any_of(std::begin(kAlarmKinds), std::end(kAlarmKinds),
                     [name](AlarmKind kind) { return AlarmName(kind) == name; });
}

bool IsAlarmState(std::string_view state) {
  for (const AlarmState s : {AlarmState::Normal, AlarmState::Warning, AlarmState::Alarm})
    if (AlarmStateName(s) == state) return true;
  return false;
}

std::optional<double> ReadValue(std::string_view text) {
  double value = 0.0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<std::uint64_t> ReadRow(std::string_view text) {
  std::uint64_t row = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), row);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return row;
}

// The event of one line, or why it is none.
std::string ParseLine(std::string_view line, WatchEvent& event) {
  const std::vector<std::string_view> fields = SplitTabs(line);
  if (fields.size() != kFieldCount) return std::to_string(fields.size()) + " fields, not 6";
  const auto time = ParseUtcMillis(fields[0]);
  if (!time) return "no UTC time";
  const auto row = ReadRow(fields[1]);
  if (!row) return "no row number";
  // A stray CR inside a field reads as the blank a writer would have put.
  event = {*time, *row, OneLine(fields[2]), OneLine(fields[3]), std::nullopt, OneLine(fields[5])};
  if (IsAlarmName(fields[2])) {
    if (!IsAlarmState(fields[3])) return "no alarm state";
    event.value = ReadValue(fields[4]);
    if (!event.value) return "no value";
  } else if (fields[2] == kCommentEvent || fields[2] == kMarkEvent) {
    if (!fields[4].empty()) return "a value where none belongs";
    if (fields[2] == kMarkEvent && fields[3].empty()) return "a mark without its key";
  } else {
    return "an unknown event";
  }
  return {};
}

}  // namespace

std::string EventsFileName(std::string_view partPath) { return std::string(partPath) + ".events"; }

WatchEvent AlarmEvent(const AlarmChange& change, std::uint64_t row) {
  return {change.utcNs,
          row,
          std::string(AlarmName(change.alarm)),
          std::string(AlarmStateName(change.status.state)),
          change.status.value,
          OneLine(change.status.cause)};
}

WatchEvent CommentEvent(std::int64_t utcNs, std::uint64_t row, std::string_view comment) {
  return {utcNs, row, std::string(kCommentEvent), {}, std::nullopt, OneLine(comment)};
}

WatchEvent MarkEvent(std::int64_t utcNs, std::uint64_t row, std::string_view key, std::string_view note) {
  return {utcNs, row, std::string(kMarkEvent), OneLine(key), std::nullopt, OneLine(note)};
}

std::string FormatWatchEvent(const WatchEvent& e) {
  std::string line = FormatUtcMillis(e.utcNs);
  line.append("\t").append(std::to_string(e.row));
  line.append("\t").append(OneLine(e.event));
  line.append("\t").append(OneLine(e.state));
  line.append("\t").append(e.value ? ShortDecimalText(*e.value, 3) : std::string());
  line.append("\t").append(OneLine(e.text));
  line.push_back('\n');
  return line;
}

std::string DescribeWatchEvent(const WatchEvent& e) {
  std::string text = FormatUtcMillis(e.utcNs) + " row " + std::to_string(e.row) + ": " + e.event;
  if (e.event == kCommentEvent) return text + ": " + e.text;
  if (!e.state.empty()) text += " " + e.state;
  if (e.event == kMarkEvent) return e.text.empty() ? text : text + ": " + e.text;
  if (e.value && e.state != AlarmStateName(AlarmState::Normal)) text += ", " + AlarmValueText(*e.value, e.text);
  return text;
}

EventsFileContent ParseEventsFile(std::string_view bytes) {
  EventsFileContent content;
  std::size_t number = 0;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    WatchEvent event;
    if (const std::string why = ParseLine(line, event); !why.empty())
      content.problems.push_back("line " + std::to_string(number) + ": " + why);
    else
      content.events.push_back(std::move(event));
  }
  return content;
}

EventsFileContent ReadEventsFile(const std::string& path) {
  std::string reason;
  const FileHandle in = OpenInputFile(path, &reason);
  if (!in) return {{}, {"Cannot read " + path + ": " + reason}};
  std::string bytes;
  char buffer[16 * 1024];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, in.get())) > 0;) bytes.append(buffer, got);
  if (std::ferror(in.get())) return {{}, {"Cannot read " + path}};
  return ParseEventsFile(bytes);
}

// ---- Writer ----

EventsFileWriter::~EventsFileWriter() { Close(); }

bool EventsFileWriter::Open(const std::string& path) {
  Close();
  path_ = path;
  error_.clear();
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd_ < 0) error_ = "Cannot open " + path + ": " + std::strerror(errno);
  return fd_ >= 0;
}

bool EventsFileWriter::Append(const WatchEvent& event) {
  if (fd_ < 0) {
    if (error_.empty()) error_ = "The events file is not open";
    return false;
  }
  const std::string line = FormatWatchEvent(event);
  const off_t before = ::lseek(fd_, 0, SEEK_END);
  std::size_t written = 0;
  while (written < line.size()) {
    const ssize_t n = ::write(fd_, line.data() + written, line.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error_ = "Cannot write " + path_ + ": " + std::strerror(n < 0 ? errno : ENOSPC);
      // A line cut short would join the next one: the file ends where it did.
      if (written > 0 && before >= 0) (void)::ftruncate(fd_, before);
      return false;
    }
    written += static_cast<std::size_t>(n);
  }
  if (::fdatasync(fd_) != 0) {
    error_ = "Cannot sync " + path_ + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

void EventsFileWriter::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace tessaly
