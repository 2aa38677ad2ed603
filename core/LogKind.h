// Kinds of survey log: the kinds table, recognition of a log's kind from its
// first lines, the file-name state of a document window and the set-up of a
// document's record parser for its kind.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/untTSample.h"

namespace tessaly {

// One row of the kinds table.
struct LogKindInfo {
  std::string_view fileExtType;  // ".KVG", ".KVS", ...
  std::string_view fileType;     // display name, e.g. "KV7100 Log"
  TSampleKind kind;
  std::string_view header;       // header sentence, empty when the kind has none
};

// The seven log kinds, in the order ".KVG", ".KVS", ".KVL", ".ZPX", ".ZPT",
// ".RTC", ".RTB".
const std::array<LogKindInfo, 7>& LogKinds();

// The row of a FileExtType (exact, upper-case comparison); nullptr for any
// other text.
const LogKindInfo* FindLogKind(std::string_view fileExtType);

// Display name of the navigation-import document.
inline constexpr std::string_view kPNavFileType = "PNav";

// The upper-case extension of a path with its dot (".KVL"); empty when the
// file name has no dot. ASCII letters only are upper-cased.
std::string UpperExtension(std::string_view path);

// Recognises the kind of the log at path from its first lines.
// Returns true when the kind is settled: extension := the kind's FileExtType,
// or, for a path that does not exist, the path's own upper-case extension.
// Returns false for an empty file (extension := "empty"), for a file whose
// first 10 lines match no rule (a line containing "DEV", "LAT" or "LONG"
// stops the search) and for an unreadable file; extension is then unchanged
// except for "empty".
// Line breaks are CR LF, LF or a lone CR; every other byte is an ordinary
// character. Reads at most kDetectByteBudget bytes: a file whose decision
// needs more (absurdly long lines) is treated as unrecognised.
bool DetectLogKind(const std::string& path, std::string& extension);
inline constexpr std::size_t kDetectByteBudget = 1u << 20;

// Name of the comments file of a log: the path with its last three
// characters replaced by "cmt" (line7.KVL -> line7.cmt). Empty, meaning the
// log has no comments file, when the file name (after the last '/') is shorter
// than 3 characters or already ends in "cmt" (any case), so that a comments
// file can never be written over a log.
std::string CommentsFileName(std::string_view path);

// File-name state of a document window (log document, navigation document,
// live logging window).
struct TypeFileState {
  std::string FileName;
  std::string FileExt;      // upper-case extension of FileName
  std::string FileExtType;  // recognised kind's extension, "empty", or FileExt
  std::string FileType;     // display name, "PNav", "Unknown" or "empty"
  bool FileError = false;
  bool NewFile = false;     // set by a logging window: no recognition by content
  bool GrdFile = false;     // the comments file NameGrdFile exists
  std::string NameGrdFile;  // where the log's comments are kept; empty if none
};

// Assigns FileName and runs the recognition. navigationKind: the document's
// sample is of kind 8 (its FileType is then "PNav" whatever the file holds).
// Returns false only when nothing happened (empty value while FileName is
// empty); otherwise true, and the caller runs its OnFileNameChanged hook.
// NameGrdFile is the comments-file name of a recognised log even before that
// file exists (so the first comment creates it); empty otherwise.
bool AssignFileName(TypeFileState& state, const std::string& value, bool navigationKind);

// Sets up a fresh sample for the log kind of fileExtType: FDevDigits 5 (4 for
// ".ZPT"), the kind's header sentence, SetKind. Does nothing and returns false
// when the sample already has a kind (a navigation sample keeps its set-up
// whatever its file is named; reloading under another kind needs a new
// sample) or when fileExtType names no kind.
bool SetUpSample(TSample& sample, std::string_view fileExtType);

}  // namespace tessaly
