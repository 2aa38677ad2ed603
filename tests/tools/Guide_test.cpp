// The guide (docs/guide.md) against the program and the pictures: it names
// every command of the main window's menus and every export format, every
// picture it shows is one the screenshot steps take (and is there), no
// picture lies unused, and the steps' menu paths are the program's.
#include <QAction>
#include <QDir>
#include <QMenuBar>

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <regex>
#include <set>
#include <string>

#include "app/untMain.h"
#include "core/ExportFormats.h"
#include "support/FileBytes.h"
#include "support/ShellTestHome.h"
#include "tools/screenshots/MenuCommands.h"
#include "tools/screenshots/ScreenshotSteps.h"

namespace tessaly::screenshots {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;

const fs::path kDocs = fs::path(TESSALY_SOURCE_DIR) / "docs";

std::string Guide() { return ReadBytes((kDocs / "guide.md").string()); }

// The pictures a Markdown text shows: NAME of each ](images/NAME.png).
std::set<std::string> PicturesShown(const std::string& text, const std::string& folder) {
  std::set<std::string> names;
  const std::regex picture("\\]\\(" + folder + "([a-z0-9-]+)\\.png\\)");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), picture); it != std::sregex_iterator(); ++it)
    names.insert((*it)[1]);
  return names;
}

std::vector<Step> GuideSteps() { return ParseSteps(ReadBytes((kDocs / "screenshots.steps").string())); }

TEST(Guide, NamesEveryCommandOfTheMainWindowsMenusByItsPath) {
  testing::ShellTestHome home(testing::TempHome::Content::BuildDefaults);
  TfrmMain main;
  const std::string guide = Guide();
  const std::vector<MenuCommand> commands = MenuCommands(*main.menuBar());
  ASSERT_GT(commands.size(), 20u);
  for (const MenuCommand& command : commands) {
    const std::string path = PathText(command.path).toStdString();
    EXPECT_TRUE(guide.find("**" + path) != std::string::npos) << "the guide does not name " << path;
  }
}

TEST(Guide, NamesEveryExportFormat) {
  const std::string guide = Guide();
  for (const ExportFormat& format : ExportFormats()) {
    EXPECT_TRUE(guide.find(std::string(format.description)) != std::string::npos) << format.description;
    EXPECT_TRUE(guide.find("`" + std::string(format.name) + "`") != std::string::npos) << format.name;
  }
}

TEST(Guide, ShowsOnlyPicturesTheStepsTakeAndEveryPictureIsShown) {
  const std::vector<std::string> taken = PictureNames(GuideSteps());
  const std::set<std::string> made(taken.begin(), taken.end());
  std::set<std::string> shown = PicturesShown(Guide(), "images/");
  ASSERT_GT(shown.size(), 10u);
  for (const std::string& name : shown) {
    EXPECT_TRUE(made.contains(name)) << "docs/screenshots.steps no longer takes " << name;
    EXPECT_TRUE(fs::exists(kDocs / "images" / (name + ".png"))) << name << ".png is missing";
  }
  const std::set<std::string> inReadme =
      PicturesShown(ReadBytes((fs::path(TESSALY_SOURCE_DIR) / "README.md").string()), "docs/images/");
  EXPECT_FALSE(inReadme.empty()) << "the README shows the main window at work";
  shown.insert(inReadme.begin(), inReadme.end());
  for (const fs::directory_entry& file : fs::directory_iterator(kDocs / "images"))
    EXPECT_TRUE(shown.contains(file.path().stem().string())) << file.path().filename() << " is shown nowhere";
  for (const std::string& name : made) EXPECT_TRUE(shown.contains(name)) << name << " is taken but shown nowhere";
}

// The anchor a heading gets: lower case, blanks as "-", punctuation left out
// ("## 2. Setting up" is "2-setting-up").
std::string Anchor(const std::string& heading) {
  std::string anchor;
  for (const char c : heading) {
    if (c == ' ') anchor += '-';
    else if (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_') anchor += static_cast<char>(std::tolower(c));
  }
  return anchor;
}

TEST(Guide, EveryLinkWithinTheGuideLeadsToAHeading) {
  const std::string guide = Guide();
  std::set<std::string> anchors;
  const std::regex heading("(^|\\n)#+ ([^\\n]+)");
  for (auto it = std::sregex_iterator(guide.begin(), guide.end(), heading); it != std::sregex_iterator(); ++it)
    anchors.insert(Anchor((*it)[2]));
  ASSERT_TRUE(anchors.contains("2-setting-up-the-serial-ports"));
  const std::regex link("\\]\\(#([^)]+)\\)");
  std::size_t links = 0;
  for (auto it = std::sregex_iterator(guide.begin(), guide.end(), link); it != std::sregex_iterator(); ++it, ++links)
    EXPECT_TRUE(anchors.contains((*it)[1])) << "no heading for the link #" << (*it)[1];
  EXPECT_GT(links, 10u);
}

TEST(Guide, TheStepsMenuPathsAreThePrograms) {
  testing::ShellTestHome home(testing::TempHome::Content::BuildDefaults);
  TfrmMain main;
  std::size_t menuSteps = 0;
  for (const Step& step : GuideSteps()) {
    if (step.name != "menu" && step.name != "show-menu") continue;
    ++menuSteps;
    QStringList path;
    for (const std::string& caption : MenuPath(step)) path << QString::fromStdString(caption);
    EXPECT_NE(FindMenuCommand(*main.menuBar(), path), nullptr) << "line " << step.line << ": " << PathText(path).toStdString();
  }
  EXPECT_GT(menuSteps, 5u);
}

}  // namespace
}  // namespace tessaly::screenshots
