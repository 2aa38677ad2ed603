#include "core/CableHistory.h"

#include <gtest/gtest.h>

#include "core/Clock.h"
#include "support/FileBytes.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {


TEST(CableHistory, TheLastChangeAtOrBeforeAMomentHolds) {
  CableHistory history(50.0);
  history.Change({20 * kNsPerSecond, 80.0});
  history.Change({10 * kNsPerSecond, 60.0});  // recorded late, placed in order
  struct Case {
    std::int64_t at;
    double metres;
  };
  for (const Case c : {Case{0, 50.0}, Case{10 * kNsPerSecond - 1, 50.0}, Case{10 * kNsPerSecond, 60.0}, Case{19 * kNsPerSecond, 60.0},
                       Case{20 * kNsPerSecond, 80.0}, Case{1000 * kNsPerSecond, 80.0}})
    EXPECT_EQ(history.At(c.at), c.metres) << c.at;
}

TEST(CableHistory, LinesAreUtcTabMetres) {
  const std::int64_t t = 20819LL * 86400 * kNsPerSecond + 40 * 60 * kNsPerSecond;  // 2027-01-01T00:40:00Z
  EXPECT_EQ(FormatCableChange({t, 75.5}), "2027-01-01T00:40:00.000Z\t75.5");
  EXPECT_EQ(ParseCableChange("2027-01-01T00:40:00.000Z\t75.5"), (CableChange{t, 75.5}));
  for (const char* bad : {"2027-01-01T00:40:00.000Z\t-1", "2027-01-01T00:40:00.000Z\t10000.5",
                          "2027-01-01T00:40:00.000Z\tnan", "2027-01-01T00:40:00.000Z\tinf",
                          "2027-01-01T00:40:00.000Z\t75,5", "2027-01-01T00:40:00.000Z\t", "2027-01-01T00:40:00.000Z",
                          "75.5"})
    EXPECT_FALSE(ParseCableChange(bad)) << bad;
}

TEST(CableHistory, FileChangesAreReadAndBadLinesListed) {
  testing::TempHome home;
  const std::string path = home.Path("survey.kvl.cable");
  testing::WriteBytes(path, "1970-01-01T00:00:10.000Z\t60\r\nbroken\r\n1970-01-01T00:00:20.000Z\t80.25\r\n");
  CableHistory history(50.0);
  std::vector<std::string> problems;
  EXPECT_EQ(ReadCableHistory(path, history, problems), "");
  EXPECT_EQ(history.Changes(), (std::vector<CableChange>{{10 * kNsPerSecond, 60.0}, {20 * kNsPerSecond, 80.25}}));
  EXPECT_EQ(problems, std::vector<std::string>{"line 2: not a UTC time and metres of cable"});
}

}  // namespace
}  // namespace tessaly
