#include "core/OutputFile.h"

#include <cerrno>
#include <cstring>

namespace tessaly {

namespace {
constexpr std::size_t kOutputBufferBytes = 4u << 20;
}

OutputFile::~OutputFile() {
  if (file_) std::fclose(file_);
}

bool OutputFile::Open(const std::string& path) {
  path_ = path;
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) {
    error_ = "Cannot create " + path + ": " + std::strerror(errno);
    return false;
  }
  buffer_.reserve(kOutputBufferBytes + (kOutputBufferBytes >> 2));
  return true;
}

void OutputFile::Commit() {
  if (buffer_.size() >= kOutputBufferBytes) Flush();
}

void OutputFile::Flush() {
  if (file_ && error_.empty() && !buffer_.empty() &&
      std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
    error_ = "Cannot write " + path_ + ": " + std::strerror(errno);
  buffer_.clear();
}

bool OutputFile::Close() {
  if (!file_) return false;
  Flush();
  if (std::fclose(file_) != 0 && error_.empty()) error_ = "Cannot write " + path_ + ": " + std::strerror(errno);
  file_ = nullptr;
  return error_.empty();
}

}  // namespace tessaly
