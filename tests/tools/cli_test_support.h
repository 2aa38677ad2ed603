// Runs of tessaly-cli for the tool tests: a temporary program home, the
// tool run with arguments (in the foreground, or started and waited for),
// and the bytes and listing of files.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace tessaly::testing {

class TempHome {
 public:
  TempHome() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            (std::string("tessaly-cli-") + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_ / "Lib");
  }
  ~TempHome() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempHome(const TempHome&) = delete;
  TempHome& operator=(const TempHome&) = delete;
  std::string Path(const std::string& name) const { return (path_ / name).string(); }
  std::string Home() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string Quote(const std::string& text) {
  std::string quoted(1, '\'');
  for (const char c : text) {
    if (c == '\'') quoted.append("'\\''");
    else quoted.push_back(c);
  }
  quoted.push_back('\'');
  return quoted;
}

inline std::string CliBinary() { return std::string(TESSALY_BIN_DIR) + "/tessaly-cli"; }

struct CliRun {
  int exitCode;  // -1 when the tool did not exit normally
  std::string out, err;
};

// Runs tessaly-cli with the arguments, the program home set to `home`.
// `shellPrefix` runs before it in the same shell (a trap, a ulimit).
inline CliRun Cli(const TempHome& home, const std::vector<std::string>& args, const std::string& shellPrefix = {}) {
  std::string command = shellPrefix + " TESSALY_HOME=" + Quote(home.Home()) + " LC_ALL=C " + Quote(CliBinary());
  for (const std::string& arg : args) command.append(" ").append(Quote(arg));
  command.append(" >").append(Quote(home.Path("stdout"))).append(" 2>").append(Quote(home.Path("stderr")));
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(home.Path("stdout")), ReadBytes(home.Path("stderr"))};
}

// Starts tessaly-cli without waiting for it; its output goes to the home's
// "stdout" and "stderr" files.
inline pid_t StartCli(const TempHome& home, const std::vector<std::string>& args) {
  const std::string binary = CliBinary(), out = home.Path("stdout"), err = home.Path("stderr");
  std::vector<char*> argv{const_cast<char*>(binary.c_str())};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setenv("TESSALY_HOME", home.Home().c_str(), 1);
    ::setenv("LC_ALL", "C", 1);
    ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
    ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
    ::execv(binary.c_str(), argv.data());
    ::_exit(127);
  }
  return pid;
}

// The names and sizes of every file under a folder, sorted.
inline std::vector<std::string> Listing(const std::string& folder) {
  std::vector<std::string> entries;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    const std::string name = entry.path().lexically_relative(folder).string();
    entries.push_back(entry.is_regular_file() ? name + " " + std::to_string(entry.file_size()) : name);
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

}  // namespace tessaly::testing
