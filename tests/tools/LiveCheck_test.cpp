// The check of a live log against what was sent: hand-written --sent reports
// and faults lists, and hand-written logs that a correct session would or
// would not write.
#include "tools/live/LiveCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/FileBytes.h"
#include "support/TempHome.h"

namespace tessaly::live {
namespace {

using testing::WriteBytes;

// Record n as the instrument sends it, and as the log holds it.
std::string Record(int n) { return "$KVMGD,+0000" + std::to_string(n) + ",4418.000,N,06318.000,W,25.3,78.4"; }
std::string Sent(int n) { return Record(n) + "\\r\\n"; }

// Three devices: the first with garbage, a broken record (line 2), a split
// one and a burst, drained at its hang-up; the second hung up in flight
// (lines 7 and 8 whole, line 9 cut); the third ends with 30 bytes unread
// (the last part of line 11).
const std::string kReport =
    "D /dev/pts/4\n"
    "L 1\nR " + Sent(1) + "\n"
    "G x$\\r\n"
    "L 2\nX 10 $KVMGD,+00\\r\\n002,4418.000,N,06318.000,W,25.3,78.4\\r\\n\n"
    "L 3\nS 5,20 " + Sent(3) + "\n"
    "B 2\nL 4\nR " + Sent(4) + "\nL 5\nR " + Sent(5) + "\n"
    "H 1500 0\n"
    "D /dev/pts/5\n"
    "L 6\nR " + Sent(6) + "\n"
    "F 2 40\nL 7\nR " + Sent(7) + "\nL 8\nR " + Sent(8) + "\nL 9\nC $KVMGD,+00009,44\n"
    "H 1500 ?\n"
    "D /dev/pts/6\n"
    "L 10\nR " + Sent(10) + "\nL 11\nR " + Sent(11) + "\n"
    "E 30\n";

class LiveCheckTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = home_.Path(name);
    WriteBytes(path, bytes);
    return path;
  }
  // A log of the given records, each followed by CR LF.
  std::string Log(const std::vector<int>& records) {
    std::string bytes;
    for (const int n : records) bytes += Record(n) + "\r\n";
    return Write("log.kvl", bytes);
  }
  std::vector<ExpectedLine> Expected(const FaultyLines& faulty = {{4, 0}}) {
    return ExpectedLog(SentRecordsPerDevice(Write("sent.txt", kReport)), faulty);
  }

  testing::TempHome home_;
};

TEST_F(LiveCheckTest, TheReportTellsEachRecordsLineAndWhetherItArrived) {
  const auto devices = SentRecordsPerDevice(Write("sent.txt", kReport));
  ASSERT_EQ(devices.size(), 3u);
  struct Seen {
    std::size_t line;
    bool broken;
    Arrival arrival;
  };
  const std::vector<std::vector<Seen>> expected = {
      {{1, false, Arrival::Taken}, {2, true, Arrival::Taken}, {3, false, Arrival::Taken}, {4, false, Arrival::Taken},
       {5, false, Arrival::Taken}},
      {{6, false, Arrival::Taken}, {7, false, Arrival::Maybe}, {8, false, Arrival::Maybe}},
      {{10, false, Arrival::Taken}, {11, false, Arrival::Maybe}}};
  for (std::size_t d = 0; d < expected.size(); ++d) {
    ASSERT_EQ(devices[d].size(), expected[d].size()) << "device " << d;
    for (std::size_t i = 0; i < expected[d].size(); ++i) {
      EXPECT_EQ(devices[d][i].line, expected[d][i].line) << d << "/" << i;
      EXPECT_EQ(devices[d][i].broken, expected[d][i].broken) << d << "/" << i;
      EXPECT_EQ(devices[d][i].arrival, expected[d][i].arrival) << d << "/" << i;
    }
  }
  EXPECT_EQ(devices[0][2].bytes, Record(3) + "\r\n");
}

