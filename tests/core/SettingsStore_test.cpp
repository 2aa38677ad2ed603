#include "core/SettingsStore.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/SettingsFile.h"
#include "core/SettingsLine.h"
#include "support/FileBytes.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

class SettingsStore : public ::testing::Test {
 protected:
  void WriteRaw(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  std::string Encoded(const std::vector<std::string>& values, const std::string& eol) {
    std::string bytes;
    for (const auto& v : values) bytes += EncodeLine(v) + eol;
    return bytes;
  }
  testing::TempHome dir_;
};

SerialSettings Example9600() {
  SerialSettings s;
  s.Baudrate = 9600;
  s.Parity = SerialParity::None;
  s.Databits = 8;
  s.PortNum = 2;
  return s;
}

TEST_F(SettingsStore, SerialFileHoldsTheTenValuesInOrder) {
  const auto path = dir_.Lib("SerialPort.ega");
  WriteSerialSettings(path, Example9600());
  EXPECT_EQ(ReadSettingsValues(path), (std::vector<std::string>{"14", "4096", "2048", "1000", "1000", "1024",
                                                                  "1024", "8", "2", "2"}));
  SerialSettings back;
  ReadSerialSettings(path, back);
  EXPECT_EQ(back, Example9600());
}

TEST_F(SettingsStore, SerialFileLinesEndWithCrLf) {
  const auto path = dir_.Lib("SerialPort.ega");
  WriteSerialSettings(path, SerialSettings{});
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::size_t crlf = 0;
  for (std::size_t p = bytes.find("\r\n"); p != std::string::npos; p = bytes.find("\r\n", p + 2)) ++crlf;
  EXPECT_EQ(crlf, 10u);
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
}

TEST_F(SettingsStore, SerialReaderAcceptsLfAndCrLineEnds) {
  const std::vector<std::string> values{"5", "1", "2", "3", "4", "5", "6", "7", "3", "3"};
  for (const std::string eol : {"\n", "\r", "\r\n"}) {
    const auto path = dir_.Lib("SerialPort.ega");
    WriteRaw(path, Encoded(values, eol));
    SerialSettings s;
    ReadSerialSettings(path, s);
    EXPECT_EQ(s.Baudrate, 19200);
    EXPECT_EQ(s.XonLimit, 6);
    EXPECT_EQ(s.Databits, 7);
    EXPECT_EQ(s.PortNum, 3);
    EXPECT_EQ(s.Parity, SerialParity::Odd);
  }
}

TEST_F(SettingsStore, SerialReaderKeepsValuesAppliedBeforeABadLine) {
  const auto path = dir_.Lib("SerialPort.ega");
  WriteRaw(path, Encoded({"14", "8192", "4096", "abc", "1", "1", "1", "8", "1", "2"}, "\r\n"));
  SerialSettings s;
  try {
    ReadSerialSettings(path, s);
    FAIL() << "no error";
  } catch (const SettingsError& e) {
    EXPECT_NE(std::string(e.what()).find("line 4"), std::string::npos) << e.what();
  }
  EXPECT_EQ(s.Baudrate, 9600);
  EXPECT_EQ(s.ReadSize, 8192);
  EXPECT_EQ(s.WriteSize, 4096);
  EXPECT_EQ(s.ReadTimeout, 1000);  // design value: not applied
  EXPECT_EQ(s.PortNum, 1);
}

TEST_F(SettingsStore, SerialReaderRefusesValuesOutsideTheirLists) {
  const auto path = dir_.Lib("SerialPort.ega");
  for (const auto& bad : std::vector<std::vector<std::string>>{
           {"15", "1", "1", "1", "1", "1", "1", "8", "1", "2"},
           {"0", "1", "1", "1", "1", "1", "1", "9", "1", "2"},
           {"0", "1", "1", "1", "1", "1", "1", "8", "1", "5"},
           {"0", "1", "1", "1", "1", "1", "1", "8", "1"}}) {
    WriteRaw(path, Encoded(bad, "\r\n"));
    SerialSettings s;
    EXPECT_THROW(ReadSerialSettings(path, s), SettingsError);
  }
}

TEST_F(SettingsStore, MissingOrBinaryFilesGiveAnErrorAndChangeNothingUnread) {
  SerialSettings s;
  EXPECT_THROW(ReadSerialSettings(dir_.Lib("absent.ega"), s), SettingsError);
  EXPECT_EQ(s, SerialSettings{});
  const auto path = dir_.Lib("SerialPort.ega");
  WriteRaw(path, std::string("\x00\xff\x10garbage\n\x01", 12));
  EXPECT_THROW(ReadSerialSettings(path, s), SettingsError);
  EXPECT_EQ(s, SerialSettings{});
}

TEST_F(SettingsStore, WritingAnUnlistedBaudRateIsRefused) {
  SerialSettings s;
  s.Baudrate = 31250;
  EXPECT_THROW(WriteSerialSettings(dir_.Lib("SerialPort.ega"), s), SettingsError);
}

ViewSettings SampleView() {
  ViewSettings v;
  v.DevLimit = 500;
  v.NegDevColor = 0xDDDDFF;
  v.PosDevColor = 0xDDFFDD;
  v.LineColor = 0xFF0000;
  v.LineWidth = 1;
  v.GridColor = 0x808080;
  v.PointColor = 0x800000;
  v.HighlightColor = 0x0000FF;
  v.PointSize = 3;
  v.PointsVisible = true;
  v.SamplesPerPage = 52;
  v.MaxDeviation = 50000;
  v.GraphBackground = 0xFF00000F;
  v.InitialDevRange = 82;
  v.DevIncrement = 3;
  v.PointIncrement = 1;
  return v;
}

TEST_F(SettingsStore, ViewFileWritesNamesHexAndBooleansAndReadsBack) {
  const auto path = dir_.Lib("View.ega");
  WriteViewSettings(path, SampleView());
  EXPECT_EQ(ReadSettingsValues(path),
            (std::vector<std::string>{"500", "$00DDDDFF", "$00DDFFDD", "clBlue", "1", "clGray", "clNavy", "clRed",
                                      "3", "True", "52", "50000", "clBtnFace", "82", "3", "1"}));
  ViewSettings back;
  ReadViewSettings(path, back);
  EXPECT_TRUE(back == SampleView());
}

TEST_F(SettingsStore, ViewBooleanIsTrueOnlyForTrue) {
  const auto path = dir_.Lib("View.ega");
  WriteRaw(path, Encoded({"1", "clRed", "clRed", "clRed", "1", "clRed", "clRed", "clRed", "1", "true", "1", "1",
                          "clRed", "1", "1", "1"}, "\r\n"));
  ViewSettings v;
  v.PointsVisible = true;
  ReadViewSettings(path, v);
  EXPECT_FALSE(v.PointsVisible);
}

TEST_F(SettingsStore, ViewReaderStopsAtABadColourKeepingEarlierValues) {
  const auto path = dir_.Lib("View.ega");
  WriteRaw(path, Encoded({"700", "clRed", "clPink"}, "\r\n"));
  ViewSettings v;
  try {
    ReadViewSettings(path, v);
    FAIL() << "no error";
  } catch (const SettingsError& e) {
    EXPECT_NE(std::string(e.what()).find("clPink"), std::string::npos) << e.what();
  }
  EXPECT_EQ(v.DevLimit, 700);
  EXPECT_EQ(v.NegDevColor, 0x0000FFu);
  EXPECT_EQ(v.PosDevColor, 0u);
}

TEST_F(SettingsStore, MapDatumRoundTripsAndRefusesOutOfRange) {
  const auto path = dir_.Lib("UTM.ega");
  WriteMapDatum(path, 22);
  EXPECT_EQ(ReadMapDatum(path), 22);
  WriteMapDatum(path, 0);
  EXPECT_EQ(ReadMapDatum(path), 0);
  for (const std::string bad : {"23", "-1", "x", ""}) {
    WriteRaw(path, Encoded({bad}, "\r\n"));
    EXPECT_THROW(ReadMapDatum(path), SettingsError) << bad;
  }
  EXPECT_THROW(ReadMapDatum(dir_.Lib("none.ega")), SettingsError);
}

TEST_F(SettingsStore, DownloadPathIsPlainTextAndOptional) {
  const auto path = dir_.Lib("Download.ega");
  EXPECT_FALSE(ReadDownloadPath(path));
  WriteDownloadPath(path, "/data/Été/dump.kvs");
  EXPECT_EQ(ReadDownloadPath(path), "/data/Été/dump.kvs");
  WriteRaw(path, "");
  EXPECT_EQ(ReadDownloadPath(path), "");
}

// Paths that would split the one line, or would read as escaped, survive;
// every other path is stored exactly as it is, on one line.
TEST_F(SettingsStore, DownloadPathKeepsOneLineWhateverItsBytes) {
  const auto path = dir_.Lib("Download.ega");
  WriteDownloadPath(path, "/data/a!b/dump.kvs");
  EXPECT_EQ(testing::ReadBytes(path), "/data/a!b/dump.kvs\r\n");
  for (const std::string odd : {"/data/line\nbreak.kvs", "/data/cr\r.kvs", "!start.kvs", "/x/!0\r\n!!.kvs", "!"}) {
    WriteDownloadPath(path, odd);
    const std::string stored = testing::ReadBytes(path);
    EXPECT_EQ(stored.find_first_of("\r\n"), stored.size() - 2) << stored;
    EXPECT_EQ(stored.front(), kEscapedLineMarker);
    EXPECT_EQ(ReadDownloadPath(path), odd);
  }
}

TEST(SettingsInt, ParsesDecimalIntegersOnly) {
  EXPECT_EQ(ParseSettingsInt("42", "x"), 42);
  EXPECT_EQ(ParseSettingsInt(" -7 ", "x"), -7);
  EXPECT_EQ(ParseSettingsInt("+7", "x"), 7);
  for (const char* bad : {"", " ", "4.0", "1e3", "+-1", "99999999999", "12abc", "$10"})
    EXPECT_THROW(ParseSettingsInt(bad, "x"), SettingsError) << bad;
}

}  // namespace
}  // namespace tessaly
