// What the simulator reads from a file to send, and how it reports it.
#include "tools/sim/DataSet.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/Simulator.h"
#include "tools/sim/SentReport.h"

namespace tessaly::sim {
namespace {

using simtest::TempDir;
using simtest::WriteBytes;
using Lines = std::vector<std::string>;

const std::string kKvl1 = "$KVMGD,+00042,4418.000,N,06318.000,W,25.3,78.4";
const std::string kKvl2 = "$KVMGD,-00017,4418.001,N,06318.000,W,25.4,78.6";
const std::string kKvsHead = "\r\n\r\nNo. of entries: 2\r\n\r\nDev    lat        long\r\n";
const std::string kKvs1 = "+00042,44 18.000N 063 18.000W,25.3,78.4";
const std::string kKvs2 = "-00017,44 18.001N 063 18.000W,25.4,78.6";

class DataSetTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = dir_.Path(name);
    WriteBytes(path, bytes);
    return path;
  }
  TempDir dir_;
};

TEST_F(DataSetTest, StreamSendsEveryLineOfALogWithCrLfWhateverItsLineEnds) {
  const Lines expected{kKvl1 + "\r\n", kKvl2 + "\r\n"};
  EXPECT_EQ(StreamRecords(Write("a.kvl", kKvl1 + "\r\n" + kKvl2 + "\r\n")), expected);
  EXPECT_EQ(StreamRecords(Write("b.kvl", kKvl1 + "\n\n" + kKvl2)), expected);
  EXPECT_EQ(StreamRecords(Write("c.txt", "anything\rat all\r\n")), (Lines{"anything\r\n", "at all\r\n"}));
}

TEST_F(DataSetTest, StreamSendsOnlyTheRecordsBetweenHeadingAndEndLine) {
  const std::string path = Write("d.kvs", kKvsHead + kKvs1 + "\r\n\r\n" + kKvs2 + "\r\n** End of data set **");
  EXPECT_EQ(StreamRecords(path), (Lines{kKvs1 + "\r\n", kKvs2 + "\r\n"}));
}

TEST_F(DataSetTest, NothingToSendIsAnError) {
  EXPECT_THROW(StreamRecords(Write("e.kvl", "\r\n\r\n")), std::runtime_error);
  EXPECT_THROW(StreamRecords(Write("f.kvs", kKvsHead + "** End of data set **")), std::runtime_error);
  try {
    StreamRecords(dir_.Path("missing.kvl"));
    ADD_FAILURE() << "a missing file was read";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("missing.kvl"), std::string::npos) << error.what();
  }
}

TEST_F(DataSetTest, DataStringDumpSendsTheLinesWithoutBlanksThenTheEndLine) {
  const std::string path = Write("g.kvs", kKvsHead + kKvs1 + "\r\n" + kKvs2 + "\r\n** End of data set **");
  EXPECT_EQ(DetectDumpForm(path), DumpForm::DataString);
  const Lines body{"No. of entries: 2\r\n", "Dev    lat        long\r\n", kKvs1 + "\r\n", kKvs2 + "\r\n"};
  Lines withEnd = body;
  withEnd.push_back("** End of data set **\r\n");
  EXPECT_EQ(DumpLines(path, DumpForm::DataString, true), withEnd);
  EXPECT_EQ(DumpLines(path, DumpForm::DataString, false), body);
  // A set that lost its end line still ends with one, unless asked not to.
  const std::string cut = Write("h.kvs", kKvsHead + kKvs1 + "\r\n" + kKvs2);
  EXPECT_EQ(DumpLines(cut, DumpForm::DataString, true), withEnd);
}

TEST_F(DataSetTest, GraphicDumpSendsTheFileBytesUpToTheEndLine) {
  const std::string head = "KV7100 Graphic Magnetometer\r\n\r\nLat,Min,Long,Min,Dev\r\n";
  const std::string data = "44,18.000N,063,18.000W,+00042\r\n44,18.001N,063,18.000W,-00017\n";
  const std::string path = Write("i.kvg", head + data + "** End of data set **\r\ntrailing noise\r\n");
  EXPECT_EQ(DetectDumpForm(path), DumpForm::Graphic);
  const Lines lines = DumpLines(path, DumpForm::Graphic, true);
  std::string sent;
  for (const std::string& line : lines) sent += line;
  EXPECT_EQ(sent, head + data + "** End of data set **\r\n");
  EXPECT_EQ(lines.size(), 6u);
  sent.clear();
  for (const std::string& line : DumpLines(path, DumpForm::Graphic, false)) sent += line;
  EXPECT_EQ(sent, head + data);
}

TEST(SentReportText, EscapesLineEndsBackslashesAndUnprintableBytes) {
  EXPECT_EQ(EscapeBytes("$MGD,+01234\r\n"), "$MGD,+01234\\r\\n");
  EXPECT_EQ(EscapeBytes(std::string("a\\b\t\0\x7f\xff ~", 9)), "a\\\\b\\t\\x00\\x7f\\xff ~");
  const std::string all = [] {
    std::string bytes;
    for (int c = 0; c < 256; ++c) bytes += static_cast<char>(c);
    return bytes;
  }();
  const std::string text = EscapeBytes(all);
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(UnescapeBytes(text), all);
  EXPECT_EQ(EventBytes('S', "3,9 $MGD\\r\\n"), "$MGD\r\n");
  EXPECT_EQ(EventBytes('G', "\\x01z"), "\x01z");
  EXPECT_EQ(EventBytes('P', "250"), "");
}

TEST(SentReportText, WritesOneLinePerEventInOrder) {
  TempDir dir;
  {
    SentReport report(dir.Path("sent.txt"));
    report.Device("/dev/pts/7");
    report.Garbage("\x01z");
    report.Record("$MGD,+01234\r\n");
    report.SplitRecord("$MGD,-00001\r\n", {3, 9});
    report.Burst(2);
    report.Pause(250);
    report.Hangup(2000, 0);
    report.Interrupted("$MG");
    report.End(std::nullopt);
  }
  EXPECT_EQ(simtest::ReadBytes(dir.Path("sent.txt")),
            "D /dev/pts/7\nG \\x01z\nR $MGD,+01234\\r\\n\nS 3,9 $MGD,-00001\\r\\n\nB 2\nP 250\nH 2000 0\n"
            "I $MG\nE ?\n");
  EXPECT_THROW(SentReport(dir.Path("no/such/folder/sent.txt")), std::runtime_error);
}

}  // namespace
}  // namespace tessaly::sim
