// The record grid of a document: captions, widths, the column of every
// field, row colours and chart values.
#include <gtest/gtest.h>

#include <cmath>

#include "core/DeviationColours.h"
#include "core/LogDocument.h"
#include "support/DocumentFiles.h"
#include "support/FileBytes.h"
#include "support/NavigationDocument.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

using testing::CrLfLines;
using testing::TempHome;
using testing::KvlLine;
using testing::WriteBytes;

TEST(DocumentGrid, CaptionRowHoldsTheTwentyNineTitlesOnGrey) {
  const std::vector<std::string> titles = {
      "#",        "Time",       "RD#",        "DEV",       "TF LAT D",  "TF LAT M",  "TF N/S",    "TF LON D",
      "TF LON M", "TF E/W",     "TF DEPTH",   "SOUNDER",   "TF DEC Lat", "TF DEC Lon", "TF UTM Z", "TF EAST",
      "TF NORTH", "GPS LAT D",  "GPS LAT M",  "GPS N/S",   "GPS LON D", "GPS LON M", "GPS E/W",   "GPS DEC Lat",
      "GPS DEC Lon", "G UTM Z", "GPS EAST",   "GPS  NORTH", "Comment"};
  LogDocument doc;
  ASSERT_EQ(doc.Cells().Cols(), titles.size());
  for (std::size_t c = 0; c < titles.size(); ++c) EXPECT_EQ(doc.Cells().Cell(0, c), titles[c]) << c;
  EXPECT_EQ(doc.Cells().RowColor(0), kHeaderGrey);
  EXPECT_EQ(kGridColumns[kColSequence].minWidth, 40);
  EXPECT_EQ(kGridColumns[kColTfDecLat].minWidth, 60);
  EXPECT_EQ(kGridColumns[kColGpsDecLat].minWidth, 75);
  EXPECT_EQ(kGridColumns[kColComment].minWidth, 200);
}

// The grid shows an empty towfish depth as "0", but it is no depth: the
// record's number says so.
TEST(DocumentGrid, AnEmptyDepthShowsZeroAndIsNoNumber) {
  TempHome dir;
  const std::string path = dir.Path("depths.KVL");
  WriteBytes(path, CrLfLines({KvlLine("+00001", "0.0"), KvlLine("+00002", ""), KvlLine("+00003", "2.5")}));
  LogDocument doc;
  ASSERT_EQ(doc.OpenLog(path, LoadOptions{}), LoadStatus::Loaded);
  ASSERT_EQ(doc.ValidCount(), 3u);
  EXPECT_EQ(doc.Cells().Cell(2, kColTfDepth), "0");
  EXPECT_EQ(doc.Numbers()[0].towDepth, 0.0f);
  EXPECT_TRUE(std::isnan(doc.Numbers()[1].towDepth));
  EXPECT_EQ(doc.Numbers()[2].towDepth, 2.5f);
}

TEST(DocumentGrid, KvlRecordFillsTheTowfishColumnsWithLatitudeBeforeLongitude) {
  TempHome dir;
  const std::string path = dir.Path("fields.KVL");
  // The first line is there for the recognition (a KVL line is 47 long).
  WriteBytes(path, CrLfLines({KvlLine(), "$KVMGD,-00123,4418.500,N,06318.250,W,,7.5"}));
  LoadOptions options;
  options.threads = 1;
  LogDocument doc;
  ASSERT_EQ(doc.OpenLog(path, options), LoadStatus::Loaded);
  ASSERT_EQ(doc.ValidCount(), 2u);
  const CellTable& g = doc.Cells();
  EXPECT_EQ(g.Cell(2, 0), "2");
  EXPECT_EQ(g.Cell(2, 1), "");
  EXPECT_EQ(g.Cell(2, 2), "2");
  EXPECT_EQ(g.Cell(2, 3), "-00123");
  EXPECT_EQ(g.Cell(2, 4), "44");
  EXPECT_EQ(g.Cell(2, 5), "18.500");
  EXPECT_EQ(g.Cell(2, 6), "N");
  EXPECT_EQ(g.Cell(2, 7), "063");
  EXPECT_EQ(g.Cell(2, 8), "18.250");
  EXPECT_EQ(g.Cell(2, 9), "W");
  EXPECT_EQ(g.Cell(2, 10), "0");  // empty depth shows 0
  EXPECT_EQ(g.Cell(2, 11), "7.5");
  EXPECT_NE(g.Cell(2, 12).find("44.30833"), std::string_view::npos);
  EXPECT_NE(g.Cell(2, 13).find("-63.30416"), std::string_view::npos);
  EXPECT_EQ(g.Cell(2, 14), "20 T");
  EXPECT_FALSE(g.Cell(2, 15).empty());
  EXPECT_FALSE(g.Cell(2, 16).empty());
  for (std::size_t c = 17; c <= 28; ++c) EXPECT_EQ(g.Cell(2, c), "") << c;
  EXPECT_EQ(testing::ChartValuesOf(doc), (std::vector<double>{42.0, -123.0}));
}

