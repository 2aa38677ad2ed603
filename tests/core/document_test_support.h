// Files for the document, pipeline and export tests: a temporary folder,
// small hand-written logs and generated survey logs.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace tessaly::testing {

class DocumentTempDir {
 public:
  DocumentTempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() / ("tessaly-doc-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~DocumentTempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  DocumentTempDir(const DocumentTempDir&) = delete;
  DocumentTempDir& operator=(const DocumentTempDir&) = delete;

  std::string Path(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Lines joined with CR LF, the last one ended too.
inline std::string CrLfLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\r\n";
  return out;
}

// The lines of a text split at CR LF.
inline std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
    lines.push_back(text.substr(start, at - start));
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

// A valid KVL record (47 characters) with the given deviation.
inline std::string KvlLine(const std::string& dev = "+00042", const std::string& depth = "25.3") {
  return "$KVMGD," + dev + ",4418.000,N,06318.000,W," + depth + ",78.4";
}

// A valid KVS record with the given deviation.
inline std::string KvsLine(const std::string& dev = "+00042") { return dev + ",44 18.000N 063 18.000W,25.3,78.4"; }

// Writes a generated survey log; fails the test when the generator fails.
inline void GenerateSurvey(const std::string& kind, int records, double badFraction, int seed,
                           const std::string& path) {
  std::ostringstream command;
  command << "python3 '" << TESSALY_GEN_SURVEY << "' --kind " << kind << " --records " << records
          << " --bad-fraction " << badFraction << " --seed " << seed << " -o '" << path << "'";
  ASSERT_EQ(std::system(command.str().c_str()), 0) << command.str();
}

}  // namespace tessaly::testing
