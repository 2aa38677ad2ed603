// Documents in the main window: opening from the Open dialog, the recent
// files, the command line and a drop; the Windows menu; cascade, tile and
// close; missing files; the commands that follow the serial settings window.
#include "app/untMain.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QPointer>
#include <QUrl>

#include <gtest/gtest.h>

#include "acquisition/untSerialPort.h"
#include "core/RecentFiles.h"
#include "core/SettingsFile.h"
#include "shell/untFile.h"
#include "shell/untUTM.h"
#include "support/FileBytes.h"
#include "support/ShellTestHome.h"
#include "widgets/PainelGridOk.h"

namespace tessaly {
namespace {

using testing::ShellTestHome;
using testing::TempHome;

QStringList Captions(const QMenu* menu) {
  QStringList captions;
  for (const QAction* action : menu->actions()) captions << (action->isSeparator() ? "-" : action->text());
  return captions;
}

class MainWindowDocuments : public ::testing::Test {
 protected:
  std::vector<std::string> RecentList() const { return ReadRecentFiles(home_.Path("Lib/Files.ega")); }
  QList<QMdiSubWindow*> Windows() const { return main_->mdiArea->subWindowList(QMdiArea::CreationOrder); }
  TfrmFile* DocumentAt(int index) const { return qobject_cast<TfrmFile*>(Windows().at(index)->widget()); }

