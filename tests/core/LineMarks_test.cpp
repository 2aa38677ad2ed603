// The operator's SOL and EOL marks, and the lines they delimit.
#include "core/LineMarks.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tessaly {
namespace {

struct MarkCase {
  std::string comment;
  std::optional<LineMark::Kind> kind;
  std::string name;
};

class LineMarkText : public ::testing::TestWithParam<MarkCase> {};

TEST_P(LineMarkText, ReadsTheMark) {
  const MarkCase& c = GetParam();
  const std::optional<LineMark> mark = ReadLineMark(c.comment);
  ASSERT_EQ(mark.has_value(), c.kind.has_value()) << c.comment;
  if (!mark) return;
  EXPECT_EQ(mark->kind, *c.kind);
  EXPECT_EQ(mark->name, c.name);
}

constexpr auto kStart = LineMark::Kind::StartOfLine;
constexpr auto kEnd = LineMark::Kind::EndOfLine;

INSTANTIATE_TEST_SUITE_P(Comments, LineMarkText,
                         ::testing::Values(MarkCase{"SOL", kStart, ""}, MarkCase{"SOL 12", kStart, "12"},
                                           MarkCase{"sol L1001", kStart, "L1001"},
                                           MarkCase{"  SOL: line 7 north ", kStart, "line 7 north"},
                                           MarkCase{"SOL-3", kStart, "3"}, MarkCase{"SOL #4", kStart, "4"},
                                           MarkCase{"EOL", kEnd, ""}, MarkCase{"eol.", kEnd, ""},
                                           MarkCase{"EOL 12", kEnd, ""}, MarkCase{"Solent buoy", {}, ""},
                                           MarkCase{"SOLO", {}, ""}, MarkCase{"EOLX", {}, ""},
                                           MarkCase{"start SOL", {}, ""}, MarkCase{"", {}, ""},
                                           MarkCase{"SO", {}, ""}));

std::vector<SurveyLine> LinesOf(const std::vector<std::string>& comments) {
  MarkLineFinder finder;
  for (const std::string& comment : comments) finder.Add(comment);
  return finder.Finish();
}

TEST(MarkLines, SolToEolBothIncluded) {
  EXPECT_EQ(LinesOf({"", "SOL A", "", "EOL", "", "SOL B", "EOL"}),
            (std::vector<SurveyLine>{{1, 3, "A"}, {5, 6, "B"}}));
}

TEST(MarkLines, SolWithoutEolEndsAtTheNextSolOrTheLastRecord) {
  EXPECT_EQ(LinesOf({"SOL 1", "", "SOL 2", "", ""}), (std::vector<SurveyLine>{{0, 1, "1"}, {2, 4, "2"}}));
}

TEST(MarkLines, EolWithoutSolIsIgnored) {
  EXPECT_EQ(LinesOf({"EOL", "", "SOL", "EOL", "EOL"}), (std::vector<SurveyLine>{{2, 3, ""}}));
}

TEST(MarkLines, OtherCommentsMakeNoLines) {
  MarkLineFinder finder;
  finder.Add("EOL");
  finder.Add("buoy");
  EXPECT_FALSE(finder.HasMarks());
  EXPECT_TRUE(finder.Finish().empty());
}

}  // namespace
}  // namespace tessaly
