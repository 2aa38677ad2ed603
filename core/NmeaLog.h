// NmeaLog: survey.kvl.nmea, every sentence the GPS port delivered while a
// part was written, as received.
//
// One line a sentence: its UTC reception time ("2026-12-09T18:33:18.123Z",
// FormatUtcMillis), a tab and the sentence from "$" or "!" to its checksum,
// each line ended by CR LF. A sentence whose checksum is wrong or missing is
// kept, marked by a second tab and "bad checksum" or "no checksum" after it;
// such a sentence is never used:
//   2026-12-09T18:33:18.123Z<TAB>$GPGGA,183318.00,...*5C
//   2026-12-09T18:33:18.140Z<TAB>$GPRMC,183318.00,...*17<TAB>bad checksum
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/FixTimeline.h"

namespace tessaly {

inline constexpr std::string_view kBadChecksumMark = "bad checksum";
inline constexpr std::string_view kNoChecksumMark = "no checksum";

// The line of a sentence (without its line end), marked when its checksum
// is not Ok.
std::string FormatNmeaLogLine(std::int64_t receivedUtcNs, std::string_view sentence);

struct NmeaLogLine {
  std::int64_t receivedUtcNs = 0;
  std::string_view sentence;
  std::string_view mark;  // empty, kBadChecksumMark or kNoChecksumMark
};
// Reads a line FormatNmeaLogLine wrote; empty for any other text.
std::optional<NmeaLogLine> ParseNmeaLogLine(std::string_view line);

struct NmeaLogCounts {
  std::uint64_t sentences = 0;     // lines read as sentences
  std::uint64_t badChecksums = 0;  // marked, or found wrong again: not used
  std::uint64_t decoded = 0;       // used by the timeline
  std::uint64_t badLines = 0;      // lines that are not a time and a sentence
};

struct NmeaLogFile : NmeaLogCounts {
  FixTimeline timeline;            // every decoded sentence, in file order
  std::string error;               // the file could not be read
};

NmeaLogFile ReadNmeaLog(const std::string& path);

// One line of an NMEA file, read in order: counted, and its sentence added
// to `timeline` when it is one to use.
void ReadNmeaLogLine(std::string_view text, FixTimeline& timeline, NmeaLogCounts& counts);

}  // namespace tessaly
