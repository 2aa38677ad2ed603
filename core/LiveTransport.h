// LiveTransport: where a live session's bytes come from. The program gives a
// session its serial port; tests give it a fake. The session owns the
// decisions (when to open, when a device counts as lost, whether a device
// that reappears is the one it had); the transport only does what it is
// told.
#pragma once

#include <functional>
#include <string>

#include "core/DeviceIdentity.h"

namespace tessaly {

class LiveTransport {
 public:
  virtual ~LiveTransport() = default;

  // Opens the device. Empty text on success, else why not (the device is
  // closed then). Opening an open device does nothing.
  virtual std::string Open() = 0;
  // Releases the device; a closed device closes quietly.
  virtual void Close() = 0;
  // False once the device has gone away (an unplugged adapter), after the
  // bytes received before are read, or after Close.
  virtual bool IsOpen() const = 0;
  // Appends every byte waiting, in order, without waiting for more.
  virtual void Read(std::string& bytes) = 0;
  // The device as opened last.
  virtual DeviceIdentity Identity() const = 0;
  // A transport that can tell when bytes wait calls `readable` then (maybe
  // on another thread than the session's); the others are read at every
  // Tick.
  virtual void WhenReadable(std::function<void()> /*readable*/) {}
};

}  // namespace tessaly
