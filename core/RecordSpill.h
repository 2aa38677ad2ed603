// RecordSpill: the records of an export, kept between the pass that decides
// the survey lines and the pass that writes them. The first records stay in
// memory up to a bound (most logs fit whole, and no file is written or read
// again for them); the rest go to a file, so that memory does not grow with
// the log beyond the bound. The file has no name (it is gone when closed or
// when the program ends) and lives in a folder the caller picks: beside the
// output, so that it uses the disk the export goes to, not memory in a
// temporary file system.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/SurveyRecord.h"

namespace tessaly {

// A record's numbers as spilled; the comment follows it. Only what a record
// has is written (a presence byte says what): a value it lacks, the time
// without hasTime or the flags without hasFlags, comes back at its default,
// so a record of a log without times or comments takes 49 bytes.
struct SpilledRecord {
  double latitude = kNoValue, longitude = kNoValue;
  double x = kNoValue, y = kNoValue;  // UTM metres of the export's zone
  double deviation = kNoValue;
  float towfishDepth = static_cast<float>(kNoValue), sounder = static_cast<float>(kNoValue);  // single precision as read
  std::int64_t timeMillis = 0;
  std::uint32_t flags = 0;
  bool hasTime = false, dateKnown = false, hasFlags = false;
};

class RecordSpill {
 public:
  // Bytes of records kept in memory before the file takes the rest.
  static constexpr std::size_t kDefaultMemoryBytes = 32u << 20;

  explicit RecordSpill(std::size_t memoryBytes = kDefaultMemoryBytes) : memoryBytes_(memoryBytes) {}
  ~RecordSpill();
  RecordSpill(const RecordSpill&) = delete;
  RecordSpill& operator=(const RecordSpill&) = delete;

  // Creates the file in `folder`, else (and when empty) in the system's
  // temporary folder. False with the reason in Error().
  bool Open(const std::string& folder);
  bool Append(const SpilledRecord& record, std::string_view comment);
  // Ends the writing and goes back to the first record.
  bool Rewind();
  // The next record and its comment; false at the end, or on a read error
  // (Error() is then set).
  bool Next(SpilledRecord& record, std::string& comment);
  const std::string& Error() const { return error_; }

 private:
  bool Flush();
  bool Fill(std::size_t needed);
  template <typename Enough>
  bool Decode(const std::string& bytes, std::size_t& pos, Enough enough, SpilledRecord& record, std::string& comment);
  bool Fail(const std::string& what);
  bool Truncated();

  int fd_ = -1;
  std::string folder_;
  std::string& MemoryFor(std::size_t bytes);

  std::size_t memoryBytes_;
  // The first records, whole, in blocks filled in turn (a block never
  // grows, so no record is copied again); memoryUsed_ bytes in all.
  std::vector<std::string> memory_;
  std::size_t memoryUsed_ = 0;
  std::size_t memoryBlock_ = 0, memoryPos_ = 0;  // reading: the next record in memory
  bool toFile_ = false;  // memory is full: every later record goes to the file
  std::string buffer_;        // the file's records on their way in or out
  std::size_t readPos_ = 0;
  bool atEnd_ = false;
  std::string error_;
};

}  // namespace tessaly
