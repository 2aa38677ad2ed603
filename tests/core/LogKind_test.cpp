#include "core/LogKind.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "support/Generator.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

std::string Outcome(const KindDetection& found) {
  switch (found.outcome) {
    case Recognition::Kind: return std::string(found.kind->fileExtType);
    case Recognition::NoKind: return "no kind";
    case Recognition::Navigation: return "navigation";
    case Recognition::Empty: return "empty";
    case Recognition::Unknown: return "unknown";
  }
  return "?";
}

class LogKindTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = dir_.Home() + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  // The extension of the kind DetectLogKind settles on, or "empty" or
  // "unknown".
  std::string Detect(const std::string& bytes, const std::string& name = "log.txt") {
    return Outcome(DetectLogKind(Write(name, bytes)));
  }

  testing::TempHome dir_;
};

const std::string kZpxLine = "$KVMGD,+01234";                                  // 13 bytes
const std::string kKvlLine = "$KVMGD,+01234,4530.123,N,06330.456,W,012.3,0045";  // 47 bytes

// --- The kinds table -------------------------------------------------------

TEST(LogKindsTable, NamesEveryKindWithItsDisplayNameSampleKindAndHeader) {
  struct Row {
    const char *ext, *name;
    TSampleKind kind;
    const char* header;
  };
  const Row expected[] = {
      {".KVG", "KV7100 Graphic mode", skKVG, ""},    {".KVS", "KV7100 Data String mode", skKVS, ""},
      {".KVL", "KV7100 Log", skKVL, "$KVMGD"},       {".ZPX", "ZEPH2-KV Log", skZPX, "$KVMGD"},
      {".ZPT", "ZEPH2-BT Log", skZPT, "$BTGFG"},     {".RTC", "RT4 Kv Compability", skRTC, "$KVMGD"},
      {".RTB", "RT4 Basic", skRTB, "$MGD"},
  };
  for (const Row& row : expected) {
    const LogKindInfo* info = FindLogKind(row.ext);
    ASSERT_NE(info, nullptr) << row.ext;
    EXPECT_EQ(info->fileType, row.name);
    EXPECT_EQ(info->kind, row.kind);
    EXPECT_EQ(info->header, row.header);
  }
  EXPECT_EQ(FindLogKind(".kvl"), nullptr);
  EXPECT_EQ(FindLogKind(".OTH"), nullptr);
}

TEST(UpperExtensionTest, UpperCasesTheLastDotOfTheFileNameOnly) {
  EXPECT_EQ(UpperExtension("/data/line7.kvl"), ".KVL");
  EXPECT_EQ(UpperExtension("/data/a.b/line7"), "");
  EXPECT_EQ(UpperExtension("line7.Oth"), ".OTH");
}

// --- Recognition by content ------------------------------------------------

TEST_F(LogKindTest, RecognisesEachKindByItsFirstMatchingLine) {
  EXPECT_EQ(Detect("Title\r\nKV7100 Graphic Magnetometer v2\r\n"), ".KVG");
  EXPECT_EQ(Detect("no. of entries: 12\r\n"), ".KVS");
  EXPECT_EQ(Detect(kKvlLine + "\r\n"), ".KVL");
  EXPECT_EQ(Detect(kZpxLine + "\r\n"), ".ZPX");
  EXPECT_EQ(Detect("$KVMGD,+01234,4530.1\r\n"), "unknown");  // 20 bytes
  EXPECT_EQ(Detect(kZpxLine + ",1234567890,\r\n"), ".ZPX");                 // 25 bytes
  EXPECT_EQ(Detect("$BTGFG,+0123\r\n"), ".ZPT");
  EXPECT_EQ(Detect("$MGD,+01234,12345678901\r\n"), ".RTB");
}

TEST_F(LogKindTest, AnyLineOfAKvlLengthIsAKvlWhateverItBeginsWith) {
  EXPECT_EQ(Detect(std::string(36, 'x') + "\r\n"), ".KVL");
  for (int length : {45, 46, 48, 57}) EXPECT_EQ(Detect(std::string(length, 'x')), ".KVL") << length;
  EXPECT_EQ(Detect(std::string(47, 'x')), "unknown");
}

TEST_F(LogKindTest, HeaderSentencesAreComparedUpperCased) {
  EXPECT_EQ(Detect("$kvmgd,+01234\r\n"), ".ZPX");
}

