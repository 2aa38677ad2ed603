// The windows facing hostile files: the document window opening a 100 MB
// line, lines of 1 MB, NUL bytes and invalid UTF-8, a folder and a FIFO; the
// picture of the splash window as a folder or a FIFO; the main window
// starting with every settings file of Lib/ truncated, empty, over-long,
// binary, a folder or a FIFO. Each gives its message, nothing
// crashes or waits, and no settings file is written.
#include "app/untMain.h"

#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/JpegImage.h"
#include "app/RawTextView.h"
#include "app/untFile.h"
#include "core/SettingsFile.h"
#include "core/SettingsLine.h"
#include "main_window_test_home.h"
#include "support/noise_bytes.h"
#include "widgets/PainelGridOk.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using testing::TestHome;

constexpr std::size_t kMiB = std::size_t{1} << 20;
const std::string kRecord = "$KVMGD,+00042,4418.000,N,06318.000,W,25.3,78.4";

QPointer<TfrmFile> OpenFile(const std::string& path) {
  QPointer<TfrmFile> window = new TfrmFile;
  window->show();
  window->SetFileName(path);
  return window;
}

// The names and sizes of every file under the program home.
std::vector<std::string> HomeListing(const TestHome& home) {
  std::vector<std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(home.Home()))
    entries.push_back(entry.path().string() + " " +
                      (entry.is_regular_file() ? std::to_string(entry.file_size()) : std::string("-")));
  std::sort(entries.begin(), entries.end());
  return entries;
}

// Paints the raw text at its start and scrolled to its far right and end.
void PaintRawText(TfrmFile& window) {
  RawTextView& raw = *window.lstRawData;
  raw.viewport()->grab();
  raw.horizontalScrollBar()->setValue(raw.horizontalScrollBar()->maximum());
  raw.verticalScrollBar()->setValue(raw.verticalScrollBar()->maximum());
  raw.viewport()->grab();
}

TEST(HostileFilesWindow, AHundredMegabyteLineShowsAsOneRawLine) {
  TestHome home;
  const std::string path = home.Path("oneline.kvl");
  {
    std::ofstream out(path, std::ios::binary);
    const std::string piece(kMiB, 'Q');
    for (int i = 0; i < 100; ++i) out << piece;
  }
  const auto before = HomeListing(home);
  QPointer<TfrmFile> window = OpenFile(path);
  ASSERT_NE(window->Document(), nullptr);
  EXPECT_EQ(window->windowTitle(), "Unknown - oneline.kvl");
  EXPECT_EQ(window->lstRawData->LineCount(), 1u);
  EXPECT_GT(window->lstRawData->horizontalScrollBar()->maximum(), 1000000);
  PaintRawText(*window);
  EXPECT_TRUE(TMsgDlg::Calls().empty());
  delete window;
  EXPECT_EQ(HomeListing(home), before);
}

TEST(HostileFilesWindow, MegabyteLinesNulBytesAndInvalidUtf8AreListedAsErrors) {
  TestHome home;
  const std::string path = home.Path("survey\xff\xfe.kvl");
  std::string text = kRecord + "\r\n";
  text += "$KVMGD," + std::string(kMiB, '5') + "\r\n";
  text += std::string("$KVMGD,+00\0" "42,4418.000,N,06318.000,W,25.3,78.4", 46) + "\r\n";
  text += kRecord.substr(0, 44) + "\xc3\x28\r\n" + kRecord + "\r\n";
  testing::WriteFileBytes(path, text);
  const auto before = HomeListing(home);

  QPointer<TfrmFile> window = OpenFile(path);
  ASSERT_NE(window->Document(), nullptr);
  EXPECT_EQ(window->Document()->ValidCount(), 2u);
  EXPECT_EQ(window->lblQtdErrors->text(), "3");
  EXPECT_TRUE(window->btnErros->isEnabled());
  EXPECT_EQ(window->PainelGrid1->GetCell(2, 2), "5");
  PaintRawText(*window);
  window->PainelGrid1->grab();
  EXPECT_TRUE(TMsgDlg::Calls().empty());
  EXPECT_EQ(testing::ReadFileBytes(path), text);
  delete window;
  EXPECT_EQ(HomeListing(home), before);
  fs::remove(path);  // the temporary folder cannot remove a name that is no UTF-8
}

TEST(HostileFilesWindow, AFolderOrAFifoCannotBeReadAndSaysSo) {
  TestHome home;
  fs::create_directory(home.Path("folder.kvl"));
  ASSERT_EQ(::mkfifo(home.Path("fifo.kvl").c_str(), 0644), 0);
  const auto before = HomeListing(home);
  for (const std::string name : {"folder.kvl", "fifo.kvl"}) {
    SCOPED_TRACE(name);
    TMsgDlg::ClearCalls();
    QPointer<TfrmFile> window = OpenFile(home.Path(name));
    ASSERT_NE(window->Document(), nullptr);
    EXPECT_EQ(window->Document()->Status(), LoadStatus::Unreadable);
    ASSERT_EQ(TMsgDlg::Calls().size(), 1u);
    EXPECT_EQ(TMsgDlg::Calls()[0].Caption, "Error");
    EXPECT_EQ(TMsgDlg::Calls()[0].Mensagem, QString::fromStdString("Couldn't read the file " + home.Path(name) + "."));
    EXPECT_EQ(window->lstRawData->LineCount(), 0u);
    delete window;
  }
  EXPECT_EQ(HomeListing(home), before);
}

