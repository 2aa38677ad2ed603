#include "fuzz/FuzzCheck.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace tessaly::fuzz {

namespace {

FailureHandler& Handler() {
  static FailureHandler handler;
  return handler;
}

}  // namespace

void SetFailureHandler(FailureHandler handler) { Handler() = std::move(handler); }

bool Require(bool ok, std::string_view what, std::string_view detail) {
  if (ok) return true;
  std::string failure(what);
  if (!detail.empty()) failure += ": " + Escaped(detail);
  if (Handler()) {
    Handler()(failure);
    return false;
  }
  std::fprintf(stderr, "Invariant broken: %s\n", failure.c_str());
  std::abort();
}

std::string Escaped(std::string_view bytes) {
  constexpr std::size_t kShown = 200;
  std::string out;
  for (const char c : bytes.substr(0, kShown)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7f && byte != '\\') {
      out.push_back(c);
    } else {
      char code[5];
      std::snprintf(code, sizeof code, "\\x%02X", byte);
      out += code;
    }
  }
  if (bytes.size() > kShown) out += "...";
  return out;
}

}  // namespace tessaly::fuzz
