#include "core/FileIdentity.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/FileBytes.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;

class SameFileTest : public ::testing::Test {
 protected:
  SameFileTest() {
    fs::create_directories(dir_.Path("logs/day1"));
    testing::WriteBytes(dir_.Path("logs/day1/a.kvl"), "a\r\n");
    testing::WriteBytes(dir_.Path("logs/day1/b.kvl"), "a\r\n");
    fs::create_symlink(dir_.Path("logs/day1"), dir_.Path("today"));
    fs::create_hard_link(dir_.Path("logs/day1/a.kvl"), dir_.Path("hard.kvl"));
  }
  testing::TempHome dir_;
};

TEST_F(SameFileTest, AnExistingFileIsKnownUnderEverySpelling) {
  const std::string a = dir_.Path("logs/day1/a.kvl");
  for (const std::string& other : {a, dir_.Path("logs/day1/../day1/./a.kvl"), dir_.Path("today/a.kvl"),
                                   dir_.Path("hard.kvl"), dir_.Path("logs//day1/a.kvl")})
    EXPECT_TRUE(SameFile(a, other)) << other;
  EXPECT_FALSE(SameFile(a, dir_.Path("logs/day1/b.kvl")));  // same bytes, another file
  EXPECT_FALSE(SameFile(a, dir_.Path("logs/day1/c.kvl")));
}

TEST_F(SameFileTest, AFileNotWrittenYetIsKnownByItsResolvedPath) {
  const std::string c = dir_.Path("logs/day1/c.cmt");
  EXPECT_TRUE(SameFile(c, dir_.Path("today/c.cmt")));
  EXPECT_TRUE(SameFile(c, dir_.Path("logs/x/../day1/c.cmt")));
  EXPECT_FALSE(SameFile(c, dir_.Path("logs/day1/d.cmt")));
}

TEST_F(SameFileTest, AnEmptyPathNamesNoFile) {
  EXPECT_FALSE(SameFile("", ""));
  EXPECT_FALSE(SameFile("", dir_.Path("logs/day1/a.kvl")));
}

TEST_F(SameFileTest, ARelativePathIsTheFileOfTheWorkingFolder) {
  const fs::path previous = fs::current_path();
  fs::current_path(dir_.Path("logs/day1"));
  EXPECT_TRUE(SameFile("a.kvl", dir_.Path("logs/day1/a.kvl")));
  EXPECT_TRUE(SameFile("new.vdg", "./new.vdg"));
  EXPECT_TRUE(SameFile("new.vdg", dir_.Path("today/new.vdg")));
  EXPECT_FALSE(SameFile("new.vdg", "../new.vdg"));
  fs::current_path(previous);
}

}  // namespace
}  // namespace tessaly
