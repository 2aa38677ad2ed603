// Whole files as bytes, for the tests' inputs and expected outputs.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

namespace tessaly::testing {

// Empty text when the file cannot be read.
inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Creates or replaces the file.
inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace tessaly::testing
