// Hostile files through every core reader: empty and binary files, a 100 MB
// line without a break, lines of 1 MB, NUL bytes, invalid UTF-8 in names and
// contents, a folder, a FIFO, a file that shrinks or grows while it loads.
// Each gives its result and message, nothing blocks, the document stays
// within its memory bound, and no file appears that was not asked for.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <vector>

#include "core/Comments.h"
#include "core/LogDocument.h"
#include "core/LogKind.h"
#include "core/PnavImport.h"
#include "core/RawText.h"
#include "core/SettingsFile.h"
#include "core/RecordExport.h"
#include "fuzz/DocumentMemory.h"
#include "support/DocumentFiles.h"
#include "support/FileBytes.h"
#include "support/FolderListing.h"
#include "support/NoiseBytes.h"
#include "support/TempHome.h"

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using testing::CrLfLines;
using testing::KvlLine;
using testing::Listing;
using testing::ReadBytes;
using testing::TempHome;
using testing::WriteBytes;

constexpr std::size_t kMiB = std::size_t{1} << 20;

// Writes `head`, then `bytes` copies of `fill` in 1 MiB pieces, then `tail`.
void WriteLong(const std::string& path, const std::string& head, std::size_t bytes, char fill,
               const std::string& tail = {}) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << head;
  const std::string piece(kMiB, fill);
  for (std::size_t left = bytes; left > 0; left -= std::min(left, kMiB)) out.write(piece.data(), std::min(left, kMiB));
  out << tail;
}

std::size_t NonEmptyLines(const RawText& raw) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < raw.LineCount(); ++i) count += raw.Line(i).empty() ? 0 : 1;
  return count;
}

void ExpectWithinMemoryBound(const LogDocument& doc, const std::string& path) {
  const std::size_t bound = fuzz::DocumentMemoryBound(fs::file_size(path), doc.Raw().LineCount());
  EXPECT_LE(doc.MemoryBytes(), bound) << path;
}

LoadStatus Open(LogDocument& doc, const std::string& path) {
  LoadOptions options;
  options.threads = 2;
  return doc.OpenLog(path, options);
}

// The file-name state of an input, as tessaly-cli makes it.
TypeFileState InputState(const std::string& path) {
  TypeFileState state;
  AssignFileName(state, path, false);
  return state;
}

// The document's VDG export and the command-line tool's streaming export of
// the same file.
void ExpectSameExports(const LogDocument& doc, const TempHome& dir) {
  ASSERT_TRUE(ExportDocument(doc, *FindExportFormat("vdg"), dir.Path("document.vdg"), {}).ok);
  TSample sample;
  ASSERT_TRUE(SetUpSample(sample, *doc.FileState().kind));
  CommentsStore comments;
  const ExportResult streamed = ExportLogStreaming(sample, doc.FileState(), comments, dir.Path("streamed.vdg"),
                                                   *FindExportFormat("vdg"), StreamExportOptions());
  ASSERT_TRUE(streamed.ok) << streamed.error;
  EXPECT_EQ(ReadBytes(dir.Path("streamed.vdg")), ReadBytes(dir.Path("document.vdg")));
  fs::remove(dir.Path("document.vdg"));
  fs::remove(dir.Path("streamed.vdg"));
}

TEST(HostileFiles, AnEmptyFileIsReportedEmptyByEveryReader) {
  TempHome dir;
  const std::string path = dir.Path("empty.kvl");
  WriteBytes(path, "");
  const auto before = Listing(dir.Path(""));

  EXPECT_EQ(DetectLogKind(path).outcome, Recognition::Empty);
  LogDocument doc;
  EXPECT_EQ(Open(doc, path), LoadStatus::Empty);
  EXPECT_EQ(doc.FileType(), "empty");
  PnavImport import;
  EXPECT_EQ(import.NewFile(path), "Invalid Pnav format.");
  CommentsStore comments;
  EXPECT_EQ(comments.Load(path), "");
  EXPECT_TRUE(comments.Lines().empty());
  EXPECT_EQ(Listing(dir.Path("")), before);
}

