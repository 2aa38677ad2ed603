#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/JpegImage.h"
#include "app/untAbutUs.h"
#include "app/untWelcome.h"
#include "app_temp_home.h"

namespace tessaly {
namespace {

const std::string kShippedPicture = std::string(TESSALY_SOURCE_DIR) + "/Lib/Brenthal.jpg";

void CopyShippedPicture(const testing::TempHome& home) {
  std::filesystem::copy_file(kShippedPicture, home.Lib("Brenthal.jpg"));
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ShippedBytes() {
  std::ifstream in(kShippedPicture, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(JpegImage, DecodesTheShippedPicture) {
  const QImage image = LoadJpegImage(kShippedPicture);
  EXPECT_EQ(image.size(), QSize(552, 288));
  EXPECT_LT(std::filesystem::file_size(kShippedPicture), 100u * 1024);
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
  WriteBytes(home.Lib("empty.jpg"), "");
  ExpectJpegError(home.Lib("empty.jpg"), "is empty");
  WriteBytes(home.Lib("text.jpg"), "This is not a picture at all\n");
  ExpectJpegError(home.Lib("text.jpg"), "not a valid JPEG picture");
  const std::string bytes = ShippedBytes();
  WriteBytes(home.Lib("half.jpg"), bytes.substr(0, bytes.size() / 2));
  ExpectJpegError(home.Lib("half.jpg"), "not a valid JPEG picture");
  std::string scrambled = bytes;
  for (std::size_t i = 600; i < scrambled.size(); i += 7) scrambled[i] = static_cast<char>(scrambled[i] ^ 0x5A);
  WriteBytes(home.Lib("scrambled.jpg"), scrambled);
  ExpectJpegError(home.Lib("scrambled.jpg"), "not a valid JPEG picture");
}

TEST(Splash, ShowsNameNoticeAndPictureFramelessOnTop) {
  testing::TempHome home;
  CopyShippedPicture(home);
  TfrmWelcome splash;
  EXPECT_TRUE(splash.isVisible());
  EXPECT_EQ(splash.size(), QSize(740, 407));
  EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(splash.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(splash.Label2->text(), "Tessaly - Pro (Beta)");
  EXPECT_EQ(splash.Label2->font().pixelSize(), 48);
  EXPECT_FALSE(splash.lblCopyright->text().isEmpty());
  EXPECT_EQ(splash.Image1->geometry(), QRect(94, 8, 552, 288));
  EXPECT_EQ(splash.Image1->pixmap().size(), QSize(552, 288));
  EXPECT_TRUE(TMsgDlg::Calls().empty());
}

TEST(Splash, MissingPictureIsReportedAndTheWindowStaysWithoutIt) {
  testing::TempHome home;
  TfrmWelcome splash;
  EXPECT_TRUE(splash.isVisible());
  EXPECT_TRUE(splash.Image1->pixmap().isNull());
  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Caption, "Error");
  EXPECT_TRUE(TMsgDlg::Calls()[0].Mensagem.contains("Brenthal.jpg"));
  EXPECT_TRUE(TMsgDlg::Calls()[0].Mensagem.contains("JpegError"));
  EXPECT_TRUE(TMsgDlg::Calls()[0].Mensagem.contains("Object: TfrmWelcome\r"));
}

TEST(Splash, HidesWhenItLosesActivation) {
  testing::TempHome home;
  CopyShippedPicture(home);
  TfrmWelcome splash;
  QWidget other;
  other.show();
  QApplication::setActiveWindow(&splash);
  QApplication::setActiveWindow(&other);
  QCoreApplication::processEvents();
  EXPECT_FALSE(splash.isVisible());
}

TEST(AboutBox, ShowsTheProductIdentity) {
  testing::TempHome home;
  CopyShippedPicture(home);
  QPointer<TfrmAboutBox> about = new TfrmAboutBox;
  EXPECT_TRUE(about->isVisible());
  EXPECT_EQ(about->windowTitle(), "About Us");
  EXPECT_EQ(about->size(), QSize(298, 213));
  EXPECT_EQ(about->lblProductName->text(), "Tessaly - Pro (Beta)");
  EXPECT_EQ(about->lblVersion->text(), "Version: 1.0.5.3");
  EXPECT_TRUE(about->lblComments->text().isEmpty());
  EXPECT_EQ(about->imgProgramIcon->size(), QSize(137, 57));
  EXPECT_TRUE(about->imgProgramIcon->hasScaledContents());
  EXPECT_TRUE(about->OKButton->isDefault());
  QApplication::setActiveWindow(about);
  EXPECT_FALSE(about->imgProgramIcon->pixmap().isNull());
  QTest::mouseClick(about->OKButton, Qt::LeftButton);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(about.isNull());
}

TEST(AboutBox, PictureIsReloadedOnEveryActivationAndAFailureReportedOnce) {
  testing::TempHome home;
  CopyShippedPicture(home);
  TfrmAboutBox first, second;
  QApplication::setActiveWindow(&first);
  EXPECT_FALSE(first.imgProgramIcon->pixmap().isNull());
  std::filesystem::remove(home.Lib("Brenthal.jpg"));
  QApplication::setActiveWindow(&second);
  QApplication::setActiveWindow(&first);
  QApplication::setActiveWindow(&second);
  QApplication::setActiveWindow(&first);
  // Each window reports its failing picture once, not on every activation.
  EXPECT_EQ(TMsgDlg::Calls().size(), 2u);
  CopyShippedPicture(home);
  QApplication::setActiveWindow(&second);
  EXPECT_FALSE(second.imgProgramIcon->pixmap().isNull());
}

}  // namespace
}  // namespace tessaly
