// Decoding the JPEG picture of the splash window and the about box.
#include "shell/JpegImage.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "support/FileBytes.h"
#include "support/ShippedPicture.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

TEST(JpegImage, DecodesTheShippedPicture) {
  const QImage image = LoadJpegImage(testing::kShippedPicture);
  EXPECT_EQ(image.size(), QSize(552, 288));
  EXPECT_LT(std::filesystem::file_size(testing::kShippedPicture), 100u * 1024);
  // Sky at the top is bluish, not black.
  const QColor sky = image.pixelColor(5, 2);
  EXPECT_GT(sky.blue(), sky.red());
  EXPECT_GT(sky.blue(), 100);
}

void ExpectJpegError(const std::string& path, const std::string& fragment) {
  try {
    LoadJpegImage(path);
    FAIL() << "no error for " << path;
  } catch (const JpegError& e) {
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos) << e.what();
  }
}

TEST(JpegImage, MissingEmptyCorruptOrTruncatedPicturesGiveAClearError) {
  testing::TempHome home;
  ExpectJpegError(home.Lib("none.jpg"), "Cannot open the picture");
  testing::WriteBytes(home.Lib("empty.jpg"), "");
  ExpectJpegError(home.Lib("empty.jpg"), "is empty");
  testing::WriteBytes(home.Lib("text.jpg"), "This is not a picture at all\n");
  ExpectJpegError(home.Lib("text.jpg"), "not a valid JPEG picture");
  const std::string bytes = testing::ReadBytes(testing::kShippedPicture);
  testing::WriteBytes(home.Lib("half.jpg"), bytes.substr(0, bytes.size() / 2));
  ExpectJpegError(home.Lib("half.jpg"), "not a valid JPEG picture");
  std::string scrambled = bytes;
  for (std::size_t i = 600; i < scrambled.size(); i += 7) scrambled[i] = static_cast<char>(scrambled[i] ^ 0x5A);
  testing::WriteBytes(home.Lib("scrambled.jpg"), scrambled);
  ExpectJpegError(home.Lib("scrambled.jpg"), "not a valid JPEG picture");
}

TEST(JpegImage, APictureThatIsAFolderOrAFifoIsAnErrorAtOnce) {
  testing::TempHome home;
  const std::string picture = home.Lib("picture.jpg");
  for (const bool fifo : {false, true}) {
    std::filesystem::remove_all(picture);
    if (fifo) ASSERT_EQ(::mkfifo(picture.c_str(), 0644), 0);
    else std::filesystem::create_directory(picture);
    // Opening the FIFO would wait for a writer forever.
    ExpectJpegError(picture, fifo ? "is not a regular file" : "is a folder");
  }
}

}  // namespace
}  // namespace tessaly
