// The one rule for every file the program writes: may this path be written?
//
// An export (VDG and every later format, track pictures, error lists, a
// saved navigation import) never replaces a guarded file - the file it reads,
// its comments file, its other outputs, a file an open window uses - nor any
// existing file recognised as a survey log or a navigation file.
// A log's comments file is never a guarded file (the log itself above all).
// What acquisition writes (live log parts, downloads) never replaces a file
// an open window uses, and replaces any other existing file only with the
// user's consent.
//
// A refusal names the target once, says what it is and that nothing was
// written. The callers decide what to do with a question (ask the user, or
// a tool without a user refuses).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tessaly {

enum class WriteKind : std::uint8_t {
  Export,       // exports, pictures, error lists, saved imports
  Comments,     // a log's comments file
  Acquisition,  // live log parts, downloads
};

// A file a writer must leave alone, with what a refusal calls it: "the file
// to export", "the comments file of the log", "in use by \"KV7100 Log -
// line01.kvl\"".
struct GuardedFile {
  std::string path;
  std::string what;
};

struct OutputVerdict {
  enum class Outcome : std::uint8_t {
    Write,       // go ahead
    AskConsent,  // acquisition over an existing file: `message` is the question
    Refuse,      // `message` says why
  };
  Outcome outcome = Outcome::Write;
  std::string message;

  bool MayWrite() const { return outcome == Outcome::Write; }
};

// The verdict on writing `target` as `kind`. `targetRole` names the target in
// a refusal ("The output file", "The picture file"); `guarded` are the files
// of this writer and of the open windows, compared however the paths are
// spelt (the same file by another name or through a link counts).
OutputVerdict CheckOutput(WriteKind kind, const std::string& target, std::string_view targetRole,
                          std::span<const GuardedFile> guarded);

// What an existing regular file at `path` is recognised as when it is a
// survey log ("a survey log (KV7100 Log)") or a navigation file ("a
// navigation file"); empty for anything else: a missing file, an error list
// (whose raw lines look like a log's), an export, and a text that the log
// recognition takes for a log by a line's length alone.
std::string RecognisedDataFile(const std::string& path);

}  // namespace tessaly
