// tessaly-cli export of a log with the files a live part has beside it: the
// towfish from the GPS and the layback of Lib/Positioning.ega, the reception
// times in the UTC channel, the survey lines cut on those positions (for a
// kind whose records carry none), judged by the generator's truth; the
// Flags channel judged by hand; the same bytes from the document's export;
// what it refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/AlarmSettings.h"
#include "core/ExportFormats.h"
#include "core/LogDocument.h"
#include "core/RecordExport.h"
#include "core/SettingsFile.h"
#include "core/SettingsStore.h"
#include "support/DocumentFiles.h"
#include "support/GeneratedGps.h"
#include "support/TowedZeph.h"
#include "tools/CliRun.h"

namespace tessaly::cli_export_gps_test {

using testing::Cli;
using testing::CommandRun;
using testing::ReadBytes;
using testing::TempHome;
using testing::WriteBytes;

// A CSV export without quoted cells (no comments): the header's names to
// the cells of each record row.
std::vector<std::map<std::string, std::string>> CsvRecords(const std::string& text) {
  const std::vector<std::string> lines = testing::SplitCrLf(text);
  const auto cells = [](const std::string& line) {
    std::vector<std::string> out(1);
    for (const char c : line) {
      if (c == ',') out.emplace_back();
      else out.back().push_back(c);
    }
    return out;
  };
  const std::vector<std::string> names = cells(lines.at(0));
  std::vector<std::map<std::string, std::string>> rows;
  for (std::size_t i = 2; i < lines.size(); ++i) {
    const std::vector<std::string> values = cells(lines[i]);
    std::map<std::string, std::string> row;
    for (std::size_t c = 0; c < names.size() && c < values.size(); ++c) row[names[c]] = values[c];
    rows.push_back(row);
  }
  return rows;
}

class GpsExport : public ::testing::Test {
 protected:
  void SetUp() override {
    truth_ = testing::SetUpTowedZeph(home_, log_, 500, 7);
    ASSERT_GT(truth_.size(), 4000u);
  }
  CommandRun Export(const std::string& out) { return Cli(home_, {"export", "--reproducible", log_, out}); }

  TempHome home_;
  std::string log_ = home_.Path("survey.zpx");
  std::vector<testing::GpsTruthRow> truth_;
};

TEST_F(GpsExport, CsvHoldsTheTowfishFromTheGpsTheReceptionTimesAndTheLines) {
  const CommandRun run = Export(home_.Path("survey.csv"));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const auto rows = CsvRecords(ReadBytes(home_.Path("survey.csv")));
  ASSERT_EQ(rows.size(), truth_.size());
  double worst = 0;
  std::set<std::string> lines;
  std::size_t onLine = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const auto& row = rows[i];
    EXPECT_EQ(row.at("UTC"), truth_[i].utc) << i;
    EXPECT_EQ(row.at("Fiducial"), std::to_string(i + 1));
    if (!row.at("Line").empty()) lines.insert(row.at("Line"));
    if (!truth_[i].onLine) continue;
    ++onLine;
    ASSERT_FALSE(row.at("Latitude").empty()) << i;
    worst = std::max(worst, testing::MetresApart(truth_[i].fishLat, truth_[i].fishLon, std::stod(row.at("Latitude")),
                                                 std::stod(row.at("Longitude"))));
  }
  EXPECT_GT(onLine, 2000u);
  EXPECT_LT(worst, 0.5);
  EXPECT_EQ(lines, (std::set<std::string>{"1", "2"}));
}

TEST_F(GpsExport, XyzHeaderNamesTheLaybackAndMapsAreWritten) {
  ASSERT_EQ(Export(home_.Path("survey.xyz")).exitCode, 0);
  const std::string xyz = ReadBytes(home_.Path("survey.xyz"));
  EXPECT_NE(xyz.find("\r\n/ Layback: cable 70 m, tow point 0 m astern and 0 m to starboard of the antenna, depth 0 m "
                     "where a record has none, follow the fish, course made good over 30 s\r\n"),
            std::string::npos);
  EXPECT_NE(xyz.find("\r\n/ X Y Latitude Longitude UTC Fiducial Deviation Flags\r\n"), std::string::npos);
  for (const char* map : {"survey.geojson", "survey.kml"}) {
    const CommandRun run = Export(home_.Path(map));
    EXPECT_EQ(run.exitCode, 0) << map << ": " << run.err;
  }
}

