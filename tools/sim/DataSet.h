// What tessaly-sim sends, read from the given file: the records of a log
// (stream) or the lines of a data set as the instrument sends it from its
// memory (dump). Every function throws std::runtime_error with the reason
// when the file cannot be read or holds nothing to send.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/sim/SimOptions.h"

namespace tessaly::sim {

inline constexpr std::string_view kEndLine = "** End of data set **";

// The data records of a survey log, each followed by CR LF: for a log kind
// with a heading line (data string, graphic) the lines after the heading and
// before the end line, for any other file every line; empty lines left out.
std::vector<std::string> StreamRecords(const std::string& path);

// The same records with the line of the file (1-based) each was read from.
struct NumberedRecords {
  std::vector<std::string> records;
  std::vector<std::size_t> lines;
};
NumberedRecords NumberedStreamRecords(const std::string& path);

// Graphic for a file recognised as a graphic log, else data string.
DumpForm DetectDumpForm(const std::string& path);

// The lines of a memory dump, line ends included (form Graphic or
// DataString; see the usage text), with or without the end line.
std::vector<std::string> DumpLines(const std::string& path, DumpForm form, bool endLine);

}  // namespace tessaly::sim
