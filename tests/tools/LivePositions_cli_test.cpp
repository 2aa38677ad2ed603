// A live session positions its records as tessaly-cli position does after
// the survey from the files the session left: a generated survey (its
// records, their reception times and the ship's NMEA) played into a session
// in simulated time, part by part; then the command line on each part. And
// both where the generator's truth puts the ship and the towfish.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "core/LiveSession.h"
#include "core/NmeaLog.h"
#include "core/SettingsFile.h"
#include "core/SettingsStore.h"
#include "core/UTMLaLo.h"
#include "support/FakeTransport.h"
#include "support/Generator.h"
#include "support/LiveRecords.h"
#include "tools/CliRun.h"

namespace tessaly {
namespace {

using testing::ReadBytes;
using testing::TextLines;

std::vector<std::string> Cells(const std::string& line) {
  std::vector<std::string> cells;
  std::size_t start = 0;
  for (std::size_t comma; (comma = line.find(',', start)) != std::string::npos; start = comma + 1)
    cells.push_back(line.substr(start, comma - start));
  cells.push_back(line.substr(start));
  return cells;
}

std::string Degrees(const std::optional<GeoPosition>& p, bool latitude) {
  if (!p) return "";
  char text[32];
  std::snprintf(text, sizeof text, "%.8f", latitude ? p->latitude : p->longitude);
  return text;
}

double Metres(const GeoPosition& a, const GeoPosition& b) {
  UtmPosition ua, ub;
  EXPECT_TRUE(LatLonToUtm(kWgs84Datum, a.latitude, a.longitude, ua));
  EXPECT_TRUE(LatLonToUtmInZone(kWgs84Datum, b.latitude, b.longitude, ua.zoneNumber, a.latitude < 0, ub));
  return std::hypot(ua.easting - ub.easting, ua.northing - ub.northing);
}

// What happens in the survey, in time order: a record or a sentence.
struct Event {
  std::int64_t utcNs;
  bool record;
  std::string text;
};

class LiveAndCli : public ::testing::Test {
 protected:
  void Generate(const std::string& options) {
    ASSERT_TRUE(testing::GenerateLog(options + " --nmea-out " + Source() + ".nmea --times-out " + Source() +
                                         ".times --gps-truth-out " + home_.Path("truth.csv"),
                                     Source()));
    const std::vector<std::string> records = TextLines(ReadBytes(Source()));
    for (const ReceptionTime& time : ReadReceptionTimes(Source() + ".times").times)
      events_.push_back({time.utcNs, true, records[time.row - 1]});
    for (const std::string& line : TextLines(ReadBytes(Source() + ".nmea"))) {
      const auto parsed = ParseNmeaLogLine(line);
      ASSERT_TRUE(parsed) << line;
      events_.push_back({parsed->receivedUtcNs, false, std::string(parsed->sentence)});
    }
    std::stable_sort(events_.begin(), events_.end(), [](const Event& a, const Event& b) { return a.utcNs < b.utcNs; });
  }
  // Plays the survey into a session on `base` at the times the generator
  // gives, ticking every 100 ms; the cable out changes to `newCable` at
  // `changeAt` of the events.
  void Play(const std::string& base, std::size_t perPart, std::size_t changeAt, double newCable) {
    LiveSessionOptions options;
    options.recordsPerPart = perPart;
    options.layback = settings_;
    options.gps = &gps_;
    options.rescueFolder = home_.Path("Lib");
    ManualClock clock(events_.front().utcNs - kNsPerSecond, 1000 * kNsPerSecond);
    LiveSession session(FindLogVariant(LogVariantId::ZpxKV), device_, clock, seen_, options);
    ASSERT_EQ(session.Start(base, FindEarlierLogFiles(base)), "");
    std::int64_t nextTick = clock.UtcNs() + 100 * kNsPerMs;
    for (std::size_t i = 0; i < events_.size(); ++i) {
      const Event& event = events_[i];
      for (; nextTick <= event.utcNs; nextTick += 100 * kNsPerMs) {
        clock.Advance(nextTick - clock.UtcNs());
        session.Tick();
      }
      clock.Advance(event.utcNs - clock.UtcNs());
      (event.record ? device_ : gps_).Push(event.text + "\r\n");
      session.Poll();
      if (i == changeAt) {
        ASSERT_EQ(session.SetCableOut(newCable), "");
      }
    }
    session.Stop();
  }
  std::string Source() const { return home_.Path("source.zpx"); }

