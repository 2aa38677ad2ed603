#include "core/MarkupText.h"

#include <cstdint>

namespace tessaly {

namespace {

// The length of the valid UTF-8 sequence at the start of `text`; 0 when it
// does not start with one (overlong forms, surrogates and code points past
// U+10FFFF are not valid).
std::size_t ValidSequenceLength(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  std::uint32_t code = 0;
  if ((lead & 0xE0) == 0xC0) length = 2, code = lead & 0x1F;
  else if ((lead & 0xF0) == 0xE0) length = 3, code = lead & 0x0F;
  else if ((lead & 0xF8) == 0xF0) length = 4, code = lead & 0x07;
  else return 0;
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i) & 0x3F);
  }
  static constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

// Calls `ascii(c)` for each ASCII character and appends every other
// character as UTF-8.
template <typename Ascii>
void ForEachCharacter(std::string& out, std::string_view text, Ascii ascii) {
  while (!text.empty()) {
    const std::size_t length = ValidSequenceLength(text);
    if (length == 1) {
      ascii(text.front());
    } else if (length > 1) {
      out.append(text.substr(0, length));
    } else {
      const unsigned char latin1 = static_cast<unsigned char>(text.front());
      out.push_back(static_cast<char>(0xC0 | (latin1 >> 6)));
      out.push_back(static_cast<char>(0x80 | (latin1 & 0x3F)));
    }
    text.remove_prefix(length == 0 ? 1 : length);
  }
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view text) {
  out.push_back('"');
  ForEachCharacter(out, text, [&](char c) {
    static constexpr char kHex[] = "0123456789abcdef";
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(c);
    } else if (static_cast<unsigned char>(c) < 0x20) {
      out.append("\\u00");
      out.push_back(kHex[(c >> 4) & 0xF]);
      out.push_back(kHex[c & 0xF]);
    } else {
      out.push_back(c);
    }
  });
  out.push_back('"');
}

void AppendXmlText(std::string& out, std::string_view text) {
  ForEachCharacter(out, text, [&](char c) {
    switch (c) {
      case '&': out.append("&amp;"); break;
      case '<': out.append("&lt;"); break;
      case '>': out.append("&gt;"); break;
      case '"': out.append("&quot;"); break;
      case '\'': out.append("&apos;"); break;
      case '\t':
      case '\n':
      case '\r': out.push_back(c); break;
      default: out.push_back(static_cast<unsigned char>(c) < 0x20 ? ' ' : c);
    }
  });
}

}  // namespace tessaly
