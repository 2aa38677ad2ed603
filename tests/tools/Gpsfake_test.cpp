// The generator's NMEA replayed by gpsd's own test tool: gpsfake feeds it
// through a pseudo-terminal to a gpsd of its own, and watches that gpsd as a
// client, printing the sentences gpsd passes on and gpsd's own reading of
// them (TPV reports). Our framer and decoder read gpsfake's output: they find
// every sentence gpsd relayed, and read the same positions, times, courses
// and speeds as gpsd, a decoder nobody here wrote, and as the generator's
// truth.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>
#include <string>

#include "core/FixTimeline.h"
#include "core/NmeaFramer.h"
#include "core/NmeaSentence.h"
#include "support/Command.h"
#include "support/FileBytes.h"
#include "support/Generator.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

using testing::ReadBytes;
using testing::TempHome;
using testing::WriteBytes;

// gpsd's reading of one fix.
struct GpsdFix {
  double latitude = 0, longitude = 0, speed = -1, track = -1;
};

// The value after "name": in a JSON line; empty when it has none.
std::string JsonValue(const std::string& line, const std::string& name) {
  const std::string key = "\"" + name + "\":";
  const std::size_t at = line.find(key);
  if (at == std::string::npos) return {};
  std::size_t start = at + key.size(), end = 0;
  if (line[start] == '"') end = line.find('"', ++start);
  else end = line.find_first_of(",}", start);
  return line.substr(start, end - start);
}

// TPV reports with a time, by their time.
std::map<std::string, GpsdFix> GpsdFixes(const std::string& output) {
  std::map<std::string, GpsdFix> fixes;
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) {
    if (JsonValue(line, "class") != "TPV" || JsonValue(line, "time").empty()) continue;
    GpsdFix& fix = fixes[JsonValue(line, "time")];
    fix.latitude = std::stod(JsonValue(line, "lat"));
    fix.longitude = std::stod(JsonValue(line, "lon"));
    if (!JsonValue(line, "speed").empty()) fix.speed = std::stod(JsonValue(line, "speed"));
    if (!JsonValue(line, "track").empty()) fix.track = std::stod(JsonValue(line, "track"));
  }
  return fixes;
}

TEST(GpsdReplay, OurFramerAndDecoderReadWhatGpsdReads) {
  TempHome home;
  ASSERT_TRUE(testing::GenerateLog("--kind zpx --records 20 --rate 1 --gps-rate 1 --nmea-out " + home.Path("s.nmea") +
                                       " --gps-truth-out " + home.Path("truth.csv"),
                                   home.Path("s.zpx")));
  // gpsfake replays raw sentences: the reception times come off.
  std::string raw;
  std::istringstream nmea(ReadBytes(home.Path("s.nmea")));
  for (std::string line; std::getline(nmea, line);) raw += line.substr(line.find('\t') + 1) + "\n";
  WriteBytes(home.Path("gps.log"), raw);

  const testing::CommandRun run =
      testing::RunCommand("gpsfake", {"-1", "-p", "-q", "-W", "60", home.Path("gps.log")}, home.Home());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::map<std::string, GpsdFix> gpsd = GpsdFixes(run.out);
  ASSERT_EQ(gpsd.size(), 20u) << run.out;

  NmeaFramer framer;
  FixTimeline timeline;
  std::map<std::string, int> decoded;
  std::int64_t received = 0;
  framer.Feed(run.out, [&](std::string_view sentence) {
    const auto d = DecodeNmea(sentence);
    ASSERT_TRUE(d) << sentence;
    decoded[std::string(sentence.substr(3, 3))]++;
    timeline.Add(received += kNsPerMs, *d);
  });
  EXPECT_EQ(decoded["GGA"], 20);
  EXPECT_EQ(decoded["RMC"], 20);
  EXPECT_EQ(decoded["ZDA"], 20);
  ASSERT_EQ(timeline.Fixes().size(), 20u);

  std::istringstream truthText(ReadBytes(home.Path("truth.csv")));
  std::string truthLine;
  std::getline(truthText, truthLine);  // the header
  for (const GpsFix& fix : timeline.Fixes()) {
    ASSERT_TRUE(fix.valid && fix.gpsUtcNs && fix.position);
    const std::string time = FormatUtcMillis(*fix.gpsUtcNs);
    ASSERT_TRUE(gpsd.count(time)) << time;
    const GpsdFix& theirs = gpsd.at(time);
    EXPECT_NEAR(fix.position->latitude, theirs.latitude, 1e-9) << time;
    EXPECT_NEAR(fix.position->longitude, theirs.longitude, 1e-9) << time;
    EXPECT_NEAR(*fix.speedKnots * 1852.0 / 3600.0, theirs.speed, 0.001) << time;
    EXPECT_NEAR(*fix.courseTrue, theirs.track, 0.0001) << time;
    // The generator's truth for the record of that second: row, utc, lat, lon.
    ASSERT_TRUE(std::getline(truthText, truthLine));
    std::istringstream cells(truthLine);
    std::string row, utc, lat, lon;
    std::getline(cells, row, ',');
    std::getline(cells, utc, ',');
    std::getline(cells, lat, ',');
    std::getline(cells, lon, ',');
    EXPECT_EQ(utc, time);
    EXPECT_NEAR(fix.position->latitude, std::stod(lat), 5e-8) << time;  // six decimals of a minute
    EXPECT_NEAR(fix.position->longitude, std::stod(lon), 5e-8) << time;
  }
}

}  // namespace
}  // namespace tessaly
