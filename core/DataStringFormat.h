// The "Data String" form of a KV7100 memory download: the instrument sends
// its data set as text whose line ends carry no meaning; the download puts
// every signed value on a line of its own, the headings after a blank line
// and the end line on a line of its own, the layout a data-string log is read
// in.
//
// FormatDataString reformats one text. DataStringFormatter reformats a
// transmission that arrives in chunks: it holds back the end of a chunk that
// could be the start of a heading word, so the concatenated output equals
// FormatDataString of the whole transmission however it was cut.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessaly {

// The end line of a data set.
inline constexpr std::string_view kDataSetEndLine = "** End of data set **";

// Each step over the whole text, case-sensitive, in this order: every CR and
// every LF removed; "+" and "-" become CR LF and the sign; "Polarise" becomes
// CR LF CR LF TAB "Polarise"; "Fish" CR LF CR LF TAB TAB "Fish"; "No" CR LF
// CR LF "No"; "Dev" CR LF CR LF "Dev"; "** End" CR LF "** End".
std::string FormatDataString(std::string_view text);

// The entries of a reformatted text: its "+" and "-" characters.
std::int64_t CountEntries(std::string_view text);

class DataStringFormatter {
 public:
  // Reformats the next chunk of the transmission and returns what is final:
  // everything but a held-back tail that may still become a replaced word.
  std::string Feed(std::string_view chunk);
  // The end of the transmission: the held-back tail, reformatted.
  std::string Finish();
  // Entries in everything returned so far.
  std::int64_t Entries() const { return entries_; }

 private:
  std::string Emit(std::string_view text);

  std::string held_;  // line ends removed, not yet reformatted
  std::int64_t entries_ = 0;
};

// Watches a transmission, chunk by chunk, for the end line, which may be cut
// between chunks.
class EndLineDetector {
 public:
  // True once the end line has been seen in the chunks fed so far.
  bool Feed(std::string_view chunk);
  bool Seen() const { return seen_; }

 private:
  std::string tail_;  // the last characters, shorter than the end line
  bool seen_ = false;
};

}  // namespace tessaly
