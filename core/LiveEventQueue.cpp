#include "core/LiveEventQueue.h"

#include <utility>

namespace tessaly {

void LiveEventQueue::Keep(Report report) {
  bool first = false;
  {
    std::lock_guard lock(mutex_);
    first = reports_.empty();
    reports_.push_back(std::move(report));
  }
  if (first && wake_) wake_();
}

void LiveEventQueue::Deliver(LiveObserver& observer) {
  std::vector<Report> reports;
  {
    std::lock_guard lock(mutex_);
    reports.swap(reports_);
  }
  for (const Report& report : reports) report(observer);
}

}  // namespace tessaly
