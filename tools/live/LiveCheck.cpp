#include "tools/live/LiveCheck.h"

#include <charconv>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <stdexcept>

#include "tools/sim/SentReport.h"

namespace tessaly::live {

namespace {

int Usage() {
  std::cerr << "usage: tessaly-live-log check [--prefix N] [--faults FAULTS] SENT PART...\n";
  return 2;
}

std::ifstream OpenOrThrow(const std::string& path, const std::string& what) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + what + " " + path);
  return in;
}

template <typename Visit>
void ForEachReportLine(const std::string& path, Visit visit) {
  std::ifstream in = OpenOrThrow(path, "the report");
  std::string line;
  while (std::getline(in, line))
    if (line.size() >= 2 && line[1] == ' ') visit(line[0], line.substr(2));
}

std::string ReadFile(const std::string& path) {
  std::ifstream in = OpenOrThrow(path, "the log");
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::optional<std::size_t> Number(std::string_view text) {
  std::size_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// One device's records while the report is read: where each record's bytes
// lie among the device's, and where its in-flight write began.
struct DeviceRecords {
  std::vector<SentRecord> records;
  std::vector<std::size_t> starts;
  std::size_t bytes = 0;
  std::optional<std::size_t> flightFrom;

  void Add(SentRecord record) {
    starts.push_back(bytes);
    bytes += record.bytes.size();
    records.push_back(std::move(record));
  }
  // `unread` bytes before the in-flight write (or the end) never reached
  // the reader.
  void MarkUnread(std::size_t unread) {
    const std::size_t sentBefore = flightFrom.value_or(bytes);
    const std::size_t readTo = sentBefore - std::min(unread, sentBefore);
    for (std::size_t i = 0; i < records.size() && starts[i] < sentBefore; ++i) {
      const std::size_t end = starts[i] + records[i].bytes.size();
      if (starts[i] >= readTo) records[i].arrival = Arrival::Lost;
      else if (end > readTo) records[i].arrival = Arrival::Maybe;
    }
  }
};

std::string WithoutLineEnd(const std::string& bytes) {
  std::size_t end = bytes.size();
  while (end > 0 && (bytes[end - 1] == '\r' || bytes[end - 1] == '\n')) --end;
  return bytes.substr(0, end);
}

}  // namespace

std::vector<std::vector<SentRecord>> SentRecordsPerDevice(const std::string& reportPath) {
  std::vector<DeviceRecords> devices;
  std::size_t line = 0, inFlight = 0;
  ForEachReportLine(reportPath, [&](char tag, const std::string& text) {
    if (tag == 'D') {
      devices.emplace_back();
      return;
    }
    if (devices.empty()) return;
    DeviceRecords& device = devices.back();
    if (tag == 'L') {
      line = Number(text).value_or(0);
    } else if (tag == 'R' || tag == 'S' || tag == 'X') {
      SentRecord record{sim::EventBytes(tag, text), line, tag == 'X', Arrival::Taken};
      if (inFlight > 0) {
        record.arrival = Arrival::Maybe;
        --inFlight;
      }
      device.Add(std::move(record));
      line = 0;
    } else if (tag == 'F') {
      device.flightFrom = device.bytes;
      inFlight = Number(text.substr(0, text.find(' '))).value_or(0);
    } else if (tag == 'H' || tag == 'E') {
      if (const auto unread = Number(tag == 'H' ? text.substr(text.find(' ') + 1) : text)) device.MarkUnread(*unread);
    } else {
      device.bytes += sim::EventBytes(tag, text).size();  // garbage, a cut or interrupted record
      line = 0;
    }
  });
  std::vector<std::vector<SentRecord>> records;
  for (DeviceRecords& device : devices) records.push_back(std::move(device.records));
  return records;
}

FaultyLines ReadFaultyLines(const std::string& faultsPath) {
  std::ifstream in = OpenOrThrow(faultsPath, "the faults list");
  FaultyLines lines;
  std::string text;
  std::getline(in, text);  // "line,fault,record-at"
  while (std::getline(in, text)) {
    if (text.empty()) continue;
    const std::string_view row(text);
    const std::size_t first = row.find(','), last = row.rfind(',');
    const auto number = Number(row.substr(0, first));
    const std::string_view at = last > first && last != std::string_view::npos ? row.substr(last + 1) : "";
    const auto recordAt = at.empty() ? std::optional<std::size_t>(0) : Number(at);
    if (!number || first == std::string_view::npos || !recordAt)
      throw std::runtime_error("not a line of a faults list: " + text);
    lines[*number] = *recordAt;
  }
  return lines;
}

std::vector<ExpectedLine> ExpectedLog(const std::vector<std::vector<SentRecord>>& devices,
                                      const FaultyLines& faultyLines) {
  std::vector<ExpectedLine> expected;
  for (std::size_t device = 0; device < devices.size(); ++device)
    for (const SentRecord& record : devices[device]) {
      if (record.broken || record.arrival == Arrival::Lost) continue;
      std::string text = WithoutLineEnd(record.bytes);
      if (const auto fault = faultyLines.find(record.line); fault != faultyLines.end()) {
        if (fault->second == 0 || fault->second >= text.size()) continue;
        text.erase(0, fault->second);
      }
      expected.push_back({std::move(text), record.arrival == Arrival::Maybe, device});
    }
  return expected;
}

CheckResult CheckLog(const std::vector<std::string>& parts, const std::vector<ExpectedLine>& expected, bool prefix,
                     std::size_t maxMissing) {
  std::size_t next = 0, logged = 0;
  for (const std::string& part : parts) {
    const std::string bytes = ReadFile(part);
    for (std::size_t pos = 0; pos < bytes.size();) {
      const std::size_t end = bytes.find("\r\n", pos);
      if (end == std::string::npos) return {false, part + ": a line without CR LF at byte " + std::to_string(pos)};
      const std::string line = bytes.substr(pos, end - pos);
      // An optional record that did not arrive: nor did those after it from
      // the same device.
      if (next < expected.size() && expected[next].optional && expected[next].text != line) {
        const std::size_t device = expected[next].device;
        while (next < expected.size() && expected[next].optional && expected[next].device == device) ++next;
      }
      if (next >= expected.size() || line != expected[next].text)
        return {false, part + ": line " + std::to_string(logged + 1) + " is not the next record expected: " + line};
      ++next;
      ++logged;
      pos = end + 2;
    }
  }
  std::size_t missing = 0, required = 0;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    required += !expected[i].optional;
    missing += i >= next && !expected[i].optional;
  }
  const std::string counts = std::to_string(logged) + " records logged of " + std::to_string(required) +
                             " expected and " + std::to_string(expected.size() - required) + " in flight";
  if (missing == 0 || (prefix && missing <= maxMissing)) return {true, counts + ", in order"};
  return {false, counts + ": " + std::to_string(missing) + " expected missing"};
}

int RunCheckCommand(const std::vector<std::string>& arguments) {
  std::optional<std::size_t> prefix;
  std::string faults;
  std::vector<std::string> operands;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& arg = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    if (arg == "--prefix" && hasValue && (prefix = Number(arguments[i + 1]))) ++i;
    else if (arg == "--faults" && hasValue) faults = arguments[++i];
    else if (arg.rfind("--", 0) == 0) return Usage();
    else operands.push_back(arg);
  }
  if (operands.size() < 2) return Usage();
  try {
    const FaultyLines faulty = faults.empty() ? FaultyLines() : ReadFaultyLines(faults);
    const std::vector<ExpectedLine> expected = ExpectedLog(SentRecordsPerDevice(operands[0]), faulty);
    const CheckResult result = CheckLog({operands.begin() + 1, operands.end()}, expected, prefix.has_value(),
                                        prefix.value_or(0));
    std::cout << result.message << "\n";
    return result.ok ? 0 : 1;
  } catch (const std::runtime_error& error) {
    std::cerr << "tessaly-live-log: " << error.what() << "\n";
    return 1;
  }
}

}  // namespace tessaly::live
