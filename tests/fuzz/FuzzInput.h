// Hands out a fuzz input piece by piece: a few choice bytes first, then text.
// Reading past the end gives zeros and empty text, so every input is usable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tessaly::fuzz {

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size)
      : bytes_(reinterpret_cast<const char*>(data), size) {}

  std::uint8_t Byte() {
    if (bytes_.empty()) return 0;
    const auto byte = static_cast<std::uint8_t>(bytes_.front());
    bytes_.remove_prefix(1);
    return byte;
  }
  // A choice from 0 to count - 1.
  std::size_t Choice(std::size_t count) { return count == 0 ? 0 : Byte() % count; }
  std::string_view Take(std::size_t count) {
    const std::string_view taken = bytes_.substr(0, count);
    bytes_.remove_prefix(taken.size());
    return taken;
  }
  std::string_view Rest() { return Take(bytes_.size()); }
  bool Empty() const { return bytes_.empty(); }

 private:
  std::string_view bytes_;
};

}  // namespace tessaly::fuzz
