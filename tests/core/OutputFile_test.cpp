// The buffered output file: truncating a file in place, and replacing one
// through a temporary file that is renamed over it at the end.
#include "core/OutputFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/FileBytes.h"
#include "support/FileSizeLimit.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::WriteBytes;

class OutputFileTest : public ::testing::Test {
 protected:
  // Writes text to path in one mode; Close's result, the error in error_.
  bool Write(const std::string& path, const std::string& text, OutputFile::Mode mode) {
    OutputFile out;
    if (!out.Open(path, mode)) {
      error_ = out.Error();
      return false;
    }
    out.Buffer() = text;
    out.Commit();
    const bool closed = out.Close();
    error_ = out.Error();
    return closed;
  }
  // Writes `count` numbered lines one by one, as the exports do: a long
  // file goes out in many buffers, written while the next is filled.
  bool WriteNumberedLines(const std::string& path, int count, OutputFile::Mode mode) {
    OutputFile out;
    if (!out.Open(path, mode)) {
      error_ = out.Error();
      return false;
    }
    for (int i = 0; i < count; ++i) {
      out.Buffer().append(NumberedLine(i));
      out.Commit();
    }
    const bool closed = out.Close();
    error_ = out.Error();
    return closed;
  }
  static std::string NumberedLine(int i) { return "line " + std::to_string(i) + ", some text to fill it\r\n"; }
  std::size_t FilesIn(const std::string& folder) const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
  }

  testing::TempHome dir_;
  std::string error_;
};

TEST_F(OutputFileTest, BothModesLeaveExactlyTheTextWritten) {
  for (const OutputFile::Mode mode : {OutputFile::Mode::Truncate, OutputFile::Mode::Replace}) {
    WriteBytes(dir_.Path("out.vdg"), std::string(10000, 'x'));
    ASSERT_TRUE(Write(dir_.Path("out.vdg"), "a,b,\r\n", mode)) << error_;
    EXPECT_EQ(ReadBytes(dir_.Path("out.vdg")), "a,b,\r\n");
    ASSERT_TRUE(Write(dir_.Path("new.vdg"), "c,\r\n", mode)) << error_;
    EXPECT_EQ(ReadBytes(dir_.Path("new.vdg")), "c,\r\n");
  }
  EXPECT_EQ(FilesIn(dir_.Home()), 3u);  // Lib/, out.vdg, new.vdg: no temporary file
}

// About 12 MiB: several buffers, each written on the writer's thread.
TEST_F(OutputFileTest, ALongFileWrittenInManyBuffersHoldsEveryLineInOrder) {
  constexpr int kLines = 300'000;
  for (const OutputFile::Mode mode : {OutputFile::Mode::Truncate, OutputFile::Mode::Replace}) {
    ASSERT_TRUE(WriteNumberedLines(dir_.Path("long.xyz"), kLines, mode)) << error_;
    std::string expected;
    for (int i = 0; i < kLines; ++i) expected += NumberedLine(i);
    EXPECT_EQ(ReadBytes(dir_.Path("long.xyz")), expected);
  }
}

