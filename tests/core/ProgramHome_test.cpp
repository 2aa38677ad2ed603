// Where the programs keep Lib/ and Projects/: beside the executable of a
// build or an unpacked folder, in the user's data folder for an installed
// program (filled from the installed defaults, never over a user's file),
// or where TESSALY_HOME says. Each case lays out its folders in a temporary
// folder; "{R}" in a case stands for that folder.
#include "core/ProgramHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/TextReplace.h"
#include "support/FileBytes.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempHome;
using testing::WriteBytes;

std::string InRoot(const std::string& text, const TempHome& root) {
  std::string path = root.Path("");
  path.pop_back();
  return ReplaceAllText(text, "{R}", path);
}

struct ChoiceCase {
  const char* name;
  std::vector<std::string> folders;  // made under {R}
  HomeEnvironment environment;
  std::string home, defaults;
};

const std::vector<ChoiceCase> kChoices = {
    {"TESSALY_HOME overrides an installed program",
     {"usr/bin", "usr/share/tessaly/Lib"},
     {"{R}/mine", "{R}/data", "{R}/user", "{R}/usr/bin"},
     "{R}/mine/", ""},
    {"TESSALY_HOME overrides a build",
     {"build/bin/Lib"},
     {"{R}/mine/", "", "{R}/user", "{R}/build/bin"},
     "{R}/mine/", ""},
    {"a build keeps Lib beside its programs",
     {"build/bin/Lib", "build/bin/Projects"},
     {"", "{R}/data", "{R}/user", "{R}/build/bin"},
     "{R}/build/bin/", ""},
    {"an unpacked folder with Lib beside stays beside, even with defaults installed next to it",
     {"opt/bin/Lib", "opt/share/tessaly/Lib"},
     {"", "{R}/data", "{R}/user", "{R}/opt/bin"},
     "{R}/opt/bin/", ""},
    {"a folder without Lib and without installed defaults stays beside",
     {"tools"},
     {"", "{R}/data", "{R}/user", "{R}/tools"},
     "{R}/tools/", ""},
    {"installed defaults without their Lib are not an installation",
     {"usr/bin", "usr/share/tessaly/Projects"},
     {"", "{R}/data", "{R}/user", "{R}/usr/bin"},
     "{R}/usr/bin/", ""},
    {"installed: XDG_DATA_HOME",
     {"usr/bin", "usr/share/tessaly/Lib"},
     {"", "{R}/data", "{R}/user", "{R}/usr/bin"},
     "{R}/data/tessaly/", "{R}/usr/share/tessaly/"},
    {"installed: XDG_DATA_HOME ending with a separator",
     {"usr/bin", "usr/share/tessaly/Lib"},
     {"", "{R}/data/", "{R}/user", "{R}/usr/bin"},
     "{R}/data/tessaly/", "{R}/usr/share/tessaly/"},
    {"installed: no XDG_DATA_HOME, so ~/.local/share",
     {"usr/bin", "usr/share/tessaly/Lib"},
     {"", "", "{R}/user", "{R}/usr/bin"},
     "{R}/user/.local/share/tessaly/", "{R}/usr/share/tessaly/"},
    {"installed: a relative XDG_DATA_HOME is ignored",
     {"usr/bin", "usr/share/tessaly/Lib"},
     {"", "data", "{R}/user/", "{R}/usr/bin"},
     "{R}/user/.local/share/tessaly/", "{R}/usr/share/tessaly/"},
    {"installed under another prefix",
     {"usr/local/bin", "usr/local/share/tessaly/Lib"},
     {"", "{R}/data", "{R}/user", "{R}/usr/local/bin"},
     "{R}/data/tessaly/", "{R}/usr/local/share/tessaly/"},
    {"installed, and no user folder can be named: the installed defaults are read",
     {"usr/bin", "usr/share/tessaly/Lib"},
     {"", "", "", "{R}/usr/bin"},
     "{R}/usr/share/tessaly/", ""},
};

TEST(ProgramHome, ChoosesTheFolderByHowTheProgramIsPlaced) {
  for (const ChoiceCase& c : kChoices) {
    TempHome root;
    for (const std::string& folder : c.folders) fs::create_directories(root.Path(folder));
    HomeEnvironment environment = c.environment;
    for (std::string* field : {&environment.tessalyHome, &environment.xdgDataHome, &environment.userHome,
                               &environment.executableFolder})
      *field = InRoot(*field, root);
    const HomePlace place = ChooseProgramHome(environment);
    EXPECT_EQ(place.home, InRoot(c.home, root)) << c.name;
    EXPECT_EQ(place.defaults, InRoot(c.defaults, root)) << c.name;
  }
}

// Every file under `folder` with its bytes, by relative path.
std::map<std::string, std::string> Contents(const std::string& folder) {
  std::map<std::string, std::string> files;
  if (!fs::exists(folder)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file()) files[entry.path().lexically_relative(folder).string()] = ReadBytes(entry.path());
  return files;
}

