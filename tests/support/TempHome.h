// A program home for one test: a fresh temporary folder holding Lib/ (empty,
// or copies of the build's default Lib/ and sample Projects/), removed with
// everything in it when the test ends. Also the place for a test's own files.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace tessaly::testing {

class TempHome {
 public:
  enum class Content {
    EmptyLib,       // an empty Lib/ folder
    BuildDefaults,  // the build's default Lib/ and its Projects/ of sample logs
  };

  explicit TempHome(Content content = Content::EmptyLib) {
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "tessaly-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
    if (content == Content::EmptyLib) {
      fs::create_directories(path_ / "Lib");
      return;
    }
    const fs::path bin(TESSALY_BIN_DIR);
    fs::copy(bin / "Lib", path_ / "Lib", fs::copy_options::recursive);
    fs::copy(bin / "Projects", path_ / "Projects", fs::copy_options::recursive);
  }
  ~TempHome() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempHome(const TempHome&) = delete;
  TempHome& operator=(const TempHome&) = delete;

  // The folder, ending with a separator, as the program's home.
  std::string Home() const { return path_.string() + "/"; }
  std::string Path(const std::string& relative) const { return Home() + relative; }
  std::string Lib(const std::string& name) const { return Path("Lib/" + name); }
  std::string Sample(const std::string& name) const { return Path("Projects/" + name); }

 private:
  std::filesystem::path path_;
};

}  // namespace tessaly::testing