  testing::TempHome home_;
  LaybackSettings settings_;
  std::vector<Event> events_;
  testing::FakeTransport device_, gps_;
  testing::LiveRecorder seen_;
};

TEST_F(LiveAndCli, TheSessionsPositionsAreThoseTheCommandLineGivesFromItsFiles) {
  Generate("--kind zpx --records 3000 --rate 10 --gps-rate 10 --cable 70 --seed 8 --gps-dropout 120,3");
  settings_.cableOut = 70.0;
  settings_.mode = LaybackMode::FollowTheFish;
  WriteLaybackSettings(home_.Lib("Positioning.ega"), settings_);
  const std::string base = home_.Path("live.zpx");
  constexpr std::size_t kPerPart = 1100;
  Play(base, kPerPart, events_.size() * 5 / 6, 71.5);
  ASSERT_EQ(seen_.positions.size(), 3000u);

  std::size_t compared = 0, provisional = 0, noFix = 0;
  for (std::size_t part = 0; part < 3; ++part) {
    SCOPED_TRACE(part);
    const std::string log = PartFileName(base, part), out = home_.Path("part" + std::to_string(part) + ".csv");
    const testing::CommandRun run = testing::Cli(home_, {"position", log, out});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> rows = TextLines(ReadBytes(out));
    for (std::size_t i = 1; i < rows.size(); ++i) {
      const std::vector<std::string> cli = Cells(rows[i]);
      const LivePosition& live = seen_.positions.at(part * kPerPart + i);
      EXPECT_EQ(live.position.row, i);
      const std::vector<std::string> mine{std::to_string(i),
                                          FormatUtcMillis(*live.position.receivedUtcNs),
                                          Degrees(live.position.antenna, true),
                                          Degrees(live.position.antenna, false),
                                          Degrees(live.position.towfish, true),
                                          Degrees(live.position.towfish, false)};
      ASSERT_EQ(std::vector<std::string>(cli.begin(), cli.begin() + 6), mine) << rows[i];
      ASSERT_EQ(cli[11], PositionFlagsText(live.position.flags)) << rows[i];
      ++compared;
      provisional += live.Provisional();
      noFix += (live.position.flags & kNoFix) != 0;
    }
  }
  EXPECT_EQ(compared, 3000u);
  EXPECT_EQ(noFix, 30u);        // the dropout's records
  EXPECT_LE(provisional, 1u);   // the newest record, after the last fix
  EXPECT_EQ(TextLines(ReadBytes(SideFileName(PartFileName(base, 2), kCableSuffix))).size(), 2u);
}

// The same session judged by the generator's truth: the antenna where the
// ship was, the towfish where the generator's layback put it, on the lines.
TEST_F(LiveAndCli, TheSessionsPositionsMatchTheGeneratorsTruth) {
  Generate("--kind zpx --records 3000 --rate 10 --gps-rate 10 --cable 70 --seed 5");
  settings_.cableOut = 70.0;
  settings_.mode = LaybackMode::FollowTheFish;
  Play(home_.Path("live.zpx"), kRecordsPerPart, events_.size(), 0.0);
  double worstAntenna = 0, worstFish = 0;
  std::size_t onLine = 0;
  const std::vector<std::string> truth = TextLines(ReadBytes(home_.Path("truth.csv")));
  for (std::size_t row = 1; row < truth.size(); ++row) {
    const std::vector<std::string> t = Cells(truth[row]);
    const LivePosition& live = seen_.positions.at(row);
    ASSERT_TRUE(live.position.antenna) << row;
    worstAntenna = std::max(worstAntenna, Metres(*live.position.antenna, {std::stod(t[2]), std::stod(t[3])}));
    if (t[6] != "1") continue;
    ++onLine;
    ASSERT_TRUE(live.position.towfish) << row;
    worstFish = std::max(worstFish, Metres(*live.position.towfish, {std::stod(t[4]), std::stod(t[5])}));
  }
  EXPECT_GT(onLine, 2000u);
  EXPECT_LT(worstAntenna, 0.05);
  EXPECT_LT(worstFish, 0.5);
}

}  // namespace
}  // namespace tessaly