void WriteFiles(const std::string& folder, const std::map<std::string, std::string>& files) {
  for (const auto& [name, bytes] : files) {
    fs::create_directories(fs::path(folder + name).parent_path());
    WriteBytes(folder + name, bytes);
  }
}

const std::map<std::string, std::string> kDefaults = {
    {"Lib/View.ega", "default view"},
    {"Lib/UTM.ega", "default datum"},
    {"Projects/line01.kvl", "sample one"},
    {"Projects/line02.kvs", "sample two"},
};

struct FillCase {
  const char* name;
  std::map<std::string, std::string> before;  // the user's folder; none when empty
  std::map<std::string, std::string> after;
};

const std::vector<FillCase> kFills = {
    {"the first start copies the settings and the sample logs", {}, kDefaults},
    {"a changed setting is kept, a missing one copied; deleted samples stay deleted",
     {{"Lib/View.ega", "my view"}, {"Projects/line02.kvs", "sample two"}},
     {{"Lib/View.ega", "my view"}, {"Lib/UTM.ega", "default datum"}, {"Projects/line02.kvs", "sample two"}}},
    {"the user's own files are left alone",
     {{"Lib/Download.ega", "my path"}, {"Lib/UTM.ega", "my datum"}, {"Projects/survey.kvl", "my survey"}},
     {{"Lib/Download.ega", "my path"},
      {"Lib/UTM.ega", "my datum"},
      {"Lib/View.ega", "default view"},
      {"Projects/survey.kvl", "my survey"}}},
    {"a Lib folder without Projects gets the sample logs",
     {{"Lib/View.ega", "my view"}, {"Lib/UTM.ega", "my datum"}},
     {{"Lib/View.ega", "my view"},
      {"Lib/UTM.ega", "my datum"},
      {"Projects/line01.kvl", "sample one"},
      {"Projects/line02.kvs", "sample two"}}},
};

TEST(ProgramHome, FillsTheUsersFolderWithoutReplacingAFile) {
  for (const FillCase& c : kFills) {
    TempHome root;
    WriteFiles(root.Path("share/tessaly/"), kDefaults);
    WriteFiles(root.Path("user/tessaly/"), c.before);
    const HomePlace place{root.Path("user/tessaly/"), root.Path("share/tessaly/")};
    EXPECT_EQ(FillUserHome(place), "") << c.name;
    EXPECT_EQ(Contents(root.Path("user/tessaly")), c.after) << c.name;
    EXPECT_EQ(Contents(root.Path("share/tessaly")), kDefaults) << c.name;
    // Nothing else appears beside the folder (no partial copy left behind).
    EXPECT_EQ(std::distance(fs::directory_iterator(root.Path("user")), fs::directory_iterator()), 1) << c.name;
  }
}

TEST(ProgramHome, AnUpdatedDefaultReachesOnlyUsersWithoutThatFile) {
  TempHome root;
  WriteFiles(root.Path("share/tessaly/"), kDefaults);
  const HomePlace place{root.Path("user/tessaly/"), root.Path("share/tessaly/")};
  ASSERT_EQ(FillUserHome(place), "");
  // The update changes a default, adds a setting and a sample log.
  WriteFiles(root.Path("share/tessaly/"),
             {{"Lib/View.ega", "new default view"}, {"Lib/Gps.ega", "new setting"}, {"Projects/line09.kvl", "new"}});
  ASSERT_EQ(FillUserHome(place), "");
  EXPECT_EQ(Contents(root.Path("user/tessaly")),
            (std::map<std::string, std::string>{{"Lib/View.ega", "default view"},
                                                {"Lib/UTM.ega", "default datum"},
                                                {"Lib/Gps.ega", "new setting"},
                                                {"Projects/line01.kvl", "sample one"},
                                                {"Projects/line02.kvs", "sample two"}}));
}

TEST(ProgramHome, AFolderThatCannotBeMadeIsReported) {
  TempHome root;
  WriteFiles(root.Path("share/tessaly/"), kDefaults);
  WriteBytes(root.Path("user"), "a file where the folder should be");
  const std::string problem = FillUserHome({root.Path("user/tessaly/"), root.Path("share/tessaly/")});
  EXPECT_NE(problem.find(root.Path("user/tessaly/Lib")), std::string::npos) << problem;
  EXPECT_EQ(ReadBytes(root.Path("user")), "a file where the folder should be");
}

TEST(ProgramHome, AFolderBesideTheProgramIsNotFilled) {
  TempHome root;
  EXPECT_EQ(FillUserHome({root.Path("build/bin/"), ""}), "");
  EXPECT_FALSE(fs::exists(root.Path("build")));
}

}  // namespace
}  // namespace tessaly