TEST_F(LogKindTest, StopWordEndsTheSearchUnlessAnEarlierLineMatched) {
  EXPECT_EQ(Detect("Dev    lat        long\r\n" + kZpxLine + "\r\n"), "unknown");
  EXPECT_EQ(Detect("No. of entries 3\r\nDev    lat        long\r\n"), ".KVS");
  EXPECT_EQ(Detect("Latitude first\r\n" + kZpxLine), "unknown");
  // A 36-byte line holding a stop word is not a KVL title.
  EXPECT_EQ(Detect("Survey of the harbour: longitude 063\r\n"), "unknown");
}

TEST_F(LogKindTest, OnlyTheFirstTenLinesAreExamined) {
  std::string nine;
  for (int i = 0; i < 9; ++i) nine += "x\r\n";
  EXPECT_EQ(Detect(nine + kZpxLine + "\r\n"), ".ZPX");
  EXPECT_EQ(Detect(nine + "x\r\n" + kZpxLine + "\r\n"), "unknown");
}

TEST_F(LogKindTest, BlankLinesAreLinesAndMatchNothing) {
  EXPECT_EQ(Detect("\r\n\r\n\r\n\r\n\r\n"), "unknown");
}

TEST_F(LogKindTest, EmptyFileIsReportedAsEmpty) { EXPECT_EQ(Detect(""), "empty"); }

TEST_F(LogKindTest, MissingFileTakesTheKindOfItsOwnExtension) {
  EXPECT_EQ(Outcome(DetectLogKind(dir_.Home() + "new.rtc")), ".RTC");
  EXPECT_EQ(Outcome(DetectLogKind(dir_.Home() + "new.oth")), "no kind");
  EXPECT_EQ(Outcome(DetectLogKind(dir_.Home() + "noextension")), "no kind");
}

TEST_F(LogKindTest, UnreadablePathIsUnknown) { EXPECT_EQ(Outcome(DetectLogKind(dir_.Home())), "unknown"); }

TEST_F(LogKindTest, EveryLineBreakFormEndsALineAndIsNotCounted) {
  EXPECT_EQ(Detect("title\r" + kZpxLine + "\r"), ".ZPX");
  EXPECT_EQ(Detect("title\n" + kZpxLine + "\n"), ".ZPX");
  EXPECT_EQ(Detect("title\r\n" + kZpxLine), ".ZPX");  // last line without a break
  // Lone CRs make ten lines here, so the eleventh is never examined.
  EXPECT_EQ(Detect(std::string(10, '\r') + kZpxLine), "unknown");
  // LF CR is two breaks: four of these make eight lines, five make ten.
  std::string eightLines;
  for (int i = 0; i < 4; ++i) eightLines += "a\n\r";
  EXPECT_EQ(Detect(eightLines + "x\r\n" + kZpxLine), ".ZPX");
  EXPECT_EQ(Detect(eightLines + "a\n\r" + kZpxLine), "unknown");
}

TEST_F(LogKindTest, NulBytesAreOrdinaryCharacters) {
  EXPECT_EQ(Detect(std::string("$KVMGD,+0\0" "234\r\n", 15)), ".ZPX");
  EXPECT_EQ(Detect(std::string(36, '\0')), ".KVL");
}

TEST_F(LogKindTest, WordsAreFoundAnywhereInALongLine) {
  const std::string filler(300 * 1024, 'x');
  EXPECT_EQ(Detect(filler + "KV7100 GRAPHIC MAGNETOMETER" + filler + "\r\n"), ".KVG");
  EXPECT_EQ(Detect(filler + "LONG\r\n" + kZpxLine), "unknown");
  // A title split across two reads of the file.
  for (std::size_t at : {65536 - 10, 65536 - 1, 65536 + 0}) {
    EXPECT_EQ(Detect(std::string(at, 'x') + "KV7100 GRAPHIC MAGNETOMETER\r\n"), ".KVG") << at;
  }
}

TEST_F(LogKindTest, LinesSplitAcrossTwoReadsAreReadWhole) {
  std::string lines = std::string(65535, 'x') + "\r\n";  // the CR ends the first read
  for (int i = 0; i < 8; ++i) lines += "x\r\n";
  EXPECT_EQ(Detect(lines + kZpxLine), ".ZPX");  // the tenth line
  // "$KV" ends the first read, "MGD" begins the second.
  EXPECT_EQ(Detect(std::string(65531, 'x') + "\r\n" + kZpxLine), ".ZPX");
}

TEST_F(LogKindTest, HugeFileWithoutLineBreakIsUnrecognisedWithoutReadingItWhole) {
  const std::string path = Write("huge.kvl", "");
  std::filesystem::resize_file(path, std::uintmax_t{1} << 30);  // sparse: a 1 GiB line of NULs
  EXPECT_EQ(Outcome(DetectLogKind(path)), "unknown");
}

