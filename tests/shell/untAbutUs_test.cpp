// The about box.
#include "shell/untAbutUs.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

#include "support/ShellTestHome.h"
#include "support/ShippedPicture.h"

namespace tessaly {
namespace {

TEST(AboutBox, ShowsTheProductIdentity) {
  testing::ShellTestHome home;
  testing::CopyShippedPicture(home);
  QPointer<TfrmAboutBox> about = new TfrmAboutBox;
  EXPECT_FALSE(about->isVisible());  // shown where its opener places it
  about->show();
  EXPECT_EQ(about->windowTitle(), "About Us");
  EXPECT_EQ(about->size(), QSize(298, 213));
  EXPECT_EQ(about->lblProductName->text(), "Tessaly - Pro (Beta)");
  EXPECT_EQ(about->lblVersion->text(), "Version: " TESSALY_PROJECT_VERSION);
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
  testing::ShellTestHome home;
  testing::CopyShippedPicture(home);
  TfrmAboutBox first, second;
  first.show();
  second.show();
  QApplication::setActiveWindow(&first);
  EXPECT_FALSE(first.imgProgramIcon->pixmap().isNull());
  std::filesystem::remove(home.Lib("Brenthal.jpg"));
  QApplication::setActiveWindow(&second);
  QApplication::setActiveWindow(&first);
  QApplication::setActiveWindow(&second);
  QApplication::setActiveWindow(&first);
  // Each window reports its failing picture once, not on every activation.
  EXPECT_EQ(TMsgDlg::Calls().size(), 2u);
  testing::CopyShippedPicture(home);
  QApplication::setActiveWindow(&second);
  EXPECT_FALSE(second.imgProgramIcon->pixmap().isNull());
}

}  // namespace
}  // namespace tessaly
