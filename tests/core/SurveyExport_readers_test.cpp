// The line-cut exports of a generated survey, read by readers nobody here
// wrote: GDAL's ogrinfo reads the GeoJSON and the KML, gdaltransform
// projects the positions, and a plain XYZ reader written here by the
// format's usual rules reads the XYZ; each is checked against the CSV.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/Command.h"
#include "support/ExportRun.h"
#include "support/FileBytes.h"
#include "support/SurveyRecords.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

using testing::ReadBytes;

// ---- CSV (RFC 4180) ----

std::vector<std::vector<std::string>> ReadCsv(const std::string& text) {
  std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') rows.back().back() += text[++i];
      else if (c == '"') quoted = false;
      else rows.back().back() += c;
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      rows.back().emplace_back();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      ++i;
      rows.emplace_back(1);
    } else {
      rows.back().back() += c;
    }
  }
  if (rows.back().size() == 1 && rows.back()[0].empty()) rows.pop_back();
  return rows;
}

struct CsvTable {
  std::map<std::string, std::size_t> column;
  std::vector<std::vector<std::string>> rows;  // records only
  const std::string& At(std::size_t row, const std::string& name) const { return rows[row].at(column.at(name)); }
};

CsvTable CsvOf(const std::string& path) {
  CsvTable table;
  auto rows = ReadCsv(ReadBytes(path));
  for (std::size_t i = 0; i < rows.at(0).size(); ++i) table.column[rows[0][i]] = i;
  table.rows.assign(rows.begin() + 2, rows.end());
  return table;
}

// ---- Geosoft XYZ, by the usual rules: "//" lines are skipped, "/" lines are
// comments and the last one before the data names the channels, "Line" and
// "Tie" start blocks, "*" is a missing value, values split on white space.

struct XyzBlock {
  std::string heading;
  std::vector<std::map<std::string, std::string>> rows;
};

std::vector<XyzBlock> ReadXyz(const std::string& text) {
  std::vector<XyzBlock> blocks;
  std::vector<std::string> channels, lastComment;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::vector<std::string> values;
    for (std::string word; words >> word;) values.push_back(word);
    if (line.rfind("//", 0) == 0 || values.empty()) continue;
    if (line[0] == '/') {
      lastComment.assign(values.begin() + (values[0] == "/" ? 1 : 0), values.end());
      if (values[0] != "/") lastComment[0].erase(0, 1);
      continue;
    }
    if (values[0] == "Line" || values[0] == "Tie") {
      if (channels.empty()) channels = lastComment;
      blocks.push_back({line, {}});
      continue;
    }
    if (channels.empty()) channels = lastComment;
    if (blocks.empty()) blocks.push_back({"", {}});
    std::map<std::string, std::string> row;
    for (std::size_t i = 0; i < values.size() && i < channels.size(); ++i)
      row[channels[i]] = values[i] == "*" ? "" : values[i];
    blocks.back().rows.push_back(row);
  }
  return blocks;
}

// ---- ogrinfo ----

struct OgrFeature {
  std::string geometry;  // "LINESTRING", "POINT", ...
  std::vector<std::pair<double, double>> vertices;  // longitude, latitude
  std::map<std::string, std::string> fields;
};

std::vector<OgrFeature> ReadWithOgr(const std::string& path, const std::string& scratch) {
  const testing::CommandRun run = testing::RunCommand("ogrinfo", {"-ro", "-al", "-q", path}, scratch);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  std::vector<OgrFeature> features;
  std::istringstream lines(run.out);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("OGRFeature(", 0) == 0) {
      features.emplace_back();
      continue;
    }
    if (features.empty() || line.size() < 3) continue;
    const std::string body = line.substr(2);
    const auto paren = body.find(" (");
    const auto equals = body.find(" = ");
    if (equals != std::string::npos) {
      const std::string name = body.substr(0, body.find(' '));
      features.back().fields[name] = body.substr(equals + 3);
    } else if (paren != std::string::npos && std::isupper(static_cast<unsigned char>(body[0]))) {
      features.back().geometry = body.substr(0, paren);
      std::string coordinates = body.substr(paren + 2);
      std::replace(coordinates.begin(), coordinates.end(), ',', ' ');
      std::replace(coordinates.begin(), coordinates.end(), ')', ' ');
      std::istringstream numbers(coordinates);
      double lon = 0, lat = 0;
      while (numbers >> lon >> lat) features.back().vertices.emplace_back(lon, lat);
    }
  }
  return features;
}

// ---- The survey ----

