// Log-kind recognition: see FuzzTargets.h.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "core/LogKind.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzSamples.h"
#include "fuzz/FuzzTargets.h"

namespace tessaly::fuzz {

namespace {

std::string Upper(std::string_view text) {
  std::string upper(text);
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; });
  return upper;
}

bool HasStopWord(std::string_view upper) {
  return upper.find("DEV") != std::string_view::npos || upper.find("LAT") != std::string_view::npos ||
         upper.find("LONG") != std::string_view::npos;
}

struct Rule {
  std::string kind;
  bool byLengthAlone = false;  // the line's length is all that matched
};

// The rules of one whole, upper-cased line.
std::optional<Rule> RuleOf(std::string_view upper) {
  const std::size_t n = upper.size();
  const bool kvmgd = upper.starts_with("$KVMGD");
  if (upper.find("KV7100 GRAPHIC MAGNETOMETER") != std::string_view::npos) return Rule{".KVG"};
  if (upper.find("NO. OF ENTRIES") != std::string_view::npos) return Rule{".KVS"};
  if (kvmgd && n == 47) return Rule{".KVL"};
  if (n == 45 || n == 46 || n == 48 || n == 57 || n == 36) return Rule{".KVL", !kvmgd};
  if (kvmgd && (n == 13 || n == 25)) return Rule{".ZPX"};
  if (upper.starts_with("$BTGFG") && (n == 12 || n == 24)) return Rule{".ZPT"};
  if (upper.starts_with("$MGD") && n == 23) return Rule{".RTB"};
  return std::nullopt;
}

// The header sentence a line begins with, exactly as written.
std::string HeaderOf(std::string_view line) {
  for (const std::string_view header : {"$KVMGD", "$BTGFG", "$MGD"})
    if (line.starts_with(header)) return std::string(header);
  return {};
}

// Calls visit(line) for each of the first 10 lines of the text until it
// returns a value: lines end at CR LF, LF or CR; only the first
// kDetectByteBudget bytes are looked at, and a last line without a break
// counts only when the whole file was seen.
template <typename Result, typename Visit>
std::optional<Result> FirstOfTenLines(std::string_view bytes, Visit&& visit) {
  const bool whole = bytes.size() < kDetectByteBudget;
  const std::string_view seen = bytes.substr(0, kDetectByteBudget);
  std::size_t pos = 0;
  for (int examined = 0; examined < 10; ++examined) {
    std::size_t brk = pos;
    while (brk < seen.size() && seen[brk] != '\r' && seen[brk] != '\n') ++brk;
    if (brk == seen.size()) brk = std::string_view::npos;
    const std::string_view line = seen.substr(pos, brk == std::string_view::npos ? seen.npos : brk - pos);
    if (brk == std::string_view::npos) {
      if (!whole || pos == seen.size()) return std::nullopt;
      return visit(line);
    }
    if (auto result = visit(line)) return result;
    pos = brk + 1;
    if (seen[brk] == '\r' && pos < seen.size() && seen[pos] == '\n') ++pos;
  }
  return std::nullopt;
}

// The recognition rules applied to the whole text, each line stopped by a
// stop word before its rules are tried.
std::optional<Rule> Recognise(std::string_view bytes) {
  bool stopped = false;
  const std::optional<Rule> rule = FirstOfTenLines<Rule>(bytes, [&](std::string_view line) -> std::optional<Rule> {
    const std::string upper = Upper(line);
    if (stopped || HasStopWord(upper)) {
      stopped = true;
      return Rule{};
    }
    return RuleOf(upper);
  });
  if (stopped) return std::nullopt;
  return rule;
}

// The header sentence that one of the first 10 lines begins with.
std::string FirstHeaderSentence(std::string_view bytes) {
  return FirstOfTenLines<std::string>(bytes, [](std::string_view line) -> std::optional<std::string> {
           std::string header = HeaderOf(line);
           if (header.empty()) return std::nullopt;
           return header;
         }).value_or("");
}

// A file name from a few input bytes: any byte but '/' and NUL.
std::string FileName(FuzzInput& input) {
  std::string name = "log";
  for (const char c : input.Take(input.Choice(8)))
    name.push_back(c == '/' || c == '\0' ? '_' : c);
  return name;
}

void CheckCommentsName(const std::string& path) {
  const std::string comments = CommentsFileName(path);
  if (comments.empty()) return;
  Require(comments != path, "the comments file is the log itself", path);
  Require(comments.size() == path.size() && comments.ends_with("cmt") &&
              comments.compare(0, path.size() - 3, path, 0, path.size() - 3) == 0,
          "the comments file is not the log's name ending in cmt", path);
}

}  // namespace

int FuzzLogKind(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  // A filler run before the text moves it across the 64 KiB read pieces or
  // up to the byte budget.
  const std::uint8_t layout = input.Byte();
  const std::size_t back = input.Byte();
  std::size_t filler = 0;
  if (layout % 16 == 1) filler = (std::size_t{64} << 10) - back;
  if (layout == 2) filler = kDetectByteBudget - back;
  const std::string path = ScratchFolder() + FileName(input);
  std::string bytes(filler, 'x');
  bytes.append(input.Rest());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;

  const KindDetection detected = DetectLogKind(path);
  const std::optional<Rule> expected = Recognise(bytes);
  if (bytes.empty()) {
    Require(detected.outcome == Recognition::Empty && !detected.kind, "an empty file is not reported empty");
  } else if (expected) {
    Require(detected.outcome == Recognition::Kind && detected.kind && detected.kind->fileExtType == expected->kind,
            "recognised another kind than the rules give", bytes);
    Require(detected.byLengthAlone == expected->byLengthAlone, "the kind's length-alone mark is wrong", bytes);
  } else {
    Require(detected.outcome == Recognition::Unknown && !detected.kind, "recognised a file the rules do not", bytes);
  }

  Require(HeaderSentenceInFirstLines(path) == FirstHeaderSentence(bytes),
          "the header sentence of the first lines differs from the rules", bytes);

  TypeFileState state;
  AssignFileName(state, path, false);
  const std::string extType =
      detected.kind ? std::string(detected.kind->fileExtType) : bytes.empty() ? "empty" : UpperExtension(path);
  Require(state.recognition == detected.outcome && state.kind == detected.kind && state.FileExtType == extType,
          "the document's kind differs from the recognition", path);
  CheckCommentsName(path);
  std::filesystem::remove(path);
  return 0;
}

}  // namespace tessaly::fuzz
