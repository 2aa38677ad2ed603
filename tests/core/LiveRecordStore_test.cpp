#include "core/LiveRecordStore.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "core/DeviationColours.h"
#include "core/LogVariants.h"
#include "core/untTSample.h"

namespace tessaly {
namespace {

constexpr std::array<GridColumnInfo, 4> kLayout = {{{"#", 40, {}}, {"Time", 70, {}}, {"Dev", 50, {}}, {"Comment", 500, {}}}};

std::size_t Append(LiveRecordStore& store, int n, std::int64_t dev, const ViewSettings& view = {}) {
  const std::string number = std::to_string(n);
  const std::string devText = std::to_string(dev);
  const std::array<std::string_view, 3> cells{number, "12:00:00", devText};
  return store.AppendRecord("$KVMGD," + devText + ",record" + number, cells, dev, view);
}

TEST(LiveRecordStore, RecordsBecomeRowsChartValuesAndRawLinesInStep) {
  LiveRecordStore store(kLayout);
  EXPECT_EQ(store.Cells().Rows(), 1u);
  EXPECT_EQ(store.Cells().Cell(0, 2), "Dev");
  EXPECT_EQ(Append(store, 1, 5), 1u);
  EXPECT_EQ(Append(store, 2, -7), 2u);
  EXPECT_EQ(store.RecordCount(), 2u);
  EXPECT_EQ(store.Cells().Cell(2, 0), "2");
  EXPECT_EQ(store.Cells().Cell(2, 2), "-7");
  EXPECT_EQ(store.ChartValues()[1], -7.0);
  EXPECT_EQ(store.RawLine(1), "$KVMGD,-7,record2");
  EXPECT_EQ(store.LongestRawLine(), 17u);
  EXPECT_EQ(store.RowOfRawLine(1), 2u);
  EXPECT_EQ(store.RowOfRawLine(2), 0u);
  EXPECT_EQ(store.RawLineOfRow(1), 0u);
  EXPECT_FALSE(store.RawLineOfRow(3).has_value());
  EXPECT_FALSE(store.RawLineOfRow(0).has_value());
}

TEST(LiveRecordStore, GridGrowsInStepsOf5000Rows) {
  LiveRecordStore store(kLayout);
  Append(store, 1, 0);
  EXPECT_EQ(store.Cells().Rows(), 5001u);
  for (int n = 2; n <= 5000; ++n) Append(store, n, 0);
  EXPECT_EQ(store.Cells().Rows(), 5001u);
  Append(store, 5001, 0);
  EXPECT_EQ(store.Cells().Rows(), 10001u);
  EXPECT_TRUE(store.Cells().Cell(5002, 0).empty());
}

TEST(LiveRecordStore, RecolourFollowsTheViewAndLeavesUnfilledRowsAlone) {
  LiveRecordStore store(kLayout);
  ViewSettings view;
  view.DevLimit = 10;
  view.PosDevColor = 0x00FF00;
  Append(store, 1, 50, view);
  EXPECT_EQ(store.Cells().RowColor(1), DeviationColours(1, 50, view).background);
  view.PosDevColor = 0x0000AA;
  store.Recolour(view);
  EXPECT_EQ(store.Cells().RowColor(1), 0x0000AAu);
  EXPECT_EQ(store.Cells().RowColor(2), 0u);
}

TEST(LiveRecordStore, CommentsGoIntoRecordRowsOnly) {
  LiveRecordStore store(kLayout);
  Append(store, 1, 0);
  store.SetCell(1, 3, "buoy");
  store.SetCell(2, 3, "nothing here");
  EXPECT_EQ(store.Cells().Cell(1, 3), "buoy");
  EXPECT_TRUE(store.Cells().Cell(2, 3).empty());
}

// A parsed record goes in as its variant's grid shows it, with its numbers.
TEST(LiveRecordStore, AParsedRecordTakesTheVariantsColumnsAndItsNumbers) {
  const LogVariant& variant = FindLogVariant(LogVariantId::KV7100);
  LiveRecordStore store(variant.layout);
  TSample sample('.');
  sample.FDevDigits = variant.devDigits;
  sample.SetHeader(variant.header);
  sample.SetKind(variant.kind);
  ASSERT_EQ(sample.Parse("$KVMGD,-00010,4417.968,S,06318.000,E,54.7,76.5"), 0);
  ViewSettings view;
  EXPECT_EQ(store.AppendParsed(variant, sample, "12:00:01 UTC", view), 1u);
  const std::vector<std::string> expected = {"1",      "12:00:01 UTC", "-00010", "44", "17.968", "S",      "063",
                                             "18.000", "E",            "54.7",   "",   "76.5",   ""};
  for (std::size_t c = 0; c < expected.size(); ++c) EXPECT_EQ(store.Cells().Cell(1, c), expected[c]) << c;
  ASSERT_EQ(store.Numbers().size(), 1u);
  EXPECT_DOUBLE_EQ(store.Numbers()[0].towfish.latitude, -44.29946);  // the degrees of the grid's "-44.29946"
  EXPECT_DOUBLE_EQ(store.Numbers()[0].towfish.longitude, 63.3);
  EXPECT_FLOAT_EQ(store.Numbers()[0].towDepth, 54.7f);
  EXPECT_FLOAT_EQ(store.Numbers()[0].sounder, 76.5f);
  EXPECT_EQ(store.ChartValues()[0], -10.0);

  const LogVariant& shortVariant = FindLogVariant(LogVariantId::ZpxBT);
  LiveRecordStore shortStore(shortVariant.layout);
  TSample bt('.');
  bt.FDevDigits = shortVariant.devDigits;
  bt.SetHeader(shortVariant.header);
  bt.SetKind(shortVariant.kind);
  ASSERT_EQ(bt.Parse("$BTGFG,+0042"), 0);
  shortStore.AppendParsed(shortVariant, bt, "12:00:02 UTC", view);
  EXPECT_EQ(shortStore.Cells().Cell(1, 2), "+0042");
  EXPECT_EQ(shortStore.Cells().Cell(1, 3), "");
  EXPECT_FALSE(shortStore.Numbers()[0].towfish.Known());
}

TEST(LiveRecordStore, RawBytesAreSplitIntoLinesAcrossChunks) {
  LiveRecordStore store(kLayout);
  for (std::string_view chunk : {"ab", "c\r", "\nd\n\ne", "\rf"}) store.AppendRawBytes(chunk);
  ASSERT_EQ(store.RawLineCount(), 5u);
  EXPECT_EQ(store.RawLine(0), "abc");
  EXPECT_EQ(store.RawLine(1), "d");
  EXPECT_EQ(store.RawLine(2), "");
  EXPECT_EQ(store.RawLine(3), "e");
  EXPECT_EQ(store.RawLine(4), "f");
  EXPECT_EQ(store.RecordCount(), 0u);
  EXPECT_EQ(store.RowOfRawLine(0), 0u);
  store.Clear();
  EXPECT_EQ(store.RawLineCount(), 0u);
}

}  // namespace
}  // namespace tessaly
