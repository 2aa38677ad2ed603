// The navigation import dialog: its controls, the file choice and header
// analysis, adding and removing links with every message of the import, OK
// handing over to a navigation document, and Cancel.
#include "transfer/untImpPnav.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>

#include <gtest/gtest.h>

#include "shell/untFile.h"
#include "support/FileBytes.h"
#include "support/ShellTestHome.h"
#include "transfer/untFilePNav.h"

namespace tessaly {
namespace {

using testing::ShellTestHome;
using testing::TempHome;

QStringList Items(const QComboBox* box) {
  QStringList items;
  for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
  return items;
}

QStringList Items(const QListWidget* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
  return items;
}

QStringList Labels(const QWidget* window) {
  QStringList labels;
  for (const QLabel* label : window->findChildren<QLabel*>()) labels << label->text();
  return labels;
}

class ImportDialog : public ::testing::Test {
 protected:
  ImportDialog() {
    dialog_->ChooseFile = [this](QWidget*, const QString& filter) {
      filter_ = filter;
      return chosen_;
    };
  }
  ~ImportDialog() override { delete dialog_; }

  // Chooses a file through the file button.
  void Choose(const std::string& path) {
    chosen_ = QString::fromStdString(path);
    dialog_->SpeedButton1->click();
  }
  // Writes a navigation file with the given header and data lines.
  std::string NavFile(const std::string& name, const std::string& header, const std::string& data = "") {
    const std::string path = home_.Path(name);
    testing::WriteBytes(path, "Navigation file\r\n" + header + "\r\n" + data);
    return path;
  }
  void Link(const QString& channel, const QString& field) {
    dialog_->cmbAuxChannel->setCurrentText(channel);
    dialog_->cmbVariables->setCurrentText(field);
    dialog_->SpeedButton2->click();
  }
  // The messages shown so far, then forgotten.
  QStringList TakeMessages() {
    QStringList messages;
    for (const TMsgDlg::Call& call : TMsgDlg::Calls()) {
      EXPECT_EQ(call.Caption, "Warning");
      EXPECT_TRUE(call.Botoes == TMsgDlgButtons({TMsgDlgBtn::mbOK}));
      messages << call.Mensagem;
    }
    TMsgDlg::ClearCalls();
    return messages;
  }

