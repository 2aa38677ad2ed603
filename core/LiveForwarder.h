// The one place that lists a live session's reports for observers that pass
// every report on unchanged (to a queue, to several observers). `Sink`
// provides `template <auto Method, class... Args> void Forward(const
// Args&...)`, which calls `(observer.*Method)(args...)` on whoever it passes
// to. A new report of LiveObserver is one line here.
#pragma once

#include "core/LiveObserver.h"

namespace tessaly {

template <class Sink>
class LiveForwarder : public LiveObserver {
 public:
  void RecordAccepted(const LiveRecord& r) override { Pass<&LiveObserver::RecordAccepted>(r); }
  void RecordRejected(const RejectedRecord& r) override { Pass<&LiveObserver::RecordRejected>(r); }
  void PartStarted(std::size_t index, const std::string& path) override {
    Pass<&LiveObserver::PartStarted>(index, path);
  }
  void Happened(LiveEvent event, const LiveStatus& status) override {
    Pass<&LiveObserver::Happened>(event, status);
  }
  void Stopped(const StopReport& r) override { Pass<&LiveObserver::Stopped>(r); }
  void AlarmChanged(const AlarmChange& c) override { Pass<&LiveObserver::AlarmChanged>(c); }
  void EventRecorded(const WatchEvent& e) override { Pass<&LiveObserver::EventRecorded>(e); }
  void RecordFlagged(std::uint64_t row, QualityFlag flag, double value) override {
    Pass<&LiveObserver::RecordFlagged>(row, flag, value);
  }
  void GpsChanged(const LiveGpsStatus& s) override { Pass<&LiveObserver::GpsChanged>(s); }
  void RecordsPositioned(const std::vector<LivePosition>& p) override {
    Pass<&LiveObserver::RecordsPositioned>(p);
  }

 private:
  template <auto Method, class... Args>
  void Pass(const Args&... args) {
    static_cast<Sink&>(*this).template Forward<Method>(args...);
  }
};

}  // namespace tessaly