  ShellTestHome home_{TempHome::Content::BuildDefaults};
  std::unique_ptr<TfrmMain> main_ = std::make_unique<TfrmMain>();
};

TEST_F(MainWindowDocuments, OpenDialogStartsInProjectsWithTheLogFilter) {
  QString folder, filter;
  main_->ChooseOpenFile = [&](QWidget*, const QString& f, const QString& fl) {
    folder = f;
    filter = fl;
    return home_.QSample("line01.kvl");
  };

  main_->actOpen->trigger();

  EXPECT_EQ(folder.toStdString(), home_.Path("Projects"));
  EXPECT_EQ(filter,
            "All (*.kvs, *.kvg, *.kvl, *.zpx, *.zpt, *.rtb, *.rtc)|*.kvs;*.kvg;*.kvl;*.zpx;*.zpt;*.rtb;*.rtc|"
            "KV7100 Data String (*.kvs)|*.kvs|KV7100 Graphic (*.kvg)|*.kvg|KV7100 Log (*.kvl)|*.kvl|"
            "ZEPH2 - KV Log (*.zpx)|*.zpx|ZEPH2 - BT Log (*.zpt)|*.zpt|RT4 Bacic (*.rtb)|*.rtb|"
            "RT4 Kv Compability (*.rtc)|*.rtc|Unknown (*.*)|*.*");
  ASSERT_EQ(Windows().size(), 1);
  EXPECT_EQ(DocumentAt(0)->windowTitle(), "KV7100 Log - line01.kvl");
}

TEST_F(MainWindowDocuments, DismissedOpenDialogOpensNothing) {
  main_->ChooseOpenFile = [](QWidget*, const QString&, const QString&) { return QString(); };
  main_->actOpen->trigger();
  EXPECT_TRUE(Windows().isEmpty());
}

TEST_F(MainWindowDocuments, OpeningAddsAWindowEntryAndPutsThePathOnTopOfTheRecentList) {
  main_->OpenDocument(home_.QSample("line01.kvl"));
  main_->OpenDocument(home_.QSample("line04.zpx"));

  EXPECT_EQ(Captions(main_->Windows1), QStringList({"Cascade", "-", "line01.kvl", "line04.zpx"}));
  EXPECT_EQ(RecentList(), (std::vector<std::string>{home_.Sample("line04.zpx"), home_.Sample("line01.kvl")}));
  EXPECT_TRUE(main_->actClose->isEnabled());
  EXPECT_TRUE(main_->actSave->isEnabled());
  EXPECT_TRUE(main_->actSaveAs->isEnabled());
  // The recent-file menus are built at start-up only.
  EXPECT_TRUE(main_->ppmLastFiles->actions().isEmpty());
}

TEST_F(MainWindowDocuments, OpeningAnOpenFileBringsItsWindowForwardWithoutASecondOne) {
  main_->OpenDocument(home_.QSample("line01.kvl"));
  main_->OpenDocument(home_.QSample("line06.rtb"));

  main_->OpenDocument(home_.QSample("line01.kvl"));

  EXPECT_EQ(Windows().size(), 2);
  EXPECT_EQ(main_->mdiArea->activeSubWindow(), Windows().at(0));
  EXPECT_EQ(RecentList().front(), home_.Sample("line01.kvl"));
  EXPECT_EQ(main_->FindOpenDocument(home_.QSample("line06.rtb")), DocumentAt(1));
  EXPECT_EQ(main_->FindOpenDocument(home_.QSample("LINE06.rtb")), nullptr);
}

TEST_F(MainWindowDocuments, EveryKindOpensFromTheMainWindow) {
  for (const char* name : {"line01.kvl", "line02.kvs", "line03.kvg", "line04.zpx", "line05.zpt", "line06.rtb",
                           "line07.rtc", "line08.pnav"}) {
    main_->OpenDocument(home_.QSample(name));
  }
  ASSERT_EQ(Windows().size(), 8);
  for (int i = 0; i < 6; ++i) {
    ASSERT_NE(DocumentAt(i)->Document(), nullptr);
    EXPECT_GT(DocumentAt(i)->Document()->ValidCount(), 100u) << i;
  }
  // Neither a RT4 Kv file nor a navigation file is recognised by its content.
  EXPECT_EQ(DocumentAt(6)->FileType(), "Unknown");
  EXPECT_EQ(DocumentAt(7)->FileType(), "Unknown");
  EXPECT_TRUE(TMsgDlg::Calls().empty());
}

TEST_F(MainWindowDocuments, RecentFileEntriesOpenTheirFiles) {
  WriteSettingsValues(home_.Path("Lib/Files.ega"), {home_.Sample("line05.zpt"), home_.Sample("line01.kvl")});
  main_ = std::make_unique<TfrmMain>();
  ASSERT_EQ(main_->Reopen1->actions().size(), 2);

  main_->RecentFileClick(main_->Reopen1->actions().at(1));
  main_->RecentFileClick(main_->ppmLastFiles->actions().at(0));

  ASSERT_EQ(Windows().size(), 2);
  EXPECT_EQ(DocumentAt(0)->FileName(), home_.Sample("line01.kvl"));
  EXPECT_EQ(DocumentAt(1)->FileName(), home_.Sample("line05.zpt"));
}

TEST_F(MainWindowDocuments, MissingRecentFileIsReportedAndDroppedFromTheListAndMenus) {
  const std::string gone = home_.Path("Projects/gone.kvl");
  WriteSettingsValues(home_.Path("Lib/Files.ega"), {home_.Sample("line01.kvl"), gone});
  main_ = std::make_unique<TfrmMain>();

  main_->RecentFileClick(main_->ppmLastFiles->actions().at(1));

  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Caption, "Warning");
  EXPECT_EQ(TMsgDlg::Calls()[0].Mensagem, "File not found, please select other");
  EXPECT_EQ(RecentList(), std::vector<std::string>{home_.Sample("line01.kvl")});
  EXPECT_EQ(Captions(main_->ppmLastFiles), QStringList({"&1 " + home_.QSample("line01.kvl")}));
  EXPECT_EQ(Captions(main_->Reopen1), QStringList({"&1 " + home_.QSample("line01.kvl")}));
  EXPECT_TRUE(Windows().isEmpty());
}

TEST_F(MainWindowDocuments, CommandLineAndDroppedFilesAreOpened) {
  main_->OpenCommandLineFiles({home_.QSample("line01.kvl"), home_.QSample("line04.zpx")});
  EXPECT_EQ(Windows().size(), 2);

  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(home_.QSample("line06.rtb"))});
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  static_cast<QObject*>(main_.get())->event(&drop);  // straight to the window, as a drop delivers it

  ASSERT_EQ(Windows().size(), 3);
  EXPECT_EQ(DocumentAt(2)->FileName(), home_.Sample("line06.rtb"));
}

TEST_F(MainWindowDocuments, WindowEntryBringsItsDocumentForward) {
  main_->OpenDocument(home_.QSample("line01.kvl"));
  main_->OpenDocument(home_.QSample("line04.zpx"));
  main_->show();

  main_->WindowEntryClick(main_->Windows1->actions().at(2));

  EXPECT_EQ(main_->mdiArea->activeSubWindow(), Windows().at(0));
}

