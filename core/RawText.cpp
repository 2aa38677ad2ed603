#include "core/RawText.h"

#include "core/MemoryAdvice.h"

#include <cstdio>
#include <memory>

namespace tessaly {

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  if (std::fseek(file.get(), 0, SEEK_END) != 0) return false;
  const long size = std::ftell(file.get());
  if (size < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) return false;
  bytes.reserve(static_cast<std::size_t>(size));
  AdviseHugePages(bytes);
  bytes.resize(static_cast<std::size_t>(size));
  const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
  bytes.resize(got);  // a file that shrank while being read gives what it held
  return !std::ferror(file.get());
}

}  // namespace

bool RawText::LoadFile(const std::string& path) {
  Clear();
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return false;
  Assign(std::move(bytes));
  return true;
}

void RawText::Assign(std::string bytes) {
  bytes_ = std::move(bytes);
  IndexLines();
}

void RawText::Clear() {
  bytes_ = std::string();
  lineStart_ = std::vector<std::uint64_t>();
}

void RawText::IndexLines() {
  // Counted first so that the index is allocated once, at its exact size.
  std::size_t count = 0;
  ForEachLine(bytes_, true, [&count](std::string_view) { ++count; });
  lineStart_ = std::vector<std::uint64_t>();
  lineStart_.reserve(count);
  AdviseHugePages(lineStart_);
  const char* base = bytes_.data();
  ForEachLine(bytes_, true, [this, base](std::string_view line) {
    lineStart_.push_back(static_cast<std::uint64_t>(line.data() - base));
  });
}

std::string_view RawText::Line(std::size_t index) const {
  if (index >= lineStart_.size()) return {};
  const std::size_t start = lineStart_[index];
  std::size_t end = index + 1 < lineStart_.size() ? lineStart_[index + 1] : bytes_.size();
  // A line holds no CR or LF, so the break before the next line is whatever
  // CR and LF end this range.
  if (end > start && bytes_[end - 1] == '\n') --end;
  if (end > start && bytes_[end - 1] == '\r') --end;
  return std::string_view(bytes_.data() + start, end - start);
}

std::size_t RawText::MemoryBytes() const {
  return bytes_.capacity() + lineStart_.capacity() * sizeof(std::uint64_t);
}

}  // namespace tessaly
