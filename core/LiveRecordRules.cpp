#include "core/LiveRecordRules.h"

#include <algorithm>

namespace tessaly {

std::string_view LiveRecordProblem(std::string_view record) {
  if (record.size() > kMaxLiveRecordBytes) return kLiveRecordTooLong;
  const bool printable = std::all_of(record.begin(), record.end(), [](char c) { return c >= 0x20 && c < 0x7f; });
  return printable ? std::string_view() : kLiveRecordNotText;
}

std::string ShownRejectedText(std::string_view record) {
  return std::string(record.substr(0, kMaxLiveRecordBytes));
}

}  // namespace tessaly
