// The line-cut exports on hand-made records, against hand-written files:
// the blocks, the XYZ and CSV layouts, the GeoJSON and KML structure, what
// a log without positions gives, and the spill that holds the records
// between the passes.
#include "core/SurveyExport.h"

#include <gtest/gtest.h>

#include <cmath>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/RecordSpill.h"
#include "support/ExportRun.h"
#include "support/FileBytes.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

using testing::ReadBytes;
using testing::RunExport;

ExportHeader Header() {
  ExportHeader header;
  header.sourceFile = "survey.zpx";
  header.kind = "ZEPH 2 Log";
  header.datum = "WGS 84";
  return header;
}

// Six records without positions; record 2 to 4 (1-based) marked as line A.
std::vector<SurveyRecord> MarkedRecords() {
  std::vector<SurveyRecord> records(6);
  const double deviations[] = {12, -5, 7, kNoValue, 3, 1.5};
  for (std::size_t i = 0; i < records.size(); ++i) records[i].deviation = deviations[i];
  records[1].comment = "SOL A";
  records[2].comment = "buoy, \"red\"";
  records[3].comment = "EOL";
  return records;
}

class SurveyExportFiles : public ::testing::Test {
 protected:
  std::string Export(const std::vector<SurveyRecord>& records, const std::string& format,
                     const SurveyExportOptions& options = {}, ExportHeader header = Header()) {
    const std::string path = home_.Path("out." + format);
    const testing::ExportRun run = RunExport(records, format, path, header, options);
    EXPECT_TRUE(run.ok) << run.error;
    return ReadBytes(path);
  }
  testing::TempHome home_;
};

TEST_F(SurveyExportFiles, XyzHasOneBlockPerMarkedLine) {
  EXPECT_EQ(Export(MarkedRecords(), "xyz"),
            "/ Tessaly survey export, Geosoft XYZ: deviation by survey line\r\n"
            "/ Source: survey.zpx\r\n"
            "/ Kind: ZEPH 2 Log\r\n"
            "/ Datum: WGS 84\r\n"
            "/ Lines: 1 line from the operator's SOL and EOL marks\r\n"
            "/ Line 1: A\r\n"
            "/ Fiducial Deviation\r\n"
            "Line 1\r\n"
            "2 -5\r\n"
            "3 7\r\n"
            "4 *\r\n");
}

TEST_F(SurveyExportFiles, XyzTiesHoldTheRecordsBetweenLines) {
  SurveyExportOptions options;
  options.ties = true;
  const std::string xyz = Export(MarkedRecords(), "xyz", options);
  EXPECT_NE(xyz.find("/ Fiducial Deviation\r\nTie 1\r\n1 12\r\nLine 1\r\n2 -5\r\n3 7\r\n4 *\r\nTie 2\r\n5 3\r\n6 1.5\r\n"),
            std::string::npos)
      << xyz;
}

