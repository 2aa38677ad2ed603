// The positions of a live session's records as fixes keep arriving: a ship
// steaming north along the equator at 2 m/s, its truth worked out in metres
// apart from the code (GpsTruth.h); what the newest records are given, and
// what they are given again when the next fix comes.
#include "core/LivePositions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "support/GpsTruth.h"

namespace tessaly {
namespace {

using testing::Metres;
using testing::MetresOf;
using testing::PointAt;

constexpr std::int64_t kRunStartUtc = 1'800'000'000 * kNsPerSecond;
constexpr double kShipSpeed = 2.0;  // metres a second, due north

std::int64_t At(double seconds) { return kRunStartUtc + std::llround(seconds * 1e9); }
Metres ShipAt(double seconds) { return {0.0, kShipSpeed * seconds}; }

DecodedSentence Gga(double seconds) {
  return *DecodeNmea(testing::GgaText(At(seconds) / kNsPerMs % 86'400'000, PointAt(ShipAt(seconds))));
}

class Positions : public ::testing::Test {
 protected:
  Positions() {
    settings_.cableOut = 50.0;
    settings_.defaultDepth = 10.0;
    positions_ = std::make_unique<LivePositions>(settings_, settings_.cableOut);
  }
  void Fix(double seconds) {
    positions_->AddSentence(At(seconds), Gga(seconds));
    Take();
  }
  // Records every 0.1 s from `from` up to `to`, rows going on.
  void Records(double from, double to) {
    for (double t = from; t < to - 1e-9; t += 0.1) {
      ++row_;
      times_[row_] = t;
      positions_->AddRecord(row_, row_, At(t), std::nullopt);
    }
    Take();
  }
  // The latest report of every row, and how often each was reported.
  void Take() {
    for (const LivePosition& p : positions_->TakeChanges()) {
      latest_[p.row] = p;
      ++reports_[p.row];
    }
  }
  double AntennaError(std::uint64_t row) const {
    const LivePosition& p = latest_.at(row);
    return p.position.antenna ? testing::Distance(MetresOf(*p.position.antenna), ShipAt(times_.at(row))) : 1e9;
  }

  LaybackSettings settings_;
  std::unique_ptr<LivePositions> positions_;
  std::uint64_t row_ = 0;
  std::map<std::uint64_t, double> times_;
  std::map<std::uint64_t, LivePosition> latest_;
  std::map<std::uint64_t, int> reports_;
};

TEST_F(Positions, TheNewestRecordsAreExtrapolatedThenInterpolatedWhenTheNextFixComes) {
  for (int s = 0; s <= 3; ++s) Fix(s);
  Records(3.05, 4.0);  // after the last fix
  for (std::uint64_t row = 1; row <= row_; ++row) {
    EXPECT_TRUE(latest_.at(row).Provisional()) << row;
    EXPECT_EQ(latest_.at(row).position.flags & kExtrapolated, kExtrapolated) << row;
    EXPECT_LT(AntennaError(row), 0.005) << row;  // a straight run extrapolates well
  }
  Fix(4);
  for (std::uint64_t row = 1; row <= row_; ++row) {
    EXPECT_EQ(reports_.at(row), 2) << row;
    EXPECT_FALSE(latest_.at(row).Provisional()) << row;
    EXPECT_EQ(latest_.at(row).position.flags & (kExtrapolated | kNoFix), 0) << row;
    EXPECT_LT(AntennaError(row), 0.005) << row;
  }
}

// Nothing is extrapolated into a dropout: records first given a position
// from the fixes before it lose it when the next fix shows the gap.
TEST_F(Positions, ADropoutFoundLateTakesTheExtrapolatedPositionsAway) {
  for (int s = 0; s <= 3; ++s) Fix(s);
  Records(3.05, 6.0);
  std::size_t extrapolated = 0, refused = 0;
  for (const auto& [row, p] : latest_) {
    extrapolated += (p.position.flags & kExtrapolated) != 0;
    refused += (p.position.flags & kExtrapolationRefused) != 0;
  }
  EXPECT_EQ(extrapolated, 20u);  // up to 2 s after the last fix
  EXPECT_EQ(refused, 10u);
  Fix(6.5);
  for (const auto& [row, p] : latest_) {
    EXPECT_EQ(p.position.flags, kNoFix) << row;
    EXPECT_FALSE(p.position.antenna) << row;
    EXPECT_FALSE(p.position.towfish) << row;
  }
}

// Records up to 0.95 s settle with the fix at 5 s, once the one at 6 s has
// begun: till then a later sentence could still call it invalid.
TEST_F(Positions, ARecordSettlesOnceAFixFourSecondsLaterIsClosed) {
  Fix(0);
  Records(0.05, 1.0);
  EXPECT_EQ(positions_->Unsettled(), 10u);
  for (int s = 1; s <= 5; ++s) Fix(s);
  EXPECT_EQ(positions_->Unsettled(), 10u);
  Fix(6);
  EXPECT_EQ(positions_->Unsettled(), 0u);
}

TEST_F(Positions, ANewPartsFirstRecordsHaveTheFixesBeforeThemWhenGivenTheLeadIn) {
  struct Case {
    const char* name;
    bool leadIn;
    std::uint8_t firstFlags;
  };
  for (const Case& c : {Case{"with the lead-in", true, 0}, Case{"without", false, kExtrapolated}}) {
    SCOPED_TRACE(c.name);
    std::vector<ReceivedSentence> before;
    for (int s = 0; s <= 3; ++s) before.push_back({At(s), Gga(s)});
    positions_->StartPart(c.leadIn ? before : std::vector<ReceivedSentence>{});
    latest_.clear();
    Records(3.5, 3.6);
    Fix(4);
    Fix(5);
    const LivePosition& first = latest_.at(row_);
    EXPECT_EQ(first.position.flags & (kExtrapolated | kNoFix), c.firstFlags);
    EXPECT_LT(AntennaError(row_), 0.005);
  }
}

// 50 m of cable at 10 m depth: 48.99 m astern; 30 m from the change on.
TEST_F(Positions, ACableChangeMovesTheTowfishFromThenOn) {
  for (int s = 0; s <= 10; ++s) Fix(s);
  Records(5.05, 7.0);
  positions_->ChangeCable(At(7.0), 30.0);
  Records(7.05, 9.0);
  Fix(11);
  EXPECT_EQ(positions_->CableOutNow(), 30.0);
  for (const auto& [row, p] : latest_) {
    const double t = times_.at(row);
    if (!p.position.towfish) {  // no course made good over the first metre
      EXPECT_EQ(p.position.flags, kNoCourse) << row;
      EXPECT_LT(t, 5.6) << row;
      continue;
    }
    const double astern = kShipSpeed * t - MetresOf(*p.position.towfish).north;
    EXPECT_NEAR(astern, t < 7.0 ? 48.99 : 28.28, 0.05) << row;
    EXPECT_EQ(p.position.cableOut, t < 7.0 ? 50.0 : 30.0) << row;
  }
}

TEST(WrittenMillis, TimesAreTakenToTheMillisecondBelowAsTheSideFilesWriteThem) {
  EXPECT_EQ(ToWrittenMillis(1'999'999), 1'000'000);
  EXPECT_EQ(ToWrittenMillis(2'000'000), 2'000'000);
  EXPECT_EQ(ToWrittenMillis(-1), -1'000'000);
  EXPECT_EQ(ToWrittenMillis(kRunStartUtc + 123'456'789), kRunStartUtc + 123'000'000);
}

}  // namespace
}  // namespace tessaly
