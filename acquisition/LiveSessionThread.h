// LiveSessionThread: a live session on a thread of its own, so that reading
// the port, framing, validating and writing never wait for a window. The
// transport is made on that thread (a serial port's events then arrive
// there); a timer there ticks the session ten times a second.
//
// The commands run on the session's thread and return when done. The
// session's reports are kept (LiveEventQueue) until the owner takes them
// with Deliver, on its own thread and at its own pace; ReportsWaiting tells
// it that some wait. A watcher may hear every report on the session's
// thread as it happens (the headless logger's timing, tests).
//
// A GPS port, when the session has one, is a second transport made on the
// session's thread the same way and read by the session beside the first.
#pragma once

#include <QObject>
#include <QThread>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Clock.h"
#include "core/LiveEventQueue.h"
#include "core/LiveSession.h"

class QTimer;

namespace tessaly {

class LiveSessionThread : public QObject {
  Q_OBJECT

 public:
  // Makes the session's transport; called on the session's thread.
  using TransportMaker = std::function<std::unique_ptr<LiveTransport>()>;
  static constexpr int kTickMs = 100;

  // `makeGps` empty: no GPS port.
  LiveSessionThread(const LogVariant& variant, LiveSessionOptions options, TransportMaker makeTransport,
                    LiveObserver* watcher = nullptr, TransportMaker makeGps = {});
  // A running session is stopped first: what it received is written.
  ~LiveSessionThread() override;

  std::string Start(const std::string& base, const EarlierLogFiles& consent, std::vector<GuardedFile> guarded = {});
  void Pause();
  void Resume();
  StopReport Stop();
  std::string SetComment(std::uint64_t row, const std::string& comment);
  std::vector<std::string> FilesInUse();
  std::string SetCableOut(double metres);
  void UseOtherGps();
  std::optional<GpsStatus> GpsStatusNow();

  // Hands the reports kept so far to `observer`, in order, on the caller's
  // thread.
  void Deliver(LiveObserver& observer) { queue_.Deliver(observer); }

 signals:
  // Reports wait to be delivered (sent from the session's thread).
  void ReportsWaiting();

 private:
  // Runs `work` on the session's thread and waits for it.
  void Run(const std::function<void()>& work);
  void PollSoon();

  QThread thread_;
  QObject* context_;  // lives on the session's thread
  SystemClock clock_;
  LiveEventQueue queue_;
  LiveObserverList observers_;
  std::unique_ptr<LiveTransport> transport_;
  std::unique_ptr<LiveTransport> gps_;
  std::unique_ptr<LiveSession> session_;
  QTimer* tick_ = nullptr;
};

}  // namespace tessaly