TEST_F(GpsExport, TheDocumentsExportGivesTheSameBytes) {
  ASSERT_EQ(Export(home_.Path("tool.xyz")).exitCode, 0);
  LogDocument doc;
  LoadOptions load;
  load.layback = ReadLaybackSettingsOrDefaults(home_.Lib("Positioning.ega"));
  ASSERT_EQ(doc.OpenLog(log_, load), LoadStatus::Loaded);
  ASSERT_TRUE(ExportDocument(doc, *FindExportFormat("xyz"), home_.Path("document.xyz"), {}).ok);
  EXPECT_EQ(ReadBytes(home_.Path("document.xyz")), ReadBytes(home_.Path("tool.xyz")));
}

TEST_F(GpsExport, UnreadablePositioningSettingsAreRefusedWritingNothing) {
  WriteSettingsValues(home_.Lib("Positioning.ega"), {"seventy"});
  const CommandRun run = Export(home_.Path("survey.csv"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("nothing was written"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(home_.Path("survey.csv")));
  std::filesystem::remove(log_ + ".nmea");  // without its files the log needs no layback
  EXPECT_EQ(Export(home_.Path("survey.csv")).exitCode, 0);
}

// The generator's KVL towfish is at least 2 m deep, beyond a cable of 1 m:
// the maps are refused, saying why.
TEST(GpsExportRefusal, ALaybackThatPlacesNoTowfishIsSaid) {
  TempHome home;
  const std::string log = home.Path("deep.kvl");
  ASSERT_FALSE(testing::GenerateWithGps("--kind kvl --records 300 --rate 10 --gps-rate 1 --cable 70 --seed 3", log)
                   .empty());
  LaybackSettings layback;
  layback.cableOut = 1.0;
  WriteLaybackSettings(home.Lib("Positioning.ega"), layback);
  const CommandRun run = Cli(home, {"export", log, home.Path("deep.geojson")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("No positions in deep.kvl: the GPS and the layback (cable 1 m, "), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find(") place no towfish; nothing was written."), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(home.Path("deep.geojson")));
}

// The rule is the output rule's; the files beside the log are among the
// export's inputs.
TEST_F(GpsExport, NeverWritesOverTheFilesBesideTheLog) {
  WriteBytes(log_ + ".cable", "2026-12-09T08:01:00.000Z\t80\r\n");
  for (const char* suffix : {".times", ".nmea", ".cable"}) {
    const std::string target = log_ + suffix;
    const std::string before = ReadBytes(target);
    const CommandRun run = Cli(home_, {"export", "--format", "csv", log_, target});
    EXPECT_EQ(run.exitCode, 1) << suffix;
    EXPECT_EQ(ReadBytes(target), before) << suffix;
  }
}

// Twenty KVL records 0.1 s apart at 3 m, but record 10 a deviation of 300,
// record 4 at 0.5 m and record 16 received 2 s after record 15.
class FlagsChannel : public ::testing::Test {
 protected:
  FlagsChannel() {
    std::vector<std::string> records;
    std::string times;
    for (int i = 0; i < 20; ++i) {
      records.push_back(testing::KvlLine(i == 10 ? "+00300" : "+00000", i == 4 ? "0.5" : "3.0"));
      const int tenths = i <= 15 ? i : i + 19;
      times += std::to_string(i + 1) + "\t2027-01-01T00:00:0" + std::to_string(tenths / 10) + "." +
               std::to_string(tenths % 10) + "00Z\t0\r\n";
    }
    WriteBytes(log_, testing::CrLfLines(records));
    WriteBytes(log_ + ".times", times);
    WriteBytes(log_ + ".nmea", "");
  }
  TempHome home_;
  std::string log_ = home_.Path("flags.kvl");
};

TEST_F(FlagsChannel, HoldsEachRecordsQualityFlags) {
  ASSERT_EQ(Cli(home_, {"export", log_, home_.Path("flags.csv")}).exitCode, 0);
  const auto rows = CsvRecords(ReadBytes(home_.Path("flags.csv")));
  ASSERT_EQ(rows.size(), 20u);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::string expected = i == 4 ? "8" : i == 10 ? "1" : i == 16 ? "4" : "0";  // depth, spike, gap
    EXPECT_EQ(rows[i].at("Flags"), expected) << i;
  }
}

TEST_F(FlagsChannel, UnreadableAlarmSettingsLeaveItOutAndSaySo) {
  WriteSettingsValues(home_.Lib("Alarms.ega"), {"1", "eighty"});
  const CommandRun run = Cli(home_, {"export", log_, home_.Path("flags.csv")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find("the quality flags are left out"), std::string::npos) << run.err;
  EXPECT_EQ(CsvRecords(ReadBytes(home_.Path("flags.csv"))).at(0).count("Flags"), 0u);
}

}  // namespace tessaly::cli_export_gps_test
