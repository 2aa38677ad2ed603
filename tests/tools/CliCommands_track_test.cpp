// tessaly-cli track: the PNG it writes shows the records where they lie, in
// the colours of the view settings' deviation limit; and what it refuses.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/LogDocument.h"
#include "core/SettingsStore.h"
#include "core/TrackPicture.h"
#include "core/ViewSettings.h"
#include "support/FolderListing.h"
#include "support/PngDecode.h"
#include "tools/CliRun.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using testing::Cli;
using testing::CommandRun;
using testing::DecodedPng;
using testing::DecodePng;
using testing::Listing;
using testing::ReadBytes;
using testing::TempHome;
using testing::WriteBytes;

// A KVL record at 44 degrees `latMinutes` N, 63 degrees `lonMinutes` W.
std::string KvlAt(int deviation, double latMinutes, double lonMinutes) {
  char line[80];
  std::snprintf(line, sizeof line, "$KVMGD,%+06d,44%06.3f,N,063%06.3f,W,25.3,78.4", deviation, latMinutes,
                lonMinutes);
  return line;
}

// Two lines of 60 records running north, 0.2 minutes of longitude apart;
// record 25 (on the first line) holds an anomaly of +400.
constexpr std::size_t kAnomaly = 25;
std::string TwoLineLog() {
  std::string text;
  for (int line = 0; line < 2; ++line)
    for (int i = 0; i < 60; ++i) {
      const std::size_t record = static_cast<std::size_t>(line * 60 + i);
      text += KvlAt(record == kAnomaly ? 400 : 3, 18.0 + i * 0.01, 18.0 - line * 0.2) + "\r\n";
    }
  return text;
}

// Where the picture puts a record, worked out from the log through the core.
std::pair<int, int> PixelOfRecord(const std::string& log, std::size_t record, int width, int height, double limit) {
  LogDocument doc;
  EXPECT_EQ(doc.OpenLog(log, {}), LoadStatus::Loaded);
  TrackModel model;
  EXPECT_TRUE(BuildTrack(doc, model));
  const TrackView view = *TrackPictureView(model, LayoutTrackPicture(width, height, limit));
  const UtmPosition p = *model.Position(record);
  return {static_cast<int>((p.easting - view.centreEasting) / view.metresPerPixel + view.width / 2.0),
          static_cast<int>((view.centreNorthing - p.northing) / view.metresPerPixel + view.height / 2.0)};
}

std::uint32_t Colour(double deviation, double limit) { return 0xFF000000u | TrackDeviationColour(deviation, limit); }

