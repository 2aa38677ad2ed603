// Checks a live session's log against what was sent, judged by the
// generator's and the simulator's own truth, never by the program's framing
// or validation: the records tessaly-sim's --sent report lists (with the
// line of the file each came from), less those the generator made faulty
// (its --faults-out list), those the simulator broke with a line break, and
// those the reader never took.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace tessaly::live {

// Whether the reader took a record before its device went away.
enum class Arrival {
  Taken,  // every byte reached the reader
  Maybe,  // in flight at a hang-up, or its line end among the bytes left unread
  Lost,   // none of it reached the reader
};

// A record as the report lists it: its bytes (line end included), the line
// of the file sent (0 when the report does not say), whether a line break
// was put inside it, and whether it arrived.
struct SentRecord {
  std::string bytes;
  std::size_t line = 0;
  bool broken = false;
  Arrival arrival = Arrival::Taken;
};

// The records sent to each device in turn (a D line starts the next). An H
// or E line's count of unread bytes marks the records at the end of the
// device's bytes (before its F write, for a hang-up in flight): Lost when
// none of their bytes were read, Maybe when some were; the records of an F
// write are Maybe; a cut record (C) is no record.
std::vector<std::vector<SentRecord>> SentRecordsPerDevice(const std::string& reportPath);

// The generator's --faults-out list ("line,fault,record-at" after a heading
// line): each faulty line (1-based) with where a good record starts inside
// it (a garbled start before the header), 0 when none does. Throws
// std::runtime_error when it cannot be read.
using FaultyLines = std::map<std::size_t, std::size_t>;
FaultyLines ReadFaultyLines(const std::string& faultsPath);

// A line a correct session logs: a good record's text (without its line
// end) and the device it was sent to; an optional one may be missing, and
// then so are the optional ones after it from the same device.
struct ExpectedLine {
  std::string text;
  bool optional = false;
  std::size_t device = 0;
};

// The log a correct session writes from the records sent: every record not
// broken, not on a faulty line (but for the good record after a garbled
// start) and not lost, in order; those that may not have arrived optional.
std::vector<ExpectedLine> ExpectedLog(const std::vector<std::vector<SentRecord>>& devices,
                                      const FaultyLines& faultyLines);

struct CheckResult {
  bool ok = false;
  std::string message;
};

// The log lines (every part, in order) against the expected log: exactly,
// or with `prefix` missing at most `maxMissing` lines that are not optional
// at the end. Every line must end with CR LF.
CheckResult CheckLog(const std::vector<std::string>& parts, const std::vector<ExpectedLine>& expected, bool prefix,
                     std::size_t maxMissing);

// tessaly-live-log check: arguments after "check"; prints the verdict and
// returns the exit status (0 agreed, 1 not, 2 usage).
int RunCheckCommand(const std::vector<std::string>& arguments);

}  // namespace tessaly::live
