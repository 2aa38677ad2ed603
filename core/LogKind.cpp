#include "core/LogKind.h"

#include <algorithm>
#include <filesystem>

#include "core/InputFile.h"
#include "core/RawText.h"

namespace tessaly {

namespace {

constexpr std::array<LogKindInfo, 7> kLogKinds{{
    {".KVG", "KV7100 Graphic mode", skKVG, "", true},
    {".KVS", "KV7100 Data String mode", skKVS, "", true},
    {".KVL", "KV7100 Log", skKVL, "$KVMGD", true},
    {".ZPX", "ZEPH2-KV Log", skZPX, "$KVMGD", false},
    {".ZPT", "ZEPH2-BT Log", skZPT, "$BTGFG", false},
    {".RTC", "RT4 Kv Compability", skRTC, "$KVMGD", true},
    {".RTB", "RT4 Basic", skRTB, "$MGD", false},
}};

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiUpper(x) == AsciiUpper(y); });
}

// Index of the first character of the file name (after the last '/').
std::size_t FileNameStart(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? 0 : slash + 1;
}

// Texts searched for anywhere in an upper-cased line.
constexpr std::string_view kStopWords[] = {"DEV", "LAT", "LONG"};
constexpr std::string_view kKvgTitle = "KV7100 GRAPHIC MAGNETOMETER";
constexpr std::string_view kKvsTitle = "NO. OF ENTRIES";
constexpr std::size_t kHeadBytes = 6;  // longest header sentence tested

// What recognition needs to know of one line, gathered piece by piece so that
// a long line is never held whole.
class LineFacts {
 public:
  void Feed(std::string_view piece) {
    length_ += piece.size();
    std::string window = tail_;
    window.reserve(tail_.size() + piece.size());
    for (char c : piece) window += AsciiUpper(c);
    if (head_.size() < kHeadBytes) head_ += window.substr(tail_.size(), kHeadBytes - head_.size());
    for (std::string_view word : kStopWords) stop_ = stop_ || window.find(word) != std::string::npos;
    kvg_ = kvg_ || window.find(kKvgTitle) != std::string::npos;
    kvs_ = kvs_ || window.find(kKvsTitle) != std::string::npos;
    // Keep enough of the end for a word split across two pieces.
    const std::size_t keep = std::min(window.size(), kKvgTitle.size() - 1);
    tail_ = window.substr(window.size() - keep);
  }

  bool HasStopWord() const { return stop_; }

  struct Match {
    const LogKindInfo* kind = nullptr;
    bool byLengthAlone = false;
  };
  // The kind of the first rule the line matches (kind nullptr for none).
  Match Matched() const {
    const bool kvmgd = head_.starts_with("$KVMGD");
    if (kvg_) return {FindLogKind(".KVG")};
    if (kvs_) return {FindLogKind(".KVS")};
    if (kvmgd && length_ == 47) return {FindLogKind(".KVL")};
    if (length_ == 45 || length_ == 46 || length_ == 48 || length_ == 57 || length_ == 36)
      return {FindLogKind(".KVL"), !kvmgd};
    if (kvmgd && (length_ == 13 || length_ == 25)) return {FindLogKind(".ZPX")};
    if (head_.starts_with("$BTGFG") && (length_ == 12 || length_ == 24)) return {FindLogKind(".ZPT")};
    if (head_.starts_with("$MGD") && length_ == 23) return {FindLogKind(".RTB")};
    return {};
  }

 private:
  std::size_t length_ = 0;
  std::string head_;
  std::string tail_;
  bool stop_ = false;
  bool kvg_ = false;
  bool kvs_ = false;
};

enum class Verdict { Undecided, Recognised, Unrecognised };

// Runs the recognition rules over the lines of a file as they are read.
class KindScanner {
 public:
  static constexpr int kMaxLines = 10;

  // Feeds the next bytes of the file.
  void Feed(std::string_view bytes) {
    seenBytes_ = seenBytes_ || !bytes.empty();
    std::size_t pos = 0;
    if (afterCR_ && !bytes.empty() && bytes[0] == '\n') pos = 1;
    afterCR_ = false;
    while (verdict_ == Verdict::Undecided && pos < bytes.size()) {
      const std::size_t brk = bytes.find_first_of("\r\n", pos);
      line_.Feed(bytes.substr(pos, brk == std::string_view::npos ? std::string_view::npos : brk - pos));
      lineOpen_ = true;
      if (line_.HasStopWord()) {
        verdict_ = Verdict::Unrecognised;
      } else if (brk == std::string_view::npos) {
        pos = bytes.size();
      } else {
        EndLine();
        pos = brk + 1;
        if (bytes[brk] == '\r') {
          if (pos == bytes.size()) afterCR_ = true;
          else if (bytes[pos] == '\n') ++pos;
        }
      }
    }
  }

  // End of file: a last line without a line break counts.
  void Finish() {
    if (verdict_ == Verdict::Undecided && lineOpen_) EndLine();
    if (verdict_ == Verdict::Undecided) verdict_ = Verdict::Unrecognised;
  }

  Verdict verdict() const { return verdict_; }
  bool empty() const { return !seenBytes_; }
  const LineFacts::Match& match() const { return match_; }

 private:
  void EndLine() {
    if (const LineFacts::Match match = line_.Matched(); match.kind) {
      match_ = match;
      verdict_ = Verdict::Recognised;
    } else if (++linesExamined_ == kMaxLines) {
      verdict_ = Verdict::Unrecognised;
    }
    line_ = LineFacts{};
    lineOpen_ = false;
  }

