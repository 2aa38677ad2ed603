// The navigation document: loading a navigation file through the links of the
// import, its grid, its progress message, and the question when it closes.
#include "transfer/untFilePNav.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>

#include <gtest/gtest.h>

#include "core/GridLayout.h"
#include "shell/untFrmPrgBar.h"
#include "support/FileBytes.h"
#include "support/ShellTestHome.h"

namespace tessaly {
namespace {

using testing::ShellTestHome;
using testing::TempHome;

// The import of a navigation file with the given links ("@0" -> "Dev", ...).
PnavImport Linked(const std::string& path, const std::vector<std::pair<std::string, std::string>>& links) {
  PnavImport import;
  EXPECT_EQ(import.NewFile(path), "");
  for (const auto& [channel, field] : links) EXPECT_EQ(import.AddLink(channel, field), "");
  return import;
}

class NavigationDocument : public ::testing::Test {
 protected:
  // Opens the document as the import dialog does; returns once it is loaded.
  QPointer<TfrmFilePNav> Open(const PnavImport& import) {
    QPointer<TfrmFilePNav> document = new TfrmFilePNav(import);
    document->show();
    document->SetFileName(import.FilePath());
    return document;
  }
  std::string Cell(const TfrmFilePNav& document, std::size_t row, std::size_t column) const {
    return std::string(document.Document()->Cells().Cell(row, column));
  }

  ShellTestHome home_{TempHome::Content::BuildDefaults};
  std::string nav_ = home_.Sample("line08.pnav");
};

TEST_F(NavigationDocument, LoadsTheRecordsOfTheLinkedColumns) {
  QPointer<TfrmFilePNav> document = Open(Linked(nav_, {{"@0", "Dev"}, {"@2", "Sounder"}}));
  ASSERT_NE(document->Document(), nullptr);

  EXPECT_EQ(document->windowTitle(), "PNav - line08.pnav");
  EXPECT_TRUE(document->Imported());
  EXPECT_TRUE(document->Document()->IsNavigation());
  EXPECT_EQ(document->Document()->ExportSkipColumn(), kColTfDepth);
  EXPECT_GT(document->Document()->ValidCount(), 100u);
  // The first data line: 08:00:00.00, ..., +00012, 54.6, 76.7.
  EXPECT_EQ(Cell(*document, 1, kColTime), "08:00:00.00");
  EXPECT_EQ(Cell(*document, 1, kColRawLine), "3");
  EXPECT_EQ(Cell(*document, 1, kColDev), "+00012");
  EXPECT_EQ(Cell(*document, 1, kColSounder), "76.7");
  // Towfish depth is not linked: "0" in every record.
  for (std::size_t row = 1; row <= document->Document()->ValidCount(); ++row)
    ASSERT_EQ(Cell(*document, row, kColTfDepth), "0") << row;
  delete document;
}

// Records the message a progress window shows when it goes away.
class ProgressMessageAtClose : public QObject {
 public:
  ProgressMessageAtClose() { QApplication::instance()->installEventFilter(this); }
  ~ProgressMessageAtClose() override { QApplication::instance()->removeEventFilter(this); }
  QStringList messages;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Hide)
      if (auto* window = qobject_cast<TFrmPrgBar*>(watched)) messages << window->lblMsg->text();
    return false;
  }
};

TEST_F(NavigationDocument, ShowsImportingDataWhileItLoads) {
  ProgressMessageAtClose shown;
  QPointer<TfrmFilePNav> document = Open(Linked(nav_, {{"@0", "Dev"}}));
  QPointer<TfrmFile> log = new TfrmFile;
  log->show();
  log->SetFileName(home_.Sample("line01.kvl"));
  EXPECT_EQ(shown.messages, QStringList({"Importing data ...", "Loading data ..."}));
  delete document;
  delete log;
}

TEST_F(NavigationDocument, AskToSaveTheImportWhenClosing) {
  QPointer<TfrmFilePNav> document = Open(Linked(nav_, {{"@0", "Dev"}}));
  ShellTestHome::Answer(mrCancel);
  EXPECT_FALSE(document->close());
  ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
  EXPECT_EQ(TMsgDlg::Calls()[0].Mensagem, "Save importation?");
  EXPECT_EQ(TMsgDlg::Calls()[0].Caption, "Confirmation");

  const std::string target = home_.Path("import.kv2");
  document->ChooseImportSaveFile = [&](QWidget*) { return QString::fromStdString(target); };
  ShellTestHome::Answer(mrYes);
  EXPECT_TRUE(document->close());
  EXPECT_EQ(testing::ReadBytes(target), testing::ReadBytes(nav_));
  delete document;
}

}  // namespace
}  // namespace tessaly
