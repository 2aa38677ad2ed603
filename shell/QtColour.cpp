#include "shell/QtColour.h"

#include <QGuiApplication>
#include <QPalette>

#include "core/ColourNames.h"

namespace tessaly {
namespace {

QColor SystemColour(unsigned index) {
  const QPalette palette = QGuiApplication::palette();
  switch (index) {
    case 5: return palette.color(QPalette::Base);               // clWindow
    case 8: return palette.color(QPalette::Text);               // clWindowText
    case 7: case 18: return palette.color(QPalette::ButtonText);  // clMenuText, clBtnText
    case 13: return palette.color(QPalette::Highlight);
    case 14: return palette.color(QPalette::HighlightedText);
    case 16: return palette.color(QPalette::Dark);              // clBtnShadow
    case 17: return palette.color(QPalette::PlaceholderText);   // clGrayText
    case 20: return palette.color(QPalette::Light);             // clBtnHighlight
    case 21: return palette.color(QPalette::Shadow);            // cl3DDkShadow
    case 22: return palette.color(QPalette::Midlight);          // cl3DLight
    case 23: return palette.color(QPalette::ToolTipText);       // clInfoText
    case 24: return palette.color(QPalette::ToolTipBase);       // clInfoBk
    case 26: return palette.color(QPalette::Link);              // clHotLight
    case 1: case 12: return palette.color(QPalette::Dark);      // clBackground, clAppWorkSpace
    default: return palette.color(QPalette::Button);            // clBtnFace and the rest
  }
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
