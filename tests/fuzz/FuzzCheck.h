// Invariants checked by the fuzz targets. A broken invariant aborts (libFuzzer
// then keeps the input as a crash); the regression tests install a handler
// that fails the running test instead.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tessaly::fuzz {

using FailureHandler = std::function<void(const std::string& failure)>;

// Replaces the handler; an empty one restores the abort.
void SetFailureHandler(FailureHandler handler);

// Reports `what` (and `detail`, shown escaped) when `ok` is false. Returns ok.
bool Require(bool ok, std::string_view what, std::string_view detail = {});

// Bytes made printable: \xNN for control and non-ASCII bytes, at most 200.
std::string Escaped(std::string_view bytes);

}  // namespace tessaly::fuzz
