// OutputFile: a file written through a large buffer, for the exports.
// Errors are kept, not thrown: the first one stops further writing and is
// reported by Close.
#pragma once

#include <cstdio>
#include <string>

namespace tessaly {

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Creates or truncates the file. False with the reason in Error().
  bool Open(const std::string& path);
  // The buffer to append to; flushed by Commit when it has grown large.
  std::string& Buffer() { return buffer_; }
  void Commit();
  // Writes what is left and closes. False when any write failed.
  bool Close();
  const std::string& Error() const { return error_; }

 private:
  void Flush();

  std::FILE* file_ = nullptr;
  std::string path_;
  std::string buffer_;
  std::string error_;
};

}  // namespace tessaly
