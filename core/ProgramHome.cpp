#include "core/ProgramHome.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <system_error>

namespace tessaly {

namespace fs = std::filesystem;

namespace {

std::string WithTrailingSeparator(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string PasswordFileHome() {
  const passwd* entry = ::getpwuid(::getuid());
  return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

bool IsFolder(const fs::path& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

bool Exists(const fs::path& path) {
  std::error_code error;
  return fs::exists(fs::symlink_status(path, error));
}

// The user's data folder of the XDG base directory rules, empty when there
// is none to name.
std::string UserDataFolder(const HomeEnvironment& environment) {
  if (!environment.xdgDataHome.empty() && environment.xdgDataHome.front() == '/') return environment.xdgDataHome;
  if (!environment.userHome.empty()) return WithTrailingSeparator(environment.userHome) + ".local/share";
  return {};
}

std::string Describe(const fs::path& path, const std::error_code& error) {
  return path.string() + ": " + error.message();
}

// Copies every file of `from` that `to` lacks; a file already there is kept.
std::string CopyMissingFiles(const fs::path& from, const fs::path& to) {
  std::error_code error;
  fs::create_directories(to, error);
  if (error) return Describe(to, error);
  for (fs::directory_iterator entry(from, error), end; !error && entry != end; entry.increment(error)) {
    if (!entry->is_regular_file(error) || Exists(to / entry->path().filename())) continue;
    fs::copy_file(entry->path(), to / entry->path().filename(), fs::copy_options::skip_existing, error);
    if (error) return Describe(to / entry->path().filename(), error);
  }
  return error ? Describe(from, error) : "";
}

// Copies the folder `from` to `to`, which does not exist yet, through a
// temporary folder beside it: `to` appears whole or not at all.
std::string CopyWholeFolder(const fs::path& from, const fs::path& to) {
  std::error_code error;
  std::string name = to.filename().string();
  name.insert(0, 1, '.').append(".partial-").append(std::to_string(::getpid()));
  const fs::path partial = to.parent_path() / name;
  fs::remove_all(partial, error);
  fs::copy(from, partial, fs::copy_options::recursive, error);
  if (!error) fs::rename(partial, to, error);
  if (!error) return {};
  std::error_code ignored;
  fs::remove_all(partial, ignored);
  // Another start of the program may have made it meanwhile.
  return IsFolder(to) ? "" : Describe(to, error);
}

}  // namespace

HomeEnvironment CurrentHomeEnvironment() {
  HomeEnvironment environment;
  environment.tessalyHome = Environment("TESSALY_HOME");
  environment.xdgDataHome = Environment("XDG_DATA_HOME");
  environment.userHome = Environment("HOME");
  if (environment.userHome.empty()) environment.userHome = PasswordFileHome();
  std::error_code error;
  const fs::path exe = fs::read_symlink("/proc/self/exe", error);
  environment.executableFolder = error ? fs::current_path(error).string() : exe.parent_path().string();
  return environment;
}

HomePlace ChooseProgramHome(const HomeEnvironment& environment) {
  if (!environment.tessalyHome.empty()) return {WithTrailingSeparator(environment.tessalyHome), {}};
  const fs::path beside(environment.executableFolder);
  const fs::path defaults = (beside / ".." / "share" / "tessaly").lexically_normal();
  const bool installed = !Exists(beside / "Lib") && IsFolder(defaults / "Lib");
  if (!installed) return {WithTrailingSeparator(environment.executableFolder), {}};
  const std::string data = UserDataFolder(environment);
  if (data.empty()) return {WithTrailingSeparator(defaults.string()), {}};
  return {WithTrailingSeparator(data) + "tessaly/", WithTrailingSeparator(defaults.string())};
}

std::string FillUserHome(const HomePlace& place) {
  if (place.defaults.empty()) return {};
  const fs::path home(place.home), defaults(place.defaults);
  if (std::string problem = CopyMissingFiles(defaults / "Lib", home / "Lib"); !problem.empty()) return problem;
  if (Exists(home / "Projects") || !IsFolder(defaults / "Projects")) return {};
  return CopyWholeFolder(defaults / "Projects", home / "Projects");
}

std::string ProgramHome() {
  const HomePlace place = ChooseProgramHome(CurrentHomeEnvironment());
  const std::string problem = FillUserHome(place);
  // Said once: a tool asks for its folder at every settings file it reads.
  static std::once_flag reported;
  if (!problem.empty())
    std::call_once(reported, [&] { std::cerr << "Cannot copy the default settings into " << place.home << ": " << problem << "\n"; });
  return place.home;
}

}  // namespace tessaly
