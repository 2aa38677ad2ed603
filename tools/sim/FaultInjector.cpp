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

// Line noise: any byte but '$' (which would start a record), CR and LF.
std::string FaultInjector::Garbage() {
  std::string bytes(Between(1, kMaxGarbageBytes), '\0');
  for (char& c : bytes) {
    do {
      c = static_cast<char>(random_() & 0xFF);
    } while (c == '$' || c == '\r' || c == '\n');
  }
  return bytes;
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
  else if (Chance(settings_.split)) step.cuts = Cuts(record.size());
  if (Chance(settings_.pause)) step.pauseMs = settings_.pauseMs;
  return step;
}

}  // namespace tessaly::sim
