#include "core/EventsFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

#include "support/FileBytes.h"
#include "support/FileSizeLimit.h"
#include "support/TempHome.h"

namespace tessaly::events_file_test {

constexpr std::int64_t kMs = 1'000'000;
constexpr std::int64_t kUtc = 1796841198123 * kMs;  // 2026-12-09T18:33:18.123Z

AlarmChange Change(AlarmKind alarm, AlarmState state, double value, std::string_view cause) {
  return {alarm, AlarmState::Normal, {state, value, cause}, kUtc};
}

TEST(EventsFile, LinesAsTheWatchLogHoldsThem) {
  struct Case {
    WatchEvent event;
    const char* line;
  };
  const Case cases[] = {
      {AlarmEvent(Change(AlarmKind::NoData, AlarmState::Alarm, 3.2, "s without a valid record"), 1234),
       "2026-12-09T18:33:18.123Z\t1234\tNo data\talarm\t3.2\ts without a valid record\n"},
      {AlarmEvent(Change(AlarmKind::Clock, AlarmState::Warning, -1.25049, "s off"), 0),
       "2026-12-09T18:33:18.123Z\t0\tClock\twarning\t-1.25\ts off\n"},
      {AlarmEvent(Change(AlarmKind::TowfishDepth, AlarmState::Normal, 0.0, ""), 7),
       "2026-12-09T18:33:18.123Z\t7\tTowfish depth\tnormal\t0\t\n"},
      {AlarmEvent(Change(AlarmKind::Disk, AlarmState::Warning, 499.9996, "MB free"), 9),
       "2026-12-09T18:33:18.123Z\t9\tDisk\twarning\t500\tMB free\n"},
      {CommentEvent(kUtc, 5120, "crossing\tthe cable\r\nroute"),
       "2026-12-09T18:33:18.123Z\t5120\tComment\t\t\tcrossing the cable  route\n"},
      {MarkEvent(kUtc, 5700, "F11", "start of line 7"), "2026-12-09T18:33:18.123Z\t5700\tMark\tF11\t\tstart of line 7\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatWatchEvent(c.event), c.line);
}

TEST(EventsFile, ReadsWhatItWritesAndSaysWhichLinesAreNoEvents) {
  const std::string text =
      "2026-12-09T18:33:18.123Z\t1234\tNo data\talarm\t3.2\ts without a valid record\n"
      "\n"
      "2026-12-09T18:33:19.000Z\t1235\tNo data\tnormal\t0\t\r\n"
      "2026-12-09T18:33:19.000Z\t1235\tNo data\tloud\t0\t\n"           // line 4: no state
      "2026-12-09T18:33:19Z\tx\tComment\t\t\ta\n"                        // line 5: no row
      "yesterday\t1\tComment\t\t\ta\n"                                   // line 6: no time
      "2026-12-09T18:33:19.000Z\t1\tGPS\twarning\t\tHDOP\n"             // line 7: no value
      "2026-12-09T18:33:19.000Z\t1\tComment\t\t4\tcomment\n"            // line 8: a value
      "2026-12-09T18:33:19.000Z\t1\tMark\t\t\tnote\n"                   // line 9: no key
      "2026-12-09T18:33:19.000Z\t1\tWeather\t\t\tfog\n"                 // line 10: unknown
      "2026-12-09T18:33:19.000Z\t1\tComment\t\t\n"                      // line 11: 5 fields
      "2026-12-09T18:40:02.500Z\t5120\tComment\t\t\tcrossing the\rcable route";  // a stray CR
  const EventsFileContent content = ParseEventsFile(text);
  ASSERT_EQ(content.events.size(), 3u);
  EXPECT_EQ(content.events[0], AlarmEvent(Change(AlarmKind::NoData, AlarmState::Alarm, 3.2, "s without a valid record"), 1234));
  EXPECT_EQ(content.events[1].state, "normal");
  EXPECT_EQ(content.events[1].value, 0.0);
  EXPECT_EQ(content.events[2], CommentEvent(1796841602500 * kMs, 5120, "crossing the cable route"));
  const std::vector<std::string> problems = {
      "line 4: no alarm state", "line 5: no row number",           "line 6: no UTC time",
      "line 7: no value",       "line 8: a value where none belongs", "line 9: a mark without its key",
      "line 10: an unknown event", "line 11: 5 fields, not 6"};
  EXPECT_EQ(content.problems, problems);
}

TEST(EventsFile, WriterAppendsLineByLine) {
  testing::TempHome home;
  const std::string path = EventsFileName(home.Path("survey.kvl"));
  EXPECT_EQ(path, home.Path("survey.kvl.events"));
  std::ofstream(path) << "2026-12-09T18:00:00.000Z\t0\tMark\tF11\t\tearlier session\n";
  EventsFileWriter writer;
  ASSERT_TRUE(writer.Open(path)) << writer.Error();
  const WatchEvent raised = AlarmEvent(Change(AlarmKind::Gps, AlarmState::Warning, 2.4, "HDOP"), 10);
  ASSERT_TRUE(writer.Append(raised));
  // On the disk at once, before the writer closes.
  EventsFileContent content = ReadEventsFile(path);
  ASSERT_EQ(content.events.size(), 2u);
  EXPECT_EQ(content.events[1], raised);
  ASSERT_TRUE(writer.Append(CommentEvent(kUtc, 11, "fog")));
  writer.Close();
  content = ReadEventsFile(path);
  EXPECT_TRUE(content.problems.empty());
  ASSERT_EQ(content.events.size(), 3u);
  EXPECT_EQ(content.events[0].text, "earlier session");
  EXPECT_EQ(content.events[2].text, "fog");
}

TEST(EventsFile, FailuresAreReportedNotThrown) {
  testing::TempHome home;
  EventsFileWriter writer;
  EXPECT_FALSE(writer.Append(CommentEvent(kUtc, 1, "x")));
  EXPECT_FALSE(writer.Error().empty());
  EXPECT_FALSE(writer.Open(home.Path("no/such/folder/survey.kvl.events")));
  EXPECT_NE(writer.Error().find("no/such/folder"), std::string::npos);
  EventsFileWriter full;
  ASSERT_TRUE(full.Open("/dev/full"));
  EXPECT_FALSE(full.Append(CommentEvent(kUtc, 1, "x")));
  EXPECT_NE(full.Error().find("/dev/full"), std::string::npos);
  EXPECT_EQ(ReadEventsFile(home.Path("missing.events")).problems.size(), 1u);
  EXPECT_EQ(ReadEventsFile(home.Home()).problems.size(), 1u);  // a folder
}

// A disk that takes half a line: the part written is taken back, so the
// next line the file takes starts a line of its own.
TEST(EventsFile, ALineTheDiskTakesOnlyInPartIsTakenBack) {
  testing::TempHome home;
  const std::string path = EventsFileName(home.Path("survey.kvl"));
  const WatchEvent first = MarkEvent(kUtc, 1, "F11", "");
  const std::string firstLine = FormatWatchEvent(first);
  EventsFileWriter writer;
  ASSERT_TRUE(writer.Open(path));
  {
    testing::FileSizeLimit limit(firstLine.size() + 10);
    ASSERT_TRUE(writer.Append(first));
    EXPECT_FALSE(writer.Append(CommentEvent(kUtc, 2, "a comment longer than what is left")));
  }
  EXPECT_EQ(testing::ReadBytes(path), firstLine);
  ASSERT_TRUE(writer.Append(MarkEvent(kUtc, 3, "F12", "")));
  EXPECT_EQ(ParseEventsFile(testing::ReadBytes(path)).events.size(), 2u);
}

}  // namespace tessaly::events_file_test
