#include "tools/sim/PtyDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <stdexcept>

#include "tools/sim/StopSleep.h"

namespace tessaly::sim {
namespace {

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what + ": " + std::strerror(errno)); }

std::string LinkTarget(const std::string& link) {
  char target[PATH_MAX];
  const ssize_t size = ::readlink(link.c_str(), target, sizeof target);
  return size < 0 ? std::string() : std::string(target, static_cast<std::size_t>(size));
}

// Points `link` at `target` in one step (a reader never finds it missing or
// half made). A stale link is replaced; any other file is left alone.
void PointLink(const std::string& link, const std::string& target) {
  struct stat status {};
  if (::lstat(link.c_str(), &status) == 0 && !S_ISLNK(status.st_mode))
    throw std::runtime_error("will not replace " + link + ": it is not a symbolic link");
  const std::string temporary = link + ".tessaly-sim-" + std::to_string(::getpid());
  ::unlink(temporary.c_str());
  if (::symlink(target.c_str(), temporary.c_str()) != 0) Fail("cannot make the link " + link);
  if (::rename(temporary.c_str(), link.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    errno = error;
    Fail("cannot make the link " + link);
  }
}

void MakeRaw(int slave) {
  termios settings{};
  if (::tcgetattr(slave, &settings) != 0) Fail("cannot read the pseudo-terminal's settings");
  ::cfmakeraw(&settings);
  if (::tcsetattr(slave, TCSANOW, &settings) != 0) Fail("cannot make the pseudo-terminal raw");
}

}  // namespace

PtyDevice::PtyDevice(std::string linkPath) : linkPath_(std::move(linkPath)) {}

PtyDevice::~PtyDevice() { Close(); }

void PtyDevice::Open() {
  Close();
  int master = -1, slave = -1;
  if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) Fail("cannot create a pseudo-terminal");
  try {
    // ttyname_r: the instrument's and the GPS's devices are opened on two
    // threads at once, and ttyname's answer is one buffer shared by both.
    char name[PATH_MAX];
    if (const int error = ::ttyname_r(slave, name, sizeof name); error != 0) {
      errno = error;
      Fail("cannot name the pseudo-terminal");
    }
    path_ = name;
    MakeRaw(slave);
    // Only readers hold the slave from now on, so the master sees whether
    // one is there.
    ::close(slave);
    slave = -1;
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    if (::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK) != 0) Fail("cannot set up the pseudo-terminal");
    if (!linkPath_.empty()) PointLink(linkPath_, path_);
  } catch (...) {
    if (slave >= 0) ::close(slave);
    ::close(master);
    path_.clear();
    throw;
  }
  master_ = master;
}

void PtyDevice::Close() {
  if (master_ < 0) return;
  if (!linkPath_.empty() && LinkTarget(linkPath_) == path_) ::unlink(linkPath_.c_str());
  ::close(master_);
  master_ = -1;
}

bool PtyDevice::ReaderPresent() const {
  if (master_ < 0) return false;
  pollfd entry{master_, POLLOUT, 0};
  return ::poll(&entry, 1, 0) >= 0 && !(entry.revents & POLLHUP);
}

std::optional<std::size_t> PtyDevice::Unread() const {
  if (master_ < 0) return std::nullopt;
  // The count is the slave's: look through a second descriptor of it.
  const int slave = ::open(path_.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (slave < 0) return std::nullopt;
  int count = 0;
  const bool known = ::ioctl(slave, FIONREAD, &count) == 0;
  ::close(slave);
  if (!known) return std::nullopt;
  return static_cast<std::size_t>(count);
}

std::size_t PtyDevice::WriteSome(std::string_view bytes) {
  if (bytes.empty()) return 0;
  const ssize_t written = ::write(master_, bytes.data(), bytes.size());
  if (written >= 0) return static_cast<std::size_t>(written);
  if (errno == EAGAIN || errno == EINTR) return 0;
  Fail("cannot write to " + path_);
}

void PtyDevice::WaitWritable(int timeoutMs) const {
  pollfd entry{master_, POLLOUT, 0};
  // Without a reader poll answers at once (hang-up); wait out the time then.
  if (::poll(&entry, 1, timeoutMs) > 0 && !(entry.revents & POLLOUT)) ::usleep(static_cast<useconds_t>(timeoutMs) * 1000);
}

std::optional<std::size_t> PtyDevice::WaitUntilTaken(std::chrono::milliseconds limit,
                                                      const std::atomic<bool>& stop) const {
  constexpr std::chrono::milliseconds kPollPeriod{20};
  const auto deadline = std::chrono::steady_clock::now() + limit;
  std::optional<std::size_t> unread = Unread();
  while (std::chrono::steady_clock::now() < deadline &&
         SleepUntilOrStopped(std::chrono::steady_clock::now() + kPollPeriod, stop)) {
    const std::optional<std::size_t> previous = unread;
    unread = Unread();
    if (unread == previous && (unread == std::optional<std::size_t>(0) || !ReaderPresent())) break;
  }
  return unread;
}

}  // namespace tessaly::sim