  LineFacts line_;
  bool lineOpen_ = false;
  bool afterCR_ = false;
  bool seenBytes_ = false;
  int linesExamined_ = 0;
  Verdict verdict_ = Verdict::Undecided;
  LineFacts::Match match_;
};

// The kind a file not read is taken for: its extension's.
KindDetection ByExtension(std::string_view fileExt) {
  const LogKindInfo* kind = FindLogKind(fileExt);
  return {kind ? Recognition::Kind : Recognition::NoKind, kind};
}

// The name the windows and tessaly-cli show for a recognition.
std::string_view DisplayName(const KindDetection& found) {
  switch (found.outcome) {
    case Recognition::Kind: return found.kind->fileType;
    case Recognition::Navigation: return kPNavFileType;
    case Recognition::Empty: return "empty";
    case Recognition::Unknown: return "Unknown";
    case Recognition::NoKind: break;
  }
  return {};
}

}  // namespace

const std::array<LogKindInfo, 7>& LogKinds() { return kLogKinds; }

const LogKindInfo* FindLogKind(std::string_view fileExtType) {
  for (const LogKindInfo& info : kLogKinds)
    if (info.fileExtType == fileExtType) return &info;
  return nullptr;
}

std::string UpperExtension(std::string_view path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || dot < FileNameStart(path)) return {};
  std::string ext(path.substr(dot));
  std::transform(ext.begin(), ext.end(), ext.begin(), AsciiUpper);
  return ext;
}

KindDetection DetectLogKind(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec) && !ec) return ByExtension(UpperExtension(path));
  const KindDetection unknown{Recognition::Unknown, nullptr};
  const FileHandle file = OpenInputFile(path);
  if (!file) return unknown;
  KindScanner scanner;
  std::string buffer(64 * 1024, '\0');
  std::size_t total = 0;
  while (scanner.verdict() == Verdict::Undecided) {
    if (total >= kDetectByteBudget) return unknown;
    const std::size_t got = std::fread(buffer.data(), 1, std::min(buffer.size(), kDetectByteBudget - total), file.get());
    if (got == 0) {
      if (std::ferror(file.get())) return unknown;
      scanner.Finish();
      break;
    }
    total += got;
    scanner.Feed(std::string_view(buffer.data(), got));
  }
  if (scanner.empty()) return {Recognition::Empty, nullptr};
  if (scanner.verdict() != Verdict::Recognised) return unknown;
  return {Recognition::Kind, scanner.match().kind, scanner.match().byLengthAlone};
}

std::string_view HeaderSentenceInFirstLines(const std::string& path) {
  const FileHandle file = OpenInputFile(path);
  if (!file) return {};
  std::string head;
  std::size_t pos = 0;
  bool final = false;
  std::string_view line;
  for (int lines = 0; lines < KindScanner::kMaxLines;) {
    if (!NextLine(head, pos, final, line)) {
      if (final || head.size() >= kDetectByteBudget) return {};
      const std::size_t old = head.size();
      head.resize(std::min(old + (64u << 10), kDetectByteBudget));
      head.resize(old + std::fread(head.data() + old, 1, head.size() - old, file.get()));
      if (std::ferror(file.get())) return {};
      final = std::feof(file.get()) != 0;
      continue;
    }
    ++lines;
    for (const LogKindInfo& kind : kLogKinds)
      if (!kind.header.empty() && line.starts_with(kind.header)) return kind.header;
  }
  return {};
}

std::string CommentsFileName(std::string_view path) {
  if (path.size() - FileNameStart(path) < 3) return {};
  if (EqualsNoCase(path.substr(path.size() - 3), "cmt")) return {};
  return std::string(path.substr(0, path.size() - 3)) + "cmt";
}

bool AssignFileName(TypeFileState& state, const std::string& value, bool navigationKind) {
  if (value.empty() && state.FileName.empty()) return false;
  state.FileName = value;
  state.FileExt = UpperExtension(value);
  state.FileError = false;
  const KindDetection found = navigationKind ? KindDetection{Recognition::Navigation, nullptr}
                              : state.NewFile ? ByExtension(state.FileExt)
                                              : DetectLogKind(value);
  state.recognition = found.outcome;
  state.kind = found.kind;
  state.FileExtType = found.kind ? std::string(found.kind->fileExtType)
                      : found.outcome == Recognition::Empty ? "empty"
                                                            : state.FileExt;
  state.FileType = DisplayName(found);
  // Never leave the comments file of an earlier name in place.
  state.GrdFile = false;
  state.NameGrdFile.clear();
  if (found.outcome == Recognition::Kind || found.outcome == Recognition::NoKind) {
    state.NameGrdFile = CommentsFileName(state.FileName);
    std::error_code ec;
    // Anything at that name counts, so a folder in the way is reported as a
    // comments file that cannot be read rather than passed over.
    state.GrdFile = !state.NameGrdFile.empty() && std::filesystem::exists(state.NameGrdFile, ec);
  }
  return true;
}

bool SetUpSample(TSample& sample, const LogKindInfo& kind) {
  if (sample.FKind != skNone) return false;
  sample.FDevDigits = kind.kind == skZPT ? 4 : 5;
  if (!kind.header.empty()) sample.SetHeader(kind.header);
  sample.SetKind(kind.kind);
  return true;
}

}  // namespace tessaly
