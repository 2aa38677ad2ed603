#include "core/NmeaLog.h"

#include "core/Clock.h"
#include "core/SideFile.h"

namespace tessaly {

std::string FormatNmeaLogLine(std::int64_t receivedUtcNs, std::string_view sentence) {
  std::string line = FormatUtcMillis(receivedUtcNs);
  line += '\t';
  line += sentence;
  switch (CheckNmeaChecksum(sentence)) {
    case NmeaChecksum::Ok: break;
    case NmeaChecksum::Bad: line.append("\t").append(kBadChecksumMark); break;
    case NmeaChecksum::Missing: line.append("\t").append(kNoChecksumMark); break;
  }
  return line;
}

std::optional<NmeaLogLine> ParseNmeaLogLine(std::string_view line) {
  const std::size_t tab = line.find('\t');
  if (tab == std::string_view::npos) return std::nullopt;
  const auto time = ParseUtcMillis(line.substr(0, tab));
  std::string_view sentence = line.substr(tab + 1);
  std::string_view mark;
  if (const std::size_t second = sentence.find('\t'); second != std::string_view::npos) {
    mark = sentence.substr(second + 1);
    sentence = sentence.substr(0, second);
    if (mark != kBadChecksumMark && mark != kNoChecksumMark) return std::nullopt;
  }
  if (!time || sentence.size() < 2 || (sentence[0] != '$' && sentence[0] != '!')) return std::nullopt;
  return NmeaLogLine{*time, sentence, mark};
}

void ReadNmeaLogLine(std::string_view text, FixTimeline& timeline, NmeaLogCounts& counts) {
  const auto line = ParseNmeaLogLine(text);
  if (!line) {
    ++counts.badLines;
    return;
  }
  ++counts.sentences;
  if (!line->mark.empty() || CheckNmeaChecksum(line->sentence) != NmeaChecksum::Ok) {
    ++counts.badChecksums;
    return;
  }
  if (const auto decoded = DecodeNmea(line->sentence)) {
    ++counts.decoded;
    timeline.Add(line->receivedUtcNs, *decoded);
  }
}

NmeaLogFile ReadNmeaLog(const std::string& path) {
  NmeaLogFile file;
  file.error = ForEachLine(path, [&file](std::string_view text, std::uint64_t) {
    ReadNmeaLogLine(text, file.timeline, file);
  });
  return file;
}

}  // namespace tessaly
