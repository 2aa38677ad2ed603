#include "core/LiveStatusText.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

LiveStatus Status(LiveState state) {
  LiveStatus status;
  status.state = state;
  return status;
}

TEST(LiveStatusText, SaysWhatTheSessionDoesAndWhyItWaits) {
  struct Case {
    LiveStatus status;
    const char* text;
  };
  LiveStatus lost = Status(LiveState::Logging);
  lost.deviceLost = true;
  LiveStatus silent = Status(LiveState::Logging);
  silent.silent = true;
  LiveStatus full = Status(LiveState::Paused);
  full.writeFailed = true;
  full.writeError = "Cannot write the log /d/s.kvl: File too large";
  full.heldRecords = 12;
  full.lostRecords = 1;
  LiveStatus other = Status(LiveState::Paused);
  other.otherDevice = true;
  other.deviceText = "/dev/ttyUSB0 (USB 0403:6001, serial B2)";
  const Case cases[] = {
      {Status(LiveState::Idle), ""},
      {Status(LiveState::Stopped), ""},
      {Status(LiveState::Logging), "Logging ..."},
      {Status(LiveState::Paused), "Paused ..."},
      {lost, "Device lost, reconnecting ..."},
      {silent, "Logging ... Nothing received for a while."},
      {full,
       "Paused ... Cannot write the log /d/s.kvl: File too large. 12 records held in memory. 1 record lost: more "
       "than memory may hold."},
      {other,
       "Paused ... Another device is on the port now: /dev/ttyUSB0 (USB 0403:6001, serial B2). Resume to log from it."},
  };
  for (const Case& c : cases) EXPECT_EQ(LiveStatusText(c.status), c.text);
}

TEST(LiveStatusText, AStopReportSaysHowManyRecordsWentWhere) {
  EXPECT_EQ(StopReportText({5, 0, {}, 0, ""}), "");
  EXPECT_EQ(StopReportText({5, 3, {{"/d/s-rescued.kvl", 3}}, 0, "Cannot write the log /d/s.kvl: File too large"}),
            "3 records could not be written to the log; they were saved in /d/s-rescued.kvl.\r"
            "Cannot write the log /d/s.kvl: File too large");
  EXPECT_EQ(StopReportText({5, 5, {{"/d/s-rescued.kvl", 2}, {"/h/Lib/s-rescued.kvl", 3}}, 1, "no room"}),
            "5 records could not be written to the log; they were saved in /d/s-rescued.kvl (2) and "
            "/h/Lib/s-rescued.kvl (3).\r1 record could not be saved anywhere and are lost.\rno room");
}

}  // namespace
}  // namespace tessaly
