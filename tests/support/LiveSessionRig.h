// A live session in simulated time for a test fixture: a fake device (and a
// fake GPS for options_.gps), a manual clock, real files in a temporary home, and a recorder of what the
// session reports. Fixtures derive from it beside ::testing::Test.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/Clock.h"
#include "core/LiveSession.h"
#include "support/FakeTransport.h"
#include "support/FileBytes.h"
#include "support/LiveRecords.h"
#include "support/TempHome.h"

namespace tessaly::testing {

class LiveSessionRig {
 protected:
  static constexpr std::int64_t kStartUtcNs = 1'800'000'000 * kNsPerSecond;  // 2027-01-15T08:00:00Z
  static constexpr std::int64_t kTickMs = 100;

  LiveSessionRig() { options_.rescueFolder = home_.Path("Lib"); }

  // A new session with a new observer; the earlier one is gone first (it
  // lets go of the device).
  LiveSession& Make(LogVariantId variant = LogVariantId::KV7100) {
    session_.reset();
    seen_ = LiveRecorder{};
    session_ = std::make_unique<LiveSession>(FindLogVariant(variant), device_, clock_, seen_, options_);
    return *session_;
  }
  // Makes a session and starts it on `base` (Base() when empty) with
  // consent to everything already there.
  LiveSession& Started(const std::string& base = {}, LogVariantId variant = LogVariantId::KV7100) {
    const std::string log = base.empty() ? Base() : base;
    Make(variant);
    EXPECT_EQ(session_->Start(log, FindEarlierLogFiles(log)), "");
    return *session_;
  }
  std::string Base() const { return home_.Path("survey.kvl"); }
  void Send(const std::string& bytes) {
    device_.Push(bytes);
    session_->Poll();
  }
  // Ticks every 100 ms for `ms`; `each` runs before every tick with Now().
  void RunFor(std::int64_t ms, const std::function<void(std::int64_t)>& each = {}) {
    for (const std::int64_t end = Now() + ms; Now() < end;) {
      clock_.Advance(kTickMs * kNsPerMs);
      if (each) each(Now());
      session_->Tick();
    }
  }
  // The monotonic clock in ms: the time since the rig was made.
  std::int64_t Now() const { return clock_.MonotonicNs() / kNsPerMs; }
  // The log: every part, in order.
  std::string Logged() const {
    std::string bytes;
    for (const std::string& part : session_->Parts()) bytes += ReadBytes(part);
    return bytes;
  }

  TempHome home_;
  ManualClock clock_{kStartUtcNs, 0};
  FakeTransport device_, gps_;  // before the session, which uses them to its end
  LiveRecorder seen_;
  LiveSessionOptions options_;
  std::unique_ptr<LiveSession> session_;
};

}  // namespace tessaly::testing