TEST(TrackCommand, PictureShowsTheAnomalyWhereItLiesInTheViewSettingsScale) {
  TempHome home;
  const std::string log = home.Path("survey.kvl");
  WriteBytes(log, TwoLineLog());
  ViewSettings view = DefaultViewSettings();
  view.DevLimit = 400;
  WriteViewSettings(home.Lib("View.ega"), view);

  const CommandRun run = Cli(home, {"track", "--size", "800x600", log, home.Path("track.png")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const DecodedPng png = DecodePng(ReadBytes(home.Path("track.png")));
  ASSERT_EQ(png.error, "");
  ASSERT_EQ(png.width, 800);
  ASSERT_EQ(png.height, 600);
  const auto [x, y] = PixelOfRecord(log, kAnomaly, 800, 600, 400.0);
  EXPECT_EQ(png.At(x, y), Colour(400.0, 400.0));  // the red end of the scale
  const auto [qx, qy] = PixelOfRecord(log, 90, 800, 600, 400.0);
  EXPECT_EQ(png.At(qx, qy), Colour(3.0, 400.0));
  EXPECT_EQ(png.At((x + qx) / 2, y), 0xFFFFFFFFu);  // between the lines
  EXPECT_EQ(png.At(2, 2), 0xFFFFFFFFu);
}

TEST(TrackCommand, DefaultSizeAndTheDefaultLimitWithoutViewSettings) {
  TempHome home;
  const std::string log = home.Path("survey.kvl");
  WriteBytes(log, TwoLineLog());
  WriteBytes(home.Path("track.png"), "an older picture");
  const CommandRun run = Cli(home, {"track", log, home.Path("track.png")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const DecodedPng png = DecodePng(ReadBytes(home.Path("track.png")));
  ASSERT_EQ(png.error, "");
  ASSERT_EQ(png.width, 1024);
  ASSERT_EQ(png.height, 768);
  const double limit = DefaultViewSettings().DevLimit;
  const auto [x, y] = PixelOfRecord(log, kAnomaly, 1024, 768, limit);
  EXPECT_EQ(png.At(x, y), Colour(400.0, limit));
  EXPECT_NE(png.At(x, y), Colour(400.0, 400.0));
}

// A navigation file whose towfish positions and deviations are those of a
// survey log draws the log's picture, pixel for pixel. Positions lie on
// multiples of 0.006 minutes, which both forms write exactly.
TEST(TrackCommand, ANavigationFileIsDrawnWithItsLinksAsPnavImportsIt) {
  TempHome home;
  std::string log, navigation = "Navigation\r\n@t,@p:4,@>:2,@+,@0,@1,@2\r\n";
  for (int i = 0; i < 80; ++i) {
    const int line = i / 40, step = i % 40, deviation = i == 25 ? 450 : (i % 9) * 20 - 80;
    const double latMinutes = 18.0 + step * 0.006, lonMinutes = 18.0 - line * 0.06;
    log += KvlAt(deviation, latMinutes, lonMinutes) + "\r\n";
    char text[160];
    std::snprintf(text, sizeof text, "08:%02d:%02d.00,4418.0000,N,06318.0000,W,000.0,4.5,TF:%.7f:%.7f,%+06d,25.3,78.4\r\n",
                  i / 60, i % 60, 44.0 + latMinutes / 60.0, -(63.0 + lonMinutes / 60.0), deviation);
    navigation += text;
  }
  WriteBytes(home.Path("survey.kvl"), log);
  WriteBytes(home.Path("survey.pnav"), navigation);
  ASSERT_EQ(Cli(home, {"track", home.Path("survey.kvl"), home.Path("log.png")}).exitCode, 0);
  const CommandRun run =
      Cli(home, {"track", "--link", "@0=Dev", "--link", "@1=Towfish Depth", home.Path("survey.pnav"), home.Path("nav.png")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const DecodedPng fromLog = DecodePng(ReadBytes(home.Path("log.png")));
  const DecodedPng fromNavigation = DecodePng(ReadBytes(home.Path("nav.png")));
  ASSERT_EQ(fromNavigation.error, "");
  EXPECT_EQ(fromNavigation.pixels, fromLog.pixels);
}

class TrackRefusals : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(Work("sub"));
    WriteBytes(Log(), TwoLineLog());
    WriteBytes(Work("other.kvl"), TwoLineLog());
  }
  // The command's own output goes to the home folder, the files to work/.
  std::string Work(const std::string& name) const { return home_.Path("work/" + name); }
  std::string Log() const { return Work("survey.kvl"); }

  // Exit status `code`, the message on stderr, and no file changed or added.
  void ExpectRefused(const std::vector<std::string>& args, int code, const std::string& message) {
    const std::vector<std::string> before = Listing(Work(""));
    const std::string log = ReadBytes(Log()), other = ReadBytes(Work("other.kvl"));
    const CommandRun run = Cli(home_, args);
    EXPECT_EQ(run.exitCode, code) << args.back();
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    EXPECT_EQ(Listing(Work("")), before) << args.back();
    EXPECT_EQ(ReadBytes(Log()), log);
    EXPECT_EQ(ReadBytes(Work("other.kvl")), other);
  }

  TempHome home_;
};

TEST_F(TrackRefusals, SizesOutsideTheLimitsAreUsageErrors) {
  const std::string out = Work("track.png");
  for (const std::string size : {"100x600", "800x100", "5000x600", "800", "800x", "x600", "axb", "800x600x2", "-800x600"})
    ExpectRefused({"track", "--size", size, Log(), out}, 2, "--size takes WxH");
  ExpectRefused({"export", "--size", "800x600", Log(), out}, 2, "--size does not apply to export");
  ExpectRefused({"track", Log()}, 2, "track takes 2 operand(s)");
}

TEST_F(TrackRefusals, MissingEmptyAndPositionlessLogsWriteNothing) {
  const std::string out = Work("track.png");
  ExpectRefused({"track", Work("missing.kvl"), out}, 1, "Cannot read " + Work("missing.kvl"));
  WriteBytes(Work("empty.kvl"), "");
  ExpectRefused({"track", Work("empty.kvl"), out}, 1, "File empty.");
  WriteBytes(Work("field.zpx"), "$KVMGD,+00013,52341.3,078\r\n$KVMGD,+00004,52341.2,085\r\n");
  ExpectRefused({"track", Work("field.zpx"), out}, 1, "No positions in " + Work("field.zpx"));
}

// One position makes no track: the picture would be blank but for a dot.
TEST_F(TrackRefusals, FewerThanTwoPositionsWriteNothing) {
  const std::string out = Work("track.png");
  WriteBytes(Work("one.kvl"), KvlAt(5, 18.0, 18.0) + "\r\n");
  ExpectRefused({"track", Work("one.kvl"), out}, 1,
                "Only one record of " + Work("one.kvl") + " has a position: a track needs two; nothing was written.");
  WriteBytes(Work("two.kvl"), KvlAt(5, 18.0, 18.0) + "\r\n" + KvlAt(5, 18.01, 18.0) + "\r\n");
  EXPECT_EQ(Cli(home_, {"track", Work("two.kvl"), out}).exitCode, 0);
}

// A navigation file needs its links, which are judged as pnav judges them.
TEST_F(TrackRefusals, ANavigationFileWithoutItsLinksWritesNothing) {
  const std::string out = Work("track.png");
  WriteBytes(Work("nav.pnav"), "Navigation\r\n@t,@p:4,@>:2,@+,@0,@1,@2\r\n"
                               "08:00:00.00,4418.0000,N,06318.0000,W,000.0,4.5,TF:44.3000000:-63.3000000,+00042,25.3,78.4\r\n"
                               "08:00:01.00,4418.0060,N,06318.0000,W,000.0,4.5,TF:44.3001000:-63.3000000,+00043,25.3,78.4\r\n");
  ExpectRefused({"track", Work("nav.pnav"), out}, 1, Work("nav.pnav") + " is a navigation file: name its channels with --link");
  ExpectRefused({"track", "--link", "@5=Dev", Work("nav.pnav"), out}, 1, "Please fill both fields, MNEA and Fixed fields.");
  ExpectRefused({"track", "--link", "@0=Sounder", Work("nav.pnav"), out}, 1,
                "No deviation selected. Please select the deviation field.");
  ExpectRefused({"track", "--link", "@0=Depth", Work("nav.pnav"), out}, 2, "--link takes CHANNEL=FIELD");
  EXPECT_EQ(Cli(home_, {"track", "--link", "@0=Dev", Work("nav.pnav"), out}).exitCode, 0);
}

TEST_F(TrackRefusals, NeverWritesOverTheLogItsCommentsOrAnotherLog) {
  ExpectRefused({"track", Log(), Log()}, 1, "is the log");
  ExpectRefused({"track", Log(), Work("./sub/../survey.kvl")}, 1, "is the log");
  ExpectRefused({"track", Log(), Work("survey.cmt")}, 1, "is the comments file of the log");
  ExpectRefused({"track", Log(), Work("other.kvl")}, 1, "is a survey log");
  fs::copy_file(Work("other.kvl"), Work("renamed.png"));
  ExpectRefused({"track", Log(), Work("renamed.png")}, 1, "is a survey log");
}

}  // namespace
}  // namespace tessaly
