#include "core/OutputRule.h"

#include <cstdio>
#include <filesystem>

#include "core/FileIdentity.h"
#include "core/InputFile.h"
#include "core/LogKind.h"
#include "core/PnavImport.h"

namespace tessaly {

namespace {

OutputVerdict Refusal(std::string_view targetRole, const std::string& target, std::string_view what) {
  std::string message(targetRole.empty() ? std::string_view("The file") : targetRole);
  message.append(" ").append(target).append(" is ").append(what).append("; nothing was written.");
  return {OutputVerdict::Outcome::Refuse, std::move(message)};
}

const GuardedFile* GuardedMatch(const std::string& target, std::span<const GuardedFile> guarded) {
  for (const GuardedFile& file : guarded)
    if (SameFile(target, file.path)) return &file;
  return nullptr;
}

// An error list (four lines per rejected line, the first "N - message")
// holds raw log lines that recognition would take for a survey log; its
// first line tells it apart, since no survey log begins that way.
bool IsErrorList(const std::string& path) {
  const FileHandle file = OpenInputFile(path);
  if (!file) return false;
  char head[32] = {};
  const std::size_t got = std::fread(head, 1, sizeof head, file.get());
  const std::string_view text(head, got);
  const std::size_t digits = text.find_first_not_of("0123456789");
  return digits > 0 && digits != std::string_view::npos && text.substr(digits).starts_with(" - ");
}

bool ExistsAsAnything(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::symlink_status(path, ec)) && !ec;
}

}  // namespace

// A log is known by its records' header sentence or by a recognition that
// does not rest on line length alone (which any text file can match): the
// kind that recognition or the file's extension names with that header.
std::string RecognisedDataFile(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec) || IsErrorList(path)) return {};
  const KindDetection found = DetectLogKind(path);
  if (found.outcome == Recognition::Kind && !found.byLengthAlone)
    return "a survey log (" + std::string(found.kind->fileType) + ")";
  if (const std::string_view header = HeaderSentenceInFirstLines(path); !header.empty()) {
    const LogKindInfo* named = FindLogKind(UpperExtension(path));
    if (!named || named->header != header) return "a survey log";
    return "a survey log (" + std::string(named->fileType) + ")";
  }
  PnavImport probe;
  if (probe.ParsePnavHeader(path) != 0) return "a navigation file";
  return {};
}

OutputVerdict CheckOutput(WriteKind kind, const std::string& target, std::string_view targetRole,
                          std::span<const GuardedFile> guarded) {
  if (const GuardedFile* match = GuardedMatch(target, guarded)) return Refusal(targetRole, target, match->what);
  switch (kind) {
    case WriteKind::Export:
      if (const std::string data = RecognisedDataFile(target); !data.empty())
        return Refusal(targetRole, target, data);
      break;
    case WriteKind::Acquisition:
      if (ExistsAsAnything(target))
        return {OutputVerdict::Outcome::AskConsent, target + " already exists.\rDo you want to replace it?"};
      break;
    case WriteKind::Comments: break;
  }
  return {};
}

}  // namespace tessaly
