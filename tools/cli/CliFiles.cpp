#include "CliFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include "core/TempFile.h"

namespace tessaly::cli {

namespace {

std::optional<struct stat> StatOf(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  return status;
}

bool SameFile(const std::string& a, const std::string& b) {
  const auto statA = StatOf(a), statB = StatOf(b);
  if (statA && statB) return statA->st_dev == statB->st_dev && statA->st_ino == statB->st_ino;
  if (statA || statB) return false;
  std::error_code ec;
  const auto normalA = std::filesystem::weakly_canonical(std::filesystem::absolute(a, ec), ec);
  const auto normalB = std::filesystem::weakly_canonical(std::filesystem::absolute(b, ec), ec);
  return !ec && normalA == normalB;
}

std::string Capitalised(std::string text) {
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
  return text;
}

std::string Clash(const RoleFile& output, const RoleFile& other) {
  return Capitalised(output.role) + " " + output.path + " is " + other.role + " " + other.path +
         "; nothing was written.";
}

// ---- Removing the temporary files when the program is ended by a signal ----

constexpr std::size_t kMaxStaged = 4;
std::array<std::array<char, 4096>, kMaxStaged> stagedPaths{};
std::array<volatile std::sig_atomic_t, kMaxStaged> stagedInUse{};

extern "C" void RemoveStagedAndEnd(int signal) {
  for (std::size_t i = 0; i < kMaxStaged; ++i)
    if (stagedInUse[i]) ::unlink(stagedPaths[i].data());
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

void InstallSignalCleanup() {
  static const bool installed = [] {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) std::signal(signal, RemoveStagedAndEnd);
    return true;
  }();
  (void)installed;
}

void Register(const std::string& temp) {
  InstallSignalCleanup();
  for (std::size_t i = 0; i < kMaxStaged; ++i) {
    if (stagedInUse[i] || temp.size() >= stagedPaths[i].size()) continue;
    std::memcpy(stagedPaths[i].data(), temp.c_str(), temp.size() + 1);
    stagedInUse[i] = 1;
    return;
  }
}

void Unregister(const std::string& temp) {
  for (std::size_t i = 0; i < kMaxStaged; ++i)
    if (stagedInUse[i] && temp == stagedPaths[i].data()) stagedInUse[i] = 0;
}

std::string SystemError(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

std::string InputFileProblem(const std::string& path) {
  const auto status = StatOf(path);
  if (!status || S_ISREG(status->st_mode)) return {};
  if (S_ISDIR(status->st_mode)) return path + " is a folder, not a file to read.";
  return path + " is not a regular file (a FIFO or a device); it is not read.";
}

std::string OutputClash(const std::vector<RoleFile>& inputs, const std::vector<RoleFile>& outputs) {
  for (std::size_t o = 0; o < outputs.size(); ++o) {
    for (const RoleFile& input : inputs)
      if (SameFile(outputs[o].path, input.path)) return Clash(outputs[o], input);
    for (std::size_t earlier = 0; earlier < o; ++earlier)
      if (SameFile(outputs[o].path, outputs[earlier].path)) return Clash(outputs[o], outputs[earlier]);
  }
  return {};
}

StagedOutput::StagedOutput(std::string target) : target_(std::move(target)) {}

StagedOutput::~StagedOutput() { Discard(); }

bool StagedOutput::Prepare(std::string& error) {
  const auto status = StatOf(target_);
  if (status && S_ISDIR(status->st_mode)) {
    error = target_ + " is a folder; nothing was written.";
    return false;
  }
  if (status && !S_ISREG(status->st_mode)) return true;
  // A link is followed: the file it names is replaced, in its own folder.
  std::error_code ec;
  destination_ = status ? std::filesystem::canonical(target_, ec).string() : target_;
  if (ec) destination_ = target_;
  const int fd = CreateTempBeside(destination_, temp_);
  if (fd < 0) {
    error = SystemError("Cannot create", target_);
    temp_.clear();
    return false;
  }
  ::close(fd);
  Register(temp_);
  return true;
}

bool StagedOutput::Commit(std::string& error) {
  if (temp_.empty()) return true;
  const int fd = ::open(temp_.c_str(), O_RDONLY | O_CLOEXEC);
  const bool durable = fd >= 0 && ::fsync(fd) == 0;
  if (fd >= 0) ::close(fd);
  if (!durable || std::rename(temp_.c_str(), destination_.c_str()) != 0) {
    error = SystemError("Cannot write", target_);
    Discard();
    return false;
  }
  Unregister(temp_);
  temp_.clear();
  return true;
}

std::string StagedOutput::InTargetTerms(std::string message) const {
  if (temp_.empty()) return message;
  for (std::size_t at = message.find(temp_); at != std::string::npos; at = message.find(temp_, at + target_.size()))
    message.replace(at, temp_.size(), target_);
  return message;
}

void StagedOutput::Discard() {
  if (temp_.empty()) return;
  Unregister(temp_);
  ::unlink(temp_.c_str());
  temp_.clear();
}

}  // namespace tessaly::cli