// Unread bytes at the end: a record with some of them is maybe there, one
// with all of them lost, one before them there.
TEST_F(LiveCheckTest, UnreadBytesLoseTheRecordsTheyCover) {
  const std::size_t size = Record(1).size() + 2;  // a record's bytes, CR LF included
  const auto arrivals = [&](std::size_t unread) {
    const std::string report = "D d\nL 1\nR " + Sent(1) + "\nL 2\nR " + Sent(2) + "\nE " + std::to_string(unread) + "\n";
    const auto devices = SentRecordsPerDevice(Write("sent.txt", report));
    std::vector<Arrival> seen;
    for (const SentRecord& record : devices.at(0)) seen.push_back(record.arrival);
    return seen;
  };
  EXPECT_EQ(arrivals(0), (std::vector<Arrival>{Arrival::Taken, Arrival::Taken}));
  EXPECT_EQ(arrivals(1), (std::vector<Arrival>{Arrival::Taken, Arrival::Maybe}));
  EXPECT_EQ(arrivals(size), (std::vector<Arrival>{Arrival::Taken, Arrival::Lost}));
  EXPECT_EQ(arrivals(size + 1), (std::vector<Arrival>{Arrival::Maybe, Arrival::Lost}));
  EXPECT_EQ(arrivals(5 * size), (std::vector<Arrival>{Arrival::Lost, Arrival::Lost}));
}

TEST_F(LiveCheckTest, TheExpectedLogLeavesOutFaultyBrokenAndCutRecords) {
  std::vector<std::string> texts, optional;
  for (const ExpectedLine& line : Expected()) (line.optional ? optional : texts).push_back(line.text);
  EXPECT_EQ(texts, (std::vector<std::string>{Record(1), Record(3), Record(5), Record(6), Record(10)}));
  EXPECT_EQ(optional, (std::vector<std::string>{Record(7), Record(8), Record(11)}));
}

struct LogCase {
  const char* name;
  std::vector<int> logged;
  bool prefix;
  bool ok;
};

void PrintTo(const LogCase& c, std::ostream* os) { *os << c.name; }

class LiveCheckLogs : public LiveCheckTest, public ::testing::WithParamInterface<LogCase> {};

TEST_P(LiveCheckLogs, AcceptOnlyWhatACorrectSessionWrites) {
  const LogCase& c = GetParam();
  const CheckResult result = CheckLog({Log(c.logged)}, Expected(), c.prefix, 1);
  EXPECT_EQ(result.ok, c.ok) << result.message;
}

INSTANTIATE_TEST_SUITE_P(
    Logs, LiveCheckLogs,
    ::testing::Values(LogCase{"everything_arrived", {1, 3, 5, 6, 7, 8, 10, 11}, false, true},
                      LogCase{"nothing_in_flight_arrived", {1, 3, 5, 6, 10}, false, true},
                      LogCase{"the_first_in_flight_arrived", {1, 3, 5, 6, 7, 10, 11}, false, true},
                      LogCase{"in_flight_out_of_order", {1, 3, 5, 6, 8, 10}, false, false},
                      LogCase{"a_faulty_line_logged", {1, 3, 4, 5, 6, 10}, false, false},
                      LogCase{"a_record_missing", {1, 5, 6, 10}, false, false},
                      LogCase{"twice", {1, 3, 3, 5, 6, 10}, false, false},
                      LogCase{"the_last_missing", {1, 3, 5, 6}, false, false},
                      LogCase{"the_last_missing_of_a_prefix", {1, 3, 5, 6}, true, true},
                      LogCase{"two_missing_of_a_prefix", {1, 3, 5}, true, false},
                      LogCase{"a_middle_one_missing_of_a_prefix", {1, 3, 6, 10}, true, false}),
    [](const ::testing::TestParamInfo<LogCase>& info) { return std::string(info.param.name); });

