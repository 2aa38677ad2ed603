#include "core/RecordRescue.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/CrLf.h"

namespace tessaly {

namespace {

// Tries this many names in one folder before giving it up.
constexpr int kRescueNames = 100;

std::size_t FileNameStart(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

std::string Joined(const std::vector<std::string>& pieces, bool lineBreaks) {
  std::string bytes;
  for (const std::string& piece : pieces) {
    bytes += piece;
    if (lineBreaks) bytes += kCrLf;
  }
  return bytes;
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = EIO;
      return false;
    }
    done += static_cast<std::size_t>(written);
  }
  return true;
}

// Writes a new file of the first free rescue name in `folder`: empty text
// and the name in `file`, or why not (nothing is left behind then).
std::string WriteNewFile(const std::string& log, const std::string& folder, const std::string& bytes,
                         std::string& file) {
  for (int number = 1; number <= kRescueNames; ++number) {
    const std::string name = RescueFileName(log, folder, number);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return "Cannot create " + name + ": " + std::strerror(errno);
    const bool written = WriteAll(fd, bytes) && ::fdatasync(fd) == 0;
    const int error = errno;
    if (::close(fd) != 0 || !written) {
      ::unlink(name.c_str());
      return "Cannot write " + name + ": " + std::strerror(written ? errno : error);
    }
    file = name;
    return {};
  }
  return "No free name for a rescue file in " + (folder.empty() ? log.substr(0, FileNameStart(log)) : folder);
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
  if (pieces.empty()) return result;
  const std::string bytes = Joined(pieces, lineBreaks);
  result.problem = WriteNewFile(log, {}, bytes, result.file);
  if (result.problem.empty()) {
    result.written = pieces.size();
    return result;
  }
  if (fallbackFolder.empty()) return result;
  const std::string besideProblem = result.problem;
  result.problem = WriteNewFile(log, fallbackFolder, bytes, result.file);
  result.written = result.problem.empty() ? pieces.size() : 0;
  result.problem = result.problem.empty() ? besideProblem : besideProblem + "; " + result.problem;
  return result;
}

}  // namespace tessaly
