// A device for a live session under test: bytes pushed by the test, a device
// that can be unplugged and plugged in again (the same or another), and a
// count of the session's attempts to open it. Safe to push from another
// thread than the session's.
#pragma once

#include <functional>
#include <mutex>
#include <string>

#include "core/LiveTransport.h"

namespace tessaly::testing {

class FakeTransport : public LiveTransport {
 public:
  FakeTransport() { identity_.name = "/dev/fake0"; identity_.deviceNumber = 0x0400; }

  std::string Open() override {
    std::lock_guard lock(mutex_);
    ++openAttempts_;
    if (!present_) return "Cannot open the serial port " + identity_.name + ": No such file or directory";
    open_ = true;
    return {};
  }
  void Close() override {
    std::lock_guard lock(mutex_);
    open_ = false;
    waiting_.clear();
  }
  bool IsOpen() const override {
    std::lock_guard lock(mutex_);
    return open_ && !(unplugged_ && waiting_.empty());
  }
  void Read(std::string& bytes) override {
    std::lock_guard lock(mutex_);
    if (!open_) return;
    bytes += waiting_;
    waiting_.clear();
    if (unplugged_) open_ = false;
  }
  DeviceIdentity Identity() const override {
    std::lock_guard lock(mutex_);
    return identity_;
  }

  // Bytes the device sends; lost while the port is closed, as on a line.
  void Push(const std::string& bytes) {
    {
      std::lock_guard lock(mutex_);
      if (!open_) return;
      waiting_ += bytes;
    }
    if (readable_) readable_();
  }
  // Called when bytes were pushed, on the pushing thread.
  void WhenReadable(std::function<void()> readable) override { readable_ = std::move(readable); }
  // The device goes away once what it sent is read; opening fails until
  // PlugIn.
  void Unplug() {
    std::lock_guard lock(mutex_);
    unplugged_ = true;
    present_ = false;
  }
  // A device appears under the name: `identity` says which.
  void PlugIn(const DeviceIdentity& identity) {
    std::lock_guard lock(mutex_);
    unplugged_ = false;
    present_ = true;
    identity_ = identity;
  }
  void PlugInAgain() { PlugIn(Identity()); }
  bool PortOpen() const {
    std::lock_guard lock(mutex_);
    return open_;
  }
  int OpenAttempts() const {
    std::lock_guard lock(mutex_);
    return openAttempts_;
  }

 private:
  mutable std::mutex mutex_;
  std::string waiting_;
  DeviceIdentity identity_;
  bool open_ = false;
  bool present_ = true;
  bool unplugged_ = false;
  int openAttempts_ = 0;
  std::function<void()> readable_;
};

}  // namespace tessaly::testing
