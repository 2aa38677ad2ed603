#include "tools/live/LiveCheck.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "core/RecordFramer.h"
#include "core/untTSample.h"
#include "tools/sim/SentReport.h"

namespace tessaly::live {

namespace {

template <typename Visit>
void ForEachReportLine(const std::string& path, Visit visit) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line))
    if (line.size() >= 2 && line[1] == ' ') visit(line[0], line.substr(2));
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

std::vector<std::string> SentBytesPerDevice(const std::string& reportPath) {
  std::vector<std::string> devices;
  const auto dropUnread = [&](const std::string& count) {
    if (devices.empty() || count == "?") return;
    std::string& bytes = devices.back();
    bytes.resize(bytes.size() - std::min<std::size_t>(std::stoul(count), bytes.size()));
  };
  ForEachReportLine(reportPath, [&](char tag, const std::string& text) {
    if (tag == 'D') devices.emplace_back();
    else if (tag == 'H') dropUnread(text.substr(text.find(' ') + 1));
    else if (tag == 'E') dropUnread(text);
    else if (!devices.empty()) devices.back() += sim::EventBytes(tag, text);
  });
  return devices;
}

std::vector<long long> SentTimes(const std::string& reportPath) {
  std::vector<long long> times;
  ForEachReportLine(reportPath, [&](char tag, const std::string& text) {
    if (tag == 'T') times.push_back(std::stoll(text));
  });
  return times;
}

std::vector<std::string> ValidRecords(const LogVariant& variant, const std::vector<std::string>& devices) {
  TSample sample;
  sample.FDevDigits = variant.devDigits;
  sample.SetHeader(variant.header);
  sample.SetKind(variant.kind);
  std::vector<std::string> valid;
  for (const std::string& bytes : devices) {
    RecordFramer framer{std::string(variant.header)};
    framer.Feed(bytes, [&](std::string_view record) {
      if (sample.Parse(record) == 0) valid.emplace_back(record);
    });
  }
  return valid;
}

CheckResult CheckLog(const std::vector<std::string>& parts, const std::vector<std::string>& valid, bool prefix,
                     std::size_t maxMissing) {
  std::size_t next = 0;
  for (const std::string& part : parts) {
    const std::string bytes = ReadFile(part);
    std::size_t pos = 0;
    while (pos < bytes.size()) {
      const std::size_t end = bytes.find("\r\n", pos);
      if (end == std::string::npos) return {false, part + ": a line without CR LF at byte " + std::to_string(pos)};
      const std::string line = bytes.substr(pos, end - pos);
      if (next >= valid.size() || line != valid[next])
        return {false, part + ": line " + std::to_string(next + 1) + " is not the next valid record sent: " + line};
      ++next;
      pos = end + 2;
    }
  }
  const std::size_t missing = valid.size() - next;
  const std::string counts = std::to_string(next) + " of " + std::to_string(valid.size()) + " valid records";
  if (missing == 0 || (prefix && missing <= maxMissing)) return {true, counts + " logged, in order"};
  return {false, counts + " logged: " + std::to_string(missing) + " missing"};
}

}  // namespace tessaly::live
