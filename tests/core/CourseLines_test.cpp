// Survey lines found from positions alone, on hand-made tracks whose lines
// are known by construction: straight runs, corners, glitches, doglegs,
// a vessel holding station, records without positions.
#include "core/CourseLines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

namespace tessaly {

std::ostream& operator<<(std::ostream& out, const SurveyLine& line) {
  return out << "{" << line.first << ", " << line.last << ", \"" << line.name << "\"}";
}

namespace {

// A track: record i's position, or none.
using TrackFn = std::function<std::optional<PlanePoint>(int)>;

std::vector<SurveyLine> LinesOf(int records, const TrackFn& track, const CourseLineSettings& settings = {}) {
  CourseLineFinder finder(settings);
  for (int i = 0; i < records; ++i) finder.Add(track(i));
  return finder.Finish();
}

std::optional<PlanePoint> At(double x, double y) { return PlanePoint{x, y}; }

// 1 m a record, north, then east from record 500 on.
std::optional<PlanePoint> Corner(int i) { return i <= 500 ? At(0, i) : At(i - 500, 500); }

struct TrackCase {
  std::string name;
  int records;
  TrackFn track;
  std::vector<SurveyLine> expected;
};

class CourseLinesTrack : public ::testing::TestWithParam<TrackCase> {};

TEST_P(CourseLinesTrack, FindsTheLinesTheTrackIsMadeOf) {
  const TrackCase& c = GetParam();
  EXPECT_EQ(LinesOf(c.records, c.track), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tracks, CourseLinesTrack,
    ::testing::Values(
        // Every record of a straight kilometre, whatever its direction.
        TrackCase{"StraightNorth", 1001, [](int i) { return At(0, i); }, {{0, 1000, ""}}},
        TrackCase{"StraightSouthWest", 1001, [](int i) { return At(-0.6 * i, -0.8 * i); }, {{0, 1000, ""}}},
        // Crossing north through the bearing's wrap from 359 to 1 degrees.
        TrackCase{"ZigzagAcrossNorth", 1001,
                  [](int i) { return At((i / 20 % 2 ? 0.3 : -0.3), i); }, {{0, 1000, ""}}},
        // Below the minimum length.
        TrackCase{"ShortRun", 150, [](int i) { return At(0, i); }, {}},
        // Two lines meeting at a right angle: the corner record ends the first.
        TrackCase{"Corner", 1001, Corner, {{0, 500, ""}, {501, 1000, ""}}},
        // One position 300 m off the line does not split it.
        TrackCase{"Glitch", 1001, [](int i) { return i == 400 ? At(300, i) : At(0, i); }, {{0, 1000, ""}}},
        // Holding station with a metre of jitter makes no course at all.
        TrackCase{"Stationary", 2000, [](int i) { return At(std::sin(i * 1.7), std::cos(i * 2.3)); }, {}},
        // Records without positions stay in the line they are in, and those
        // at the ends go with the first and last segments.
        TrackCase{"WithoutPositions", 1001,
                  [](int i) { return i < 5 || (i > 300 && i < 320) || i > 995 ? std::nullopt : At(0, i); },
                  {{0, 1000, ""}}},
        TrackCase{"NoPositionAtAll", 100, [](int) { return std::nullopt; }, {}}),
    [](const ::testing::TestParamInfo<TrackCase>& info) { return info.param.name; });

// Out along a line, a tight turn, back along the next: two lines, and the
// turn's records in neither. Lines 100 m apart, 1 m a record.
TEST(CourseLines, TurnBetweenLinesBelongsToNoLine) {
  constexpr double kRadius = 50.0, kLength = 1000.0;
  const double turn = std::numbers::pi * kRadius;
  const auto track = [&](int i) {
    const double s = i;
    if (s <= kLength) return At(0, s);
    if (s <= kLength + turn) {
      const double a = (s - kLength) / kRadius;
      return At(kRadius - kRadius * std::cos(a), kLength + kRadius * std::sin(a));
    }
    return At(2 * kRadius, kLength - (s - kLength - turn));
  };
  const int records = static_cast<int>(2 * kLength + turn) + 1;
  const std::vector<SurveyLine> lines = LinesOf(records, track);
  ASSERT_EQ(lines.size(), 2u);
  // The first ends within the 20 degrees of turn a line may take (17 m of
  // arc) plus a segment; the second starts likewise before the turn ends.
  EXPECT_GE(lines[0].last, 1000u);
  EXPECT_LE(lines[0].last, 1000u + 17 + 20);
  const auto turnEnd = static_cast<std::uint64_t>(kLength + turn);
  EXPECT_LE(lines[1].first, turnEnd + 20);
  EXPECT_GE(lines[1].first + 17 + 20, turnEnd);
  EXPECT_EQ(lines[1].last, static_cast<std::uint64_t>(records - 1));
}

// A 30-degree dogleg of 100 m is no line, and a new line starts within a
// segment of its end.
TEST(CourseLines, DoglegEndsTheLine) {
  const double off = std::sin(std::numbers::pi / 6), on = std::cos(std::numbers::pi / 6);
  const auto track = [&](int i) {
    if (i <= 500) return At(0, i);
    if (i <= 600) return At((i - 500) * off, 500 + (i - 500) * on);
    return At(100 * off, 500 + 100 * on + (i - 600));
  };
  const std::vector<SurveyLine> lines = LinesOf(1101, track);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], (SurveyLine{0, 500, ""}));
  EXPECT_GE(lines[1].first, 601u);
  EXPECT_LE(lines[1].first, 621u);
  EXPECT_EQ(lines[1].last, 1100u);
}

// The tolerance and the minimum length are the settings'.
TEST(CourseLines, SettingsDecideTheLines) {
  CourseLineSettings strict;
  strict.minimumLength = 600.0;
  EXPECT_EQ(LinesOf(1001, Corner, strict).size(), 0u);
  CourseLineSettings loose;
  loose.toleranceDegrees = 50.0;  // a right angle is still a turn
  EXPECT_EQ(LinesOf(1001, Corner, loose).size(), 2u);
  loose.toleranceDegrees = 95.0;  // a right angle is within the course
  EXPECT_EQ(LinesOf(1001, Corner, loose), (std::vector<SurveyLine>{{0, 1000, ""}}));
}

// A line of 100 km at 10 records a metre keeps one line, its ends exact.
TEST(CourseLines, LongLineStaysOneLine) {
  constexpr int kRecords = 1'000'000;
  EXPECT_EQ(LinesOf(kRecords, [](int i) { return At(0.05 * i, 0.1 * i); }),
            (std::vector<SurveyLine>{{0, kRecords - 1, ""}}));
}

TEST(CourseLines, BearingAndAngles) {
  EXPECT_NEAR(Bearing({0, 0}, {0, 1}), 0.0, 1e-12);
  EXPECT_NEAR(Bearing({0, 0}, {1, 0}), std::numbers::pi / 2, 1e-12);
  EXPECT_NEAR(AngleBetween(0.1, 2 * std::numbers::pi - 0.1), 0.2, 1e-12);
  EXPECT_NEAR(AngleBetween(-std::numbers::pi / 2, std::numbers::pi / 2), std::numbers::pi, 1e-12);
}

}  // namespace
}  // namespace tessaly
