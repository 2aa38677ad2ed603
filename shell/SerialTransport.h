// The serial port as a live session's transport: a serial component of its
// own (TVaComm), living on the thread that creates it (the session's), with
// the settings it was given at the start. Changing the program's serial
// settings later does not reach a running session. The instrument's port
// and the GPS's are each one of these.
#pragma once

#include "core/LiveTransport.h"
#include "core/SettingsStore.h"
#include "shell/VaComm.h"

namespace tessaly {

class SerialTransport : public LiveTransport {
 public:
  // `device`, when given, is opened instead of the one the settings name.
  explicit SerialTransport(const SerialSettings& settings, const std::string& device = {});

  std::string Open() override;
  void Close() override { comm_.Close(); }
  bool IsOpen() const override { return comm_.Active(); }
  void Read(std::string& bytes) override { bytes += comm_.ReadText(); }
  DeviceIdentity Identity() const override { return identity_; }
  void WhenReadable(std::function<void()> readable) override;

 private:
  TVaComm comm_;
  DeviceIdentity identity_;
};

}  // namespace tessaly
