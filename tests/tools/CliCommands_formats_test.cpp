// tessaly-cli writes the line-cut formats: chosen by --format or by OUT's
// extension, cut by --lines, the same bytes twice with --reproducible, and
// no map of a log without positions.
#include <gtest/gtest.h>

#include <string>

#include "support/FileBytes.h"
#include "support/Generator.h"
#include "support/TempHome.h"
#include "tools/CliRun.h"

namespace tessaly {
namespace {

using testing::ReadBytes;

class CliFormats : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testing::GenerateLog("--kind kvl --lines 3 --line-length 600 --line-spacing 50 --seed 2",
                                     home_.Path("s.kvl")));
  }
  testing::TempHome home_;
};

TEST_F(CliFormats, ExtensionChoosesTheFormat) {
  for (const std::string format : {"xyz", "csv", "geojson", "kml"}) {
    const testing::CommandRun run = testing::Cli(home_, {"export", home_.Path("s.kvl"), home_.Path("s." + format)});
    EXPECT_EQ(run.exitCode, 0) << run.err;
  }
  EXPECT_EQ(ReadBytes(home_.Path("s.xyz")).rfind("/ Tessaly survey export, Geosoft XYZ: deviation by survey line\r\n", 0), 0u);
  EXPECT_EQ(ReadBytes(home_.Path("s.csv")).rfind("Line,X,Y,Latitude,Longitude,Fiducial,", 0), 0u);
  EXPECT_EQ(ReadBytes(home_.Path("s.geojson")).rfind("{\"type\":\"FeatureCollection\"", 0), 0u);
  EXPECT_EQ(ReadBytes(home_.Path("s.kml")).rfind("<?xml", 0), 0u);
  EXPECT_NE(ReadBytes(home_.Path("s.xyz")).find("/ Exported: "), std::string::npos);
}

TEST_F(CliFormats, ReproducibleGivesTheSameBytes) {
  for (const char* out : {"a.xyz", "b.xyz"})
    ASSERT_EQ(testing::Cli(home_, {"export", "--reproducible", home_.Path("s.kvl"), home_.Path(out)}).exitCode, 0);
  EXPECT_EQ(ReadBytes(home_.Path("a.xyz")), ReadBytes(home_.Path("b.xyz")));
  EXPECT_EQ(ReadBytes(home_.Path("a.xyz")).find("/ Exported: "), std::string::npos);
  EXPECT_NE(ReadBytes(home_.Path("a.xyz")).find("/ Lines: 3 lines by course"), std::string::npos);
}

TEST_F(CliFormats, LinesNoneIsOneBlock) {
  ASSERT_EQ(testing::Cli(home_, {"export", "--format", "xyz", "--lines", "none", home_.Path("s.kvl"), home_.Path("o.txt")})
                .exitCode,
            0);
  const std::string xyz = ReadBytes(home_.Path("o.txt"));
  EXPECT_NE(xyz.find("\r\nLine 0\r\n"), std::string::npos);
  EXPECT_EQ(xyz.find("\r\nLine 1\r\n"), std::string::npos);
}

TEST_F(CliFormats, NoMapOfALogWithoutPositions) {
  ASSERT_TRUE(testing::GenerateLog("--kind zpx --records 50", home_.Path("z.zpx")));
  const testing::CommandRun run = testing::Cli(home_, {"export", home_.Path("z.zpx"), home_.Path("z.geojson")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("No positions in z.zpx; nothing was written."), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(home_.Path("z.geojson")));
  EXPECT_EQ(testing::Cli(home_, {"export", home_.Path("z.zpx"), home_.Path("z.csv")}).exitCode, 0);
}

TEST_F(CliFormats, BadLinesValueIsAUsageError) {
  EXPECT_EQ(testing::Cli(home_, {"export", "--lines", "some", home_.Path("s.kvl"), home_.Path("s.csv")}).exitCode, 2);
}

// An export is never taken for a survey log, so the same command run again
// replaces its file. The log's name is chosen so that KML's name line is 45
// characters long, a length the recognition takes for a KV7100 log line.
TEST_F(CliFormats, AnExportCanBeWrittenAgain) {
  const std::string log = home_.Path("survey_line_0123456789_abcde.kvl");
  ASSERT_EQ(std::string("<name>survey_line_0123456789_abcde.kvl</name>").size(), 45u);
  ASSERT_TRUE(testing::GenerateLog("--kind kvl --lines 2 --line-length 400 --seed 3", log));
  for (const std::string format : {"vdg", "xyz", "csv", "geojson", "kml"}) {
    const std::string out = home_.Path("again." + format);
    for (int run = 0; run < 2; ++run) {
      const testing::CommandRun export_ = testing::Cli(home_, {"export", log, out});
      EXPECT_EQ(export_.exitCode, 0) << format << " run " << run << ": " << export_.err;
    }
    EXPECT_NE(testing::Cli(home_, {"kind", out}).out.find("Unknown"), std::string::npos) << format;
  }
}

}  // namespace
}  // namespace tessaly
