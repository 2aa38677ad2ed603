// The libFuzzer entry point of one fuzz program; CMake names the target
// function in TESSALY_FUZZ_TARGET.
#include "fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return tessaly::fuzz::TESSALY_FUZZ_TARGET(data, size);
}
