// NmeaFramer: cuts a GPS's byte stream into NMEA 0183 sentences.
//
// A sentence runs from "$" (or "!", the encapsulated sentences) to its line
// break, CR or LF; it is handed out without the line break as soon as the
// break arrives. NMEA 0183 allows at most 82 characters from the start
// character to LF, so a sentence holds at most 80 characters before CR LF;
// a longer run, a sentence broken off by the next start character and any
// byte outside printable ASCII inside a sentence make the run garbage. Bytes
// outside sentences (other than line breaks) are garbage too. Garbage is
// dropped and counted, never handed out. A sentence split across chunks is
// still found.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tessaly {

class NmeaFramer {
 public:
  // Characters of a sentence from its start character to its line break
  // (CR LF not included): 82 with CR LF.
  static constexpr std::size_t kMaxSentenceChars = 80;

  struct Counts {
    std::uint64_t sentences = 0;     // handed out
    std::uint64_t garbageBytes = 0;  // dropped, the bytes of broken and over-long runs included
    std::uint64_t overlongRuns = 0;  // runs dropped for passing kMaxSentenceChars
    std::uint64_t brokenRuns = 0;    // runs cut short by a start character or a control byte
  };

  using SentenceFn = std::function<void(std::string_view sentence)>;

  // Adds a chunk; calls `onSentence` for every sentence it completes, in order.
  void Feed(std::string_view chunk, const SentenceFn& onSentence);
  // Drops an incomplete sentence (a lost device, a stop); counted as garbage.
  void Reset();
  const Counts& Counted() const { return counts_; }
  // Characters held for an incomplete sentence.
  std::size_t Pending() const { return sentence_.size(); }

 private:
  void Drop(bool overlong);

  std::string sentence_;  // from the start character on, while in a sentence
  Counts counts_;
};

}  // namespace tessaly
