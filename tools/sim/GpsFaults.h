// The faults of the simulated GPS, drawn from a Mersenne Twister sequence of
// their own (seeded from --seed), so a seed gives the same faults on every
// machine: a sentence sent with a wrong checksum, an epoch whose fix the
// receiver calls invalid (GGA quality 0, RMC status V and mode N, VTG mode
// N), and dropouts, epochs never sent.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

#include "tools/sim/SimOptions.h"

namespace tessaly::sim {

// The sentence with its fix marked invalid and its checksum made again; any
// other sentence as it is.
std::string InvalidatedSentence(std::string_view sentence);
// The sentence with the last digit of its checksum changed.
std::string BadChecksumSentence(std::string_view sentence);

class GpsFaults {
 public:
  explicit GpsFaults(const GpsSettings& settings, std::uint64_t seed) : settings_(settings), random_(seed ^ 0x47505321) {}
  bool InvalidEpoch() { return Chance(settings_.invalidFix); }
  bool BadChecksum() { return Chance(settings_.badChecksum); }

 private:
  bool Chance(double probability);

  GpsSettings settings_;
  std::mt19937_64 random_;
};

}  // namespace tessaly::sim
