#include "core/SideFile.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/FileBytes.h"
#include "support/FileSizeLimit.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

using Lines = std::vector<std::pair<std::string, std::uint64_t>>;

Lines LinesOf(const std::string& path) {
  Lines lines;
  EXPECT_EQ(ForEachLine(path, [&](std::string_view line, std::uint64_t n) { lines.emplace_back(line, n); }), "");
  return lines;
}

TEST(SideFileName, AppendsTheSuffixToThePartsFullName) {
  EXPECT_EQ(SideFileName("/x/survey_2.kvl", kTimesSuffix), "/x/survey_2.kvl.times");
  EXPECT_EQ(SideFileName("survey.kvl", kNmeaSuffix), "survey.kvl.nmea");
}

TEST(SideFileWriter, WritesEachLineWithCrLfAndEmptiesAnOldFile) {
  testing::TempHome home;
  const std::string path = home.Path("a.kvl.times");
  testing::WriteBytes(path, "old content\r\n");
  SideFileWriter writer;
  ASSERT_EQ(writer.Open(path), "");
  EXPECT_EQ(writer.AppendLine("one"), "");
  EXPECT_EQ(writer.AppendLine("two\tfields"), "");
  EXPECT_EQ(writer.Sync(), "");
  EXPECT_EQ(testing::ReadBytes(path), "one\r\ntwo\tfields\r\n");
}

TEST(SideFileWriter, AFailedWriteLeavesTheLastWholeLine) {
  testing::TempHome home;
  const std::string path = home.Path("a.kvl.nmea");
  SideFileWriter writer;
  ASSERT_EQ(writer.Open(path), "");
  {
    testing::FileSizeLimit limit(16);  // room for one line of 10 and part of the next
    EXPECT_EQ(writer.AppendLine("12345678"), "");
    const std::string error = writer.AppendLine("abcdefgh");
    EXPECT_NE(error.find(path), std::string::npos) << error;
  }
  EXPECT_EQ(testing::ReadBytes(path), "12345678\r\n");
  EXPECT_EQ(writer.AppendLine("again"), "");
  EXPECT_EQ(testing::ReadBytes(path), "12345678\r\nagain\r\n");
}

TEST(SideFileWriter, RefusesToWriteWhenNotOpen) {
  SideFileWriter writer;
  EXPECT_NE(writer.AppendLine("x"), "");
  testing::TempHome home;
  EXPECT_NE(writer.Open(home.Path("no/such/folder/a.times")), "");
  EXPECT_FALSE(writer.IsOpen());
}

TEST(ForEachLine, SplitsAtEveryKindOfLineEnd) {
  testing::TempHome home;
  const std::string path = home.Path("lines");
  testing::WriteBytes(path, "a\r\nb\nc\rd\r\n\r\nlast");
  EXPECT_EQ(LinesOf(path), (Lines{{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}, {"", 5}, {"last", 6}}));
}

TEST(ForEachLine, CutsRunawayLines) {
  testing::TempHome home;
  const std::string path = home.Path("noise");
  testing::WriteBytes(path, std::string(100000, 'x') + "\nshort\n");
  const Lines lines = LinesOf(path);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].first.size(), kMaxSideLineChars);
  EXPECT_EQ(lines[1].first, "short");
}

TEST(ForEachLine, SaysWhyAFileCannotBeRead) {
  testing::TempHome home;
  EXPECT_NE(ForEachLine(home.Path("missing"), [](std::string_view, std::uint64_t) {}), "");
  EXPECT_NE(ForEachLine(home.Home(), [](std::string_view, std::uint64_t) {}), "");
}

}  // namespace
}  // namespace tessaly
