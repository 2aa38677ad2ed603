// The simulator's pacing: when bytes have left the line.
#include "tools/sim/LineClock.h"

#include <gtest/gtest.h>

namespace tessaly::sim {
namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;

const LineClock::TimePoint kStart{std::chrono::seconds(1000)};

LineSettings Line(int baud, int dataBits = 8, LineParity parity = LineParity::None, double stopBits = 1.0) {
  return {baud, dataBits, parity, stopBits};
}

TEST(LineClock, BytesLeaveTheLineAtTheByteRate) {
  LineClock clock(Line(9600), kStart);  // 960 bytes a second
  EXPECT_EQ(clock.FreeAt(), kStart);
  EXPECT_EQ(clock.Send(96, kStart), kStart + milliseconds(100));
  EXPECT_EQ(clock.Send(960, kStart), kStart + milliseconds(1100));  // queued behind the first
  EXPECT_EQ(clock.FreeAt(), kStart + milliseconds(1100));
}

TEST(LineClock, ScheduleIsAbsoluteSoRoundingDoesNotAddUp) {
  LineClock clock(Line(115200), kStart);  // 86805.55... ns a byte
  LineClock::TimePoint last{};
  for (int i = 0; i < 115200; ++i) last = clock.Send(1, LineClock::TimePoint{});
  EXPECT_EQ(last, kStart + std::chrono::seconds(10));
}

TEST(LineClock, NeverTakesABytePartOfTheWayEarly) {
  LineClock clock(Line(9600, 7, LineParity::Even, 2.0), kStart);  // 11 bits: 1145833 1/3 ns a byte
  EXPECT_EQ(clock.Send(1, kStart), kStart + nanoseconds(1145834));
  EXPECT_EQ(clock.Send(1, kStart), kStart + nanoseconds(2291667));
  EXPECT_EQ(clock.Send(1, kStart), kStart + nanoseconds(3437500));
}

TEST(LineClock, ALaterStartWaitsForIt) {
  LineClock clock(Line(9600), kStart);
  clock.Send(96, kStart);
  EXPECT_EQ(clock.Send(96, kStart + milliseconds(500)), kStart + milliseconds(600));
  // An earlier wish does not jump the queue.
  EXPECT_EQ(clock.Send(96, kStart), kStart + milliseconds(700));
}

TEST(LineClock, IdleTimeFollowsTheLastByte) {
  LineClock clock(Line(9600), kStart);
  clock.Send(96, kStart);
  clock.Idle(milliseconds(250));
  EXPECT_EQ(clock.FreeAt(), kStart + milliseconds(350));
  EXPECT_EQ(clock.Send(96, kStart), kStart + milliseconds(450));
}

TEST(LineClock, RestartOnlyEverMovesTheScheduleLater) {
  LineClock clock(Line(9600), kStart);
  clock.Send(960, kStart);                    // free at +1 s
  clock.RestartAt(kStart + milliseconds(400)); // earlier than free: no change
  EXPECT_EQ(clock.FreeAt(), kStart + milliseconds(1000));
  clock.RestartAt(kStart + milliseconds(3000));  // a stall: no rush to catch up
  EXPECT_EQ(clock.FreeAt(), kStart + milliseconds(3000));
  EXPECT_EQ(clock.Send(96, LineClock::TimePoint{}), kStart + milliseconds(3100));
}

TEST(LineClock, EveryBitOfTheFrameCounts) {
  const auto time = [](const LineSettings& line) { return LineClock(line, kStart).Send(48, kStart) - kStart; };
  EXPECT_EQ(time(Line(4800)), milliseconds(100));
  EXPECT_EQ(time(Line(4800, 7, LineParity::Even, 2.0)), milliseconds(110));
  EXPECT_EQ(time(Line(4800, 5, LineParity::None, 1.5)), milliseconds(75));
  EXPECT_EQ(time(Line(4800, 8, LineParity::Mark)), milliseconds(110));
}

}  // namespace
}  // namespace tessaly::sim
