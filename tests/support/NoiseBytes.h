// Binary noise for the hostile-file tests: bytes of every value, the same
// ones in every run.
#pragma once

#include <cstddef>
#include <random>
#include <string>

namespace tessaly::testing {

inline std::string NoiseBytes(std::size_t size) {
  std::mt19937 random(15);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

}  // namespace tessaly::testing
