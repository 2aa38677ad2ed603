// Text for the map formats, which must be UTF-8: a comment typed on an old
// laptop may be Windows-1252 or Latin-1. Each byte that does not begin a
// valid UTF-8 sequence is taken as a Latin-1 character, so any text comes
// out as valid UTF-8 and a valid UTF-8 text comes out unchanged.
#pragma once

#include <string>
#include <string_view>

namespace tessaly {

// Appends `text` as a JSON string, quotes included (RFC 8259).
void AppendJsonString(std::string& out, std::string_view text);

// Appends `text` as XML 1.0 character data: the markup characters escaped,
// and the control characters XML 1.0 does not allow written as blanks.
void AppendXmlText(std::string& out, std::string_view text);

}  // namespace tessaly