// The records are made into text in pieces of a few thousand on several
// threads: lines that begin, end and touch at the pieces' edges still get
// one heading each, in order, and every record once.
TEST_F(SurveyExportFiles, XyzBlocksAcrossManyRecordsKeepTheirOrder) {
  std::vector<SurveyRecord> records(10'000);
  for (std::size_t i = 0; i < records.size(); ++i) records[i].deviation = static_cast<double>(i);
  struct Marked { std::size_t first, last; };
  const Marked lines[] = {{4090, 4096}, {4097, 8191}, {8192, 8195}};
  for (const Marked& line : lines) records[line.first].comment = "SOL", records[line.last].comment = "EOL";
  SurveyExportOptions options;
  options.ties = true;
  const std::string xyz = Export(records, "xyz", options);

  std::string expected = "/ Fiducial Deviation\r\n";
  const auto block = [&](const std::string& heading, std::size_t first, std::size_t last) {
    expected += heading + "\r\n";
    for (std::size_t i = first; i <= last; ++i) expected += std::to_string(i + 1) + " " + std::to_string(i) + "\r\n";
  };
  block("Tie 1", 0, 4089);
  block("Line 1", 4090, 4096);
  block("Line 2", 4097, 8191);
  block("Line 3", 8192, 8195);
  block("Tie 2", 8196, 9999);
  const std::size_t data = xyz.find("/ Fiducial Deviation\r\n");
  ASSERT_NE(data, std::string::npos) << xyz.substr(0, 400);
  EXPECT_TRUE(xyz.compare(data, std::string::npos, expected) == 0);
}

TEST_F(SurveyExportFiles, XyzWithoutLinesIsLineZero) {
  SurveyExportOptions options;
  options.lines = LineMode::None;
  ExportHeader header = Header();
  header.exportTimeNs = 1'796'840'000'123'456'789;  // 2026-12-09T18:13:20.123Z
  header.layback = "cable 50 m";
  EXPECT_EQ(Export(MarkedRecords(), "xyz", options, header),
            "/ Tessaly survey export, Geosoft XYZ: deviation by survey line\r\n"
            "/ Source: survey.zpx\r\n"
            "/ Kind: ZEPH 2 Log\r\n"
            "/ Datum: WGS 84\r\n"
            "/ Exported: 2026-12-09T18:13:20.123Z\r\n"
            "/ Layback: cable 50 m\r\n"
            "/ Lines: none; every record in line 0\r\n"
            "/ Fiducial Deviation\r\n"
            "Line 0\r\n1 12\r\n2 -5\r\n3 7\r\n4 *\r\n5 3\r\n6 1.5\r\n");
}

TEST_F(SurveyExportFiles, CsvHasEveryRecordWithItsLineAndQuotedComments) {
  EXPECT_EQ(Export(MarkedRecords(), "csv"),
            "Line,Fiducial,Deviation,Comment\r\n"
            ",row,nT,\r\n"
            ",1,12,\r\n"
            "1,2,-5,SOL A\r\n"
            "1,3,7,\"buoy, \"\"red\"\"\"\r\n"
            "1,4,,EOL\r\n"
            ",5,3,\r\n"
            ",6,1.5,\r\n");
}

// Every channel a record can carry, each where any record has it.
TEST_F(SurveyExportFiles, ChannelsFollowWhatTheRecordsCarry) {
  std::vector<SurveyRecord> records(2);
  records[0] = {0.0, -63.0, 42, 25.25, 78.5, RecordTime{1'796'840'000'123, true}, 5u, {}};
  records[1].deviation = -1;
  records[1].time = RecordTime{8 * 3'600'000 + 1'234, false};
  SurveyExportOptions options;
  options.lines = LineMode::None;
  EXPECT_EQ(Export(records, "csv", options),
            "Line,X,Y,Latitude,Longitude,UTC,Fiducial,Deviation,TowfishDepth,Sounder,Flags,Comment\r\n"
            ",m,m,deg,deg,ISO 8601,row,nT,m,m,,\r\n"
            ",500000.000,0.000,0.00000000,-63.00000000,2026-12-09T18:13:20.123Z,1,42,25.25,78.5,5,\r\n"
            ",,,,,08:00:01.234,2,-1,,,,\r\n");
  const std::string xyz = Export(records, "xyz", options);
  EXPECT_NE(xyz.find("/ UTM zone: 20N\r\n"), std::string::npos) << xyz;
  EXPECT_NE(xyz.find("/ X Y Latitude Longitude UTC Fiducial Deviation TowfishDepth Sounder Flags\r\nLine 0\r\n"
                     "500000.000 0.000 0.00000000 -63.00000000 2026-12-09T18:13:20.123Z 1 42 25.25 78.5 5\r\n"
                     "* * * * 08:00:01.234 2 -1 * * *\r\n"),
            std::string::npos)
      << xyz;
}

// Three records north along the central meridian of zone 20 from the
// equator, 0.001 degrees apart (110.5 m of UTM northing each), marked as a
// line, and a comment.
std::vector<SurveyRecord> MeridianRecords() {
  std::vector<SurveyRecord> records(4);
  for (std::size_t i = 0; i < records.size(); ++i) {
    records[i].latitude = 0.001 * static_cast<double>(i);
    records[i].longitude = -63.0;
    records[i].deviation = static_cast<double>(i) * 10 - 15;
  }
  records[0].comment = "SOL";
  records[2].comment = "EOL";
  records[3].comment = "A & B <wreck>";
  return records;
}

TEST_F(SurveyExportFiles, GeoJsonLineStringsThenPoints) {
  EXPECT_EQ(Export(MeridianRecords(), "geojson"),
            "{\"type\":\"FeatureCollection\",\"features\":[\n"
            "{\"type\":\"Feature\",\"geometry\":{\"type\":\"LineString\",\"coordinates\":"
            "[[-63.0000000,0.0000000],[-63.0000000,0.0010000],[-63.0000000,0.0020000]]},"
            "\"properties\":{\"line\":1,\"records\":3,\"length\":221.1,\"min_deviation\":-15,\"max_deviation\":5}},\n"
            "{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":[-63.0000000,0.0000000]},"
            "\"properties\":{\"fiducial\":1,\"text\":\"SOL\"}},\n"
            "{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":[-63.0000000,0.0020000]},"
            "\"properties\":{\"fiducial\":3,\"text\":\"EOL\"}},\n"
            "{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":[-63.0000000,0.0030000]},"
            "\"properties\":{\"fiducial\":4,\"text\":\"A & B <wreck>\"}}\n"
            "]}\n");
}

