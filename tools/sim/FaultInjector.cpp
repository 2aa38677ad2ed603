#include "tools/sim/FaultInjector.h"

#include <algorithm>

namespace tessaly::sim {

FaultInjector::FaultInjector(const FaultSettings& settings) : settings_(settings), random_(settings.seed) {}

// The distributions of <random> differ between libraries; these do not.
bool FaultInjector::Chance(double probability) {
  if (probability <= 0.0) return false;
  return static_cast<double>(random_() >> 11) * 0x1.0p-53 < probability;
}

std::size_t FaultInjector::Between(std::size_t low, std::size_t high) {
  return low + static_cast<std::size_t>(random_() % (high - low + 1));
}

// Line noise: any byte but '$' (which would start a record), CR and LF;
// with garbageAny any byte at all, ended by CR or LF so that it never joins
// the record after it.
std::string FaultInjector::Garbage() {
  std::string bytes(Between(1, kMaxGarbageBytes), '\0');
  for (char& c : bytes) {
    do {
      c = static_cast<char>(random_() & 0xFF);
    } while (!settings_.garbageAny && (c == '$' || c == '\r' || c == '\n'));
  }
  if (settings_.garbageAny) bytes.back() = Between(0, 1) == 0 ? '\r' : '\n';
  return bytes;
}

// A line break inside the record's second field: from right after the first
// comma to before the field's last byte, so the part before the break holds
// the header and at most a shortened second field, and the part after it no
// header. A record without a comma is left whole.
void FaultInjector::Break(std::string_view record, Step& step) {
  const std::size_t comma = record.find(',');
  if (comma == std::string_view::npos) return;
  std::size_t fieldEnd = record.find_first_of(",\r\n", comma + 1);
  if (fieldEnd == std::string_view::npos) fieldEnd = record.size();
  step.breakAt = fieldEnd > comma + 1 ? Between(comma + 1, fieldEnd - 1) : comma + 1;
  static constexpr std::string_view kBreaks[] = {"\r", "\n", "\r\n"};
  step.lineBreak = kBreaks[Between(0, 2)];
}

// A cut from 1 byte into the record up to its first line break (excluded),
// so the part sent never ends the record: half the time right before the
// line break, the hardest case (all of the record but its end), else
// anywhere; 0 when the record has no room.
std::size_t FaultInjector::CutBeforeLineEnd(std::string_view record) {
  const std::size_t end = std::min(record.find_first_of("\r\n"), record.size());
  if (end == 0) return 0;
  return Between(0, 1) == 0 ? end : Between(1, end);
}

Flight FaultInjector::InFlight(const std::vector<std::string>& records, std::size_t first) {
  Flight flight;
  const std::size_t left = records.size() - first;
  flight.records = Between(0, std::min(left - 1, kMaxBurstRecords - 1));
  flight.cut = CutBeforeLineEnd(records[first + flight.records]);
  // Half the time at once, so the reader has most likely taken none of it;
  // else after a moment, so it has taken some or all.
  flight.lingerMs = Between(0, 1) == 0 ? 0 : static_cast<int>(Between(1, kMaxFlightLingerMs));
  return flight;
}

// 1 to 3 distinct cut points strictly inside a record of `size` bytes.
std::vector<std::size_t> FaultInjector::Cuts(std::size_t size) {
  std::vector<std::size_t> cuts;
  if (size < 2) return cuts;
  const std::size_t wanted = std::min(Between(2, kMaxSplitWrites) - 1, size - 1);
  while (cuts.size() < wanted) {
    const std::size_t cut = Between(1, size - 1);
    if (std::find(cuts.begin(), cuts.end(), cut) == cuts.end()) cuts.push_back(cut);
  }
  std::sort(cuts.begin(), cuts.end());
  return cuts;
}

Step FaultInjector::Next(std::string_view record, std::size_t available) {
  Step step;
  if (Chance(settings_.garbage)) step.garbage = Garbage();
  if (available > 1 && Chance(settings_.burst)) step.records = Between(2, std::min(available, kMaxBurstRecords));
  else if (Chance(settings_.broken)) Break(record, step);
  else if (Chance(settings_.split)) step.cuts = Cuts(record.size());
  if (Chance(settings_.pause)) step.pauseMs = settings_.pauseMs;
  return step;
}

}  // namespace tessaly::sim
