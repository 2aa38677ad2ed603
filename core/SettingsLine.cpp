#include "core/SettingsLine.h"

#include <random>

namespace tessaly {
namespace {

constexpr std::size_t kLeadFiller = 40;
constexpr std::size_t kTrailFiller = 50;
constexpr unsigned char kShift = 100;

char Raise(unsigned char c) { return static_cast<char>(static_cast<unsigned char>(c + kShift)); }
char Lower(unsigned char c) { return static_cast<char>(static_cast<unsigned char>(c - kShift)); }

void AppendFiller(std::string& out, std::size_t count) {
  thread_local std::mt19937 generator{std::random_device{}()};
  std::uniform_int_distribution<int> code(100, 199);
  for (std::size_t i = 0; i < count; ++i) out.push_back(static_cast<char>(code(generator)));
}

bool NeedsEscaping(std::string_view value) {
  for (char c : value) {
    const char stored = Raise(static_cast<unsigned char>(c));
    if (stored == '\n' || stored == '\r') return true;
  }
  return false;
}

}  // namespace

std::string EscapeLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (char c : text) {
    switch (c) {
      case '\n': out += {kEscapeByte, '0'}; break;
      case '\r': out += {kEscapeByte, '1'}; break;
      case kEscapeByte: out += {kEscapeByte, kEscapeByte}; break;
      default: out.push_back(c);
    }
  }
  return out;
}

std::string UnescapeLineEnds(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != kEscapeByte || i + 1 == text.size()) {
      out.push_back(text[i]);
      continue;
    }
    const char code = text[++i];
    out.push_back(code == '0' ? '\n' : code == '1' ? '\r' : code);
  }
  return out;
}

std::string EncodeLine(std::string_view value) {
  const bool escaped = NeedsEscaping(value);
  std::string stored(value);
  for (char& c : stored) c = Raise(static_cast<unsigned char>(c));
  std::string line;
  line.reserve(stored.size() * (escaped ? 2 : 1) + kLeadFiller + kTrailFiller);
  AppendFiller(line, kLeadFiller);
  if (escaped) line[0] = kEscapedLineMarker;
  line += escaped ? EscapeLineEnds(stored) : stored;
  AppendFiller(line, kTrailFiller);
  return line;
}

std::string DecodeLine(std::string_view line) {
  if (line.size() < kLeadFiller + kTrailFiller + 1) return {};
  std::string_view stored = line.substr(kLeadFiller, line.size() - kLeadFiller - kTrailFiller);
  std::string value = line[0] == kEscapedLineMarker ? UnescapeLineEnds(stored) : std::string(stored);
  for (char& c : value) c = Lower(static_cast<unsigned char>(c));
  return value;
}

}  // namespace tessaly
