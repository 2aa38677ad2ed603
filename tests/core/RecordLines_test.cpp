// The survey lines of an open document, as the chart and the track read
// them: the line of each record, judged by hand-made lines and by the
// generator's truth of which record lies on which line.
#include "core/RecordLines.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/LogDocument.h"
#include "core/UTMLaLo.h"
#include "support/SurveyRecords.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

TEST(RecordLines, LineOfEachRecord) {
  const RecordLines lines({{2, 4, {}}, {5, 5, {}}, {9, 12, {}}});
  struct Case {
    std::size_t record, line, firstFrom;
  };
  for (const Case& c : {Case{0, 0, 0}, Case{1, 0, 0}, Case{2, 1, 0}, Case{4, 1, 0}, Case{5, 2, 1}, Case{6, 0, 2},
                        Case{8, 0, 2}, Case{9, 3, 2}, Case{12, 3, 2}, Case{13, 0, 3}, Case{1000, 0, 3}}) {
    EXPECT_EQ(lines.LineOf(c.record), c.line) << c.record;
    EXPECT_EQ(lines.FirstLineFrom(c.record), c.firstFrom) << c.record;
  }
  EXPECT_EQ(RecordLines().LineOf(0), 0u);
  EXPECT_EQ(RecordLines().FirstLineFrom(0), 0u);
}

LogDocument OpenSurvey(const testing::GeneratedSurvey& survey) {
  LogDocument doc;
  EXPECT_EQ(doc.OpenLog(survey.logPath, LoadOptions{}), LoadStatus::Loaded);
  return doc;
}

// Every record the generator put on a line, but for the 50 m at each end
// where a course segment may reach into the turn, is on that line; every
// record of a turn's middle is on none.
TEST(FindRecordLines, GeneratedSurveyByCourse) {
  testing::TempHome home;
  const testing::GeneratedSurvey survey = testing::GenerateSurvey(
      "--lines 6 --line-length 1000 --line-spacing 50 --line-heading 30 --bad-fraction 0.01 --seed 8", home.Home());
  ASSERT_EQ(survey.lineCount, 6);
  const LogDocument doc = OpenSurvey(survey);
  const RecordLines lines = FindRecordLines(doc, kWgs84Datum);
  ASSERT_EQ(lines.Lines().size(), 6u);
  const std::size_t margin = 50 / 2;  // records of about 2.3 m at 1 Hz
  const std::vector<int>& truth = survey.truthLine;
  for (std::size_t i = margin; i + margin < truth.size(); ++i) {
    const auto around = [&](int line) {
      return std::all_of(truth.begin() + static_cast<std::ptrdiff_t>(i - margin),
                         truth.begin() + static_cast<std::ptrdiff_t>(i + margin), [&](int t) { return t == line; });
    };
    if (around(truth[i])) {
      EXPECT_EQ(lines.LineOf(i), static_cast<std::size_t>(truth[i])) << i;
    }
  }
}

// The operator's marks give exactly the marked lines, renumbered in order.
TEST(FindRecordLines, OperatorMarksWin) {
  testing::TempHome home;
  const testing::GeneratedSurvey survey = testing::GenerateSurvey(
      "--lines 5 --line-length 800 --line-spacing 40 --bad-fraction 0.02 --seed 4", home.Home(), "--mark-lines 2,4");
  const LogDocument doc = OpenSurvey(survey);
  const RecordLines lines = FindRecordLines(doc, kWgs84Datum);
  ASSERT_EQ(lines.Lines().size(), 2u);
  EXPECT_EQ(lines.Lines()[0].name, "L2");
  for (std::size_t i = 0; i < survey.truthLine.size(); ++i) {
    const int truth = survey.truthLine[i];
    EXPECT_EQ(lines.LineOf(i), truth == 2 ? 1u : truth == 4 ? 2u : 0u) << i;
  }
}

}  // namespace
}  // namespace tessaly