TEST_F(LogKindTest, GeneratedLogsAreRecognisedByTheirKind) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"--kind kvl", ".KVL"},           {"--kind kvs", ".KVS"},
      {"--kind kvg", ".KVG"},           {"--kind kvg --form comma", ".KVG"},
      {"--kind zpx", ".ZPX"},           {"--kind zpx --form short", ".ZPX"},
      {"--kind zpt", ".ZPT"},           {"--kind zpt --form short", ".ZPT"},
      {"--kind rtb", ".RTB"},           {"--kind rtc", "unknown"},
      {"--kind kvl --bad-fraction 0.5", ".KVL"},
  };
  for (std::size_t i = 0; i < cases.size(); ++i)
    ASSERT_TRUE(testing::GenerateLog("--records 50 " + cases[i].first, dir_.Home() + std::to_string(i) + ".txt"));
  for (std::size_t i = 0; i < cases.size(); ++i)
    EXPECT_EQ(Outcome(DetectLogKind(dir_.Home() + std::to_string(i) + ".txt")), cases[i].second) << cases[i].first;
}

// --- Comments-file names ---------------------------------------------------

TEST(CommentsFileNameTest, ReplacesTheLastThreeCharacters) {
  EXPECT_EQ(CommentsFileName("/data/line7.KVL"), "/data/line7.cmt");
  EXPECT_EQ(CommentsFileName("/data/line7.K"), "/data/linecmt");
  EXPECT_EQ(CommentsFileName("abc"), "cmt");
}

TEST(CommentsFileNameTest, NoCommentsFileThatCouldReplaceTheLogOrLeaveItsFolder) {
  EXPECT_EQ(CommentsFileName("/data/line7.cmt"), "");
  EXPECT_EQ(CommentsFileName("/data/line7.CmT"), "");
  EXPECT_EQ(CommentsFileName("/data/ab"), "");
  EXPECT_EQ(CommentsFileName("/data/"), "");
  EXPECT_EQ(CommentsFileName(""), "");
}

// --- FileName assignment ---------------------------------------------------

TEST_F(LogKindTest, AssigningEmptyNameToAnUnnamedDocumentDoesNothing) {
  TypeFileState state;
  state.FileType = "before";
  EXPECT_FALSE(AssignFileName(state, "", false));
  EXPECT_EQ(state.FileType, "before");
}

TEST_F(LogKindTest, RecognisedLogGetsItsKindNameAndComments) {
  const std::string path = Write("line7.kvl", kKvlLine + "\r\n");
  Write("line7.cmt", "1=first\r\n");
  TypeFileState state;
  state.FileError = true;
  ASSERT_TRUE(AssignFileName(state, path, false));
  EXPECT_EQ(state.FileName, path);
  EXPECT_EQ(state.FileExt, ".KVL");
  EXPECT_EQ(state.FileExtType, ".KVL");
  EXPECT_EQ(state.FileType, "KV7100 Log");
  EXPECT_FALSE(state.FileError);
  EXPECT_TRUE(state.GrdFile);
  EXPECT_EQ(state.NameGrdFile, dir_.Home() + "line7.cmt");
}

TEST_F(LogKindTest, KindComesFromContentNotName) {
  TypeFileState state;
  AssignFileName(state, Write("capture.oth", kZpxLine + "\r\n"), false);
  EXPECT_EQ(state.recognition, Recognition::Kind);
  EXPECT_EQ(state.kind, FindLogKind(".ZPX"));
  EXPECT_EQ(state.FileExt, ".OTH");
  EXPECT_EQ(state.FileExtType, ".ZPX");
  EXPECT_EQ(state.FileType, "ZEPH2-KV Log");
  EXPECT_FALSE(state.GrdFile);
  EXPECT_EQ(state.NameGrdFile, dir_.Home() + "capture.cmt");  // where a first comment goes
}

TEST_F(LogKindTest, EmptyAndUnknownFilesHaveNoCommentsFile) {
  TypeFileState state;
  Write("a.cmt", "1=x\r\n");
  AssignFileName(state, Write("a.kvl", ""), false);
  EXPECT_EQ(state.recognition, Recognition::Empty);
  EXPECT_EQ(state.kind, nullptr);
  EXPECT_EQ(state.FileExtType, "empty");
  EXPECT_EQ(state.FileType, "empty");
  AssignFileName(state, Write("a.kvl", "hello\r\n"), false);
  EXPECT_EQ(state.recognition, Recognition::Unknown);
  EXPECT_EQ(state.kind, nullptr);
  EXPECT_EQ(state.FileExtType, ".KVL");
  EXPECT_EQ(state.FileType, "Unknown");
  EXPECT_FALSE(state.GrdFile);
  EXPECT_EQ(state.NameGrdFile, "");
}

