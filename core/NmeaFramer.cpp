#include "core/NmeaFramer.h"

namespace tessaly {
namespace {

bool IsStart(char c) { return c == '$' || c == '!'; }
bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }
bool IsPrintable(char c) { return c >= 0x20 && c <= 0x7e; }

}  // namespace

void NmeaFramer::Feed(std::string_view chunk, const SentenceFn& onSentence) {
  for (const char c : chunk) {
    if (IsStart(c)) {
      if (!sentence_.empty()) Drop(false);
      sentence_.push_back(c);
    } else if (IsLineBreak(c)) {
      if (sentence_.size() > 1) {
        ++counts_.sentences;
        onSentence(sentence_);
      } else {
        counts_.garbageBytes += sentence_.size();
      }
      sentence_.clear();
    } else if (sentence_.empty()) {
      ++counts_.garbageBytes;
    } else if (!IsPrintable(c)) {
      ++counts_.garbageBytes;
      Drop(false);
    } else if (sentence_.size() == kMaxSentenceChars) {
      ++counts_.garbageBytes;
      Drop(true);
    } else {
      sentence_.push_back(c);
    }
  }
}

void NmeaFramer::Reset() {
  counts_.garbageBytes += sentence_.size();
  sentence_.clear();
}

void NmeaFramer::Drop(bool overlong) {
  counts_.garbageBytes += sentence_.size();
  if (overlong) ++counts_.overlongRuns;
  else ++counts_.brokenRuns;
  sentence_.clear();
}

}  // namespace tessaly