TEST_F(MainWindowDocuments, CascadeAndTileCheckEachOther) {
  main_->OpenDocument(home_.QSample("line01.kvl"));
  main_->OpenDocument(home_.QSample("line04.zpx"));
  main_->resize(1200, 800);
  main_->show();

  main_->actTile->trigger();
  EXPECT_TRUE(main_->actTile->isChecked());
  EXPECT_FALSE(main_->actCascade->isChecked());
  const QRect first = Windows().at(0)->geometry();
  const QRect second = Windows().at(1)->geometry();
  EXPECT_FALSE(first.intersects(second));

  main_->actCascade->trigger();
  EXPECT_TRUE(main_->actCascade->isChecked());
  EXPECT_FALSE(main_->actTile->isChecked());
  EXPECT_LT(Windows().at(0)->geometry().topLeft().x(), Windows().at(1)->geometry().topLeft().x());
}

TEST_F(MainWindowDocuments, ClosingDocumentsRemovesTheirEntriesAndFinallyDisablesClose) {
  main_->OpenDocument(home_.QSample("line01.kvl"));
  main_->OpenDocument(home_.QSample("line04.zpx"));
  main_->show();

  main_->mdiArea->setActiveSubWindow(Windows().at(1));
  main_->actClose->trigger();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(Captions(main_->Windows1), QStringList({"Cascade", "-", "line01.kvl"}));
  EXPECT_TRUE(main_->actClose->isEnabled());

  main_->mdiArea->setActiveSubWindow(Windows().at(0));
  main_->actClose->trigger();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(Captions(main_->Windows1), QStringList({"Cascade", "-"}));
  EXPECT_TRUE(Windows().isEmpty());
  EXPECT_FALSE(main_->actClose->isEnabled());
  EXPECT_FALSE(main_->actSave->isEnabled());
  EXPECT_FALSE(main_->actSaveAs->isEnabled());
  EXPECT_FALSE(main_->actExportVDG->isEnabled());
}

TEST_F(MainWindowDocuments, DocumentCloseButtonRemovesItsWindowEntry) {
  main_->OpenDocument(home_.QSample("line01.kvl"));
  main_->show();
  QPointer<TfrmFile> document = DocumentAt(0);

  document->btnClose->click();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  EXPECT_EQ(Captions(main_->Windows1), QStringList({"Cascade", "-"}));
  EXPECT_TRUE(document.isNull());
  EXPECT_EQ(main_->ActiveDocument(), nullptr);
}

TEST_F(MainWindowDocuments, ActivatedDocumentBecomesTheActiveDocument) {
  main_->OpenDocument(home_.QSample("line01.kvl"));
  main_->OpenDocument(home_.QSample("line04.zpx"));
  main_->show();

  main_->mdiArea->setActiveSubWindow(Windows().at(0));
  EXPECT_EQ(main_->ActiveDocument(), DocumentAt(0));
  main_->mdiArea->setActiveSubWindow(Windows().at(1));
  EXPECT_EQ(main_->ActiveDocument(), DocumentAt(1));
}

TEST_F(MainWindowDocuments, SerialSettingsWindowHoldsTheSerialCommandsWhileItIsOpen) {
  main_->actSerialPort->trigger();
  auto* window = qobject_cast<TfrmSerialPort*>(QApplication::topLevelWidgets().last());
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* serial = qobject_cast<TfrmSerialPort*>(w)) window = serial;
  }
  ASSERT_NE(window, nullptr);
  for (QAction* held : {main_->actSerialPort, main_->actLogRt4Pro, main_->actLogKv7100, main_->actLogZpxBT,
                        main_->actLogZpxKV, main_->actLogRt4Kv, main_->actLogRt4Basic}) {
    EXPECT_FALSE(held->isEnabled()) << held->objectName().toStdString();
  }
  EXPECT_TRUE(main_->actUtm->isEnabled());

  window->BitBtn2->click();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  EXPECT_TRUE(main_->actSerialPort->isEnabled());
  EXPECT_TRUE(main_->actLogRt4Pro->isEnabled());
  // Logging windows are not part of the program yet: their commands stay off.
  EXPECT_FALSE(main_->actLogKv7100->isEnabled());
}

TEST_F(MainWindowDocuments, UtmCommandShowsTheHiddenUtmWindow) {
  main_->actUtm->trigger();
  EXPECT_TRUE(main_->frmUTM->isVisible());
}

}  // namespace
}  // namespace tessaly
