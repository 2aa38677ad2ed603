// A fresh temporary folder with a Lib/ subfolder, removed at the end of a test.
#pragma once

#include <filesystem>
#include <random>
#include <string>

namespace tessaly::testing {

class SettingsTempDir {
 public:
  SettingsTempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() / ("tessaly-settings-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_ / "Lib");
  }
  ~SettingsTempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  SettingsTempDir(const SettingsTempDir&) = delete;
  SettingsTempDir& operator=(const SettingsTempDir&) = delete;

  // The folder with a trailing separator, as the program home.
  std::string Home() const { return path_.string() + "/"; }
  std::string Lib(const std::string& name) const { return (path_ / "Lib" / name).string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace tessaly::testing
