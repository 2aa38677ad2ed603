// The main window starting with every settings file of Lib/ truncated,
// empty, over-long, binary, a folder or a FIFO: each gives its start-up
// message, nothing crashes or waits, and no settings file is written.
#include "app/untMain.h"

#include <QMenu>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/SettingsFile.h"
#include "core/SettingsLine.h"
#include "support/FileBytes.h"
#include "support/NoiseBytes.h"
#include "support/ShellTestHome.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMiB = std::size_t{1} << 20;

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
std::vector<std::string> LibContents(const testing::ShellTestHome& home) {
  std::vector<std::string> entries;
  for (const auto& entry : fs::directory_iterator(home.Path("Lib")))
    entries.push_back(entry.path().filename().string() + " " +
                      (entry.is_regular_file() ? testing::ReadBytes(entry.path().string()) : "-"));
  std::sort(entries.begin(), entries.end());
  return entries;
}

void Break(const testing::ShellTestHome& home, const std::string& file, const Breakage& breakage) {
  const std::string path = home.Path("Lib/" + file);
  const std::string good = testing::ReadBytes(path);
  fs::remove(path);
  if (breakage.special == S_IFDIR) fs::create_directory(path);
  else if (breakage.special == S_IFIFO) ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
  else testing::WriteBytes(path, breakage.bytes(good));
}

const QString kSerialLost = "Couldn't open the configuration file.\rAll the information in Serial Port was lost.";

// Starts the main window with one settings file broken; returns the captions
// of the messages it showed.
QStringList StartWith(const std::string& file, const Breakage& breakage, int& recentEntries) {
  testing::ShellTestHome home(testing::TempHome::Content::BuildDefaults);
  WriteSettingsValues(home.Path("Lib/Files.ega"), {"/data/a.kvl", "/data/b.kvs"});
  Break(home, file, breakage);
  const auto before = LibContents(home);
  QStringList shown;
  {
    TfrmMain main;
    EXPECT_EQ(main.windowTitle(), "Tessaly - Pro (Beta) " TESSALY_PROJECT_VERSION);
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

TEST(untMainHostileSettings, StartUpWithABrokenSerialViewOrMapDatumFileGivesItsMessage) {
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

TEST(untMainHostileSettings, StartUpWithABrokenRecentFilesListShowsAtMostEightEntries) {
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
