// The document window facing hostile files: a 100 MB line, lines of 1 MB,
// NUL bytes and invalid UTF-8, a folder and a FIFO. Each gives its message,
// nothing crashes or waits, and no file is written.
#include "shell/untFile.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/DocumentWindow.h"
#include "support/FileBytes.h"
#include "support/FolderListing.h"
#include "support/ShellTestHome.h"
#include "widgets/PainelGridOk.h"
#include "widgets/RawTextView.h"

namespace tessaly {
namespace {

using testing::OpenDocumentWindow;

namespace fs = std::filesystem;

constexpr std::size_t kMiB = std::size_t{1} << 20;
const std::string kRecord = "$KVMGD,+00042,4418.000,N,06318.000,W,25.3,78.4";

// Paints the raw text at its start and scrolled to its far right and end.
void PaintRawText(TfrmFile& window) {
  RawTextView& raw = *window.lstRawData;
  raw.viewport()->grab();
  raw.horizontalScrollBar()->setValue(raw.horizontalScrollBar()->maximum());
  raw.verticalScrollBar()->setValue(raw.verticalScrollBar()->maximum());
  raw.viewport()->grab();
}

TEST(untFileHostileFiles, AHundredMegabyteLineShowsAsOneRawLine) {
  testing::ShellTestHome home(testing::TempHome::Content::BuildDefaults);
  const std::string path = home.Path("oneline.kvl");
  {
    std::ofstream out(path, std::ios::binary);
    const std::string piece(kMiB, 'Q');
    for (int i = 0; i < 100; ++i) out << piece;
  }
  const auto before = testing::Listing(home.Home());
  QPointer<TfrmFile> window = OpenDocumentWindow(path);
  ASSERT_NE(window->Document(), nullptr);
  EXPECT_EQ(window->windowTitle(), "Unknown - oneline.kvl");
  EXPECT_EQ(window->lstRawData->LineCount(), 1u);
  EXPECT_GT(window->lstRawData->horizontalScrollBar()->maximum(), 1000000);
  PaintRawText(*window);
  EXPECT_TRUE(TMsgDlg::Calls().empty());
  delete window;
  EXPECT_EQ(testing::Listing(home.Home()), before);
}

TEST(untFileHostileFiles, MegabyteLinesNulBytesAndInvalidUtf8AreListedAsErrors) {
  testing::ShellTestHome home(testing::TempHome::Content::BuildDefaults);
  const std::string path = home.Path("survey\xff\xfe.kvl");
  std::string text = kRecord + "\r\n";
  text += "$KVMGD," + std::string(kMiB, '5') + "\r\n";
  text += std::string("$KVMGD,+00\0" "42,4418.000,N,06318.000,W,25.3,78.4", 46) + "\r\n";
  text += kRecord.substr(0, 44) + "\xc3\x28\r\n" + kRecord + "\r\n";
  testing::WriteBytes(path, text);
  const auto before = testing::Listing(home.Home());

  QPointer<TfrmFile> window = OpenDocumentWindow(path);
  ASSERT_NE(window->Document(), nullptr);
  EXPECT_EQ(window->Document()->ValidCount(), 2u);
  EXPECT_EQ(window->lblQtdErrors->text(), "3");
  EXPECT_TRUE(window->btnErros->isEnabled());
  EXPECT_EQ(window->PainelGrid1->GetCell(2, 2), "5");
  PaintRawText(*window);
  window->PainelGrid1->grab();
  EXPECT_TRUE(TMsgDlg::Calls().empty());
  EXPECT_EQ(testing::ReadBytes(path), text);
  delete window;
  EXPECT_EQ(testing::Listing(home.Home()), before);
  fs::remove(path);  // the temporary folder cannot remove a name that is no UTF-8
}

TEST(untFileHostileFiles, AFolderOrAFifoCannotBeReadAndSaysSo) {
  testing::ShellTestHome home(testing::TempHome::Content::BuildDefaults);
  fs::create_directory(home.Path("folder.kvl"));
  ASSERT_EQ(::mkfifo(home.Path("fifo.kvl").c_str(), 0644), 0);
  const auto before = testing::Listing(home.Home());
  for (const std::string name : {"folder.kvl", "fifo.kvl"}) {
    SCOPED_TRACE(name);
    TMsgDlg::ClearCalls();
    QPointer<TfrmFile> window = OpenDocumentWindow(home.Path(name));
    ASSERT_NE(window->Document(), nullptr);
    EXPECT_EQ(window->Document()->Status(), LoadStatus::Unreadable);
    ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
    EXPECT_EQ(TMsgDlg::Calls()[0].Caption, "Error");
    EXPECT_EQ(TMsgDlg::Calls()[0].Mensagem, QString::fromStdString("Couldn't read the file " + home.Path(name) + "."));
    EXPECT_EQ(window->lstRawData->LineCount(), 0u);
    delete window;
  }
  EXPECT_EQ(testing::Listing(home.Home()), before);
}

}  // namespace
}  // namespace tessaly
