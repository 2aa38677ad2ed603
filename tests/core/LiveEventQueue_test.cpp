#include "core/LiveEventQueue.h"

#include <gtest/gtest.h>

#include <thread>

#include "support/LiveRecords.h"

namespace tessaly {
namespace {

// Reports made on one thread arrive on another in order, and the other
// thread is woken once for every run of reports it has not taken yet.
TEST(LiveEventQueue, CarriesReportsInOrderBetweenThreads) {
  std::atomic<int> wakes{0};
  LiveEventQueue queue([&] { ++wakes; });
  std::thread session([&] {
    for (std::uint64_t row = 1; row <= 1000; ++row) {
      LiveRecord record;
      record.row = row;
      queue.RecordAccepted(record);
      if (row % 100 == 0) queue.Happened(LiveEvent::Silence, LiveStatus{});
    }
    queue.Stopped(StopReport{1000, 0, {}, 0, ""});
  });
  testing::LiveRecorder seen;
  while (seen.stops.empty()) queue.Deliver(seen);
  session.join();
  ASSERT_EQ(seen.accepted.size(), 1000u);
  for (std::uint64_t row = 1; row <= 1000; ++row) ASSERT_EQ(seen.accepted[row - 1].row, row);
  EXPECT_EQ(seen.Count(LiveEvent::Silence), 10u);
  EXPECT_GE(wakes, 1);

  const int before = wakes;
  queue.PartStarted(1, "/d/s_1.kvl");
  queue.PartStarted(2, "/d/s_2.kvl");
  EXPECT_EQ(wakes, before + 1);
  queue.Deliver(seen);
  EXPECT_EQ(seen.parts, (std::vector<std::string>{"/d/s_1.kvl", "/d/s_2.kvl"}));
}

TEST(LiveEventQueue, AListPassesEveryReportToEachObserver) {
  testing::LiveRecorder first, second;
  LiveObserverList list;
  list.Add(&first);
  list.Add(&second);
  list.RecordRejected({"$KVMGD,x", "Deviation is non-numeric", 3});
  list.Happened(LiveEvent::DeviceLost, LiveStatus{});
  for (const auto* seen : {&first, &second}) {
    ASSERT_EQ(seen->rejected.size(), 1u);
    EXPECT_EQ(seen->rejected[0].rowsBefore, 3u);
    EXPECT_EQ(seen->events, std::vector<LiveEvent>{LiveEvent::DeviceLost});
  }
}

// Every kind of report, each with a value the observer can tell apart.
void SendEveryReport(LiveObserver& to) {
  LiveRecord record;
  record.row = 7;
  to.RecordAccepted(record);
  to.RecordRejected({"$KVMGD,x", "Deviation is non-numeric", 3});
  to.PartStarted(2, "/d/s_2.kvl");
  LiveStatus status;
  status.heldRecords = 5;
  to.Happened(LiveEvent::Holding, status);
  to.Stopped(StopReport{9, 0, {}, 0, ""});
  AlarmChange change;
  change.alarm = AlarmKind::Disk;
  to.AlarmChanged(change);
  WatchEvent comment;
  comment.text = "SOL L42";
  to.EventRecorded(comment);
  to.RecordFlagged(12, kFlagSpike, 4.5);
  LiveGpsStatus gps;
  gps.cableOut = 150.0;
  to.GpsChanged(gps);
  LivePosition position;
  position.row = 13;
  to.RecordsPositioned({position});
}

void ExpectEveryReport(const testing::LiveRecorder& seen) {
  ASSERT_EQ(seen.accepted.size(), 1u);
  EXPECT_EQ(seen.accepted[0].row, 7u);
  ASSERT_EQ(seen.rejected.size(), 1u);
  EXPECT_EQ(seen.rejected[0].rowsBefore, 3u);
  EXPECT_EQ(seen.parts, std::vector<std::string>{"/d/s_2.kvl"});
  EXPECT_EQ(seen.events, std::vector<LiveEvent>{LiveEvent::Holding});
  EXPECT_EQ(seen.last.heldRecords, 5u);
  ASSERT_EQ(seen.stops.size(), 1u);
  EXPECT_EQ(seen.stops[0].recordsLogged, 9u);
  ASSERT_EQ(seen.alarms.size(), 1u);
  EXPECT_EQ(seen.alarms[0].alarm, AlarmKind::Disk);
  ASSERT_EQ(seen.watchEvents.size(), 1u);
  EXPECT_EQ(seen.watchEvents[0].text, "SOL L42");
  EXPECT_EQ(seen.flags, (std::vector<QualityFinding>{{12, kFlagSpike, 4.5}}));
  ASSERT_EQ(seen.gps.size(), 1u);
  EXPECT_EQ(seen.gps[0].cableOut, 150.0);
  EXPECT_EQ(seen.positionReports, 1u);
  EXPECT_EQ(seen.positions.count(13), 1u);
}

TEST(LiveEventQueue, PassesOnEveryKindOfReport) {
  LiveEventQueue queue;
  SendEveryReport(queue);
  testing::LiveRecorder seen;
  queue.Deliver(seen);
  ExpectEveryReport(seen);
}

TEST(LiveEventQueue, AListPassesOnEveryKindOfReport) {
  testing::LiveRecorder first, second;
  LiveObserverList list;
  list.Add(&first);
  list.Add(&second);
  SendEveryReport(list);
  ExpectEveryReport(first);
  ExpectEveryReport(second);
}

}  // namespace
}  // namespace tessaly
