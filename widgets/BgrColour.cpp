#include "widgets/BgrColour.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>

#include "core/ColourNames.h"

namespace tessaly {
namespace {

// The palette role of each system colour index (0 to 30; 25 is unused).
constexpr std::array<QPalette::ColorRole, 31> kSystemRoles{
    QPalette::Button,           // 0 clScrollBar
    QPalette::Dark,             // 1 clBackground
    QPalette::Highlight,        // 2 clActiveCaption
    QPalette::Mid,              // 3 clInactiveCaption
    QPalette::Window,           // 4 clMenu
    QPalette::Base,             // 5 clWindow
    QPalette::Shadow,           // 6 clWindowFrame
    QPalette::WindowText,       // 7 clMenuText
    QPalette::Text,             // 8 clWindowText
    QPalette::HighlightedText,  // 9 clCaptionText
    QPalette::Button,           // 10 clActiveBorder
    QPalette::Button,           // 11 clInactiveBorder
    QPalette::Dark,             // 12 clAppWorkSpace
    QPalette::Highlight,        // 13 clHighlight
    QPalette::HighlightedText,  // 14 clHighlightText
    QPalette::Button,           // 15 clBtnFace
    QPalette::Dark,             // 16 clBtnShadow
    QPalette::PlaceholderText,  // 17 clGrayText
    QPalette::ButtonText,       // 18 clBtnText
    QPalette::PlaceholderText,  // 19 clInactiveCaptionText
    QPalette::Light,            // 20 clBtnHighlight
    QPalette::Shadow,           // 21 cl3DDkShadow
    QPalette::Midlight,         // 22 cl3DLight
    QPalette::ToolTipText,      // 23 clInfoText
    QPalette::ToolTipBase,      // 24 clInfoBk
    QPalette::Button,           // 25
    QPalette::Link,             // 26 clHotLight
    QPalette::Highlight,        // 27 clGradientActiveCaption
    QPalette::Mid,              // 28 clGradientInactiveCaption
    QPalette::Highlight,        // 29 clMenuHighlight
    QPalette::Window,           // 30 clMenuBar
};

QColor SystemColour(unsigned index) {
  const QPalette::ColorRole role = index < kSystemRoles.size() ? kSystemRoles[index] : QPalette::Button;
  return QGuiApplication::palette().color(role);
}

}  // namespace

QColor ToQColor(BgrColor colour) {
  if (IsSystemColour(colour)) return SystemColour(colour & 0xFFu);
  return QColor(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
                static_cast<int>((colour >> 16) & 0xFFu));
}

BgrColor FromQColor(const QColor& colour) {
  const QColor rgb = colour.toRgb();
  return static_cast<BgrColor>(rgb.red()) | (static_cast<BgrColor>(rgb.green()) << 8) |
         (static_cast<BgrColor>(rgb.blue()) << 16);
}

}  // namespace tessaly