class SurveyExportReaders : public ::testing::Test {
 protected:
  // A survey of 40 lines of 2 km, 50 m apart, 1 % faulty lines.
  static void SetUpTestSuite() {
    home_ = new testing::TempHome;
    survey_ = new testing::GeneratedSurvey(testing::GenerateSurvey(
        "--lines 40 --line-length 2000 --line-spacing 50 --line-heading 30 --bad-fraction 0.01 --seed 11",
        home_->Home()));
    for (const std::string format : {"csv", "xyz", "geojson", "kml"}) {
      ExportHeader header;
      header.sourceFile = "survey.kvl";
      const testing::ExportRun run = testing::RunExport(survey_->records, format, Path(format), header);
      ASSERT_TRUE(run.ok) << run.error;
    }
  }
  static void TearDownTestSuite() {
    delete survey_;
    delete home_;
  }
  static std::string Path(const std::string& format) { return home_->Path("survey." + format); }

  // The CSV rows of survey line `line` that have a position.
  static std::vector<std::size_t> PositionedRowsOf(const CsvTable& csv, int line) {
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < csv.rows.size(); ++i)
      if (csv.At(i, "Line") == std::to_string(line) && !csv.At(i, "Latitude").empty()) rows.push_back(i);
    return rows;
  }

  static void ExpectMapMatchesCsv(const std::string& format) {
    const CsvTable csv = CsvOf(Path("csv"));
    const std::vector<OgrFeature> features = ReadWithOgr(Path(format), home_->Home());
    ASSERT_EQ(features.size(), 40u);
    for (int line = 1; line <= 40; ++line) {
      const OgrFeature& feature = features[static_cast<std::size_t>(line - 1)];
      EXPECT_EQ(feature.geometry, "LINESTRING");
      const std::vector<std::size_t> rows = PositionedRowsOf(csv, line);
      ASSERT_EQ(feature.vertices.size(), rows.size()) << "line " << line;
      for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_NEAR(feature.vertices[i].first, std::stod(csv.At(rows[i], "Longitude")), 1e-7);
        EXPECT_NEAR(feature.vertices[i].second, std::stod(csv.At(rows[i], "Latitude")), 1e-7);
      }
    }
  }

  static testing::TempHome* home_;
  static testing::GeneratedSurvey* survey_;
};

testing::TempHome* SurveyExportReaders::home_ = nullptr;
testing::GeneratedSurvey* SurveyExportReaders::survey_ = nullptr;

TEST_F(SurveyExportReaders, FortyLinesInEveryFormat) {
  ASSERT_EQ(survey_->lineCount, 40);
  const CsvTable csv = CsvOf(Path("csv"));
  ASSERT_EQ(csv.rows.size(), survey_->records.size());
  std::set<std::string> csvLines;
  for (std::size_t i = 0; i < csv.rows.size(); ++i)
    if (!csv.At(i, "Line").empty()) csvLines.insert(csv.At(i, "Line"));
  EXPECT_EQ(csvLines.size(), 40u);

  const std::vector<XyzBlock> xyz = ReadXyz(ReadBytes(Path("xyz")));
  ASSERT_EQ(xyz.size(), 40u);
  for (std::size_t i = 0; i < xyz.size(); ++i) EXPECT_EQ(xyz[i].heading, "Line " + std::to_string(i + 1));

  for (const std::string format : {"geojson", "kml"})
    EXPECT_EQ(ReadWithOgr(Path(format), home_->Home()).size(), 40u) << format;
}

TEST_F(SurveyExportReaders, GeoJsonMatchesTheCsv) { ExpectMapMatchesCsv("geojson"); }

TEST_F(SurveyExportReaders, KmlMatchesTheCsv) { ExpectMapMatchesCsv("kml"); }

// Each line's properties, as ogrinfo reads them, against the CSV's rows.
TEST_F(SurveyExportReaders, GeoJsonLinePropertiesSumUpTheCsv) {
  const CsvTable csv = CsvOf(Path("csv"));
  const std::vector<OgrFeature> features = ReadWithOgr(Path("geojson"), home_->Home());
  ASSERT_EQ(features.size(), 40u);
  for (int line = 1; line <= 40; ++line) {
    const OgrFeature& feature = features[static_cast<std::size_t>(line - 1)];
    double low = 1e300, high = -1e300, length = 0;
    std::size_t records = 0;
    std::optional<std::pair<double, double>> last;
    for (std::size_t i = 0; i < csv.rows.size(); ++i) {
      if (csv.At(i, "Line") != std::to_string(line)) continue;
      ++records;
      low = std::min(low, std::stod(csv.At(i, "Deviation")));
      high = std::max(high, std::stod(csv.At(i, "Deviation")));
      const std::pair<double, double> here{std::stod(csv.At(i, "X")), std::stod(csv.At(i, "Y"))};
      if (last) length += std::hypot(here.first - last->first, here.second - last->second);
      last = here;
    }
    EXPECT_EQ(feature.fields.at("line"), std::to_string(line));
    EXPECT_EQ(std::stoul(feature.fields.at("records")), records);
    EXPECT_NEAR(std::stod(feature.fields.at("length")), length, 0.1);
    EXPECT_EQ(std::stod(feature.fields.at("min_deviation")), low);
    EXPECT_EQ(std::stod(feature.fields.at("max_deviation")), high);
  }
}