TEST_F(LiveCheckTest, ABrokenOrJoinedRecordOrALineWithoutItsEndIsRefused) {
  const std::vector<ExpectedLine> expected = Expected();
  const std::string head = Record(1) + "\r\n" + Record(3) + "\r\n" + Record(5) + "\r\n" + Record(6) + "\r\n";
  for (const std::string& bad : {head + "$KVMGD,+00\r\n" + Record(10) + "\r\n",               // a broken head
                                 head + "$KVMGD,+00009,44" + Record(10) + "\r\n",             // a cut record joined
                                 head + Record(10) + "\n"}) {                                  // a bare LF
    const CheckResult result = CheckLog({Write("bad.kvl", bad)}, expected, false, 0);
    EXPECT_FALSE(result.ok) << bad;
  }
}

TEST_F(LiveCheckTest, PartsAreReadInTheOrderGiven) {
  const std::vector<ExpectedLine> expected = Expected();
  const std::string first = Write("a.kvl", Record(1) + "\r\n" + Record(3) + "\r\n");
  const std::string second = Write("a_1.kvl", Record(5) + "\r\n" + Record(6) + "\r\n" + Record(10) + "\r\n");
  EXPECT_TRUE(CheckLog({first, second}, expected, false, 0).ok);
  EXPECT_FALSE(CheckLog({second, first}, expected, false, 0).ok);
}

TEST_F(LiveCheckTest, TheFaultsListIsTheGeneratorsCsv) {
  EXPECT_EQ(ReadFaultyLines(Write("faults.csv", "line,fault,record-at\n12,blank,\n40,wrong-header,1\n")),
            (FaultyLines{{12, 0}, {40, 1}}));
  EXPECT_EQ(ReadFaultyLines(Write("old.csv", "line,fault\n7,truncated\n")), (FaultyLines{{7, 0}}));
  EXPECT_EQ(ReadFaultyLines(Write("none.csv", "line,fault,record-at\n")), FaultyLines{});
  EXPECT_THROW(ReadFaultyLines(home_.Path("missing.csv")), std::runtime_error);
  EXPECT_THROW(ReadFaultyLines(Write("bad.csv", "line,fault\nx,blank\n")), std::runtime_error);
  EXPECT_THROW(ReadFaultyLines(Write("bad-at.csv", "line,fault,record-at\n3,wrong-header,z\n")), std::runtime_error);
}

// Noise before the header: the good record after it is what a correct
// session logs.
TEST_F(LiveCheckTest, AGoodRecordAfterAGarbledStartIsExpectedFromItsHeader) {
  const std::string report = "D d\nL 1\nR " + Sent(1) + "\nL 2\nR &" + Sent(2) + "\nL 3\nR KVMGD" + Sent(3).substr(6) + "\nE 0\n";
  std::vector<std::string> texts;
  for (const ExpectedLine& line : ExpectedLog(SentRecordsPerDevice(Write("sent.txt", report)), {{2, 1}, {3, 0}}))
    texts.push_back(line.text);
  EXPECT_EQ(texts, (std::vector<std::string>{Record(1), Record(2)}));
}

TEST_F(LiveCheckTest, TheCheckCommandAnswersWithItsExitStatus) {
  const std::string sent = Write("sent.txt", kReport),
                    faults = Write("faults.csv", "line,fault,record-at\n4,depth-jump,\n");
  EXPECT_EQ(RunCheckCommand({"--faults", faults, sent, Log({1, 3, 5, 6, 7, 10})}), 0);
  EXPECT_EQ(RunCheckCommand({sent, Log({1, 3, 5, 6, 7, 10})}), 1);  // line 4 is good without the list
  EXPECT_EQ(RunCheckCommand({"--prefix", "1", "--faults", faults, sent, Log({1, 3, 5, 6})}), 0);
  EXPECT_EQ(RunCheckCommand({"--prefix", "x", sent, Log({1})}), 2);
  EXPECT_EQ(RunCheckCommand({"--variant", "kvl", sent, Log({1})}), 2);
  EXPECT_EQ(RunCheckCommand({sent}), 2);
  EXPECT_EQ(RunCheckCommand({home_.Path("no-report.txt"), Log({1})}), 1);
}

}  // namespace
}  // namespace tessaly::live
