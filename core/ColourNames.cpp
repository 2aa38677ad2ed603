#include "core/ColourNames.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <utility>

namespace tessaly {
namespace {

constexpr BgrColor System(unsigned index) { return kSystemColourFlag | index; }

constexpr std::array<std::pair<std::string_view, BgrColor>, 51> kNamedColours{{
    {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clGreen", 0x008000}, {"clOlive", 0x008080},
    {"clNavy", 0x800000}, {"clPurple", 0x800080}, {"clTeal", 0x808000}, {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF}, {"clLime", 0x00FF00}, {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000}, {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00}, {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6}, {"clCream", 0xF0FBFF}, {"clMedGray", 0xA4A0A0},
    {"clScrollBar", System(0)}, {"clBackground", System(1)}, {"clActiveCaption", System(2)},
    {"clInactiveCaption", System(3)}, {"clMenu", System(4)}, {"clWindow", System(5)},
    {"clWindowFrame", System(6)}, {"clMenuText", System(7)}, {"clWindowText", System(8)},
    {"clCaptionText", System(9)}, {"clActiveBorder", System(10)}, {"clInactiveBorder", System(11)},
    {"clAppWorkSpace", System(12)}, {"clHighlight", System(13)}, {"clHighlightText", System(14)},
    {"clBtnFace", System(15)}, {"clBtnShadow", System(16)}, {"clGrayText", System(17)},
    {"clBtnText", System(18)}, {"clInactiveCaptionText", System(19)}, {"clBtnHighlight", System(20)},
    {"cl3DDkShadow", System(21)}, {"cl3DLight", System(22)}, {"clInfoText", System(23)},
    {"clInfoBk", System(24)}, {"clHotLight", System(26)}, {"clGradientActiveCaption", System(27)},
    {"clGradientInactiveCaption", System(28)}, {"clMenuHighlight", System(29)}, {"clMenuBar", System(30)},
    {"clNone", 0x1FFFFFFF},
}};

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::optional<BgrColor> ParseNumber(std::string_view text) {
  int base = 10;
  if (!text.empty() && text.front() == '$') {
    text.remove_prefix(1);
    base = 16;
  }
  if (text.empty()) return std::nullopt;
  const char* end = text.data() + text.size();
  if (base == 16) {
    std::uint32_t value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, 16);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
  }
  std::int64_t value = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || value < INT32_MIN || value > UINT32_MAX) return std::nullopt;
  return static_cast<BgrColor>(value);
}

}  // namespace

std::optional<std::string_view> ColourName(BgrColor colour) {
  for (const auto& [name, value] : kNamedColours)
    if (value == colour) return name;
  return std::nullopt;
}

std::string ColourToString(BgrColor colour) {
  if (auto name = ColourName(colour)) return std::string(*name);
  char text[16];
  std::snprintf(text, sizeof text, "$%.8X", static_cast<unsigned>(colour));
  return text;
}

std::optional<BgrColor> StringToColour(std::string_view text) {
  for (const auto& [name, value] : kNamedColours)
    if (SameTextAscii(name, text)) return value;
  return ParseNumber(text);
}

}  // namespace tessaly
