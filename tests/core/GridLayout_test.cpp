// The record grid's layout: the named columns are the columns their
// captions say, and the record columns are those a parsed record fills.
#include "core/GridLayout.h"

#include <gtest/gtest.h>

#include "core/RecordPipeline.h"

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
