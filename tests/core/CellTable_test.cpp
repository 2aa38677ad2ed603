#include "core/CellTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessaly {
namespace {

TEST(CellTable, NewTableHasEmptyCellsAndNoColours) {
  CellTable table(3, 4);
  EXPECT_EQ(table.Rows(), 3u);
  EXPECT_EQ(table.Cols(), 4u);
  for (std::size_t r = 0; r < 3; ++r) {
    for (std::size_t c = 0; c < 4; ++c) EXPECT_TRUE(table.Cell(r, c).empty());
    EXPECT_EQ(table.RowColor(r), 0u);
    EXPECT_EQ(table.RowFontColor(r), 0u);
  }
}

TEST(CellTable, CellsOutsideTheTableReadEmptyAndIgnoreWrites) {
  CellTable table(2, 2);
  table.SetCell(5, 0, "x");
  table.SetCell(0, 9, "y");
  EXPECT_TRUE(table.Cell(5, 0).empty());
  EXPECT_TRUE(table.Cell(0, 9).empty());
  EXPECT_EQ(table.TextBytes(), 0u);
}

TEST(CellTable, SetRowStoresEveryCellAndLeavesTheRestEmpty) {
  CellTable table(2, 4);
  const std::vector<std::string_view> values{"1", "", "+01234"};
  table.SetRow(1, values);
  EXPECT_EQ(table.Cell(1, 0), "1");
  EXPECT_EQ(table.Cell(1, 1), "");
  EXPECT_EQ(table.Cell(1, 2), "+01234");
  EXPECT_EQ(table.Cell(1, 3), "");
  EXPECT_TRUE(table.Cell(0, 0).empty());
}

TEST(CellTable, SetCellChangesOneCellAndKeepsItsNeighbours) {
  CellTable table(3, 3);
  const std::vector<std::string_view> values{"a", "bb", "ccc"};
  table.SetRow(2, values);
  table.SetCell(2, 1, "a much longer comment than before");
  EXPECT_EQ(table.Cell(2, 0), "a");
  EXPECT_EQ(table.Cell(2, 1), "a much longer comment than before");
  EXPECT_EQ(table.Cell(2, 2), "ccc");
  table.SetCell(2, 1, "");
  EXPECT_EQ(table.Cell(2, 1), "");
  EXPECT_EQ(table.Cell(2, 2), "ccc");
}

TEST(CellTable, PackedRowsSplitAtTheGivenEnds) {
  CellTable table(1, 4);
  const std::vector<std::uint32_t> ends{1, 1, 7};
  table.SetRowPacked(0, "7+00042", ends);
  EXPECT_EQ(table.Cell(0, 0), "7");
  EXPECT_EQ(table.Cell(0, 1), "");
  EXPECT_EQ(table.Cell(0, 2), "+00042");
  EXPECT_EQ(table.Cell(0, 3), "");
}

TEST(CellTable, BytesKeepTheirValuesIncludingNul) {
  CellTable table(1, 2);
  const std::string bytes("a\0\xff\x80z", 5);
  table.SetCell(0, 1, bytes);
  EXPECT_EQ(table.Cell(0, 1), bytes);
}

TEST(CellTable, GrowingRowsKeepsCellsAndColours) {
  CellTable table(2, 2);
  table.SetCell(1, 1, "kept");
  table.SetRowColor(1, 0x123456);
  table.SetRowFontColor(1, 0xFF);
  table.SetRows(5000);
  EXPECT_EQ(table.Cell(1, 1), "kept");
  EXPECT_EQ(table.RowColor(1), 0x123456u);
  EXPECT_EQ(table.RowFontColor(1), 0xFFu);
  EXPECT_TRUE(table.Cell(4999, 1).empty());
  EXPECT_EQ(table.RowColor(4999), 0u);
}

TEST(CellTable, ShrinkingRowsDropsTheirText) {
  CellTable table(3, 1);
  table.SetCell(2, 0, "gone");
  table.SetRows(2);
  table.SetRows(3);
  EXPECT_TRUE(table.Cell(2, 0).empty());
}

TEST(CellTable, ChangingColumnsKeepsCellsInTheirRowAndColumn) {
  CellTable table(2, 3);
  const std::vector<std::string_view> values{"a", "b", "c"};
  table.SetRow(1, values);
  table.SetCols(5);
  EXPECT_EQ(table.Cell(1, 0), "a");
  EXPECT_EQ(table.Cell(1, 2), "c");
  EXPECT_TRUE(table.Cell(1, 4).empty());
  table.SetCols(2);
  EXPECT_EQ(table.Cell(1, 1), "b");
  EXPECT_TRUE(table.Cell(1, 2).empty());
}

TEST(CellTable, RepeatedEditsAreCompactedAndLoseNothing) {
  CellTable table(100, 3);
  for (std::size_t r = 0; r < 100; ++r) {
    const std::string row = std::to_string(r);
    const std::vector<std::string_view> values{row, "x", "y"};
    table.SetRow(r, values);
  }
  for (int round = 0; round < 200; ++round) {
    table.SetCell(7, 1, std::string(100 + round, 'c'));
  }
  EXPECT_EQ(table.Cell(7, 1), std::string(299, 'c'));
  for (std::size_t r = 0; r < 100; ++r) EXPECT_EQ(table.Cell(r, 0), std::to_string(r));
  EXPECT_LT(table.TextBytes(), 2000u);
  EXPECT_LT(table.MemoryBytes(), 64u * 1024u);
}

TEST(CellTable, ARowLongerThan64KiBWidensTheOffsetsAndKeepsEveryRow) {
  CellTable table(3, 3);
  const std::vector<std::string_view> small{"1", "+00042", "x"};
  table.SetRow(1, small);
  const std::string huge(70000, 'h');
  table.SetCell(2, 1, huge);
  table.SetCell(2, 2, "after");
  EXPECT_EQ(table.Cell(1, 1), "+00042");
  EXPECT_EQ(table.Cell(1, 2), "x");
  EXPECT_EQ(table.Cell(2, 1), huge);
  EXPECT_EQ(table.Cell(2, 2), "after");
  table.SetCols(4);
  EXPECT_EQ(table.Cell(2, 1), huge);
  EXPECT_TRUE(table.Cell(2, 3).empty());
}

// Rows of 256 bytes and more need 16-bit offsets, of 64 KiB and more 32-bit
// ones: every step up keeps the rows stored before it.
TEST(CellTable, OffsetsWidenStepByStepAndKeepEveryRow) {
  for (const std::size_t longRow : {255u, 256u, 300u, 65535u, 65536u}) {
    CellTable table(4, 3);
    table.SetRow(1, std::vector<std::string_view>{"1", "+00042", "x"});
    table.SetRow(3, std::vector<std::string_view>{"", "tail", ""});
    const std::string text(longRow - 2, 'w');
    table.SetRow(2, std::vector<std::string_view>{"a", text, "b"});
    EXPECT_EQ(table.Cell(1, 1), "+00042") << longRow;
    EXPECT_EQ(table.Cell(1, 2), "x") << longRow;
    EXPECT_EQ(table.Cell(2, 0), "a") << longRow;
    EXPECT_EQ(table.Cell(2, 1), text) << longRow;
    EXPECT_EQ(table.Cell(2, 2), "b") << longRow;
    EXPECT_EQ(table.Cell(3, 1), "tail") << longRow;
    table.SetCell(1, 2, "y");  // an edit after the widening
    EXPECT_EQ(table.Cell(1, 2), "y") << longRow;
    EXPECT_EQ(table.Cell(2, 1), text) << longRow;
  }
}

TEST(CellTable, ShortRowsCostAboutOneBytePerCellBeyondTheirText) {
  CellTable table;
  table.Resize(1, 29);
  const std::size_t rows = 10000;
  table.SetRows(rows);
  table.Reserve(rows, rows * 29 * 3);
  const std::vector<std::string_view> values(29, "abc");
  for (std::size_t r = 0; r < rows; ++r) table.SetRow(r, values);
  const double perCell = static_cast<double>(table.MemoryBytes() - table.TextBytes()) / (rows * 29.0);
  EXPECT_LE(perCell, 1.0 + 16.0 / 29.0 + 0.01);
}

TEST(CellTable, WideOffsetsStayUnderSixteenBytesPerCellBeyondTheText) {
  CellTable table;
  table.Resize(1, 29);
  const std::size_t rows = 10000;
  table.SetRows(rows);
  table.Reserve(rows, rows * 29 * 3 + 70000);
  table.SetCell(0, 28, std::string(70000, 'c'));
  const std::vector<std::string_view> values(29, "abc");
  for (std::size_t r = 1; r < rows; ++r) table.SetRow(r, values);
  const double perCell = static_cast<double>(table.MemoryBytes() - table.TextBytes()) / (rows * 29.0);
  EXPECT_LE(perCell, 16.0);
}

}  // namespace
}  // namespace tessaly
