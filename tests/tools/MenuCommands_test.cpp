// The commands of a menu bar by their captions.
#include "tools/screenshots/MenuCommands.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

namespace tessaly::screenshots {
namespace {

TEST(MenuCommands, ACaptionIsShownWithoutItsMnemonicMarks) {
  EXPECT_EQ(PlainCaption("&Save && Close"), "Save & Close");
  EXPECT_EQ(PlainCaption("S&top"), "Stop");
  EXPECT_EQ(PlainCaption("Tom && Jerry&&"), "Tom & Jerry&");
  EXPECT_EQ(PlainCaption("End&"), "End");
  EXPECT_EQ(PlainCaption(""), "");
  EXPECT_EQ(PlainCaption("Fit &All\tHome"), "Fit All");
  EXPECT_EQ(PlainCaption("\tCtrl+T"), "");
}

class MenuBarOfCommands : public ::testing::Test {
 protected:
  MenuBarOfCommands() {
    QMenu* file = bar_.addMenu("&File");
    Command(file, "actOpen", "Open");
    QMenu* recent = file->addMenu("Reopen...");
    recent->addAction("&1 /surveys/line01.kvl");  // added while the program runs
    file->addSeparator();
    QMenu* import = file->addMenu("Import");
    pnav_ = Command(import, "actImpPnav", "Pnav");
    QMenu* log = bar_.addMenu("&Log");
    QMenu* zeph = log->addMenu("Zeph 2");
    Command(zeph, "actLogZpxKV", "ZPX - KV");
    Command(bar_.addMenu("&Help"), "actAboutUs", "About Us");
  }
  QAction* Command(QMenu* menu, const char* name, const char* caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
  }

  QMenuBar bar_;
  QAction* pnav_ = nullptr;
};

TEST_F(MenuBarOfCommands, ListsEveryFixedEntryWithItsPathInMenuOrder) {
  QStringList paths;
  for (const MenuCommand& command : MenuCommands(bar_)) paths << PathText(command.path);
  EXPECT_EQ(paths, QStringList({"File", "File > Open", "File > Reopen...", "File > Import", "File > Import > Pnav",
                                "Log", "Log > Zeph 2", "Log > Zeph 2 > ZPX - KV", "Help", "Help > About Us"}));
}

TEST_F(MenuBarOfCommands, FindsAnEntryByItsPath) {
  EXPECT_EQ(FindMenuCommand(bar_, {"File", "Import", "Pnav"}), pnav_);
  EXPECT_EQ(FindMenuCommand(bar_, {"Log", "Zeph 2"})->menu()->title(), "Zeph 2");
  EXPECT_EQ(FindMenuCommand(bar_, {"File", "Pnav"}), nullptr);
  EXPECT_EQ(FindMenuCommand(bar_, {"File", "Import", "Pnav", "More"}), nullptr);
  EXPECT_EQ(FindMenuCommand(bar_, {"&File", "Open"}), nullptr);
  EXPECT_EQ(FindMenuCommand(bar_, {"Nothing"}), nullptr);
}

}  // namespace
}  // namespace tessaly::screenshots