// Pieces made elsewhere and taken whole keep their place among the text
// appended to the buffer, large or small.
TEST_F(OutputFileTest, PiecesTakenWholeKeepTheirPlace) {
  OutputFile out;
  ASSERT_TRUE(out.Open(dir_.Path("pieces.xyz"), OutputFile::Mode::Replace));
  std::string expected;
  for (int round = 0; round < 6; ++round) {
    const std::string text = "header " + std::to_string(round) + "\r\n";
    out.Buffer().append(text);
    out.Commit();
    std::string piece(round % 2 == 0 ? 700'000 : 10, static_cast<char>('a' + round));
    expected += text + piece;
    out.Take(piece);
    EXPECT_TRUE(piece.empty());
  }
  ASSERT_TRUE(out.Close()) << out.Error();
  EXPECT_EQ(ReadBytes(dir_.Path("pieces.xyz")), expected);
}

// A write that fails after some buffers went out: the failure is reported
// once, by Close, with its cause, and the earlier file stays.
TEST_F(OutputFileTest, AFailureWhileALongFileIsWrittenKeepsTheEarlierFile) {
  WriteBytes(dir_.Path("out.xyz"), "earlier\r\n");
  bool written = true;
  {
    testing::FileSizeLimit limit(5 << 20);
    written = WriteNumberedLines(dir_.Path("out.xyz"), 300'000, OutputFile::Mode::Replace);
  }
  EXPECT_FALSE(written);
  EXPECT_EQ(error_, "Cannot write " + fs::canonical(dir_.Path("out.xyz")).string() + ": File too large");
  EXPECT_EQ(ReadBytes(dir_.Path("out.xyz")), "earlier\r\n");
  EXPECT_EQ(FilesIn(dir_.Home()), 2u);

  EXPECT_FALSE(WriteNumberedLines("/dev/full", 300'000, OutputFile::Mode::Replace));
  EXPECT_EQ(error_, "Cannot write /dev/full: No space left on device");
}

TEST_F(OutputFileTest, AFailedReplacementKeepsTheEarlierFileAndLeavesNoTemporaryFile) {
  WriteBytes(dir_.Path("out.vdg"), "earlier\r\n");
  bool written = true;
  {
    testing::FileSizeLimit limit(1000);
    written = Write(dir_.Path("out.vdg"), std::string(5000, 'y'), OutputFile::Mode::Replace);
  }
  EXPECT_FALSE(written);
  EXPECT_NE(error_.find("out.vdg"), std::string::npos) << error_;
  EXPECT_EQ(ReadBytes(dir_.Path("out.vdg")), "earlier\r\n");
  EXPECT_EQ(FilesIn(dir_.Home()), 2u);
}

TEST_F(OutputFileTest, AReplacementThatIsNeverClosedLeavesTheEarlierFile) {
  WriteBytes(dir_.Path("out.vdg"), "earlier\r\n");
  {
    OutputFile out;
    ASSERT_TRUE(out.Open(dir_.Path("out.vdg"), OutputFile::Mode::Replace));
    out.Buffer() = "half a line";
  }
  EXPECT_EQ(ReadBytes(dir_.Path("out.vdg")), "earlier\r\n");
  EXPECT_EQ(FilesIn(dir_.Home()), 2u);
}

TEST_F(OutputFileTest, AReplacementFollowsASymbolicLinkAndRefusesWhatIsNotAFile) {
  fs::create_directory(dir_.Path("exports"));
  WriteBytes(dir_.Path("exports/real.vdg"), "old\r\n");
  fs::create_symlink(dir_.Path("exports/real.vdg"), dir_.Path("link.vdg"));
  ASSERT_TRUE(Write(dir_.Path("link.vdg"), "new\r\n", OutputFile::Mode::Replace)) << error_;
  EXPECT_TRUE(fs::is_symlink(dir_.Path("link.vdg")));
  EXPECT_EQ(ReadBytes(dir_.Path("exports/real.vdg")), "new\r\n");

  EXPECT_FALSE(Write(dir_.Path("exports"), "x", OutputFile::Mode::Replace));
  EXPECT_NE(error_.find("not a regular file"), std::string::npos) << error_;
  EXPECT_FALSE(Write(dir_.Path("missing/out.vdg"), "x", OutputFile::Mode::Replace));
  EXPECT_NE(error_.find("missing/out.vdg"), std::string::npos) << error_;
}

TEST_F(OutputFileTest, AReplacementKeepsThePermissionsOfTheFileItReplaces) {
  WriteBytes(dir_.Path("out.vdg"), "earlier\r\n");
  fs::permissions(dir_.Path("out.vdg"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(Write(dir_.Path("out.vdg"), "new\r\n", OutputFile::Mode::Replace)) << error_;
  EXPECT_EQ(fs::status(dir_.Path("out.vdg")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(OutputFileTest, AReplacementWritesADeviceInPlace) {
  EXPECT_TRUE(Write("/dev/null", "anything\r\n", OutputFile::Mode::Replace)) << error_;
  EXPECT_FALSE(Write("/dev/full", "anything\r\n", OutputFile::Mode::Replace));
  EXPECT_EQ(error_, "Cannot write /dev/full: No space left on device");
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

}  // namespace
}  // namespace tessaly
