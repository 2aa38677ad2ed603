// RecordFramer: cuts an instrument's byte stream into records.
//
// A record is the text from the header sentence to its first line break (CR
// or LF), or to the next header sentence when that comes first; it is handed
// out as soon as either has arrived, without the line break. Text outside
// records (before a header, or between a record's line break and the next
// header) belongs to no record and is dropped. A header split across chunks
// is still found. An unframed framer (empty header) hands every chunk on as
// it came.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace tessaly {

class RecordFramer {
 public:
  // A record longer than this without a line break or a next header is
  // handed out as it stands (it then fails validation) so that a stream of
  // noise cannot grow the buffer without end.
  static constexpr std::size_t kMaxRecordBytes = 64 * 1024;

  using RecordFn = std::function<void(std::string_view record)>;

  explicit RecordFramer(std::string header = {}) : header_(std::move(header)) {}

  bool Framed() const { return !header_.empty(); }
  const std::string& Header() const { return header_; }

  // Adds a chunk; calls `onRecord` for every record it completes, in order.
  void Feed(std::string_view chunk, const RecordFn& onRecord);
  // Drops an incomplete record (a pause, a stop, a lost device).
  void Reset();
  // Bytes held for an incomplete record or a partly received header.
  std::size_t Pending() const { return buffer_.size(); }

 private:
  void SeekHeader();
  bool CutRecord(const RecordFn& onRecord);

  std::string header_;
  std::string buffer_;     // from the record's header (or the unsearched tail) on
  bool inRecord_ = false;  // buffer_ begins with a header
  std::size_t scanned_ = 0;  // bytes of buffer_ already searched
};

}  // namespace tessaly