TEST_F(SurveyExportReaders, XyzReadsBackTheCsvNumbers) {
  const CsvTable csv = CsvOf(Path("csv"));
  std::map<std::string, std::size_t> rowOfFiducial;
  for (std::size_t i = 0; i < csv.rows.size(); ++i) rowOfFiducial[csv.At(i, "Fiducial")] = i;
  std::size_t xyzRows = 0;
  for (const XyzBlock& block : ReadXyz(ReadBytes(Path("xyz")))) {
    const std::string line = block.heading.substr(5);
    for (const auto& row : block.rows) {
      ++xyzRows;
      const std::size_t at = rowOfFiducial.at(row.at("Fiducial"));
      EXPECT_EQ(csv.At(at, "Line"), line);
      for (const auto& [channel, value] : row) {
        const std::string& expected = csv.At(at, channel);
        if (value.empty() || expected.empty()) EXPECT_EQ(value, expected) << channel;
        else EXPECT_EQ(std::stod(value), std::stod(expected)) << channel;
      }
      EXPECT_EQ(row.size(), csv.column.size() - 2);  // all but Line and Comment
    }
  }
  // Turns are left out: the XYZ holds exactly the CSV's rows in lines.
  const auto inLines = std::count_if(csv.rows.begin(), csv.rows.end(), [&](const auto& r) {
    return !r[csv.column.at("Line")].empty();
  });
  EXPECT_EQ(xyzRows, static_cast<std::size_t>(inLines));
}

// X and Y are the positions' UTM coordinates as PROJ computes them, to the
// centimetre: the exact projection, not the grid's rounded one.
TEST_F(SurveyExportReaders, UtmMatchesGdal) {
  const CsvTable csv = CsvOf(Path("csv"));
  std::string input;
  std::vector<std::size_t> rows;
  for (std::size_t i = 0; i < csv.rows.size(); i += 997) {
    rows.push_back(i);
    input += csv.At(i, "Longitude") + " " + csv.At(i, "Latitude") + "\n";
  }
  const std::string inputPath = home_->Path("positions.txt");
  {
    std::ofstream(inputPath) << input;
  }
  const testing::CommandRun run = testing::RunCommand(
      "sh", {"-c", "gdaltransform -s_srs EPSG:4326 -t_srs EPSG:32620 -output_xy < " + inputPath}, home_->Home());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  std::istringstream out(run.out);
  for (const std::size_t row : rows) {
    double x = 0, y = 0;
    ASSERT_TRUE(out >> x >> y);
    EXPECT_NEAR(std::stod(csv.At(row, "X")), x, 0.01);
    EXPECT_NEAR(std::stod(csv.At(row, "Y")), y, 0.01);
  }
}

// The operator marked lines 2 and 4 of five: exactly those are the lines,
// whatever the course says, with their names, and every mark is a point.
TEST(SurveyExportMarks, ExactlyTheMarkedLines) {
  testing::TempHome home;
  const testing::GeneratedSurvey survey = testing::GenerateSurvey(
      "--lines 5 --line-length 800 --line-spacing 40 --bad-fraction 0.02 --seed 4", home.Home(), "--mark-lines 2,4");
  ExportHeader header;
  header.sourceFile = "survey.kvl";
  ASSERT_TRUE(testing::RunExport(survey.records, "csv", home.Path("marked.csv"), header).ok);
  ASSERT_TRUE(testing::RunExport(survey.records, "geojson", home.Path("marked.geojson"), header).ok);

  const CsvTable csv = CsvOf(home.Path("marked.csv"));
  ASSERT_EQ(csv.rows.size(), survey.records.size());
  for (std::size_t i = 0; i < csv.rows.size(); ++i) {
    // The generator's truth: its line 2 is the first line, line 4 the second.
    const int truth = survey.truthLine[i];
    const std::string expected = truth == 2 ? "1" : truth == 4 ? "2" : "";
    EXPECT_EQ(csv.At(i, "Line"), expected) << "record " << i + 1;
  }
  const std::vector<OgrFeature> features = ReadWithOgr(home.Path("marked.geojson"), home.Home());
  ASSERT_EQ(features.size(), 2u + 4u);
  EXPECT_EQ(features[0].fields.at("name"), "L2");
  EXPECT_EQ(features[1].fields.at("name"), "L4");
  EXPECT_EQ(features[2].geometry, "POINT");
  EXPECT_EQ(features[2].fields.at("text"), "SOL L2");
}

}  // namespace
}  // namespace tessaly
