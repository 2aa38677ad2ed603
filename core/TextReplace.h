// Case-insensitive replace-all on byte text.
#pragma once

#include <string>
#include <string_view>

namespace tessaly {

// Replaces every occurrence of oldText in text by newText, comparing ASCII
// letters without regard to case. Scans left to right and goes on after each
// inserted replacement, so inserted text is never scanned again. An empty
// oldText leaves text unchanged.
std::string ReplaceAllText(std::string_view text, std::string_view oldText, std::string_view newText);

}  // namespace tessaly
