#include "core/TextHelpers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "support/TempHome.h"

namespace tessaly {
namespace {

TEST(FieldAt, CutsFieldsAtTheSeparator) {
  EXPECT_EQ(FieldAt(0, ',', "a,b,c"), "a");
  EXPECT_EQ(FieldAt(1, ',', "a,b,c"), "b");
  EXPECT_EQ(FieldAt(2, ',', "a,b,c"), "c");
  EXPECT_EQ(FieldAt(3, ',', "a,b,c"), "");
  EXPECT_EQ(FieldAt(1, ',', "abc"), "");
  EXPECT_EQ(FieldAt(0, ',', ",x"), "");
  EXPECT_EQ(FieldAt(1, ',', "a,,c"), "");
  EXPECT_EQ(FieldAt(2, ',', "a,,c"), "c");
  EXPECT_EQ(FieldAt(2, ':', "TF:44.1:-63.2"), "-63.2");
  EXPECT_EQ(FieldAt(-1, ',', "a,b"), "a");
  for (int i = 0; i < 4; ++i) EXPECT_EQ(FieldAt(i, ',', ""), "");
}

TEST(IsInteger, AcceptsBlanksSignAndDecimalDigitsOnly) {
  for (const char* yes : {"0", "12", " 12", "   -7", "+5", "-5", "2147483647", "-2147483648", "007"})
    EXPECT_TRUE(IsInteger(yes)) << yes;
  for (const char* no : {"", " ", "+", "-", "12 ", "1 2", "0x1A", "$1A", "1.0", "1e3", "2147483648",
                         "-2147483649", "99999999999999999999", "\t1", "+-1", "١"})
    EXPECT_FALSE(IsInteger(no)) << no;
  EXPECT_FALSE(IsInteger(std::string("1\0" "2", 3)));
}

TEST(ParseInteger, GivesTheValue) {
  std::int32_t value = 0;
  ASSERT_TRUE(ParseInteger(" -063", value));
  EXPECT_EQ(value, -63);
  ASSERT_TRUE(ParseInteger("-2147483648", value));
  EXPECT_EQ(value, INT32_MIN);
}

TEST(IsNumber, AcceptsOneOrTwoWholeNumbersJoinedByAPoint) {
  for (const char* yes : {"12.5", "-3", "0.0", "054.5", "1.-5", " 1. 5"}) EXPECT_TRUE(IsNumber(yes)) << yes;
  for (const char* no : {"12,5", ".5", "5.", "", "1.2.3", "1e3", "abc", "."}) EXPECT_FALSE(IsNumber(no)) << no;
}

TEST(Counters, CountCharactersAndOverlappingOccurrences) {
  EXPECT_EQ(CountCharsInSet("@t,@p:4,@>:2,@+", ","), 3);
  EXPECT_EQ(CountCharsInSet("a;b,c", ",;"), 2);
  EXPECT_EQ(CountCharsInSet(std::string(300, ','), ","), 300);
  EXPECT_EQ(CountCharsInSet("abc", ""), 0);
  EXPECT_EQ(CountOccurrences("aa", "aaaa"), 3);
  EXPECT_EQ(CountOccurrences("ab", "abcabxab"), 3);
  EXPECT_EQ(CountOccurrences("x", "abc"), 0);
  EXPECT_EQ(CountOccurrences("", "abc"), 0);
  EXPECT_EQ(CountOccurrences("abcd", "abc"), 0);
}

class Directories : public ::testing::Test {
 protected:
  testing::TempHome home_;
  std::filesystem::path root{home_.Path("dirs")};
};

TEST_F(Directories, ForceDirectoriesCreatesEveryMissingLevel) {
  const std::string deep = (root / "a" / "b" / "c").string() + "/";
  EXPECT_FALSE(DirectoryExists(deep));
  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(DirectoryExists(deep));
  EXPECT_TRUE(ForceDirectories(deep));  // existing: done
}

TEST_F(Directories, ForceDirectoriesFailsBelowAFile) {
  std::filesystem::create_directories(root);
  std::ofstream(root / "file") << "x";
  EXPECT_FALSE(ForceDirectories((root / "file" / "sub").string()));
  EXPECT_FALSE(DirectoryExists((root / "file").string()));
}

TEST(ForceDirectories, EmptyPathIsAnError) {
  EXPECT_THROW(ForceDirectories(""), std::invalid_argument);
  EXPECT_FALSE(DirectoryExists(""));
}

}  // namespace
}  // namespace tessaly
