// Building a track from an opened log or navigation document: the towfish
// position where there is one, the GPS fix of a GPS-only navigation import.
#include <gtest/gtest.h>

#include <vector>

#include "core/LogDocument.h"
#include "core/TrackModel.h"
#include "support/DocumentFiles.h"
#include "support/FileBytes.h"
#include "support/NavigationDocument.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

using testing::CrLfLines;
using testing::KvlLine;
using testing::OpenDevLinkedNavigation;
using testing::TempHome;
using testing::WriteBytes;

UtmPosition Expected(double latitude, double longitude) {
  UtmPosition p;
  EXPECT_TRUE(LatLonToUtm(kWgs84Datum, latitude, longitude, p));
  return p;
}

void ExpectAt(const TrackModel& model, std::size_t record, double latitude, double longitude) {
  const auto position = model.Position(record);
  ASSERT_TRUE(position) << record;
  const UtmPosition expected = Expected(latitude, longitude);
  EXPECT_NEAR(position->easting, expected.easting, 0.05) << record;
  EXPECT_NEAR(position->northing, expected.northing, 0.05) << record;
}

TEST(BuildTrack, LogRecordsGiveTheTowfishPositions) {
  TempHome dir;
  const std::string path = dir.Path("line.KVL");
  WriteBytes(path, CrLfLines({KvlLine("+00042"), "$KVMGD,-00007,4418.600,N,06318.000,W,25.3,78.4", "garbage",
                              KvlLine("-00003")}));
  LogDocument doc;
  ASSERT_EQ(doc.OpenLog(path, {}), LoadStatus::Loaded);
  ASSERT_EQ(doc.ChartValues().size(), 3u);
  TrackModel model;
  model.Append(10.0, 10.0, 1.0);  // replaced by the build
  ASSERT_TRUE(BuildTrack(doc, model));
  EXPECT_EQ(model.Size(), 3u);
  EXPECT_EQ(model.PositionCount(), 3u);
  EXPECT_EQ(model.Zone(), 20);
  ExpectAt(model, 0, 44.3, -63.3);
  ExpectAt(model, 1, 44.31, -63.3);
  // The record of largest |deviation| is the one shown when all share a cell.
  std::vector<DrawnPoint> out;
  model.Decimate(*model.FitAll(10, 10, 0), doc.ChartValues(), 10, out);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].record, 0u);
}

TEST(BuildTrack, NavigationWithTowfishUsesTheTowfishNotTheFix) {
  TempHome dir;
  const std::string path = dir.Path("nav.txt");
  WriteBytes(path, CrLfLines({"Navigation log", "@t,@p:4,@>:2,@+,@0,@1,@2",
                              "08:00:00.00,4418.0000,N,06318.0000,W,000.0,4.5,TF:44.2900000:-63.2900000,+00011,54.5,76.5"}));
  LogDocument doc;
  ASSERT_EQ(OpenDevLinkedNavigation(doc, path), LoadStatus::Loaded);
  TrackModel model;
  ASSERT_TRUE(BuildTrack(doc, model));
  ASSERT_EQ(model.Size(), 1u);
  ExpectAt(model, 0, 44.29, -63.29);
}

TEST(BuildTrack, GpsOnlyNavigationUsesTheFixes) {
  TempHome dir;
  const std::string path = dir.Path("nav.txt");
  WriteBytes(path, CrLfLines({"Navigation log", "@t,@p:4,@>:2,@0,@1,@2",
                              "08:00:00.00,4418.0000,N,06318.0000,W,000.0,4.5,-00010,54.7,76.5",
                              "08:00:01.00,1000.0000,S,15006.0000,E,000.0,4.5,+00020,54.7,76.5",
                              "08:00:02.00,4418.6000,N,06318.0000,W,000.0,4.5,+00030,54.7,76.5"}));
  LogDocument doc;
  ASSERT_EQ(OpenDevLinkedNavigation(doc, path), LoadStatus::Loaded);
  ASSERT_EQ(doc.ChartValues().size(), 3u);
  TrackModel model;
  ASSERT_TRUE(BuildTrack(doc, model));
  EXPECT_EQ(model.Size(), 3u);
  // The second fix lies a world away from zone 20: its slot stays empty.
  EXPECT_EQ(model.PositionCount(), 2u);
  ExpectAt(model, 0, 44.3, -63.3);
  EXPECT_FALSE(model.Position(1));
  ExpectAt(model, 2, 44.31, -63.3);
}

// A source of hand-made records, for numbers no reader makes.
class NumbersSource : public RecordSource {
 public:
  explicit NumbersSource(std::vector<RecordNumbers> numbers)
      : cells_(NewRecordTable()), values_(numbers.size(), 1.0), numbers_(std::move(numbers)) {}
  const CellTable& Cells() const override { return cells_; }
  std::span<const double> ChartValues() const override { return values_; }
  std::span<const RecordNumbers> Numbers() const override { return numbers_; }
  std::size_t RowOfRawLine(std::size_t) const override { return 0; }
  std::optional<std::size_t> RawLineOfRow(std::size_t) const override { return std::nullopt; }
  std::size_t RawLineCount() const override { return 0; }
  std::string_view RawLine(std::size_t) const override { return {}; }
  std::size_t LongestRawLine() const override { return 0; }

 private:
  CellTable cells_;
  std::vector<double> values_;
  std::vector<RecordNumbers> numbers_;
};

RecordNumbers Towfish(double latitude, double longitude) {
  RecordNumbers n;
  n.towfish = {latitude, longitude};
  return n;
}

