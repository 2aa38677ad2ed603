// Kinds of survey log: the kinds table, recognition of a log's kind from its
// first lines, the file-name state of a document window and the set-up of a
// document's record parser for its kind.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
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
  bool positions;                // its records carry the towfish's position
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

// What the recognition of a file found.
enum class Recognition : std::uint8_t {
  Kind,        // a kind of the table: from the file's first lines, or, for a
               // file that is not read (missing, or new), from its extension
  NoKind,      // not read, and its extension names no kind
  Navigation,  // a navigation import, never read for a kind ("PNav")
  Empty,       // the file has no bytes ("empty")
  Unknown,     // no rule matched, or the file could not be read ("Unknown")
};

struct KindDetection {
  Recognition outcome = Recognition::NoKind;
  const LogKindInfo* kind = nullptr;  // the kind's row, for Recognition::Kind
  // The kind rests on a line's length alone (the KV7100 Log rule for a line
  // that does not begin with "$KVMGD"): any text with a line of that length
  // is taken for a log, so this says little of what the file holds.
  bool byLengthAlone = false;
};

// Recognises the kind of the log at path from its first lines: Kind, Empty
// or Unknown; for a path that does not exist, Kind or NoKind by the path's
// own extension. The first 10 lines are examined; a line containing "DEV",
// "LAT" or "LONG" stops the search.
// Line breaks are CR LF, LF or a lone CR; every other byte is an ordinary
// character. Reads at most kDetectByteBudget bytes: a file whose decision
// needs more (absurdly long lines) is Unknown.
KindDetection DetectLogKind(const std::string& path);
inline constexpr std::size_t kDetectByteBudget = 1u << 20;

// The header sentence ("$KVMGD", "$BTGFG", "$MGD") that one of the first 10
// lines of the file at path begins with: the mark of a log's records, of
// whatever length; empty when no line does or the file cannot be read.
// Reads at most kDetectByteBudget bytes.
std::string_view HeaderSentenceInFirstLines(const std::string& path);

// Name of the comments file of a log: the path with its last three
// characters replaced by "cmt" (line7.KVL -> line7.cmt). Empty, meaning the
// log has no comments file, when the file name (after the last '/') is shorter
// than 3 characters or already ends in "cmt" (any case), so that a comments
// file can never be written over a log.
std::string CommentsFileName(std::string_view path);

// File-name state of a document window (log document, navigation document,
// live logging window): the recognition once made, and its texts as the
// windows and tessaly-cli show them. Decisions read `recognition` and `kind`,
// never the texts.
struct TypeFileState {
  std::string FileName;
  Recognition recognition = Recognition::NoKind;
  const LogKindInfo* kind = nullptr;  // the recognised kind's row; null for any other outcome
  std::string FileExt;      // upper-case extension of FileName
  std::string FileExtType;  // the kind's extension, "empty", or FileExt
  std::string FileType;     // the kind's display name, "PNav", "Unknown", "empty", or empty text
  bool FileError = false;
  bool NewFile = false;     // set by a logging window: no recognition by content
  bool GrdFile = false;     // the comments file NameGrdFile exists
  std::string NameGrdFile;  // where the log's comments are kept; empty if none
};

// Assigns FileName and runs the recognition, the one place a file's kind is
// decided: navigationKind makes it a navigation import (whatever the file
// holds), NewFile takes the kind from the extension without reading the
// file. Returns false only when nothing happened (empty value while FileName
// is empty); otherwise true, and the caller runs its OnFileNameChanged hook.
// NameGrdFile is the comments-file name, even before that file exists (so
// the first comment creates it), unless the file is empty, unknown or a
// navigation import: then it is empty.
bool AssignFileName(TypeFileState& state, const std::string& value, bool navigationKind);

// Sets up a fresh sample for a log kind: FDevDigits 5 (4 for ".ZPT"), the
// kind's header sentence, SetKind. Does nothing and returns false when the
// sample already has a kind (a navigation sample keeps its set-up whatever
// its file is named; reloading under another kind needs a new sample).
bool SetUpSample(TSample& sample, const LogKindInfo& kind);

}  // namespace tessaly