TEST(HostileFiles, BinaryBytesLoadAsRawTextOrAsRejectedLines) {
  TempHome dir;
  const std::string plain = dir.Path("noise.kvl"), behindRecord = dir.Path("record-then-noise.kvl");
  WriteBytes(plain, testing::NoiseBytes(256 * 1024));
  WriteBytes(behindRecord, KvlLine() + "\r\n" + testing::NoiseBytes(256 * 1024));
  const auto before = Listing(dir.Path(""));

  LogDocument noise;
  const LoadStatus status = Open(noise, plain);
  EXPECT_TRUE(status == LoadStatus::Unknown || status == LoadStatus::Loaded);
  EXPECT_EQ(noise.ValidCount(), 0u);
  if (status == LoadStatus::Loaded) {
    EXPECT_EQ(noise.ErrorCount(), NonEmptyLines(noise.Raw()));
  }
  EXPECT_EQ(noise.Raw().Line(0), ReadBytes(plain).substr(0, noise.Raw().Line(0).size()));
  ExpectWithinMemoryBound(noise, plain);

  LogDocument doc;
  ASSERT_EQ(Open(doc, behindRecord), LoadStatus::Loaded);
  EXPECT_EQ(doc.ValidCount(), 1u);
  EXPECT_EQ(doc.ErrorCount(), NonEmptyLines(doc.Raw()) - 1);
  ExpectWithinMemoryBound(doc, behindRecord);
  ExpectSameExports(doc, dir);
  EXPECT_EQ(Listing(dir.Path("")), before);
}

TEST(HostileFiles, AHundredMegabyteLineWithoutABreakStaysOneLine) {
  TempHome dir;
  const std::string path = dir.Path("oneline.kvl");
  WriteLong(path, "$KVMGD,", 100 * kMiB, '7');
  const auto before = Listing(dir.Path(""));

  // Recognition gives up after its byte budget: raw text only.
  LogDocument doc;
  ASSERT_EQ(Open(doc, path), LoadStatus::Unknown);
  ASSERT_EQ(doc.Raw().LineCount(), 1u);
  EXPECT_EQ(doc.Raw().Line(0).size(), 100 * kMiB + 7);
  EXPECT_EQ(doc.Raw().Line(0).substr(0, 8), "$KVMGD,7");
  ExpectWithinMemoryBound(doc, path);
  PnavImport import;
  EXPECT_EQ(import.NewFile(path), "Invalid Pnav format.");
  EXPECT_EQ(Listing(dir.Path("")), before);
}

TEST(HostileFiles, AHundredMegabyteLineAfterARecordIsOneRejectedLine) {
  TempHome dir;
  const std::string path = dir.Path("record-then-line.kvl");
  WriteLong(path, KvlLine() + "\r\n$KVMGD,+", 100 * kMiB, '1', "\r\n" + KvlLine("+00007") + "\r\n");
  const auto before = Listing(dir.Path(""));

  LogDocument doc;
  ASSERT_EQ(Open(doc, path), LoadStatus::Loaded);
  EXPECT_EQ(doc.ValidCount(), 2u);
  ASSERT_EQ(doc.ErrorCount(), 1u);
  EXPECT_TRUE(doc.ErrorListText().starts_with(
      "1 - Deviation Field missing or wrong length - expected length of: 5\r\n$KVMGD,+111"));
  EXPECT_TRUE(doc.ErrorListText().ends_with("\r\nLine: 2\r\n\r\n"));
  EXPECT_EQ(doc.Cells().Cell(2, 2), "3");
  ExpectWithinMemoryBound(doc, path);
  EXPECT_EQ(Listing(dir.Path("")), before);
}