  ShellTestHome home_{TempHome::Content::BuildDefaults};
  QPointer<TfrmImpPnav> dialog_ = new TfrmImpPnav;
  QString chosen_;
  QString filter_;
};

TEST_F(ImportDialog, OffersTheFixedFieldsAndNoOptionsBeforeAFileIsRead) {
  EXPECT_EQ(dialog_->windowTitle(), "Pnav");
  EXPECT_TRUE(dialog_->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(Items(dialog_->cmbVariables), QStringList({"Dev", "Towfish Depth", "Sounder"}));
  EXPECT_EQ(dialog_->cmbVariables->currentIndex(), -1);
  EXPECT_EQ(dialog_->GroupBox1->title(), "Options");
  EXPECT_FALSE(dialog_->GroupBox1->isEnabled());
  for (const char* label : {"File:", "NMEA Fields:", "Fixed Fields:", "Links"}) EXPECT_TRUE(Labels(dialog_).contains(label));
  EXPECT_EQ(dialog_->BitBtn1->text(), "OK");
  EXPECT_EQ(dialog_->BitBtn2->text(), "Cancel");
}

TEST_F(ImportDialog, ChoosingAFileReadsItsHeaderChannels) {
  const std::string path = NavFile("nav.txt", "@t,@p:3,@0,@1");
  Choose(path);

  EXPECT_EQ(filter_, "Pnav (*.txt)|*.txt|All (*.*)|*.*");
  EXPECT_EQ(dialog_->edtFile->text().toStdString(), path);
  EXPECT_TRUE(dialog_->GroupBox1->isEnabled());
  EXPECT_EQ(Items(dialog_->cmbAuxChannel), QStringList({"@0", "@1"}));
  EXPECT_EQ(dialog_->cmbAuxChannel->currentIndex(), -1);
  EXPECT_EQ(dialog_->Import().ChannelColumn(0), 4);
  EXPECT_EQ(dialog_->Import().ChannelColumn(1), 5);
  EXPECT_EQ(dialog_->Import().FPCol, 1);
  EXPECT_TRUE(TakeMessages().isEmpty());
}

TEST_F(ImportDialog, DismissedFileChoiceChangesNothing) {
  Choose(NavFile("nav.txt", "@t,@0,@1"));
  Link("@0", "Dev");
  Choose("");
  EXPECT_EQ(Items(dialog_->lstLinks), QStringList({"@0 - Dev"}));
  EXPECT_EQ(Items(dialog_->cmbAuxChannel).size(), 2);
}

TEST_F(ImportDialog, HeadersThatAreNotPnavAreRefused) {
  Choose(NavFile("blank.txt", " @t,@0"));
  testing::WriteBytes(home_.Path("one-line.txt"), "@t,@0\r\n");
  Choose(home_.Path("one-line.txt"));
  EXPECT_EQ(TakeMessages(), QStringList({"Invalid Pnav format.", "Invalid Pnav format."}));
  EXPECT_FALSE(dialog_->GroupBox1->isEnabled());
  EXPECT_EQ(dialog_->cmbAuxChannel->count(), 0);
}

TEST_F(ImportDialog, AnUnreadableFileIsNamedInItsMessage) {
  Choose(home_.Path("missing.txt"));
  const QStringList messages = TakeMessages();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains("missing.txt")) << messages[0].toStdString();
  EXPECT_EQ(dialog_->cmbAuxChannel->count(), 0);
}

TEST_F(ImportDialog, EveryRefusalOfALinkHasItsMessageAndKeepsTheList) {
  Choose(NavFile("nav.txt", "@t,@+,@0,@1"));

  dialog_->SpeedButton2->click();  // nothing chosen
  Link("@0", "Dev");
  Link("@0", "Sounder");  // the channel is taken
  Link("@1", "Dev");      // the fixed field is taken
  Link("@1", "Sounder");
  Link("@1", "Towfish Depth");  // as many links as channels

  EXPECT_EQ(TakeMessages(), QStringList({"Please fill both fields, MNEA and Fixed fields.",
                                         "This NMEA field is already linked, please select other.",
                                         "This Fixed Fields is already linked, please select other.",
                                         "The allowed number of links is 2."}));
  EXPECT_EQ(Items(dialog_->lstLinks), QStringList({"@0 - Dev", "@1 - Sounder"}));
  EXPECT_EQ(dialog_->Import().FDevCol, 2);
  EXPECT_EQ(dialog_->Import().FSounderCol, 3);
}

TEST_F(ImportDialog, RemovingALinkFreesItsFieldAndNeedsASelection) {
  Choose(NavFile("nav.txt", "@t,@+,@0,@1"));
  Link("@0", "Dev");
  Link("@1", "Sounder");

  dialog_->SpeedButton3->click();
  EXPECT_EQ(TakeMessages(), QStringList({"Please select a link to remove"}));

  dialog_->lstLinks->setCurrentRow(0);
  dialog_->SpeedButton3->click();
  EXPECT_EQ(Items(dialog_->lstLinks), QStringList({"@1 - Sounder"}));
  EXPECT_EQ(dialog_->Import().FDevCol, -1);

  Link("@0", "Dev");
  EXPECT_TRUE(TakeMessages().isEmpty());
  EXPECT_EQ(Items(dialog_->lstLinks), QStringList({"@1 - Sounder", "@0 - Dev"}));
}

TEST_F(ImportDialog, OkWithoutADeviationLinkStaysOpen) {
  Choose(NavFile("nav.txt", "@t,@+,@0,@1"));
  Link("@1", "Dev");
  dialog_->lstLinks->setCurrentRow(0);
  dialog_->SpeedButton3->click();
  Link("@0", "Sounder");

  dialog_->show();
  dialog_->BitBtn1->click();

  EXPECT_EQ(TakeMessages(), QStringList({"No deviation selected. Please select the deviation field."}));
  ASSERT_FALSE(dialog_.isNull());
  EXPECT_TRUE(dialog_->isVisible());
}

TEST_F(ImportDialog, OkHandsTheLinksToANewNavigationDocumentAndCloses) {
  const std::string path = home_.Sample("line08.pnav");
  Choose(path);
  Link("@0", "Dev");
  Link("@2", "Sounder");
  QPointer<TfrmFilePNav> document;
  dialog_->ShowDocument = [&](TfrmFilePNav* shown) {
    EXPECT_TRUE(shown->FileName().empty());  // the file is assigned once it is shown
    document = shown;
    shown->show();
  };
  dialog_->show();

  dialog_->BitBtn1->click();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  EXPECT_TRUE(dialog_.isNull());
  ASSERT_FALSE(document.isNull());
  EXPECT_EQ(document->FileName(), path);
  EXPECT_EQ(document->Import().FDevCol, 8);
  EXPECT_EQ(document->Import().FSounderCol, 10);
  ASSERT_NE(document->Document(), nullptr);
  EXPECT_GT(document->Document()->ValidCount(), 100u);
  EXPECT_TRUE(TakeMessages().isEmpty());
  delete document;
}

TEST_F(ImportDialog, CancelClosesWithoutADocument) {
  Choose(home_.Sample("line08.pnav"));
  Link("@0", "Dev");
  bool shown = false;
  dialog_->ShowDocument = [&](TfrmFilePNav*) { shown = true; };
  dialog_->show();

  dialog_->BitBtn2->click();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  EXPECT_TRUE(dialog_.isNull());
  EXPECT_FALSE(shown);
}

}  // namespace
}  // namespace tessaly
