// An opened log with the files a live part has beside it: every record gets
// its reception time and its antenna and towfish positions (judged by the
// generator's truth), the gap flags judge the reception times, and the
// track and the survey lines follow the towfish from the GPS, for a kind
// whose records carry no position at all.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Clock.h"
#include "core/LogDocument.h"
#include "core/RecordLines.h"
#include "core/RecordPositions.h"
#include "core/TrackModel.h"
#include "support/DocumentFiles.h"
#include "support/FileBytes.h"
#include "support/GeneratedGps.h"
#include "support/TowedZeph.h"
#include "support/TempHome.h"

namespace tessaly::document_received_test {

using testing::GpsTruthRow;
using testing::MetresApart;

LoadOptions FollowingSeventyMetres() {
  LoadOptions load;
  load.layback = testing::TowedZephLayback();
  return load;
}

class GeneratedZeph : public ::testing::Test {
 protected:
  void SetUp() override {
    truth_ = testing::GenerateTowedZeph(log_, 500, 4);
    ASSERT_GT(truth_.size(), 4000u);
    ASSERT_EQ(doc_.OpenLog(log_, FollowingSeventyMetres()), LoadStatus::Loaded);
  }
  testing::TempHome home_;
  std::string log_ = home_.Path("survey.zpx");
  std::vector<GpsTruthRow> truth_;
  LogDocument doc_;
};

TEST_F(GeneratedZeph, EveryRecordHasItsReceptionTimeAndPositions) {
  const std::span<const ReceivedRecord> received = doc_.Received();
  ASSERT_EQ(received.size(), truth_.size());
  double worstAntenna = 0, worstFish = 0;
  std::size_t onLine = 0;
  for (std::size_t i = 0; i < received.size(); ++i) {
    const ReceivedRecord& r = received[i];
    const GpsTruthRow& t = truth_[i];
    ASSERT_TRUE(r.HasTime()) << i;
    EXPECT_EQ(FormatUtcMillis(r.utcNs), t.utc) << i;
    ASSERT_TRUE(r.antenna.Known()) << i;
    worstAntenna = std::max(worstAntenna, MetresApart(t.antennaLat, t.antennaLon, r.antenna.latitude, r.antenna.longitude));
    if (!t.onLine) continue;
    ++onLine;
    ASSERT_TRUE(r.towfish.Known()) << i;
    worstFish = std::max(worstFish, MetresApart(t.fishLat, t.fishLon, r.towfish.latitude, r.towfish.longitude));
  }
  EXPECT_GT(onLine, 2000u);
  EXPECT_LT(worstAntenna, 0.05);
  EXPECT_LT(worstFish, 0.5);
  EXPECT_EQ(doc_.SideFilesError(), "");
  EXPECT_EQ(doc_.SideFileProblemCount(), 0u);
  // Ten records a second: no gap.
  for (const QualityFinding& finding : doc_.QualityFindings()) EXPECT_NE(finding.flag, kFlagGap) << finding.record;
}

TEST_F(GeneratedZeph, TheTrackAndTheLinesFollowTheTowfishAndTheShipGoesBeside) {
  TrackModel fish, ship;
  ASSERT_TRUE(BuildTrack(doc_, fish));
  ASSERT_TRUE(BuildShipTrack(doc_, fish, ship));
  EXPECT_EQ(ship.Zone(), fish.Zone());
  for (const std::size_t i : {500u, 1500u, 3000u}) {
    UtmPosition fishTruth, shipTruth;
    ASSERT_TRUE(LatLonToUtmInZone(kWgs84Datum, truth_[i].fishLat, truth_[i].fishLon, fish.Zone(), false, fishTruth));
    ASSERT_TRUE(LatLonToUtmInZone(kWgs84Datum, truth_[i].antennaLat, truth_[i].antennaLon, fish.Zone(), false, shipTruth));
    EXPECT_NEAR(fish.Position(i)->easting, fishTruth.easting, 0.5) << i;
    EXPECT_NEAR(fish.Position(i)->northing, fishTruth.northing, 0.5) << i;
    EXPECT_NEAR(ship.Position(i)->easting, shipTruth.easting, 0.05) << i;
    EXPECT_NEAR(ship.Position(i)->northing, shipTruth.northing, 0.05) << i;
  }
  EXPECT_EQ(FindRecordLines(doc_, kWgs84Datum).Lines().size(), 2u);
}

TEST_F(GeneratedZeph, WithoutItsFilesOrWhenToldNotToTheLogIsAsBefore) {
  LoadOptions load = FollowingSeventyMetres();
  load.sideFiles = false;
  LogDocument plain;
  ASSERT_EQ(plain.OpenLog(log_, load), LoadStatus::Loaded);
  EXPECT_TRUE(plain.Received().empty());
  TrackModel model;
  EXPECT_FALSE(BuildTrack(plain, model));
  std::filesystem::remove(log_ + ".nmea");
  LogDocument timesAlone;
  ASSERT_EQ(timesAlone.OpenLog(log_, FollowingSeventyMetres()), LoadStatus::Loaded);
  EXPECT_TRUE(timesAlone.Received().empty());
}

// Thirty KVL records 0.1 s apart, but 5 s before record 19 and a second
// back at record 25: gaps at 19 (5 s), 25 (back 1 s) and 26 (1.1 s).
TEST(DocumentReceived, GapsAreJudgedOnTheReceptionTimes) {
  testing::TempHome home;
  const std::string log = home.Path("gaps.kvl");
  std::vector<std::string> records(30, testing::KvlLine("+00000", "3.0"));
  testing::WriteBytes(log, testing::CrLfLines(records));
  std::vector<int> tenths;
  for (int i = 0; i < 30; ++i) tenths.push_back(i <= 18 ? i : i == 25 ? 63 : i < 25 ? 49 + i : 48 + i);
  std::string times;
  constexpr std::int64_t kStart = 20819LL * 86400 * kNsPerSecond;
  for (int i = 0; i < 30; ++i)
    times += std::to_string(i + 1) + "\t" + FormatUtcMillis(kStart + tenths[i] * (kNsPerSecond / 10)) + "\t0\r\n";
  testing::WriteBytes(log + ".times", times);
  testing::WriteBytes(log + ".nmea", "");
  LogDocument doc;
  ASSERT_EQ(doc.OpenLog(log, {}), LoadStatus::Loaded);
  const std::vector<QualityFinding> expected = {{19, kFlagGap, 5.0}, {25, kFlagGap, -1.0}, {26, kFlagGap, 1.1}};
  EXPECT_EQ(doc.QualityFindings(), expected);
  // No fix at all: every record is timed, none positioned.
  ASSERT_EQ(doc.Received().size(), 30u);
  EXPECT_EQ(doc.Received()[7].flags, kNoFix);
  EXPECT_FALSE(doc.Received()[7].towfish.Known());
}

}  // namespace tessaly::document_received_test
