// Every settings file of Lib/ truncated, empty, over-long (extra lines, a line
// of 1 MB, a file of 2 MiB), binary, a folder or a FIFO: each reader gives a
// value within its range or a SettingsError with a short message, returns at
// once, and writes nothing.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/RecentFiles.h"
#include "core/SettingsFile.h"
#include "core/SettingsLine.h"
#include "core/SettingsStore.h"
#include "support/FileBytes.h"
#include "support/NoiseBytes.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;

std::string Scrambled(const std::vector<std::string>& values) {
  std::string text;
  for (const std::string& value : values) text += EncodeLine(value) + "\r\n";
  return text;
}

// The ways a settings file is broken, each made from the file's good text.
struct Breakage {
  const char* name;
  std::function<std::string(const std::string& good)> make;
};

const std::vector<Breakage>& Breakages() {
  static const std::vector<Breakage> breakages = {
      {"truncated", [](const std::string& good) { return good.substr(0, good.size() / 2 + 7); }},
      {"empty", [](const std::string&) { return std::string(); }},
      {"extra lines", [](const std::string& good) { return good + Scrambled(std::vector<std::string>(5000, "9")); }},
      {"line of 1 MB", [](const std::string& good) { return Scrambled({std::string(1000000, '7')}) + good; }},
      {"file of 2 MiB", [](const std::string& good) { return good + std::string(2 << 20, 'x'); }},
      {"binary", [](const std::string&) { return testing::NoiseBytes(4096); }},
  };
  return breakages;
}

// Whether a read gave a value or a SettingsError with a message short enough
// to show; nothing else may escape and no file may appear or change.
enum class Outcome { Read, Refused };

class SettingsHostileFiles : public ::testing::Test {
 protected:
  template <typename Read>
  Outcome Run(const std::string& file, Read&& read) {
    const std::string path = dir_.Lib(file);
    const auto before = Listing();
    Outcome outcome = Outcome::Read;
    try {
      read(path);
    } catch (const SettingsError& error) {
      outcome = Outcome::Refused;
      EXPECT_GT(std::strlen(error.what()), 0u);
      EXPECT_LE(std::strlen(error.what()), 400u) << error.what();
    }
    EXPECT_EQ(Listing(), before) << file;
    return outcome;
  }

  std::vector<std::string> Listing() const {
    std::vector<std::string> entries;
    for (const auto& entry : fs::directory_iterator(dir_.Lib("")))
      entries.push_back(entry.path().filename().string() + " " +
                        (entry.is_regular_file() ? ReadBytes(entry.path().string()) : std::string("-")));
    std::sort(entries.begin(), entries.end());
    return entries;
  }

  void Write(const std::string& file, const std::string& bytes) { testing::WriteBytes(dir_.Lib(file), bytes); }

  testing::TempHome dir_;
};

TEST_F(SettingsHostileFiles, BrokenSerialViewAndMapDatumFilesAreRefusedOrReadWithinRange) {
  SerialSettings serial;
  serial.Baudrate = 9600;
  WriteSerialSettings(dir_.Lib("SerialPort.ega"), serial);
  WriteViewSettings(dir_.Lib("View.ega"), ViewSettings{});
  WriteMapDatum(dir_.Lib("UTM.ega"), 5);
  const std::string goodSerial = ReadBytes(dir_.Lib("SerialPort.ega")), goodView = ReadBytes(dir_.Lib("View.ega")),
                    goodDatum = ReadBytes(dir_.Lib("UTM.ega"));
  for (const Breakage& breakage : Breakages()) {
    SCOPED_TRACE(breakage.name);
    // Only extra lines after the values leave the file readable.
    const Outcome expected = std::string(breakage.name) == "extra lines" ? Outcome::Read : Outcome::Refused;
    Write("SerialPort.ega", breakage.make(goodSerial));
    SerialSettings read;
    EXPECT_EQ(Run("SerialPort.ega", [&](const std::string& path) { ReadSerialSettings(path, read); }), expected);
    if (expected == Outcome::Read) {
      EXPECT_EQ(read, serial);
    }
    Write("View.ega", breakage.make(goodView));
    ViewSettings view;
    EXPECT_EQ(Run("View.ega", [&](const std::string& path) { ReadViewSettings(path, view); }), expected);
    Write("UTM.ega", breakage.make(goodDatum));
    std::int32_t datum = -1;
    EXPECT_EQ(Run("UTM.ega", [&](const std::string& path) { datum = ReadMapDatum(path); }), expected);
    if (expected == Outcome::Read) {
      EXPECT_EQ(datum, 5);
    }
  }
}

TEST_F(SettingsHostileFiles, ABrokenRecentFilesListGivesAtMostEightPaths) {
  const std::vector<std::string> paths = {"/data/a.kvl", "/data/b.kvs", "/data/c.zpx"};
  const std::string good = Scrambled(paths);
  for (const Breakage& breakage : Breakages()) {
    SCOPED_TRACE(breakage.name);
    Write("Files.ega", breakage.make(good));
    std::vector<std::string> read;
    const Outcome outcome = Run("Files.ega", [&](const std::string& path) { read = ReadRecentFiles(path); });
    EXPECT_EQ(outcome, std::string(breakage.name) == "file of 2 MiB" ? Outcome::Refused : Outcome::Read);
    EXPECT_LE(read.size(), kMaxRecentFiles);
    if (std::string(breakage.name) == "extra lines") {
      EXPECT_EQ(read.size(), kMaxRecentFiles);
    }
    if (std::string(breakage.name) == "truncated") {
      ASSERT_FALSE(read.empty());
      EXPECT_EQ(read[0], paths[0]);
    }
  }
}

TEST_F(SettingsHostileFiles, ABrokenDownloadPathIsItsFirstLineOrRefused) {
  for (const Breakage& breakage : Breakages()) {
    SCOPED_TRACE(breakage.name);
    const std::string bytes = breakage.make("/home/survey/downloads\r\n");
    Write("Download.ega", bytes);
    std::optional<std::string> read;
    const Outcome outcome = Run("Download.ega", [&](const std::string& path) { read = ReadDownloadPath(path); });
    if (bytes.size() > kMaxSettingsFileBytes) {
      EXPECT_EQ(outcome, Outcome::Refused);
      continue;
    }
    ASSERT_EQ(outcome, Outcome::Read);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, bytes.substr(0, bytes.find_first_of("\r\n")));
  }
}

TEST_F(SettingsHostileFiles, AFolderOrAFifoInPlaceOfASettingsFileIsRefusedAtOnce) {
  const std::vector<std::pair<std::string, std::function<void(const std::string&)>>> readers = {
      {"SerialPort.ega", [](const std::string& path) { SerialSettings s; ReadSerialSettings(path, s); }},
      {"View.ega", [](const std::string& path) { ViewSettings v; ReadViewSettings(path, v); }},
      {"UTM.ega", [](const std::string& path) { ReadMapDatum(path); }},
      {"Files.ega", [](const std::string& path) { ReadRecentFiles(path); }},
      {"Download.ega", [](const std::string& path) { ReadDownloadPath(path); }},
  };
  for (const bool fifo : {false, true}) {
    for (const auto& [file, read] : readers) {
      SCOPED_TRACE(file + (fifo ? " as a FIFO" : " as a folder"));
      const std::string path = dir_.Lib(file);
      fs::remove_all(path);
      if (fifo) ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
      else fs::create_directory(path);
      // A reader that opened the FIFO would wait here for a writer forever.
      EXPECT_EQ(Run(file, read), Outcome::Refused);
    }
  }
}

}  // namespace
}  // namespace tessaly
