#include "tools/sim/DataSet.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "core/LogKind.h"
#include "core/RawText.h"
#include "core/untTSample.h"

namespace tessaly::sim {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path + ": " + std::strerror(errno));
  std::string bytes(std::istreambuf_iterator<char>(in), {});
  if (in.bad()) throw std::runtime_error("cannot read " + path);
  return bytes;
}

// The heading and end line of the file's log kind (both empty for a kind
// without them or an unrecognised file).
struct DataBounds {
  std::string heading, endMarker;
};

DataBounds KindBounds(const std::string& path) {
  TSample sample;
  const KindDetection detection = DetectLogKind(path);
  if (detection.outcome == Recognition::Kind) SetUpSample(sample, *detection.kind);
  return {sample.FHeading, sample.FEndMarker};
}

// The lines of `bytes` with their own line ends, up to the first line that
// holds the end line, which is kept when `keepEnd` is set.
std::vector<std::string> LinesToEndLine(std::string_view bytes, bool keepEnd) {
  std::vector<std::string> lines;
  std::size_t start = 0, pos = 0;
  std::string_view line;
  while (NextLine(bytes, pos, true, line)) {
    const bool isEnd = line.find(kEndLine) != std::string_view::npos;
    if (!isEnd || keepEnd) lines.emplace_back(bytes.substr(start, pos - start));
    if (isEnd) break;
    start = pos;
  }
  return lines;
}

bool HasEndLine(const std::vector<std::string>& lines) {
  return !lines.empty() && lines.back().find(kEndLine) != std::string::npos;
}

}  // namespace

NumberedRecords NumberedStreamRecords(const std::string& path) {
  const std::string bytes = ReadFile(path);
  const DataBounds bounds = KindBounds(path);
  bool inData = bounds.heading.empty();
  NumberedRecords numbered;
  std::size_t pos = 0, number = 0;
  std::string_view line;
  while (NextLine(bytes, pos, true, line)) {
    ++number;
    if (!inData) {
      inData = line.find(bounds.heading) != std::string_view::npos;
      continue;
    }
    if (!bounds.endMarker.empty() && line.find(bounds.endMarker) != std::string_view::npos) break;
    if (line.empty()) continue;
    numbered.records.push_back(std::string(line).append(kLineEnd));
    numbered.lines.push_back(number);
  }
  if (numbered.records.empty()) throw std::runtime_error(path + " holds no record to send");
  return numbered;
}

std::vector<std::string> StreamRecords(const std::string& path) { return NumberedStreamRecords(path).records; }

DumpForm DetectDumpForm(const std::string& path) {
  const KindDetection detection = DetectLogKind(path);
  const bool graphic = detection.outcome == Recognition::Kind && detection.kind->kind == skKVG;
  return graphic ? DumpForm::Graphic : DumpForm::DataString;
}

std::vector<std::string> DumpLines(const std::string& path, DumpForm form, bool endLine) {
  const std::string bytes = ReadFile(path);
  std::vector<std::string> lines;
  if (form == DumpForm::Graphic) {
    lines = LinesToEndLine(bytes, endLine);
  } else {
    for (const std::string& line : LinesToEndLine(bytes, false)) {
      std::string_view text;
      std::size_t pos = 0;
      NextLine(line, pos, true, text);
      if (!text.empty()) lines.push_back(std::string(text).append(kLineEnd));
    }
  }
  if (lines.empty() && !endLine) throw std::runtime_error(path + " holds no data set to send");
  if (endLine && !HasEndLine(lines)) lines.push_back(std::string(kEndLine).append(kLineEnd));
  return lines;
}

}  // namespace tessaly::sim
