// The splash window.
#include "shell/untWelcome.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>

#include <gtest/gtest.h>

#include "support/ShellTestHome.h"
#include "support/ShippedPicture.h"

namespace tessaly {
namespace {

TEST(Splash, ShowsNameNoticeAndPictureFramelessOnTop) {
  testing::ShellTestHome home;
  testing::CopyShippedPicture(home);
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
  testing::ShellTestHome home;
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
  testing::ShellTestHome home;
  testing::CopyShippedPicture(home);
  TfrmWelcome splash;
  QWidget other;
  other.show();
  QApplication::setActiveWindow(&splash);
  QApplication::setActiveWindow(&other);
  QCoreApplication::processEvents();
  EXPECT_FALSE(splash.isVisible());
}

}  // namespace
}  // namespace tessaly
