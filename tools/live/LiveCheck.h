// Checks a live session's log against the simulator's --sent report: the
// records framed from the bytes sent (as the logging window frames them)
// and accepted by the variant's parser, against the lines of the log parts,
// in order.
#pragma once

#include <string>
#include <vector>

#include "core/LogVariants.h"

namespace tessaly::live {

// The bytes sent to each device in turn that its reader took: less the bytes
// a hang-up or the end line reports unread (lost with the device).
std::vector<std::string> SentBytesPerDevice(const std::string& reportPath);
// The CLOCK_MONOTONIC times (ns) of the report's T lines, one per record.
std::vector<long long> SentTimes(const std::string& reportPath);
// The records a window of the variant logs from those bytes: framed at its
// header (an incomplete record at a device's end dropped) and accepted by
// its parser, in order.
std::vector<std::string> ValidRecords(const LogVariant& variant, const std::vector<std::string>& devices);

struct CheckResult {
  bool ok = false;
  std::string message;
};

// The log lines (every part, in order) against the valid records: exactly
// equal, or with `prefix` a prefix of them missing at most `maxMissing` at
// the end. Every line must end with CR LF.
CheckResult CheckLog(const std::vector<std::string>& parts, const std::vector<std::string>& valid, bool prefix,
                     std::size_t maxMissing);

}  // namespace tessaly::live