TEST(BuildTrack, RecordsWithoutAUsablePositionKeepEmptySlots) {
  RecordNumbers gpsOnly;
  gpsOnly.gps = {44.3, -63.3};  // a GPS fix is not used while the towfish has positions
  NumbersSource source({Towfish(44.3, -63.3), Towfish(kNoValue, -63.3), RecordNumbers{}, gpsOnly,
                        Towfish(95.0, 10.0)});  // beyond the projection
  TrackModel model;
  ASSERT_TRUE(BuildTrack(source, model));
  EXPECT_EQ(model.Size(), 5u);
  EXPECT_EQ(model.PositionCount(), 1u);
  ExpectAt(model, 0, 44.3, -63.3);

  NumbersSource nothing({RecordNumbers{}, RecordNumbers{}, RecordNumbers{}});
  EXPECT_FALSE(BuildTrack(nothing, model));
  EXPECT_EQ(model.Size(), 3u);
  EXPECT_EQ(model.PositionCount(), 0u);
}

TEST(BuildTrack, ExtendingAppendsOnlyTheRecordsTheModelLacks) {
  NumbersSource first({Towfish(44.3, -63.3), Towfish(44.31, -63.3)});
  TrackModel model;
  EXPECT_EQ(ExtendTrack(first, model), 2u);
  NumbersSource grown({Towfish(44.3, -63.3), Towfish(44.31, -63.3), RecordNumbers{}, Towfish(44.32, -63.3)});
  EXPECT_EQ(ExtendTrack(grown, model), 2u);
  EXPECT_EQ(model.Size(), 4u);
  EXPECT_FALSE(model.Position(2));
  ExpectAt(model, 3, 44.32, -63.3);
  EXPECT_EQ(ExtendTrack(grown, model), 0u);
}

// The RT4 KV compatible records carry degrees and minutes only; their
// positions reach the track as numbers all the same.
TEST(BuildTrack, RtcRecordsGiveTheirDegreesAndMinutes) {
  TempHome dir;
  const std::string path = dir.Path("line.RTC");
  WriteBytes(path, CrLfLines({"$KVMGD,+00042,063,18.000,W,44,18.000,N,25.3,78.4"}));
  TypeFileState file;
  file.NewFile = true;  // taken as RT4 KV compatible by its extension
  AssignFileName(file, path, false);
  LogDocument doc;
  ASSERT_EQ(doc.OpenLog(file, {}), LoadStatus::Loaded);
  ASSERT_EQ(doc.ValidCount(), 1u);
  EXPECT_EQ(doc.Cells().Cell(1, kColTfDecLat), "");  // the grid shows no derived texts
  TrackModel model;
  ASSERT_TRUE(BuildTrack(doc, model));
  ExpectAt(model, 0, 44.3, -63.3);
  EXPECT_FLOAT_EQ(doc.Numbers()[0].towDepth, 25.3f);
  EXPECT_FLOAT_EQ(doc.Numbers()[0].sounder, 78.4f);
}

// Degrees beyond the Earth's pass the record checks (a KV7100 latitude of
// 95, a navigation file's signed decimal towfish longitude of -6329.99971):
// the record and its texts stay, but it has no position.
TEST(RecordNumbers, PositionsOffTheEarthAreNoPositions) {
  TempHome dir;
  WriteBytes(dir.Path("log.kvl"), CrLfLines({"$KVMGD,+00042,9518.000,N,06318.000,W,25.3,78.4"}));
  LogDocument log;
  ASSERT_EQ(log.OpenLog(dir.Path("log.kvl"), {}), LoadStatus::Loaded);
  ASSERT_EQ(log.ValidCount(), 1u);
  EXPECT_EQ(log.Cells().Cell(1, kColTfDecLat), "+95.30000");
  EXPECT_FALSE(log.Numbers()[0].towfish.Known());
  EXPECT_FLOAT_EQ(log.Numbers()[0].towDepth, 25.3f);

  WriteBytes(dir.Path("nav.pnav"),
             CrLfLines({"Navigation log", "@t,@p:4,@>:2,@+,@0",
                        "08:00:00.00,4418.0000,N,06318.0000,W,000.0,4.5,TF:44.2994600:-63.2999973,+00012",
                        "08:00:01.00,4418.0012,N,06318.0000,W,000.0,4.5,TF:44.2994808:-6329.99971,+00005",
                        "08:00:02.00,4418.0025,N,06318.0000,W,000.0,4.5,TF:-144.2995015:-63.3000007,-00009"}));
  LogDocument nav;
  ASSERT_EQ(OpenDevLinkedNavigation(nav, dir.Path("nav.pnav")), LoadStatus::Loaded);
  ASSERT_EQ(nav.ValidCount(), 3u);
  EXPECT_FALSE(nav.Cells().Cell(2, kColTfUtmZone).empty());
  std::vector<bool> towfish, gps;
  for (const RecordNumbers& n : nav.Numbers()) {
    towfish.push_back(n.towfish.Known());
    gps.push_back(n.gps.Known());
  }
  EXPECT_EQ(towfish, std::vector<bool>({true, false, false}));
  EXPECT_EQ(gps, std::vector<bool>({true, true, true}));
  // 0.2999973 degrees are 17.999838 minutes, kept as "18.000": 63.3 degrees.
  EXPECT_DOUBLE_EQ(nav.Numbers()[0].towfish.longitude, -63.3);
}

}  // namespace
}  // namespace tessaly
