// Survey lines found on the generator's surveys, judged by the generator's
// truth of which record lies on which line: lines of 500 m to 4 km, 25 to
// 200 m apart, headed 0 to 170 degrees, at 1 to 10 records a second, with
// faulty lines among the records. Every line is found once (none split, no
// turn called a line), covering its records but for a segment at each end
// and reaching into a turn no further than the tolerance lets a course
// turn.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/SurveyLines.h"
#include "core/UTMLaLo.h"
#include "support/SurveyRecords.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

using testing::GeneratedSurvey;

struct SurveyCase {
  std::string name;
  double length, spacing, heading, rate;
  int lines;
  std::string extra;  // more generator options
};

std::string GeneratorOptions(const SurveyCase& c) {
  std::ostringstream options;
  options << "--lines " << c.lines << " --line-length " << c.length << " --line-spacing " << c.spacing
          << " --line-heading " << c.heading << " --rate " << c.rate << " --bad-fraction 0.01 --seed 5 " << c.extra;
  return options.str();
}

// Positions in metres of the first position's UTM zone.
std::vector<std::optional<PlanePoint>> PlanePositions(const GeneratedSurvey& survey) {
  std::vector<std::optional<PlanePoint>> points;
  int zone = 0;
  bool southern = false;
  for (const SurveyRecord& record : survey.records) {
    UtmPosition utm;
    if (zone == 0 && LatLonToUtm(kWgs84Datum, record.latitude, record.longitude, utm)) {
      zone = utm.zoneNumber;
      southern = record.latitude < 0;
    }
    if (LatLonToUtmInZone(kWgs84Datum, record.latitude, record.longitude, zone, southern, utm))
      points.push_back(PlanePoint{utm.easting, utm.northing});
    else
      points.push_back(std::nullopt);
  }
  return points;
}

// The first and last record the truth puts on line `line`.
std::pair<std::uint64_t, std::uint64_t> TruthSpan(const std::vector<int>& truth, int line) {
  const auto first = std::find(truth.begin(), truth.end(), line);
  const auto last = std::find(truth.rbegin(), truth.rend(), line);
  return {static_cast<std::uint64_t>(first - truth.begin()),
          static_cast<std::uint64_t>(truth.rend() - last - 1)};
}

class GeneratedSurveyLines : public ::testing::TestWithParam<SurveyCase> {};

TEST_P(GeneratedSurveyLines, EveryLineFoundOnceAndNoTurn) {
  const SurveyCase& c = GetParam();
  testing::TempHome home;
  const GeneratedSurvey survey = testing::GenerateSurvey(GeneratorOptions(c), home.Home());
  ASSERT_EQ(survey.lineCount, c.lines);

  SurveyLineFinder finder(LineMode::Auto);
  const auto points = PlanePositions(survey);
  for (std::size_t i = 0; i < points.size(); ++i) finder.Add(points[i], survey.records[i].comment);
  const std::vector<SurveyLine> lines = finder.Finish();
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(c.lines));

  // Metres a record at the generator's 4.5 knots.
  const double metres = 4.5 * 1852.0 / 3600.0 / c.rate;
  const auto records = [&](double m) { return static_cast<std::uint64_t>(std::ceil(m / metres)); };
  const std::uint64_t within = records(45.0);  // a segment and its rounding
  const std::uint64_t beyond = records(45.0 + c.spacing / 2 * (20.0 * 3.14159 / 180.0));
  for (int n = 1; n <= c.lines; ++n) {
    const SurveyLine& line = lines[static_cast<std::size_t>(n - 1)];
    const auto [first, last] = TruthSpan(survey.truthLine, n);
    SCOPED_TRACE("line " + std::to_string(n) + ": records " + std::to_string(line.first) + " to " +
                 std::to_string(line.last) + ", truth " + std::to_string(first) + " to " + std::to_string(last));
    EXPECT_LE(line.first, first + within);
    EXPECT_GE(line.last + within, last);
    EXPECT_GE(line.first + beyond, first);
    EXPECT_LE(line.last, last + beyond);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Surveys, GeneratedSurveyLines,
    ::testing::Values(SurveyCase{"Short25mNorth", 500, 25, 0, 1, 4, ""},
                      SurveyCase{"Long200m170Degrees", 4000, 200, 170, 1, 3, ""},
                      SurveyCase{"TenHertz45Degrees", 2000, 100, 45, 10, 3, ""},
                      SurveyCase{"East50m", 1000, 50, 90, 1, 4, ""},
                      SurveyCase{"Short200m135Degrees", 500, 200, 135, 2, 4, ""},
                      SurveyCase{"Tight25m120Degrees", 3000, 25, 120, 1, 3, ""},
                      SurveyCase{"FiveHertzSouth", 800, 75, 60, 5, 3, "--start-lat -33.9 --start-lon 18.4"}),
    [](const ::testing::TestParamInfo<SurveyCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tessaly
