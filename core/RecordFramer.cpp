#include "core/RecordFramer.h"

#include <algorithm>

namespace tessaly {

void RecordFramer::Feed(std::string_view chunk, const RecordFn& onRecord) {
  if (!Framed()) {
    if (!chunk.empty()) onRecord(chunk);
    return;
  }
  buffer_.append(chunk);
  while (true) {
    if (!inRecord_) {
      SeekHeader();
      if (!inRecord_) return;
    }
    if (!CutRecord(onRecord)) return;
  }
}

void RecordFramer::Reset() {
  buffer_.clear();
  inRecord_ = false;
  scanned_ = 0;
}

// Drops what lies before the next header; keeps a tail that may be the start
// of a header completed by the next chunk.
void RecordFramer::SeekHeader() {
  const std::size_t at = buffer_.find(header_);
  if (at == std::string::npos) {
    const std::size_t keep = std::min(buffer_.size(), header_.size() - 1);
    buffer_.erase(0, buffer_.size() - keep);
    return;
  }
  buffer_.erase(0, at);
  inRecord_ = true;
  scanned_ = header_.size();
}

// The buffer begins with a header. Hands out the record when its line break
// or the next header has arrived; the buffer then holds what follows.
bool RecordFramer::CutRecord(const RecordFn& onRecord) {
  const std::size_t breakAt = buffer_.find_first_of("\r\n", scanned_);
  const std::size_t headerFrom = std::max(header_.size(), scanned_ >= header_.size() ? scanned_ - (header_.size() - 1) : 0);
  const std::size_t nextHeader = buffer_.find(header_, headerFrom);
  const std::size_t end = std::min(breakAt, nextHeader);
  if (end == std::string::npos) {
    if (buffer_.size() < kMaxRecordBytes) {
      scanned_ = buffer_.size();
      return false;
    }
    onRecord(buffer_);
    Reset();
    return false;
  }
  onRecord(std::string_view(buffer_).substr(0, end));
  buffer_.erase(0, end);
  inRecord_ = false;
  scanned_ = 0;
  return true;
}

}  // namespace tessaly
