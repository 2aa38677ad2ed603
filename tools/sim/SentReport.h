// The --sent report: what went over the line, one event a line, in order
// (the format is in the usage text). Each line is flushed as it is written,
// so the report is whole up to the moment the run stops.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly::sim {

// Bytes as report text: \\, \r, \n, \t, and \xHH for every other byte below
// 0x20 or above 0x7e.
std::string EscapeBytes(std::string_view bytes);
// The bytes of report text: the reverse of EscapeBytes.
std::string UnescapeBytes(std::string_view text);
// The bytes an event put on the line, from its tag and the text after it:
// those of R, S, X, G, C and I events; none for the others.
std::string EventBytes(char tag, std::string_view text);

class SentReport {
 public:
  // No report when path is empty. Throws std::runtime_error when the file
  // cannot be created.
  // With `times`, every record is followed by a T line: the CLOCK_MONOTONIC
  // time, in nanoseconds, when its last byte had been written.
  explicit SentReport(const std::string& path, bool times = false);

  void Device(const std::string& path);
  // The next record is line `number` of the file sent.
  void SourceLine(std::size_t number);
  void Record(std::string_view bytes);
  // A record sent with a line break put in after `at` bytes (`bytes` as sent).
  void BrokenRecord(std::string_view bytes, std::size_t at);
  // The next `records` records and a cut record went out in one write, and
  // the device went away `lingerMs` later without waiting for the reader.
  void InFlight(std::size_t records, int lingerMs);
  // The first part of a record, cut short by a hang-up.
  void CutRecord(std::string_view bytes);
  void SplitRecord(std::string_view bytes, const std::vector<std::size_t>& cuts);
  void Burst(std::size_t records);
  void Garbage(std::string_view bytes);
  void Pause(int ms);
  // `unread`: bytes no reader took before the device closed; "?" when unknown.
  void Hangup(int ms, std::optional<std::size_t> unread);
  void Interrupted(std::string_view bytes);
  void End(std::optional<std::size_t> unread);

 private:
  void Line(std::string_view tag, std::string_view text);
  void Time();

  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, FileCloser> file_;
  bool times_ = false;
};

}  // namespace tessaly::sim
