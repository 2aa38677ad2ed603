// The alarm tiles of the live window: colour and value of each state, the
// sound repeated until a click acknowledges it, the tile kept until the
// condition clears. The sound is counted, not played.
#include "acquisition/AlarmTiles.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "CountedSound.h"

namespace tessaly {
namespace {

constexpr int kRepeatMs = 40;

using testing::CountedSound;

AlarmChange Change(AlarmKind alarm, AlarmState state, double value = 0, std::string_view cause = {}) {
  return {alarm, AlarmState::Normal, {state, value, cause}, 0};
}

class AlarmTilesTest : public ::testing::Test {
 protected:
  AlarmTilesTest() {
    tiles_.MakeSound = [this] { return std::make_unique<CountedSound>(plays_); };
    tiles_.SetRepeatInterval(kRepeatMs);
    tiles_.Reset({true, true, true});
    tiles_.show();
  }
  QString Text(AlarmKind kind) const { return tiles_.Tile(kind)->text(); }
  bool Coloured(AlarmKind kind, const char* colour) const {
    return tiles_.Tile(kind)->styleSheet().contains(QLatin1String("background: ") + QLatin1String(colour));
  }

  int plays_ = 0;
  AlarmTiles tiles_;
};

TEST_F(AlarmTilesTest, EachTileShowsItsStateInItsColourWithTheValueThatRaisedIt) {
  struct Case {
    AlarmChange change;
    const char* colour;
    const char* text;
  };
  const Case cases[] = {
      {Change(AlarmKind::NoData, AlarmState::Alarm, 3.2, "s without a valid record"), "#d62828",
       "3.2 s without a valid record"},
      {Change(AlarmKind::Disk, AlarmState::Warning, 0.45, "MB free"), "#ffc83d", "0.45 MB free"},
      {Change(AlarmKind::Gps, AlarmState::Warning, 2.4, "HDOP"), "#ffc83d", "2.4 HDOP"},
      {Change(AlarmKind::Gps, AlarmState::Normal), "#bfe8bf", "normal"},
  };
  for (const Case& c : cases) {
    tiles_.Show(c.change);
    const AlarmKind kind = c.change.alarm;
    EXPECT_TRUE(Text(kind).contains(QString::fromUtf8(AlarmName(kind).data()))) << Text(kind).toStdString();
    EXPECT_TRUE(Text(kind).contains(QString::fromUtf8(c.text))) << Text(kind).toStdString();
    EXPECT_TRUE(Coloured(kind, c.colour)) << tiles_.Tile(kind)->styleSheet().toStdString();
  }
  tiles_.Reset({false, true, false});
  for (const AlarmKind off : {AlarmKind::TowfishDepth, AlarmKind::Gps, AlarmKind::Clock}) {
    EXPECT_TRUE(Text(off).contains(QStringLiteral("off")));
    EXPECT_TRUE(Coloured(off, "#d8d8d8"));
  }
  EXPECT_TRUE(Coloured(AlarmKind::Signal, "#bfe8bf"));
  EXPECT_TRUE(Coloured(AlarmKind::NoData, "#bfe8bf"));  // a new session: normal again
}

// The longest value a tile shows fits it whole at the width the live
// window gives the seven tiles, and its tooltip holds it too.
TEST_F(AlarmTilesTest, TheLongestValueFitsItsTile) {
  tiles_.resize(860, tiles_.height());
  tiles_.Show(Change(AlarmKind::Clock, AlarmState::Warning, 73050.328, "s system clock ahead of GPS time"));
  QApplication::processEvents();
  const QLabel* tile = tiles_.Tile(AlarmKind::Clock);
  EXPECT_LE(tile->heightForWidth(tile->width()), tile->height()) << tile->width();
  EXPECT_TRUE(tile->toolTip().contains(QStringLiteral("73050.328 s system clock ahead of GPS time")))
      << tile->toolTip().toStdString();
}

TEST_F(AlarmTilesTest, AnAlarmSoundsUntilAClickAcknowledgesItAndItsTileStaysUntilItClears) {
  tiles_.Show(Change(AlarmKind::NoData, AlarmState::Alarm, 3, "s without a valid record"));
  EXPECT_EQ(plays_, 1);  // at once
  QTest::qWait(5 * kRepeatMs);
  EXPECT_GE(plays_, 3);  // and again
  QTest::mouseClick(tiles_.Tile(AlarmKind::NoData), Qt::LeftButton);
  EXPECT_FALSE(tiles_.Sounding());
  const int silenced = plays_;
  QTest::qWait(5 * kRepeatMs);
  EXPECT_EQ(plays_, silenced);
  EXPECT_TRUE(Coloured(AlarmKind::NoData, "#d62828"));  // still raised
  EXPECT_TRUE(Text(AlarmKind::NoData).contains(QStringLiteral("(silenced)")));

  tiles_.Show(Change(AlarmKind::NoData, AlarmState::Normal));
  EXPECT_TRUE(Coloured(AlarmKind::NoData, "#bfe8bf"));
  tiles_.Show(Change(AlarmKind::NoData, AlarmState::Alarm, 3, "s without a valid record"));
  EXPECT_TRUE(tiles_.Sounding());  // back again: heard again
  EXPECT_EQ(plays_, silenced + 1);
}

TEST_F(AlarmTilesTest, AClickSilencesItsOwnAlarmOnlyAndWarningsNeverSound) {
  tiles_.Show(Change(AlarmKind::Disk, AlarmState::Warning, 400, "MB free"));
  EXPECT_FALSE(tiles_.Sounding());
  EXPECT_EQ(plays_, 0);
  tiles_.Show(Change(AlarmKind::NoData, AlarmState::Alarm, 3, "s without a valid record"));
  tiles_.Show(Change(AlarmKind::TowfishDepth, AlarmState::Alarm, 80.5, "m depth"));
  QTest::mouseClick(tiles_.Tile(AlarmKind::NoData), Qt::LeftButton);
  EXPECT_TRUE(tiles_.Sounding());  // the depth alarm still sounds
  QTest::mouseClick(tiles_.Tile(AlarmKind::Disk), Qt::LeftButton);
  EXPECT_TRUE(tiles_.Sounding());
  tiles_.Acknowledge();
  EXPECT_FALSE(tiles_.Sounding());
  // A sounding alarm that falls back to a warning stops sounding.
  tiles_.Show(Change(AlarmKind::TowfishDepth, AlarmState::Alarm, 0.5, "m depth"));
  tiles_.Show(Change(AlarmKind::TowfishDepth, AlarmState::Warning, 1, "m depth"));
  EXPECT_FALSE(tiles_.Sounding());
}

}  // namespace
}  // namespace tessaly