TEST(HostileFiles, MegabyteLinesAreRejectedWithTheirMessages) {
  TempHome dir;
  const std::string path = dir.Path("long-lines.kvl");
  std::string content = KvlLine() + "\r\n";
  for (int i = 0; i < 8; ++i) {
    // A latitude column of 1 MB and nothing after it, then a line of no columns.
    content += "$KVMGD,+00001," + std::string(kMiB, static_cast<char>('0' + i)) + "\r\n";
    content += std::string(kMiB, 'x') + "\n";
  }
  WriteBytes(path, content);
  const auto before = Listing(dir.Path(""));

  LogDocument doc;
  ASSERT_EQ(Open(doc, path), LoadStatus::Loaded);
  EXPECT_EQ(doc.ValidCount(), 1u);
  EXPECT_EQ(doc.ErrorCount(), 16u);
  EXPECT_NE(doc.ErrorListText().find("1 - Longitude Degrees larger than 3 digits\r\n$KVMGD,+00001,0000"),
            std::string::npos);
  EXPECT_NE(doc.ErrorListText().find("\r\nLine: 2\r\n\r\n2 - Unrecognized Header\r\nxxxx"), std::string::npos);
  EXPECT_TRUE(doc.ErrorListText().ends_with("\r\nLine: 17\r\n\r\n"));
  EXPECT_EQ(doc.Raw().LongestLine(), kMiB + 14);
  ExpectWithinMemoryBound(doc, path);
  ExpectSameExports(doc, dir);
  EXPECT_EQ(Listing(dir.Path("")), before);
}

TEST(HostileFiles, NulBytesAndInvalidUtf8InContentsAreKeptAndRejected) {
  TempHome dir;
  const std::string path = dir.Path("bytes.kvl");
  const std::string nulHeader("$KVMGD\0,+00001,4418.000,N,06318.000,W,25.3,78.4", 47);
  const std::string nulDev("$KVMGD,+00\0" "01,4418.000,N,06318.000,W,25.3,78.4", 47);
  const std::vector<std::string> lines = {KvlLine(), nulHeader, nulDev, KvlLine("+00002", "25.3") + "\xff\xfe",
                                          "$KVMGD,+00003,4418.000,N,06318.000,W,25.3,7\xc3\x28"};
  WriteBytes(path, CrLfLines(lines));
  const auto before = Listing(dir.Path(""));

  LogDocument doc;
  ASSERT_EQ(Open(doc, path), LoadStatus::Loaded);
  EXPECT_EQ(doc.ValidCount(), 1u);
  const std::string errors = doc.ErrorListText();
  EXPECT_NE(errors.find("1 - Unrecognized Header\r\n" + nulHeader + "\r\nLine: 2"), std::string::npos);
  EXPECT_NE(errors.find("2 - Deviation is non-numeric\r\n" + nulDev + "\r\nLine: 3"), std::string::npos);
  EXPECT_NE(errors.find("3 - Invalid Sounder value\r\n" + lines[3] + "\r\nLine: 4"), std::string::npos);
  EXPECT_NE(errors.find("4 - Invalid Sounder value\r\n" + lines[4] + "\r\nLine: 5"), std::string::npos);
  for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(doc.Raw().Line(i), lines[i]);
  ExpectSameExports(doc, dir);
  EXPECT_EQ(Listing(dir.Path("")), before);
}

TEST(HostileFiles, InvalidUtf8InNamesIsAnOrdinaryName) {
  TempHome dir;
  const std::string folder = dir.Path("d\xff\xfe\x80");
  fs::create_directory(folder);
  const std::string path = folder + "/survey\xc3\x28.kvl";
  WriteBytes(path, CrLfLines({KvlLine(), KvlLine("+00002")}));
  const auto before = Listing(folder);

  LogDocument doc;
  ASSERT_EQ(Open(doc, path), LoadStatus::Loaded);
  EXPECT_EQ(doc.ValidCount(), 2u);
  EXPECT_EQ(doc.CommentsFileName(), folder + "/survey\xc3\x28.cmt");
  EXPECT_EQ(Listing(folder), before);
  ExpectSameExports(doc, dir);
  // The one file asked for: the comments file.
  ASSERT_TRUE(doc.SetComment(1, "first"));
  EXPECT_EQ(ReadBytes(folder + "/survey\xc3\x28.cmt"), "1=first\r\n");
  EXPECT_EQ(Listing(folder).size(), before.size() + 1);
}

// Runs `read` on another thread and fails when it has not returned after a
// minute; a reader blocked in open() is then released by opening the FIFO
// for writing, so the test ends either way.
template <typename Read>
void ExpectReturnsWithoutAWriter(const std::string& fifo, Read&& read) {
  auto reading = std::async(std::launch::async, std::forward<Read>(read));
  if (reading.wait_for(std::chrono::minutes(1)) == std::future_status::ready) {
    reading.get();
    return;
  }
  ADD_FAILURE() << "a reader waits for a writer on " << fifo;
  ::close(::open(fifo.c_str(), O_WRONLY));
  reading.get();
}

