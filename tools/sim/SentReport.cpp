#include "tools/sim/SentReport.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <stdexcept>

namespace tessaly::sim {
namespace {

std::string Count(std::optional<std::size_t> count) { return count ? std::to_string(*count) : "?"; }

}  // namespace

std::string EscapeBytes(std::string_view bytes) {
  static const char kHex[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size());
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\\': text += "\\\\"; continue;
      case '\r': text += "\\r"; continue;
      case '\n': text += "\\n"; continue;
      case '\t': text += "\\t"; continue;
      default: break;
    }
    if (byte < 0x20 || byte > 0x7e) {
      text += "\\x";
      text += kHex[byte >> 4];
      text += kHex[byte & 0xF];
    } else {
      text += c;
    }
  }
  return text;
}

std::string UnescapeBytes(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 >= text.size()) {
      bytes += text[i];
      continue;
    }
    const char code = text[++i];
    if (code == 'r') bytes += '\r';
    else if (code == 'n') bytes += '\n';
    else if (code == 't') bytes += '\t';
    else if (code == 'x' && i + 2 < text.size()) {
      bytes += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      bytes += code;
    }
  }
  return bytes;
}

std::string EventBytes(char tag, std::string_view text) {
  if (tag == 'R' || tag == 'G' || tag == 'C' || tag == 'I') return UnescapeBytes(text);
  if (tag == 'S' || tag == 'X') return UnescapeBytes(text.substr(text.find(' ') + 1));
  return {};
}

SentReport::SentReport(const std::string& path, bool times) : times_(times) {
  if (path.empty()) return;
  file_.reset(std::fopen(path.c_str(), "wb"));
  if (!file_) throw std::runtime_error("cannot create the report " + path + ": " + std::strerror(errno));
}

void SentReport::Line(std::string_view tag, std::string_view text) {
  if (!file_) return;
  std::string line(tag);
  line += ' ';
  line += text;
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), file_.get());
  std::fflush(file_.get());
}

void SentReport::Device(const std::string& path) { Line("D", path); }

void SentReport::Time() {
  if (!times_) return;
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  Line("T", std::to_string(static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec));
}

void SentReport::Record(std::string_view bytes) {
  Line("R", EscapeBytes(bytes));
  Time();
}

void SentReport::SplitRecord(std::string_view bytes, const std::vector<std::size_t>& cuts) {
  std::string list;
  for (const std::size_t cut : cuts) {
    if (!list.empty()) list += ',';
    list += std::to_string(cut);
  }
  Line("S", list + " " + EscapeBytes(bytes));
  Time();
}

void SentReport::SourceLine(std::size_t number) { Line("L", std::to_string(number)); }

void SentReport::BrokenRecord(std::string_view bytes, std::size_t at) {
  Line("X", std::to_string(at) + " " + EscapeBytes(bytes));
}

void SentReport::InFlight(std::size_t records, int lingerMs) {
  Line("F", std::to_string(records) + " " + std::to_string(lingerMs));
}

void SentReport::CutRecord(std::string_view bytes) { Line("C", EscapeBytes(bytes)); }

void SentReport::Burst(std::size_t records) { Line("B", std::to_string(records)); }

void SentReport::Garbage(std::string_view bytes) { Line("G", EscapeBytes(bytes)); }

void SentReport::Pause(int ms) { Line("P", std::to_string(ms)); }

void SentReport::Hangup(int ms, std::optional<std::size_t> unread) { Line("H", std::to_string(ms) + " " + Count(unread)); }

void SentReport::Interrupted(std::string_view bytes) { Line("I", EscapeBytes(bytes)); }

void SentReport::End(std::optional<std::size_t> unread) { Line("E", Count(unread)); }

}  // namespace tessaly::sim
