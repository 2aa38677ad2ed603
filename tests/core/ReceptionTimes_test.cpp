#include "core/ReceptionTimes.h"

#include <gtest/gtest.h>

#include "core/Clock.h"
#include "core/SideFile.h"
#include "support/FileBytes.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

// 2026-12-09T18:33:18.123Z worked out by hand: 20796 days from 1970 to
// 2026-12-09, then 18 h 33 min 18.123 s.
constexpr std::int64_t kExampleUtc = (20796LL * 86400 + 18 * 3600 + 33 * 60 + 18) * kNsPerSecond + 123'456'789;

TEST(ReceptionTimes, LineHoldsRowUtcToTheMillisecondAndMonotonicNanoseconds) {
  EXPECT_EQ(FormatReceptionTime({7, kExampleUtc, 81234567890123}), "7\t2026-12-09T18:33:18.123Z\t81234567890123");
}

struct ParseCase {
  const char* line;
  bool reads;
};

class ReceptionTimeLines : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ReceptionTimeLines, ReadOnlyWhatTheWriterWrites) {
  EXPECT_EQ(ParseReceptionTime(GetParam().line).has_value(), GetParam().reads) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(Cases, ReceptionTimeLines,
                         ::testing::Values(ParseCase{"7\t2026-12-09T18:33:18.123Z\t81234567890123", true},
                                           ParseCase{"1\t1970-01-01T00:00:00.000Z\t0", true},
                                           ParseCase{"0\t2026-12-09T18:33:18.123Z\t1", false},
                                           ParseCase{"-1\t2026-12-09T18:33:18.123Z\t1", false},
                                           ParseCase{"x\t2026-12-09T18:33:18.123Z\t1", false},
                                           ParseCase{"7\t2026-12-09 18:33:18.123\t1", false},
                                           ParseCase{"7\t2026-02-30T18:33:18.123Z\t1", false},
                                           ParseCase{"7\t2026-12-09T18:33:18.123Z\t-5", false},
                                           ParseCase{"7\t2026-12-09T18:33:18.123Z\t99999999999999999999", false},
                                           ParseCase{"7\t2026-12-09T18:33:18.123Z", false},
                                           ParseCase{"7\t2026-12-09T18:33:18.123Z\t1\textra", false},
                                           ParseCase{"7 2026-12-09T18:33:18.123Z 1", false}, ParseCase{"", false}));

TEST(ReceptionTimes, FileWrittenLineByLineReadsBackWithItsProblemsListed) {
  testing::TempHome home;
  const std::string path = home.Path("survey.kvl.times");
  SideFileWriter writer;
  ASSERT_EQ(writer.Open(path), "");
  const std::int64_t ms = kNsPerMs;
  ASSERT_EQ(writer.AppendLine(FormatReceptionTime({1, kExampleUtc - kExampleUtc % ms, 100})), "");
  ASSERT_EQ(writer.AppendLine("damaged line"), "");
  ASSERT_EQ(writer.AppendLine(FormatReceptionTime({3, kExampleUtc - kExampleUtc % ms + 200 * ms, 300})), "");
  ASSERT_EQ(writer.AppendLine(FormatReceptionTime({2, kExampleUtc, 200})), "");  // out of order
  writer.Close();
  const ReceptionTimesFile file = ReadReceptionTimes(path);
  EXPECT_EQ(file.error, "");
  ASSERT_EQ(file.times.size(), 2u);
  EXPECT_EQ(file.times[0], (ReceptionTime{1, kExampleUtc - 456'789, 100}));
  EXPECT_EQ(file.times[1].row, 3u);
  EXPECT_EQ(FormatUtcMillis(file.times[1].utcNs), "2026-12-09T18:33:18.323Z");
  EXPECT_EQ(file.problems, (std::vector<std::string>{"line 2: not a row, a UTC time and a clock reading",
                                                     "line 4: row 2 does not follow row 3"}));
  EXPECT_EQ(TimeOfRow(file.times, 3)->monotonicNs, 300);
  EXPECT_FALSE(TimeOfRow(file.times, 2));
  EXPECT_FALSE(TimeOfRow(file.times, 4));
}

TEST(ReceptionTimes, AMissingFileIsAnError) {
  testing::TempHome home;
  const ReceptionTimesFile file = ReadReceptionTimes(home.Path("none.times"));
  EXPECT_NE(file.error, "");
  EXPECT_TRUE(file.times.empty());
}

}  // namespace
}  // namespace tessaly