TEST(HostileFiles, AFolderOrAFifoIsRefusedByEveryReaderWithoutWaiting) {
  TempHome dir;
  fs::create_directory(dir.Path("folder.kvl"));
  ASSERT_EQ(::mkfifo(dir.Path("fifo.kvl").c_str(), 0644), 0);
  const auto before = Listing(dir.Path(""));
  for (const auto& [name, refusal] : {std::pair<std::string, std::string>{"folder.kvl", "is a folder"},
                                      {"fifo.kvl", "is not a regular file"}}) {
    SCOPED_TRACE(name);
    const std::string path = dir.Path(name), reason = refusal;
    ExpectReturnsWithoutAWriter(path, [&] {
      EXPECT_EQ(DetectLogKind(path).outcome, Recognition::Unknown);
      LogDocument doc;
      EXPECT_EQ(Open(doc, path), LoadStatus::Unreadable);
      EXPECT_EQ(doc.FileType(), "Unknown");
      RawText raw;
      EXPECT_FALSE(raw.OpenFile(path));
      PnavImport import;
      EXPECT_EQ(import.NewFile(path), "Could not read the file " + path + ".");
      CommentsStore comments;
      EXPECT_NE(comments.Load(path), "");
      EXPECT_THROW(ReadTextLines(path), SettingsError);
      TSample sample;
      SetUpSample(sample, *FindLogKind(".KVL"));
      const ExportResult exported =
          ExportLogStreaming(sample, InputState(path), comments, dir.Path("out.vdg"), *FindExportFormat("vdg"), StreamExportOptions());
      EXPECT_FALSE(exported.ok);
      EXPECT_EQ(exported.error, "Cannot read " + path + ": " + reason);
    });
  }
  EXPECT_EQ(Listing(dir.Path("")), before);
}

// A KVL log of `records` records, every tenth line rejected.
std::string KvlLog(int records) {
  std::string text;
  for (int i = 1; i <= records; ++i) text += (i % 10 == 0 ? std::string("broken line") : KvlLine()) + "\r\n";
  return text;
}

// Loads `path` with a hook that changes the file at the caption it names
// ("Loading File ..." comes after the recognition, before the raw text is
// opened) or at the first progress report (a part of the file is read).
LoadStatus OpenChanging(LogDocument& doc, const std::string& path, const std::string& when,
                        const std::function<void()>& change) {
  LoadOptions options;
  options.threads = 1;
  options.batchLines = 64;
  bool changed = false;
  const auto once = [&] {
    if (!changed) change();
    changed = true;
  };
  options.caption = [&](std::string_view caption) {
    if (caption == when) once();
  };
  options.progress = [&](std::uint64_t, std::uint64_t) {
    if (when == "progress") once();
  };
  return doc.OpenLog(path, options);
}

// The document agrees with a load of `expected` as a file of its own.
void ExpectLoadedAs(const LogDocument& doc, const std::string& expected, const TempHome& dir) {
  const std::string reference = dir.Path("reference.kvl");
  WriteBytes(reference, expected);
  LogDocument fresh;
  ASSERT_EQ(Open(fresh, reference), LoadStatus::Loaded);
  EXPECT_EQ(doc.Raw().LineCount(), fresh.Raw().LineCount());
  EXPECT_EQ(doc.ValidCount(), fresh.ValidCount());
  EXPECT_EQ(doc.ErrorListText(), fresh.ErrorListText());
  EXPECT_EQ(doc.Cells().Cell(doc.ValidCount(), 2), fresh.Cells().Cell(fresh.ValidCount(), 2));
  fs::remove(reference);
}

