#include "widgets/RawTextView.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessaly {
namespace {

// Lines generated on demand; counts how many lines the view asked for.
class CountingLines : public RawLines {
 public:
  CountingLines(std::size_t count, std::string text) : count_(count), text_(std::move(text)) {}
  std::size_t RawLineCount() const override { return count_; }
  std::string_view RawLine(std::size_t) const override {
    ++requests;
    return text_;
  }
  std::size_t LongestRawLine() const override { return text_.size(); }
  mutable std::size_t requests = 0;

 private:
  std::size_t count_;
  std::string text_;
};

class VectorLines : public RawLines {
 public:
  explicit VectorLines(std::vector<std::string> lines) : lines_(std::move(lines)) {}
  void Append(std::string line) { lines_.push_back(std::move(line)); }
  std::size_t RawLineCount() const override { return lines_.size(); }
  std::string_view RawLine(std::size_t i) const override { return lines_[i]; }
  std::size_t LongestRawLine() const override {
    std::size_t longest = 0;
    for (const std::string& line : lines_) longest = std::max(longest, line.size());
    return longest;
  }

 private:
  std::vector<std::string> lines_;
};

std::vector<std::string> NumberedLines(int count) {
  std::vector<std::string> lines;
  for (int i = 1; i <= count; ++i) lines.push_back("$KVMGD,+000" + std::to_string(i % 100) + ",line " + std::to_string(i));
  return lines;
}

QPoint PointOfVisibleRow(const RawTextView& view, int row) {
  return {view.GutterWidth() + 20, row * view.LineHeight() + view.LineHeight() / 2};
}

TEST(RawTextView, ClickOnALineMakesItCurrentAndReportsIt) {
  VectorLines lines(NumberedLines(50));
  RawTextView view;
  view.resize(400, 300);
  view.SetLines(&lines);
  view.show();
  QSignalSpy chosen(&view, &RawTextView::LineChosen);

  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, PointOfVisibleRow(view, 3));

  ASSERT_EQ(chosen.count(), 1);
  EXPECT_EQ(chosen.at(0).at(0).toLongLong(), 3);
  EXPECT_EQ(view.CurrentLine(), 3);
}

TEST(RawTextView, ClickBelowTheLastLineChoosesNothing) {
  VectorLines lines(NumberedLines(2));
  RawTextView view;
  view.resize(400, 300);
  view.SetLines(&lines);
  view.show();
  QSignalSpy chosen(&view, &RawTextView::LineChosen);

  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, PointOfVisibleRow(view, 6));

  EXPECT_EQ(chosen.count(), 0);
  EXPECT_EQ(view.CurrentLine(), -1);
}

TEST(RawTextView, KeyboardMovesTheCurrentLineAndKeepsItInView) {
  VectorLines lines(NumberedLines(1000));
  RawTextView view;
  view.resize(400, 300);
  view.SetLines(&lines);
  view.show();
  view.setFocus();
  QSignalSpy chosen(&view, &RawTextView::LineChosen);

  QTest::keyClick(&view, Qt::Key_Down);
  EXPECT_EQ(view.CurrentLine(), 0);
  QTest::keyClick(&view, Qt::Key_Down);
  EXPECT_EQ(view.CurrentLine(), 1);
  QTest::keyClick(&view, Qt::Key_PageDown);
  EXPECT_EQ(view.CurrentLine(), 1 + view.VisibleLineCount());
  QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(view.CurrentLine(), 999);
  EXPECT_LE(view.FirstVisibleLine(), 999);
  EXPECT_GT(view.FirstVisibleLine() + view.VisibleLineCount(), 999);
  QTest::keyClick(&view, Qt::Key_Down);
  EXPECT_EQ(view.CurrentLine(), 999);
  QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(view.CurrentLine(), 0);
  EXPECT_EQ(view.FirstVisibleLine(), 0);
  EXPECT_EQ(chosen.count(), 6);
}

TEST(RawTextView, SettingTheCurrentLineScrollsWithoutReporting) {
  VectorLines lines(NumberedLines(500));
  RawTextView view;
  view.resize(400, 300);
  view.SetLines(&lines);
  view.show();
  QSignalSpy chosen(&view, &RawTextView::LineChosen);

  view.SetCurrentLine(400);

  EXPECT_EQ(view.CurrentLine(), 400);
  EXPECT_LE(view.FirstVisibleLine(), 400);
  EXPECT_GT(view.FirstVisibleLine() + view.VisibleLineCount(), 400);
  EXPECT_EQ(chosen.count(), 0);
  view.SetCurrentLine(500);
  EXPECT_EQ(view.CurrentLine(), -1);
}

TEST(RawTextView, PaintingAMillionLinesReadsOnlyTheVisibleOnes) {
  CountingLines lines(1'000'000, "$KVMGD,+00042,4418.000,N,06318.000,W,25.3,78.4");
  RawTextView view;
  view.resize(500, 400);
  view.SetLines(&lines);
  view.show();
  view.verticalScrollBar()->setValue(654'321);
  lines.requests = 0;

  view.viewport()->grab();

  EXPECT_GT(lines.requests, 0u);
  EXPECT_LE(lines.requests, static_cast<std::size_t>(view.VisibleLineCount() + 1));
  EXPECT_EQ(view.verticalScrollBar()->maximum(), 1'000'000 - view.VisibleLineCount());
}

TEST(RawTextView, GutterFitsTheLargestLineNumberAndCanBeHidden) {
  VectorLines few(NumberedLines(9));
  CountingLines many(1'000'000, "x");
  RawTextView view;
  view.SetLines(&few);
  const int narrow = view.GutterWidth();
  view.SetLines(&many);
  EXPECT_GT(view.GutterWidth(), narrow);
  view.SetGutterVisible(false);
  EXPECT_EQ(view.GutterWidth(), 0);
}

TEST(RawTextView, GrownLinesWidenTheScrollRangesAndKeepTheCurrentLineAndPosition) {
  VectorLines lines(NumberedLines(40));
  RawTextView view;
  view.resize(400, 300);
  view.SetLines(&lines);
  view.show();
  view.SetCurrentLine(30);
  const int position = view.verticalScrollBar()->value();
  const int oldMaximum = view.verticalScrollBar()->maximum();
  const int oldWidth = view.horizontalScrollBar()->maximum();
  for (const std::string& line : NumberedLines(60)) lines.Append(line);
  lines.Append(std::string(300, 'x'));

  view.LinesChanged();

  EXPECT_EQ(view.LineCount(), 101u);
  EXPECT_EQ(view.verticalScrollBar()->maximum(), oldMaximum + 61);
  EXPECT_GT(view.horizontalScrollBar()->maximum(), oldWidth);
  EXPECT_EQ(view.CurrentLine(), 30);
  EXPECT_EQ(view.verticalScrollBar()->value(), position);
}

TEST(RawTextView, HorizontalScrollReachesTheEndOfTheLongestLine) {
  std::vector<std::string> text = NumberedLines(10);
  std::string binary(200'000, '\0');
  for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i % 256);
  text.push_back(binary);
  VectorLines lines(text);
  RawTextView view;
  view.resize(400, 300);
  view.SetLines(&lines);
  view.show();

  EXPECT_GT(view.horizontalScrollBar()->maximum(), 199'000);
  view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum());
  const QPixmap shot = view.viewport()->grab();
  EXPECT_FALSE(shot.isNull());
}

}  // namespace
}  // namespace tessaly