TEST(DocumentGrid, RowsAreColouredByDeviationAndRecolouredWithNewSettings) {
  TempHome dir;
  const std::string path = dir.Path("colours.KVL");
  WriteBytes(path, CrLfLines({KvlLine("+00005"), KvlLine("-00500"), KvlLine("+00500")}));
  LoadOptions options;
  options.view.DevLimit = 100;
  options.view.NegDevColor = 0x00AA00;
  options.view.PosDevColor = 0x0000AA;
  LogDocument doc;
  ASSERT_EQ(doc.OpenLog(path, options), LoadStatus::Loaded);
  const CellTable& g = doc.Cells();
  EXPECT_EQ(g.RowColor(1), kClWhite);
  EXPECT_EQ(g.RowFontColor(1), kClBlue);
  EXPECT_EQ(g.RowColor(2), 0x00AA00u);
  EXPECT_EQ(g.RowFontColor(2), kClRed);
  EXPECT_EQ(g.RowColor(3), 0x0000AAu);

  ViewSettings wider = options.view;
  wider.DevLimit = 1000;
  doc.Recolour(wider);
  EXPECT_EQ(g.RowColor(2), kClInfoBk);
  EXPECT_EQ(g.RowColor(3), kClWhite);
  EXPECT_EQ(g.RowFontColor(2), kClRed);
}

TEST(DocumentGrid, NavigationDocumentShowsTimeGpsAndZeroForUnlinkedDepth) {
  TempHome dir;
  const std::string path = dir.Path("nav.txt");
  WriteBytes(path, CrLfLines({"Navigation log", "@t,@p:4,@>:2,@+,@0,@1,@2",
                              "08:00:00.00,4418.0000,N,06318.0000,W,000.0,4.5,TF:44.2994600:-63.2999996,+00011,54.5,76.5"}));
  LogDocument doc;
  ASSERT_EQ(testing::OpenDevLinkedNavigation(doc, path), LoadStatus::Loaded);
  EXPECT_TRUE(doc.IsNavigation());
  EXPECT_EQ(doc.FileType(), "PNav");
  EXPECT_EQ(doc.LoadMessage(), "Importing data ...");
  ASSERT_EQ(doc.ValidCount(), 1u);
  const CellTable& g = doc.Cells();
  EXPECT_EQ(g.Cell(1, 1), "08:00:00.00");
  EXPECT_EQ(g.Cell(1, 2), "3");
  EXPECT_EQ(g.Cell(1, 3), "+00011");
  EXPECT_EQ(g.Cell(1, 10), "0");
  EXPECT_EQ(g.Cell(1, 11), "0");
  EXPECT_EQ(g.Cell(1, 17), "44");
  EXPECT_EQ(g.Cell(1, 19), "N");
  EXPECT_EQ(g.Cell(1, 22), "W");
  EXPECT_FALSE(g.Cell(1, 25).empty());
}

TEST(DocumentGrid, MemoryAccountingCoversEveryBuffer) {
  TempHome dir;
  const std::string path = dir.Path("memory.KVL");
  WriteBytes(path, CrLfLines(std::vector<std::string>(2000, KvlLine())));
  LogDocument doc;
  ASSERT_EQ(doc.OpenLog(path, {}), LoadStatus::Loaded);
  const std::size_t floor = doc.Raw().MemoryBytes() + doc.Cells().MemoryBytes() +
                            doc.ChartValues().size_bytes();
  EXPECT_GE(doc.MemoryBytes(), floor);
  EXPECT_GE(doc.Cells().MemoryBytes(), doc.Cells().TextBytes());
  // Reserved sizes follow the file: well under twice what is in use.
  EXPECT_LT(doc.Cells().MemoryBytes(), 2 * (doc.Cells().TextBytes() + 2001 * 29 * 4 + 2001 * 16));
}

}  // namespace
}  // namespace tessaly