TEST_F(LogKindTest, NavigationDocumentIsPNavWhateverItsFileHolds) {
  TypeFileState state;
  AssignFileName(state, Write("nav.kvl", kKvlLine + "\r\n"), true);
  EXPECT_EQ(state.recognition, Recognition::Navigation);
  EXPECT_EQ(state.kind, nullptr);
  EXPECT_EQ(state.FileType, "PNav");
  EXPECT_EQ(state.FileExtType, ".KVL");
}

TEST_F(LogKindTest, NewFileIsNotReadAndKeepsItsOwnExtension) {
  TypeFileState state;
  state.NewFile = true;
  AssignFileName(state, Write("live.rtc", kZpxLine + "\r\n"), false);
  EXPECT_EQ(state.kind, FindLogKind(".RTC"));
  EXPECT_EQ(state.FileExtType, ".RTC");
  EXPECT_EQ(state.FileType, "RT4 Kv Compability");
}

TEST_F(LogKindTest, NewFileOfAnExtensionWithoutKindHasNoKindButACommentsFile) {
  TypeFileState state;
  state.NewFile = true;
  AssignFileName(state, dir_.Home() + "live.oth", false);
  EXPECT_EQ(state.recognition, Recognition::NoKind);
  EXPECT_EQ(state.kind, nullptr);
  EXPECT_EQ(state.FileExtType, ".OTH");
  EXPECT_EQ(state.FileType, "");
  EXPECT_EQ(state.NameGrdFile, dir_.Home() + "live.cmt");
}

TEST_F(LogKindTest, LogNamedLikeACommentsFileGetsNoCommentsFile) {
  TypeFileState state;
  AssignFileName(state, Write("odd.cmt", kKvlLine + "\r\n"), false);
  EXPECT_EQ(state.FileType, "KV7100 Log");
  EXPECT_FALSE(state.GrdFile);
  EXPECT_EQ(state.NameGrdFile, "");
}

TEST_F(LogKindTest, RenamingForgetsTheCommentsFileOfTheOldName) {
  TypeFileState state;
  Write("old.cmt", "1=x\r\n");
  AssignFileName(state, Write("old.kvl", kKvlLine + "\r\n"), false);
  ASSERT_TRUE(state.GrdFile);
  AssignFileName(state, Write("new.kvl", kKvlLine + "\r\n"), false);
  EXPECT_FALSE(state.GrdFile);
  EXPECT_EQ(state.NameGrdFile, dir_.Home() + "new.cmt");
}

// --- Sample set-up ---------------------------------------------------------

TEST(SetUpSampleTest, SetsUpEachKindWithItsHeaderAndDeviationLength) {
  for (const LogKindInfo& info : LogKinds()) {
    TSample sample('.');
    ASSERT_TRUE(SetUpSample(sample, info)) << info.fileExtType;
    EXPECT_EQ(sample.FKind, info.kind);
    EXPECT_EQ(sample.FHeader, info.header);
    EXPECT_EQ(sample.FDevDigits, info.kind == skZPT ? 4 : 5);
  }
}

TEST(SetUpSampleTest, KvsSetUpSkipsToTheDataAndStopsAtTheEndMarker) {
  TSample sample('.');
  SetUpSample(sample, *FindLogKind(".KVS"));
  EXPECT_EQ(sample.FHeading, "Dev    lat        long");
  EXPECT_EQ(sample.FEndMarker, "** End of data set **");
}

TEST(SetUpSampleTest, SetUpSampleParsesItsKindsLines) {
  TSample sample('.');
  SetUpSample(sample, *FindLogKind(".ZPT"));
  EXPECT_EQ(sample.Parse("$BTGFG,+0123"), 0) << sample.FErrorText;
  EXPECT_EQ(sample.FDev, "+0123");
}

TEST(SetUpSampleTest, NavigationSampleKeepsItsSetUpWhateverTheFileIsNamed) {
  TSample sample('.');
  sample.AddField(sfDev, 3);
  sample.SetKind(skPNav);
  EXPECT_FALSE(SetUpSample(sample, *FindLogKind(".KVL")));
  EXPECT_EQ(sample.FKind, skPNav);
  EXPECT_EQ(sample.FHeader, "");
  EXPECT_FALSE(sample.HasField(sfHeader));
  EXPECT_EQ(sample.FColumns[sfDev], 3);
}

}  // namespace
}  // namespace tessaly
