// Colour values of the settings as Qt colours and back.
#include "shell/QtColour.h"

#include <QGuiApplication>
#include <QPalette>

#include <gtest/gtest.h>

namespace tessaly {
namespace {

TEST(QtColour, ConvertsBlueGreenRedValuesAndSystemColours) {
  EXPECT_EQ(ToQColor(0x0000FF), QColor(255, 0, 0));
  EXPECT_EQ(ToQColor(0xFF0000), QColor(0, 0, 255));
  EXPECT_EQ(ToQColor(0xC8FFC8), QColor(200, 255, 200));
  EXPECT_EQ(FromQColor(QColor(255, 0, 0)), 0x0000FFu);
  EXPECT_EQ(FromQColor(ToQColor(0x123456)), 0x123456u);
  EXPECT_EQ(ToQColor(0xFF00000F), QGuiApplication::palette().color(QPalette::Button));
  EXPECT_EQ(ToQColor(0xFF000005), QGuiApplication::palette().color(QPalette::Base));
}

}  // namespace
}  // namespace tessaly