TEST(HostileFilesWindow, APictureThatIsAFolderOrAFifoIsAnErrorAtOnce) {
  TestHome home;
  const std::string picture = home.Path("Lib/Brenthal.jpg");
  for (const bool fifo : {false, true}) {
    fs::remove_all(picture);
    if (fifo) ASSERT_EQ(::mkfifo(picture.c_str(), 0644), 0);
    else fs::create_directory(picture);
    // Opening the FIFO would wait for a writer forever.
    EXPECT_THROW(LoadJpegImage(picture), JpegError);
  }
}

// ---- Start-up with broken settings files ----

// A way to break a settings file, made from its good text; a folder or a
// FIFO replaces the file.
struct Breakage {
  const char* name;
  std::function<std::string(const std::string& good)> bytes;
  mode_t special = 0;  // S_IFDIR or S_IFIFO
};

const std::vector<Breakage>& Breakages() {
  static const std::vector<Breakage> breakages = {
      {"truncated", [](const std::string& good) { return good.substr(0, good.size() / 2 + 7); }},
      {"empty", [](const std::string&) { return std::string(); }},
      {"extra lines", [](const std::string& good) { return good + std::string(200000, '\n'); }},
      {"line of 1 MB", [](const std::string& good) { return EncodeLine(std::string(1000000, '7')) + "\r\n" + good; }},
      {"file of 2 MiB", [](const std::string& good) { return good + std::string(2 * kMiB, 'x'); }},
      {"binary", [](const std::string&) { return testing::NoiseBytes(4096); }},
      {"folder", nullptr, S_IFDIR},
      {"fifo", nullptr, S_IFIFO},
  };
  return breakages;
}

// Every file of Lib/ with its contents.
std::vector<std::string> LibContents(const TestHome& home) {
  std::vector<std::string> entries;
  for (const auto& entry : fs::directory_iterator(home.Path("Lib")))
    entries.push_back(entry.path().filename().string() + " " +
                      (entry.is_regular_file() ? testing::ReadFileBytes(entry.path().string()) : "-"));
  std::sort(entries.begin(), entries.end());
  return entries;
}

void Break(const TestHome& home, const std::string& file, const Breakage& breakage) {
  const std::string path = home.Path("Lib/" + file);
  const std::string good = testing::ReadFileBytes(path);
  fs::remove(path);
  if (breakage.special == S_IFDIR) fs::create_directory(path);
  else if (breakage.special == S_IFIFO) ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
  else testing::WriteFileBytes(path, breakage.bytes(good));
}

const QString kSerialLost = "Couldn't open the configuration file.\rAll the information in Serial Port was lost.";

// Starts the main window with one settings file broken; returns the captions
// of the messages it showed.
QStringList StartWith(const std::string& file, const Breakage& breakage, int& recentEntries) {
  TestHome home;
  WriteSettingsValues(home.Path("Lib/Files.ega"), {"/data/a.kvl", "/data/b.kvs"});
  Break(home, file, breakage);
  const auto before = LibContents(home);
  QStringList shown;
  {
    TfrmMain main;
    EXPECT_EQ(main.windowTitle(), "Tessaly - Pro (Beta) 1.0.5.3");
    recentEntries = static_cast<int>(main.ppmLastFiles->actions().size());
    for (const TMsgDlg::Call& call : TMsgDlg::Calls()) {
      shown << call.Caption;
      if (call.Caption == "Warning") {
        EXPECT_EQ(call.Mensagem, kSerialLost);
      } else {
        EXPECT_TRUE(call.Mensagem.startsWith("There was an error.\r\rError: SettingsError\r"));
        EXPECT_LT(call.Mensagem.size(), 800);
      }
    }
  }
  EXPECT_EQ(LibContents(home), before);
  return shown;
}

TEST(HostileFilesWindow, StartUpWithABrokenSerialViewOrMapDatumFileGivesItsMessage) {
  for (const auto& [file, message] : {std::pair<std::string, QString>{"SerialPort.ega", "Warning"},
                                      {"View.ega", "Error"},
                                      {"UTM.ega", "Error"}}) {
    for (const Breakage& breakage : Breakages()) {
      SCOPED_TRACE(file + ": " + breakage.name);
      int recent = 0;
      const QStringList shown = StartWith(file, breakage, recent);
      // Lines after the values are not read.
      const bool readable = std::string(breakage.name) == "extra lines";
      EXPECT_EQ(shown, readable ? QStringList() : QStringList({message}));
      EXPECT_EQ(recent, 2);
    }
  }
}

TEST(HostileFilesWindow, StartUpWithABrokenRecentFilesListShowsAtMostEightEntries) {
  for (const Breakage& breakage : Breakages()) {
    SCOPED_TRACE(breakage.name);
    int recent = 0;
    const QStringList shown = StartWith("Files.ega", breakage, recent);
    const bool refused = breakage.special != 0 || std::string(breakage.name) == "file of 2 MiB";
    EXPECT_EQ(shown, refused ? QStringList({"Error"}) : QStringList());
    EXPECT_LE(recent, 8);
  }
}

}  // namespace
}  // namespace tessaly
