// The faults of a run: which records get garbage before them, are split
// across writes, get a line break inside them, start a burst or are followed
// by a pause, and what a hang-up leaves in flight. Every choice comes
// from one Mersenne Twister sequence (fully specified by the C++ standard)
// seeded once, so a seed gives the same faults on every machine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "tools/sim/SimOptions.h"

namespace tessaly::sim {

// What goes over the line for one or more records.
struct Step {
  std::string garbage;            // bytes before the records; empty: none
  std::size_t records = 1;        // records in one write (more than one: a burst)
  std::vector<std::size_t> cuts;  // one record cut into writes after these byte counts
  int pauseMs = 0;                // idle line after the records; 0: none
  std::size_t breakAt = 0;        // a line break put in after this many bytes; 0: none
  std::string lineBreak;          // that break: CR, LF or CR LF
};

// What a hang-up that does not wait for the reader sends first, in one
// write: whole records, then the first `cut` bytes of the record after them
// (0: nothing of it); the device goes away `lingerMs` after that write.
struct Flight {
  std::size_t records = 0;
  std::size_t cut = 0;
  int lingerMs = 0;
};

inline constexpr int kMaxFlightLingerMs = 100;

inline constexpr std::size_t kMaxGarbageBytes = 16;
inline constexpr std::size_t kMaxBurstRecords = 5;
inline constexpr std::size_t kMaxSplitWrites = 4;

class FaultInjector {
 public:
  explicit FaultInjector(const FaultSettings& settings);

  // The step for the record `record` (its bytes, line end included), which
  // up to `available` - 1 further records could join in a burst.
  Step Next(std::string_view record, std::size_t available);
  // The records in flight at a hang-up, from `records` that are left (at
  // least one); the last one left is never sent whole.
  Flight InFlight(const std::vector<std::string>& records, std::size_t first);

 private:
  bool Chance(double probability);
  std::size_t Between(std::size_t low, std::size_t high);
  std::string Garbage();
  std::vector<std::size_t> Cuts(std::size_t size);
  void Break(std::string_view record, Step& step);
  std::size_t CutBeforeLineEnd(std::string_view record);

  FaultSettings settings_;
  std::mt19937_64 random_;
};

}  // namespace tessaly::sim
