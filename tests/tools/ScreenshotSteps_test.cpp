// The steps file of the screenshot robot: words, quotes, comments, the
// checks that stop a broken file before anything runs, menu paths and the
// pictures a file takes.
#include "tools/screenshots/ScreenshotSteps.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessaly::screenshots {
namespace {

using Words = std::vector<std::string>;

TEST(ScreenshotSteps, ReadsAStepALineWithQuotedWordsAndLeavesOutCommentsAndBlankLines) {
  const std::vector<Step> steps = ParseSteps(
      "# the serial port\n"
      "\n"
      "window \"Serial Port\"\r\n"
      "   type numedtGpsPortNumber 2\n"
      "click \"Save & Close\"\n"
      "type field \"\"\n"
      "  # indented comment \"unclosed\n"
      "close");
  ASSERT_EQ(steps.size(), 5u);
  EXPECT_EQ(steps[0].line, 3u);
  EXPECT_EQ(steps[0].name, "window");
  EXPECT_EQ(steps[0].words, Words({"Serial Port"}));
  EXPECT_EQ(steps[1].line, 4u);
  EXPECT_EQ(steps[1].words, Words({"numedtGpsPortNumber", "2"}));
  EXPECT_EQ(steps[2].words, Words({"Save & Close"}));
  EXPECT_EQ(steps[3].words, Words({"field", ""}));
  EXPECT_EQ(steps[4].line, 8u);
  EXPECT_EQ(steps[4].name, "close");
  EXPECT_TRUE(steps[4].words.empty());
}

TEST(ScreenshotSteps, RefusesABrokenFileNamingTheLine) {
  struct Case {
    const char* text;
    std::size_t line;
    const char* why;
  };
  const Case cases[] = {
      {"close\nfly away", 2, "no step is called \"fly\""},
      {"close\n\nwindow", 3, "usage: window TITLE"},
      {"wait 1 2", 1, "usage: wait SECONDS"},
      {"maximize now", 1, "usage: maximize"},
      {"click \"Save", 1, "a quote is not closed"},
      {"click \"Save\"x", 1, "a blank must follow a closing quote"},
      {"menu File >  > Pnav", 1, "a menu path has an empty caption"},
      {"menu File >", 1, "a menu path has an empty caption"},
      {"shot Main_Window", 1, "a picture's name is lower-case letters"},
      {"shot -a", 1, "a picture's name is lower-case letters"},
      {"shot one\nclose\nshot one screen", 3, "the picture one is taken twice"},
  };
  for (const Case& c : cases) {
    try {
      ParseSteps(c.text);
      ADD_FAILURE() << c.text << ": no error";
    } catch (const StepsError& error) {
      EXPECT_EQ(error.Line(), c.line) << c.text;
      EXPECT_NE(std::string(error.what()).find(c.why), std::string::npos) << c.text << ": " << error.what();
      EXPECT_EQ(std::string(error.what()).rfind("line " + std::to_string(c.line) + ": ", 0), 0u) << error.what();
    }
  }
}

TEST(ScreenshotSteps, EveryStepTakesTheWordsItsUsageNames) {
  for (const StepKind& kind : StepKinds()) {
    EXPECT_EQ(std::string(kind.usage).rfind(std::string(kind.name), 0), 0u) << kind.usage;
    std::string line = kind.name;
    for (std::size_t i = 0; i < kind.minWords; ++i) line += " w" + std::to_string(i);
    EXPECT_NO_THROW(ParseSteps(line)) << line;
    if (kind.maxWords == kAnyCount) continue;
    for (std::size_t i = kind.minWords; i <= kind.maxWords; ++i) line += " extra";
    EXPECT_THROW(ParseSteps(line), StepsError) << line;
  }
}

TEST(ScreenshotSteps, AMenuPathIsTheRestOfTheLineCutAtEachMark) {
  const std::vector<Step> steps = ParseSteps("menu File > Import > Pnav\nshow-menu Log >  Zeph 2\nmenu Log > KV 7100");
  EXPECT_EQ(MenuPath(steps[0]), Words({"File", "Import", "Pnav"}));
  EXPECT_EQ(MenuPath(steps[1]), Words({"Log", "Zeph 2"}));
  EXPECT_EQ(MenuPath(steps[2]), Words({"Log", "KV 7100"}));
}

TEST(ScreenshotSteps, ListsThePicturesInOrder) {
  const std::vector<Step> steps =
      ParseSteps("shot serial-port\nclick OK\nshot main-window screen\nshot track TrackPlot\n");
  EXPECT_EQ(PictureNames(steps), Words({"serial-port", "main-window", "track"}));
  EXPECT_TRUE(PictureNames(ParseSteps("close")).empty());
}

}  // namespace
}  // namespace tessaly::screenshots
