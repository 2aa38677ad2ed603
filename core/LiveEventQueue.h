// Carries a live session's reports from the thread it runs on to another
// (the window's): the session's observer keeps them, in order, and the
// other thread takes them when it is ready, without ever holding the
// session up. Also a list of observers for a session watched by several.
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "core/LiveForwarder.h"

namespace tessaly {

class LiveEventQueue : public LiveForwarder<LiveEventQueue> {
 public:
  // `wake` is called on the session's thread when a report arrives and none
  // was waiting, so that the other thread can be told to come.
  explicit LiveEventQueue(std::function<void()> wake = {}) : wake_(std::move(wake)) {}

  // Hands every report kept so far to `observer`, in order, on the caller's
  // thread. Reports that arrive meanwhile wait for the next call.
  void Deliver(LiveObserver& observer);

  // Keeps a copy of the report's arguments, to be passed on by Deliver.
  template <auto Method, class... Args>
  void Forward(const Args&... args) {
    Keep([... copies = args](LiveObserver& o) { (o.*Method)(copies...); });
  }

 private:
  using Report = std::function<void(LiveObserver&)>;
  void Keep(Report report);

  std::function<void()> wake_;
  std::mutex mutex_;
  std::vector<Report> reports_;
};

// Passes every report to each observer in turn.
class LiveObserverList : public LiveForwarder<LiveObserverList> {
 public:
  void Add(LiveObserver* observer) { observers_.push_back(observer); }

  template <auto Method, class... Args>
  void Forward(const Args&... args) {
    for (LiveObserver* o : observers_) (o->*Method)(args...);
  }

 private:
  std::vector<LiveObserver*> observers_;
};

}  // namespace tessaly
