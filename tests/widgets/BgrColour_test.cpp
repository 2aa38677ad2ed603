// Colour values of the settings as Qt colours and back; the system colours
// take the application palette's colours.
#include "widgets/BgrColour.h"

#include <QGuiApplication>
#include <QPalette>

#include <gtest/gtest.h>

#include "core/ColourNames.h"

namespace tessaly {
namespace {

QColor PaletteColour(QPalette::ColorRole role) { return QGuiApplication::palette().color(role); }

BgrColor Named(const char* name) { return StringToColour(name).value(); }

TEST(BgrColour, PlainColoursConvertBothWays) {
  EXPECT_EQ(ToQColor(0x0000FF), QColor(255, 0, 0));
  EXPECT_EQ(ToQColor(0xFF0000), QColor(0, 0, 255));
  EXPECT_EQ(ToQColor(0xC8FFC8), QColor(200, 255, 200));
  EXPECT_EQ(FromQColor(QColor(255, 0, 0)), 0x0000FFu);
  EXPECT_EQ(FromQColor(ToQColor(0x123456)), 0x123456u);
}

TEST(BgrColour, SystemColoursTakeThePalettesColours) {
  EXPECT_EQ(ToQColor(Named("clBtnFace")), PaletteColour(QPalette::Button));
  EXPECT_EQ(ToQColor(Named("clInfoBk")), PaletteColour(QPalette::ToolTipBase));
  EXPECT_EQ(ToQColor(Named("clInfoText")), PaletteColour(QPalette::ToolTipText));
  EXPECT_EQ(ToQColor(Named("clWindow")), PaletteColour(QPalette::Base));
  EXPECT_EQ(ToQColor(Named("clWindowText")), PaletteColour(QPalette::Text));
  EXPECT_EQ(ToQColor(Named("clHighlight")), PaletteColour(QPalette::Highlight));
  EXPECT_EQ(ToQColor(Named("clBtnShadow")), PaletteColour(QPalette::Dark));
  // No system colour converts to the near-black of its index.
  for (unsigned index = 0; index <= 30; ++index) {
    const QColor colour = ToQColor(kSystemColourFlag | index);
    EXPECT_FALSE(colour.red() == static_cast<int>(index) && colour.green() == 0 && colour.blue() == 0)
        << "system colour " << index;
  }
}

}  // namespace
}  // namespace tessaly