TEST_F(SurveyExportFiles, KmlPlacemarks) {
  std::vector<SurveyRecord> records = MeridianRecords();
  records.resize(2);
  records[1].comment = "A & B <wreck>";
  EXPECT_EQ(Export(records, "kml"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- Tessaly survey export: deviation by survey line -->\n<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
            "<Document>\n<name>survey.zpx</name>\n"
            "<Placemark><name>Line 1</name><ExtendedData>"
            "<Data name=\"line\"><value>1</value></Data><Data name=\"records\"><value>2</value></Data>"
            "<Data name=\"length\"><value>110.5</value></Data><Data name=\"min_deviation\"><value>-15</value></Data>"
            "<Data name=\"max_deviation\"><value>-5</value></Data></ExtendedData>"
            "<LineString><tessellate>1</tessellate><coordinates>\n"
            "-63.0000000,0.0000000\n-63.0000000,0.0010000\n</coordinates></LineString></Placemark>\n"
            "<Placemark><name>SOL</name><ExtendedData><Data name=\"fiducial\"><value>1</value></Data>"
            "</ExtendedData><Point><coordinates>-63.0000000,0.0000000</coordinates></Point></Placemark>\n"
            "<Placemark><name>A &amp; B &lt;wreck&gt;</name><ExtendedData><Data name=\"fiducial\"><value>2</value>"
            "</Data></ExtendedData><Point><coordinates>-63.0000000,0.0010000</coordinates></Point></Placemark>\n"
            "</Document>\n</kml>\n");
}

TEST_F(SurveyExportFiles, MapsOfALogWithoutPositionsAreRefused) {
  for (const std::string format : {"geojson", "kml"}) {
    const std::string path = home_.Path("out." + format);
    const testing::ExportRun run = RunExport(MarkedRecords(), format, path, Header());
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(run.error, "No positions in survey.zpx; nothing was written.");
    EXPECT_FALSE(std::filesystem::exists(path));
  }
}

TEST_F(SurveyExportFiles, NoRecordsGiveTheHeadersAlone) {
  EXPECT_EQ(Export({}, "csv"), "Line,Fiducial,Deviation,Comment\r\n,row,nT,\r\n");
}

struct BlocksCase {
  std::string name;
  std::vector<SurveyLine> lines;
  std::uint64_t records;
  bool ties;
  std::vector<std::string> expected;  // "Line N first-last" / "Tie N first-last"
};

class SurveyExportBlocks : public ::testing::TestWithParam<BlocksCase> {};

TEST_P(SurveyExportBlocks, LinesAndTies) {
  const BlocksCase& c = GetParam();
  std::vector<std::string> blocks;
  for (const ExportBlock& block : BlocksOf(c.lines, c.records, c.ties))
    blocks.push_back((block.kind == ExportBlock::Kind::Line ? "Line " : "Tie ") + std::to_string(block.number) + " " +
                     std::to_string(block.first) + "-" + std::to_string(block.last) + block.name);
  EXPECT_EQ(blocks, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, SurveyExportBlocks,
    ::testing::Values(BlocksCase{"NoRecords", {}, 0, true, {}},
                      BlocksCase{"NoLines", {}, 5, true, {"Line 0 0-4"}},
                      BlocksCase{"Lines", {{2, 3, "A"}, {5, 7, ""}}, 10, false, {"Line 1 2-3A", "Line 2 5-7"}},
                      BlocksCase{"Ties",
                                 {{2, 3, "A"}, {5, 7, ""}},
                                 10,
                                 true,
                                 {"Tie 1 0-1", "Line 1 2-3A", "Tie 2 4-4", "Line 2 5-7", "Tie 3 8-9"}},
                      BlocksCase{"AdjacentLines", {{0, 3, ""}, {4, 9, ""}}, 10, true, {"Line 1 0-3", "Line 2 4-9"}}),
    [](const ::testing::TestParamInfo<BlocksCase>& info) { return info.param.name; });

// Records come back from the spill as they went in, comments of any length
// included (one longer than the spill's buffer); what a record lacks comes
// back at its default. Alike whether they were kept in memory, in the file,
// or the first in memory and the rest in the file.
class RecordSpillMemory : public ::testing::TestWithParam<std::size_t> {};

TEST_P(RecordSpillMemory, GivesBackWhatWasAppended) {
  testing::TempHome home;
  RecordSpill spill(GetParam());
  ASSERT_TRUE(spill.Open(home.Home()));
  const std::string huge(3 << 20, 'x');
  for (int i = 0; i < 100'000; ++i) {
    SpilledRecord record;
    record.deviation = i;
    record.hasTime = i % 2 == 0;
    record.timeMillis = -i;
    record.dateKnown = i % 4 == 0;
    record.hasFlags = i % 3 == 0;
    record.flags = static_cast<std::uint32_t>(i);
    if (i % 5 == 0) record.latitude = i / 1000.0, record.longitude = -i / 1000.0;
    if (i % 7 == 0) record.x = 1000.0 + i, record.y = 2000.0 + i;
    if (i % 11 == 0) record.towfishDepth = 0.5f * static_cast<float>(i);
    ASSERT_TRUE(spill.Append(record, i == 5000 ? std::string_view(huge) : std::string_view("c", i % 2)));
  }
  for (int pass = 0; pass < 2; ++pass) {
    ASSERT_TRUE(spill.Rewind());
    SpilledRecord record;
    std::string comment;
    int count = 0;
    for (; spill.Next(record, comment); ++count) {
      ASSERT_EQ(record.deviation, count);
      ASSERT_EQ(record.hasTime, count % 2 == 0);
      ASSERT_EQ(record.timeMillis, count % 2 == 0 ? -count : 0);
      ASSERT_EQ(record.dateKnown, count % 4 == 0);
      ASSERT_EQ(record.hasFlags, count % 3 == 0);
      ASSERT_EQ(record.flags, count % 3 == 0 ? static_cast<std::uint32_t>(count) : 0u);
      const auto same = [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); };
      ASSERT_TRUE(same(record.latitude, count % 5 == 0 ? count / 1000.0 : kNoValue)) << count;
      ASSERT_TRUE(same(record.longitude, count % 5 == 0 ? -count / 1000.0 : kNoValue)) << count;
      ASSERT_TRUE(same(record.x, count % 7 == 0 ? 1000.0 + count : kNoValue)) << count;
      ASSERT_TRUE(same(record.y, count % 7 == 0 ? 2000.0 + count : kNoValue)) << count;
      ASSERT_TRUE(same(record.towfishDepth, count % 11 == 0 ? 0.5 * count : kNoValue)) << count;
      ASSERT_TRUE(std::isnan(record.sounder));
      ASSERT_EQ(comment.size(), count == 5000 ? huge.size() : static_cast<std::size_t>(count % 2));
    }
    EXPECT_EQ(count, 100'000);
    EXPECT_EQ(spill.Error(), "");
  }
  // The spill has no name in its folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home.Home()), {}), 1);  // Lib/
}

// None in memory; the first 1 MiB (the huge comment goes to the file); the
// first 3 MiB, in blocks; all (the huge comment in a block of its own).
INSTANTIATE_TEST_SUITE_P(Bounds, RecordSpillMemory,
                         ::testing::Values(std::size_t{0}, std::size_t{1} << 20, std::size_t{3} << 20,
                                           RecordSpill::kDefaultMemoryBytes));

// A folder that takes no file leaves the system's temporary folder; with
// neither, the spill says where it could not be made.
TEST(RecordSpill, FallsBackToTheTemporaryFolder) {
  RecordSpill spill;
  EXPECT_TRUE(spill.Open("/nonexistent/folder"));
  EXPECT_TRUE(spill.Append({}, "x"));
  const char* old = std::getenv("TMPDIR");
  const std::string saved = old ? old : "";
  ::setenv("TMPDIR", "/nonexistent/tmp", 1);
  RecordSpill nowhere;
  const bool opened = nowhere.Open("/nonexistent/folder");
  if (old) ::setenv("TMPDIR", saved.c_str(), 1);
  else ::unsetenv("TMPDIR");
  EXPECT_FALSE(opened);
  EXPECT_NE(nowhere.Error().find("Cannot create the temporary file in /nonexistent/"), std::string::npos)
      << nowhere.Error();
}

}  // namespace
}  // namespace tessaly
