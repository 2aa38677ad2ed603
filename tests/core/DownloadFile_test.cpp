#include "core/DownloadFile.h"

#include <gtest/gtest.h>

#include "support/FileBytes.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

using testing::ReadBytes;

const std::string kSent =
    "\r\nNo. of entries: 2\r\nDev    lat        long\r\n+00002,44 17.968N 063 18.000W,54.6,76.6\r\n"
    "-00007,44 17.969N 063 18.000W,54.5,76.5\r\n** End of data set **\r\n";

TEST(DownloadFile, GraphicFormIsWrittenAsReceivedIntoNewFolders) {
  testing::TempHome dir;
  const std::string path = dir.Path("Projects/line 9/dump.kvg");
  DownloadFile file;
  file.Create(path, DownloadForm::Graphic);
  file.Write(kSent.substr(0, 10));
  EXPECT_EQ(ReadBytes(path), kSent.substr(0, 10));  // each write reaches the file at once
  file.Write(kSent.substr(10));
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(ReadBytes(path), kSent);
  EXPECT_EQ(file.Entries(), 0);
}

TEST(DownloadFile, DataStringFormIsOneReformattingWhateverTheWrites) {
  testing::TempHome dir;
  const std::string path = dir.Path("dump.kvs");
  DownloadFile file;
  file.Create(path, DownloadForm::DataString);
  for (std::size_t at = 0; at < kSent.size(); at += 3) file.Write(kSent.substr(at, 3));
  file.Close();
  EXPECT_EQ(ReadBytes(path), FormatDataString(kSent));
  EXPECT_EQ(file.Entries(), 2);
}

TEST(DownloadFile, ClosingWritesTheHeldBackTail) {
  testing::TempHome dir;
  const std::string path = dir.Path("dump.kvs");
  {
    DownloadFile file;
    file.Create(path, DownloadForm::DataString);
    file.Write("+00001\r\nPola");
    EXPECT_EQ(ReadBytes(path), "\r\n+00001");
  }  // destroyed without Close: nothing received is lost
  EXPECT_EQ(ReadBytes(path), "\r\n+00001Pola");
}

TEST(DownloadFile, CreatingTruncatesAndFailuresNameThePath) {
  testing::TempHome dir;
  const std::string path = dir.Path("dump.kvg");
  testing::WriteBytes(path, "old contents");
  DownloadFile file;
  file.Create(path, DownloadForm::Graphic);
  file.Close();
  EXPECT_EQ(ReadBytes(path), "");

  testing::WriteBytes(dir.Path("plain"), "x");
  try {
    file.Create(dir.Path("plain/sub/dump.kvg"), DownloadForm::Graphic);
    FAIL() << "a folder under a file was made";
  } catch (const DownloadError& error) {
    EXPECT_NE(std::string(error.what()).find(dir.Path("plain/sub")), std::string::npos) << error.what();
  }
  EXPECT_THROW(file.Create(dir.Path("Lib"), DownloadForm::Graphic), DownloadError);  // a folder, not a file
  EXPECT_FALSE(file.IsOpen());
}

TEST(DownloadFile, CountsTheLineEndsWritten) {
  testing::TempHome dir;
  DownloadFile file;
  file.Create(dir.Path("dump.kvg"), DownloadForm::Graphic);
  file.Write("title\r\n\r\nhead");
  file.Write("ing\r\n*  +00042\r\nhalf a li");
  EXPECT_EQ(file.Lines(), 4);
  file.Create(dir.Path("again.kvg"), DownloadForm::Graphic);
  EXPECT_EQ(file.Lines(), 0);
  EXPECT_EQ(file.Path(), dir.Path("again.kvg"));
  EXPECT_EQ(file.Form(), DownloadForm::Graphic);
}

// A name typed without a folder goes where the save dialog starts, never
// into whatever folder the program was started from.
TEST(DownloadTarget, RelativeNamesGoIntoProjects) {
  const std::string projects = "/opt/tessaly/Projects";
  const std::pair<std::string, std::string> cases[] = {
      {"line7.kvs", "/opt/tessaly/Projects/line7.kvs"},
      {"day 2/line7.kvg", "/opt/tessaly/Projects/day 2/line7.kvg"},
      {"/survey/line7.kvs", "/survey/line7.kvs"},
      {"", ""},
  };
  for (const auto& [typed, target] : cases) EXPECT_EQ(DownloadTarget(typed, projects), target) << typed;
}

}  // namespace
}  // namespace tessaly