TEST(HostileFiles, AFileThatShrinksWhileItLoadsGivesWhatItHeld) {
  TempHome dir;
  const std::string path = dir.Path("shrinking.kvl");
  const std::string log = KvlLog(100000);  // about 4.8 MB: several read pieces
  ASSERT_GT(log.size(), 4 * RawText::kPieceBytes);

  WriteBytes(path, log);
  LogDocument emptied;
  EXPECT_EQ(OpenChanging(emptied, path, "Loading File ...", [&] { fs::resize_file(path, 0); }), LoadStatus::Empty);
  EXPECT_EQ(emptied.Raw().LineCount(), 0u);

  // Cut in the middle of a line before the load, then while it reads.
  for (const std::string when : {"Loading File ...", "progress"}) {
    SCOPED_TRACE(when);
    WriteBytes(path, log);
    const std::size_t cut = 2 * RawText::kPieceBytes + 17;
    LogDocument doc;
    ASSERT_EQ(OpenChanging(doc, path, when, [&] { fs::resize_file(path, cut); }), LoadStatus::Loaded);
    ExpectLoadedAs(doc, log.substr(0, cut), dir);
    EXPECT_LT(doc.ValidCount(), 100000u * 9 / 10);
    ExpectWithinMemoryBound(doc, path);
  }
}

TEST(HostileFiles, AFileThatGrowsWhileItLoadsGivesWhatItHadWhenOpened) {
  TempHome dir;
  const std::string path = dir.Path("growing.kvl");
  const std::string log = KvlLog(100000);
  const auto grow = [&] { std::ofstream(path, std::ios::binary | std::ios::app) << KvlLog(5000); };

  WriteBytes(path, log);
  LogDocument before;
  ASSERT_EQ(OpenChanging(before, path, "Loading File ...", grow), LoadStatus::Loaded);
  ExpectLoadedAs(before, log + KvlLog(5000), dir);

  WriteBytes(path, log);
  LogDocument during;
  ASSERT_EQ(OpenChanging(during, path, "progress", grow), LoadStatus::Loaded);
  ExpectLoadedAs(during, log, dir);
  EXPECT_EQ(during.ValidCount(), 90000u);
}

TEST(HostileFiles, AFileCutWhileTheToolExportsItGivesTheRecordsItHeld) {
  TempHome dir;
  const std::string path = dir.Path("cut.kvl");
  const std::string log = KvlLog(100000);
  WriteBytes(path, log);
  const std::size_t cut = 3 * kMiB + 5;
  TSample sample;
  ASSERT_TRUE(SetUpSample(sample, *FindLogKind(".KVL")));
  StreamExportOptions options;
  options.threads = 1;
  options.batchLines = 64;
  bool cutDone = false;
  options.progress = [&](std::uint64_t, std::uint64_t, std::uint64_t) {
    if (!cutDone) fs::resize_file(path, cut);
    cutDone = true;
  };
  const ExportResult result = ExportLogStreaming(sample, InputState(path), {}, dir.Path("cut.vdg"), *FindExportFormat("vdg"), options);
  ASSERT_TRUE(result.ok) << result.error;

  WriteBytes(dir.Path("whole-part.kvl"), log.substr(0, cut));
  TSample reference;
  ASSERT_TRUE(SetUpSample(reference, *FindLogKind(".KVL")));
  const ExportResult expected =
      ExportLogStreaming(reference, InputState(dir.Path("whole-part.kvl")), {}, dir.Path("expected.vdg"), *FindExportFormat("vdg"), StreamExportOptions());
  ASSERT_TRUE(expected.ok);
  EXPECT_EQ(result.validCount, expected.validCount);
  EXPECT_EQ(ReadBytes(dir.Path("cut.vdg")), ReadBytes(dir.Path("expected.vdg")));
}

TEST(HostileFiles, AStartOfShortLinesDoesNotMakeTheDocumentReserveForALongFile) {
  TempHome dir;
  const std::string path = dir.Path("short-then-long.rtb");
  // A record, 60000 empty lines, then 20 MB without a break: the first read
  // piece suggests a line every two bytes.
  WriteLong(path, "$MGD,+01234,00000000000\r\n" + std::string(60000, '\n'), 20 * kMiB, 'z');
  LogDocument doc;
  ASSERT_EQ(Open(doc, path), LoadStatus::Loaded);
  EXPECT_EQ(doc.ValidCount(), 1u);
  EXPECT_EQ(doc.ErrorCount(), 1u);
  EXPECT_EQ(doc.Raw().LineCount(), 60002u);
  ExpectWithinMemoryBound(doc, path);
}

}  // namespace
}  // namespace tessaly
