#include "core/RecordRescue.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "core/CrLf.h"
#include "core/WriteAll.h"

namespace tessaly {

namespace {

// Tries this many names in one folder before giving it up.
constexpr int kRescueNames = 100;

std::size_t FileNameStart(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

std::string Failure(const std::string& what, const std::string& path, int error) {
  return what + " " + path + ": " + std::strerror(error);
}

// A new file of the first free rescue name in `folder`; -1 and why not.
int CreateNewFile(const std::string& log, const std::string& folder, std::string& name, std::string& problem) {
  for (int number = 1; number <= kRescueNames; ++number) {
    name = RescueFileName(log, folder, number);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0) return fd;
    if (errno != EEXIST) {
      problem = Failure("Cannot create", name, errno);
      return -1;
    }
  }
  problem = "No free name for a rescue file in " + (folder.empty() ? log.substr(0, FileNameStart(log)) : folder);
  return -1;
}

// Writes pieces from `next` on, whole, into a new rescue file in `folder`
// until one does not fit; the file keeps the whole ones (it is removed when
// none fit). Returns why it stopped; moves `next` past what it kept.
std::string RescueInto(const std::vector<std::string>& pieces, bool lineBreaks, const std::string& log,
                       const std::string& folder, std::size_t& next, RescueResult& result) {
  std::string name, problem;
  const int fd = CreateNewFile(log, folder, name, problem);
  if (fd < 0) return problem;
  std::size_t done = next;
  off_t kept = 0;
  for (; done < pieces.size(); ++done) {
    std::string bytes = pieces[done];
    if (lineBreaks) bytes += kCrLf;
    if (const int error = WriteAll(fd, bytes); error != 0) {
      problem = Failure("Cannot write", name, error);
      [[maybe_unused]] const int cut = ::ftruncate(fd, kept);
      break;
    }
    kept += static_cast<off_t>(bytes.size());
  }
  if (::fdatasync(fd) != 0 && problem.empty()) {
    problem = Failure("Cannot write", name, errno);
    done = next;  // not on the disk: none counts
  }
  if (::close(fd) != 0 && problem.empty()) {
    problem = Failure("Cannot close", name, errno);
    done = next;
  }
  if (done == next) {
    ::unlink(name.c_str());
    return problem;
  }
  result.files.push_back({name, done - next});
  result.written += done - next;
  next = done;
  return problem;
}

}  // namespace

std::string RescueFileName(const std::string& log, const std::string& folder, int number) {
  const std::size_t nameStart = FileNameStart(log);
  const std::size_t dot = log.rfind('.');
  const std::size_t cut = (dot == std::string::npos || dot < nameStart) ? log.size() : dot;
  std::string name = log.substr(nameStart, cut - nameStart) + "-rescued";
  if (number > 1) {
    name += '-';
    name += std::to_string(number);
  }
  name += log.substr(cut);
  if (folder.empty()) return log.substr(0, nameStart) + name;
  return folder + (folder.back() == '/' ? "" : "/") + name;
}

RescueResult RescueRecords(const std::vector<std::string>& pieces, bool lineBreaks, const std::string& log,
                           const std::string& fallbackFolder) {
  RescueResult result;
  std::vector<std::string> folders{std::string()};  // the log's own first
  if (!fallbackFolder.empty()) folders.push_back(fallbackFolder);
  std::size_t next = 0;
  for (const std::string& folder : folders) {
    if (next == pieces.size()) break;
    const std::string problem = RescueInto(pieces, lineBreaks, log, folder, next, result);
    if (problem.empty()) continue;
    if (!result.problem.empty()) result.problem.append("; ");
    result.problem.append(problem);
  }
  return result;
}

}  // namespace tessaly
