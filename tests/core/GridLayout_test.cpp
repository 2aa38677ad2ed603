// The record grid's layout: the named columns are the columns their
// captions say, the record columns are those a parsed record fills, and no
// record makes a text longer than its column's widest value.
#include "core/GridLayout.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/RecordPipeline.h"
#include "support/SampleSetUp.h"

namespace tessaly {
namespace {

TEST(GridLayout, NamedColumnsCarryTheirCaptions) {
  EXPECT_EQ(kGridColumnCount, 29u);
  EXPECT_EQ(kGridColumns[kColSequence].caption, "#");
  EXPECT_EQ(kGridColumns[kColRawLine].caption, "RD#");
  EXPECT_EQ(kGridColumns[kColDev].caption, "DEV");
  EXPECT_EQ(kGridColumns[kColTfDepth].caption, "TF DEPTH");
  EXPECT_EQ(kGridColumns[kColGpsLatDeg].caption, "GPS LAT D");
  EXPECT_EQ(kGridColumns[kColGpsNorth].caption, "GPS  NORTH");
  EXPECT_EQ(kGridColumns[kColComment].caption, "Comment");
}

TEST(GridLayout, EachExportLeavesOutItsColumn) {
  EXPECT_EQ(kGridColumns[kLogExportSkipColumn].caption, "GPS LAT D");
  EXPECT_EQ(kGridColumns[kNavExportSkipColumn].caption, "TF DEPTH");
}

TEST(GridLayout, AParsedRecordFillsTheColumnsFromTimeToTheGpsNorthing) {
  TSample sample('.');
  RecordScratch scratch;
  const RecordCellTexts cells = RecordCells(sample, 17, scratch);
  ASSERT_EQ(cells.size(), kRecordColumnCount);
  EXPECT_EQ(kFirstRecordColumn + kRecordColumnCount, static_cast<std::size_t>(kColComment));
  EXPECT_EQ(cells[kColRawLine - kFirstRecordColumn], "17");
  EXPECT_EQ(cells[kColTfDepth - kFirstRecordColumn], "0");  // an empty depth shows 0
}

// Each record column's text of an accepted line, against its widest value.
void ExpectWithinTheWidestValues(TSample& sample, const std::string& line) {
  ASSERT_EQ(sample.Parse(line), 0) << line << ": " << sample.FErrorText;
  RecordScratch scratch;
  const RecordCellTexts cells = RecordCells(sample, 9999999, scratch);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const GridColumnInfo& column = kGridColumns[kFirstRecordColumn + i];
    EXPECT_LE(cells[i].size(), column.widest.size()) << column.caption << " \"" << cells[i] << "\" of " << line;
  }
}

TEST(GridLayout, NoRecordMakesATextLongerThanItsColumnsWidestValue) {
  // Longest minutes, the largest longitude, a northing just south of the
  // equator (7 whole digits), the far south (a two-digit zone).
  ExpectWithinTheWidestValues(*test::MakeSample(skRTC), "$KVMGD,-99999,179,59.99999,W,00,00.00100,S,999.9,999.9");
  ExpectWithinTheWidestValues(*test::MakeSample(skRTC), "$KVMGD,+99999,179,59.99999,E,79,59.99999,S,999.9,999.9");
  ExpectWithinTheWidestValues(*test::MakeSample(skKVL), "$KVMGD,-99999,7959.999,S,17959.999,W,999.9,999.9");
  ExpectWithinTheWidestValues(*test::MakeSample(skZPT), "$BTGFG,-9999,52341.2,075");
  ExpectWithinTheWidestValues(*test::MakeNavigationSample('+'),
                              "23:59:59.99,7959.99999,S,17959.99999,W,000.0,4.5,TF:-79.9999999:-179.9999999,"
                              "-99999,999.9,999.9");
  ExpectWithinTheWidestValues(*test::MakeNavigationSample('p'),
                              "23:59:59.99,0000.00100,S,17959.99999,E,000.0,4.5,+99999,999.9,999.9");
}

TEST(GridLayout, FreeTextColumnsAloneHaveNoWidestValue) {
  for (std::size_t c = 0; c < kGridColumnCount; ++c)
    EXPECT_EQ(kGridColumns[c].widest.empty(), c == kColComment) << kGridColumns[c].caption;
  EXPECT_EQ(kRecordLayout.data(), kGridColumns.data());
  EXPECT_EQ(kRecordLayout.size(), kGridColumnCount);
}

TEST(GridLayout, ACaptionTableOfAnyLayoutHoldsItsCaptionsOnGrey) {
  const GridColumnInfo columns[] = {{"#", 40, "0000000"}, {"Time", 70, "00:00:00"}, {"Comment", 500, ""}};
  const CellTable table = NewCaptionTable(columns);
  ASSERT_EQ(table.Rows(), 1u);
  ASSERT_EQ(table.Cols(), 3u);
  EXPECT_EQ(table.Cell(0, 1), "Time");
  EXPECT_EQ(table.Cell(0, 2), "Comment");
  EXPECT_EQ(table.RowColor(0), kHeaderGrey);
  EXPECT_EQ(table.RowFontColor(0), kHeaderFont);
}

TEST(GridLayout, ANewRecordTableHoldsTheCaptionRowOnGreyAndNoRecords) {
  const CellTable table = NewRecordTable();
  ASSERT_EQ(table.Rows(), 1u);
  ASSERT_EQ(table.Cols(), kGridColumnCount);
  for (std::size_t c = 0; c < kGridColumnCount; ++c) EXPECT_EQ(table.Cell(0, c), kGridColumns[c].caption) << c;
  EXPECT_EQ(table.RowColor(0), kHeaderGrey);
  EXPECT_EQ(table.RowFontColor(0), kHeaderFont);
}

}  // namespace
}  // namespace tessaly
