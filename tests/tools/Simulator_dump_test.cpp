// tessaly-sim dump through a pseudo-terminal: what the download receives in
// each form, with and without the end line.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/GridLayout.h"
#include "core/LogDocument.h"
#include "core/LogKind.h"
#include "support/Simulator.h"

namespace tessaly::simtest {
namespace {

const std::string kEndLine = "** End of data set **";

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// The download's reformatting of a Data String transmission: every CR and LF
// out, then line breaks before each sign, heading and the end line
// (case-sensitive replacements, in this order).
std::string FormatDataString(std::string text) {
  const std::pair<std::string_view, std::string_view> rules[] = {
      {"\r", ""},
      {"\n", ""},
      {"+", "\r\n+"},
      {"-", "\r\n-"},
      {"Polarise", "\r\n\r\n\tPolarise"},
      {"Fish", "\r\n\r\n\t\tFish"},
      {"No", "\r\n\r\nNo"},
      {"Dev", "\r\n\r\nDev"},
      {"** End", "\r\n** End"},
  };
  for (const auto& [from, to] : rules) text = ReplaceAll(std::move(text), from, to);
  return text;
}

TEST(FormatDataStringRules, PutEachValueAndHeadingOnALineOfItsOwn) {
  EXPECT_EQ(FormatDataString("No. of entries: 2\r\nDev    lat\r\n+00042,a\r\n-00017,b\r\n** End of data set **\r\n"),
            "\r\n\r\nNo. of entries: 2\r\n\r\nDev    lat\r\n+00042,a\r\n-00017,b\r\n** End of data set **");
  EXPECT_EQ(FormatDataString("no dev+1"), "no dev\r\n+1");  // case matters
}

// The rows of a loaded log from the deviation on (the "#" and "RD#"
// columns count the file's lines, which the reformatting may change), and
// the first two lines (message and record) of every error entry.
std::string Records(const LogDocument& doc) {
  std::ostringstream text;
  for (std::size_t row = 1; row < doc.Cells().Rows(); ++row) {
    for (std::size_t col = kColDev; col < kColComment; ++col) text << doc.Cells().Cell(row, col) << ';';
    text << '\n';
  }
  std::istringstream errors(doc.ErrorListText());
  std::string line;
  for (int i = 0; std::getline(errors, line); ++i)
    if (i % 4 < 2) text << line << '\n';
  return text.str();
}

class SimDumpTest : public ::testing::Test {
 protected:
  // Runs `tessaly-sim dump` with the arguments and reads what it sends.
  std::string Dump(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"dump", "--baud", "460800", "--wait-open", "--sent", dir_.Path("sent.txt")});
    SimProcess sim(arguments, dir_.Path("stderr.txt"));
    const std::string device = sim.NextDevice();
    EXPECT_FALSE(device.empty()) << ReadBytes(dir_.Path("stderr.txt"));
    const Received received = ReadUntilHangup(device);
    EXPECT_TRUE(received.hungUp);
    EXPECT_EQ(sim.Wait(), 0) << ReadBytes(dir_.Path("stderr.txt"));
    EXPECT_EQ(BytesPerDevice(ReadSentReport(dir_.Path("sent.txt"))), std::vector<std::string>{received.bytes});
    return received.bytes;
  }

  std::string Opened(const std::string& path, LogDocument& doc) {
    EXPECT_EQ(doc.OpenLog(path, LoadOptions{}), LoadStatus::Loaded) << path;
    return Records(doc);
  }

  TempDir dir_;
};

TEST_F(SimDumpTest, ADataStringDumpReformattedIsTheLogItWasMadeFrom) {
  const std::string kvs = dir_.Path("set.kvs");
  Generate("--kind kvs --records 150 --seed 3", kvs);
  const std::string sent = Dump({kvs});
  EXPECT_TRUE(sent.ends_with("\r\n" + kEndLine + "\r\n"));
  EXPECT_EQ(FormatDataString(sent), ReadBytes(kvs));
}

// A record that lost its sign runs into the one before it once the line
// ends are gone, on the instrument as here; every other fault survives.
TEST_F(SimDumpTest, ADataStringDumpWithFaultsOpensAsTheSameRecords) {
  const std::string kvs = dir_.Path("faulty.kvs");
  Generate("--kind kvs --records 400 --bad-fraction 0.1 --seed 8 "
           "--faults degree-jump,depth-jump,garbled-minutes,truncated,blank",
           kvs);
  const std::string copy = dir_.Path("downloaded.txt");
  WriteBytes(copy, FormatDataString(Dump({"--split", "0.3", kvs})));

  const KindDetection detection = DetectLogKind(copy);
  ASSERT_EQ(detection.outcome, Recognition::Kind);
  EXPECT_EQ(detection.kind->fileExtType, ".KVS");
  LogDocument original, downloaded;
  const std::string records = Opened(kvs, original);
  EXPECT_EQ(Opened(copy, downloaded), records);
  EXPECT_GT(original.ValidCount(), 300u);
  EXPECT_GT(original.ErrorCount(), 10u);
  EXPECT_EQ(downloaded.ErrorCount(), original.ErrorCount());
  EXPECT_GT(CountEvents(ReadSentReport(dir_.Path("sent.txt")), 'S'), 10u);
}

TEST_F(SimDumpTest, AGraphicDumpIsTheFileByteForByte) {
  for (const char* form : {"fixed", "comma"}) {
    const std::string kvg = dir_.Path(std::string(form) + ".kvg");
    Generate(std::string("--kind kvg --records 120 --bad-fraction 0.05 --form ") + form, kvg);
    EXPECT_EQ(Dump({"--split", "0.5", kvg}), ReadBytes(kvg)) << form;
  }
}

TEST_F(SimDumpTest, WithoutTheEndLineTheSetStopsAfterItsLastRecord) {
  const std::string kvg = dir_.Path("set.kvg");
  Generate("--kind kvg --records 40", kvg);
  const std::string file = ReadBytes(kvg);
  EXPECT_EQ(Dump({"--no-end-line", kvg}), file.substr(0, file.size() - kEndLine.size() - 2));

  const std::string kvs = dir_.Path("set.kvs");
  Generate("--kind kvs --records 40", kvs);
  const std::string sent = Dump({"--no-end-line", kvs});
  EXPECT_EQ(sent.find("** End"), std::string::npos);
  EXPECT_EQ(FormatDataString(sent + kEndLine), ReadBytes(kvs));
}

TEST_F(SimDumpTest, ASetThatLostItsEndLineIsSentWithOne) {
  const std::string kvg = dir_.Path("cut.kvg");
  Generate("--kind kvg --records 30", kvg);
  std::string file = ReadBytes(kvg);
  file.resize(file.size() - kEndLine.size() - 2);
  WriteBytes(kvg, file);
  EXPECT_EQ(Dump({"--form", "graphic", kvg}), file + kEndLine + "\r\n");
}

}  // namespace
}  // namespace tessaly::simtest
