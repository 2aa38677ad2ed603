// The simulated instrument's end of the line: a pseudo-terminal pair whose
// slave side is the device a reader opens, and an optional symbolic link to
// it. The slave is raw, so bytes pass unchanged.
//
// Writing goes to the master side and never blocks: a device nobody reads
// keeps what was written (about 20 KiB) and then takes no more. Closing the
// master is a hang-up: a reader's next read ends and the device node goes
// away, as when a USB adapter is unplugged.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tessaly::sim {

class PtyDevice {
 public:
  // `linkPath` may be empty (no link).
  explicit PtyDevice(std::string linkPath);
  ~PtyDevice();
  PtyDevice(const PtyDevice&) = delete;
  PtyDevice& operator=(const PtyDevice&) = delete;

  // Creates a new pseudo-terminal pair and points the link at its device.
  // Throws std::runtime_error with the reason (a link path held by a file
  // that is not a symbolic link is never replaced).
  void Open();
  // Hangs up: closes the master and removes the link (when it still points
  // at this device). Closing a closed device does nothing.
  void Close();

  bool IsOpen() const { return master_ >= 0; }
  // The device a reader opens, e.g. /dev/pts/3.
  const std::string& Path() const { return path_; }
  // True while some reader has the device open.
  bool ReaderPresent() const;
  // Bytes written that no reader has taken yet; unknown when the device
  // cannot be looked at (a reader holds it exclusively).
  std::optional<std::size_t> Unread() const;
  // Writes what the device takes now; returns the count (0: none now).
  // Throws std::runtime_error when the device fails.
  std::size_t WriteSome(std::string_view bytes);
  // Waits at most timeoutMs for the device to take bytes again.
  void WaitWritable(int timeoutMs) const;
  // Waits, at most `limit`, until a reader has taken every byte written, or,
  // with no reader, until the count of unread bytes settles; returns what is
  // still unread. Two looks in a row must agree, since bytes on their way
  // into the device are not counted at once. Gives up early when `stop` is
  // set.
  std::optional<std::size_t> WaitUntilTaken(std::chrono::milliseconds limit, const std::atomic<bool>& stop) const;

 private:
  std::string linkPath_;
  std::string path_;
  int master_ = -1;
};

}  // namespace tessaly::sim
