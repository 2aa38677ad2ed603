// Small hand-written logs for the document, pipeline and export tests, and
// the CR LF line handling their expectations need.
#pragma once

#include <string>
#include <vector>

#include "core/RecordSource.h"

namespace tessaly::testing {

// The chart values of a source, copied for comparing.
inline std::vector<double> ChartValuesOf(const RecordSource& source) {
  const std::span<const double> values = source.ChartValues();
  return {values.begin(), values.end()};
}

// Lines joined with CR LF, the last one ended too.
inline std::string CrLfLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\r\n";
  return out;
}

// The lines of a text split at CR LF.
inline std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
    lines.push_back(text.substr(start, at - start));
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

// A valid KVL record (47 characters) with the given deviation.
inline std::string KvlLine(const std::string& dev = "+00042", const std::string& depth = "25.3") {
  return "$KVMGD," + dev + ",4418.000,N,06318.000,W," + depth + ",78.4";
}

// A valid KVS record with the given deviation.
inline std::string KvsLine(const std::string& dev = "+00042") { return dev + ",44 18.000N 063 18.000W,25.3,78.4"; }

}  // namespace tessaly::testing
