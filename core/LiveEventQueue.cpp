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

void LiveEventQueue::RecordAccepted(const LiveRecord& record) {
  Keep([record](LiveObserver& o) { o.RecordAccepted(record); });
}
void LiveEventQueue::RecordRejected(const RejectedRecord& record) {
  Keep([record](LiveObserver& o) { o.RecordRejected(record); });
}
void LiveEventQueue::PartStarted(std::size_t index, const std::string& path) {
  Keep([index, path](LiveObserver& o) { o.PartStarted(index, path); });
}
void LiveEventQueue::Happened(LiveEvent event, const LiveStatus& status) {
  Keep([event, status](LiveObserver& o) { o.Happened(event, status); });
}
void LiveEventQueue::Stopped(const StopReport& report) {
  Keep([report](LiveObserver& o) { o.Stopped(report); });
}

void LiveEventQueue::GpsChanged(const LiveGpsStatus& status) {
  Keep([status](LiveObserver& o) { o.GpsChanged(status); });
}
void LiveEventQueue::RecordsPositioned(const std::vector<LivePosition>& positions) {
  Keep([positions](LiveObserver& o) { o.RecordsPositioned(positions); });
}

void LiveEventQueue::Deliver(LiveObserver& observer) {
  std::vector<Report> reports;
  {
    std::lock_guard lock(mutex_);
    reports.swap(reports_);
  }
  for (const Report& report : reports) report(observer);
}

void LiveObserverList::RecordAccepted(const LiveRecord& record) {
  for (LiveObserver* o : observers_) o->RecordAccepted(record);
}
void LiveObserverList::RecordRejected(const RejectedRecord& record) {
  for (LiveObserver* o : observers_) o->RecordRejected(record);
}
void LiveObserverList::PartStarted(std::size_t index, const std::string& path) {
  for (LiveObserver* o : observers_) o->PartStarted(index, path);
}
void LiveObserverList::Happened(LiveEvent event, const LiveStatus& status) {
  for (LiveObserver* o : observers_) o->Happened(event, status);
}
void LiveObserverList::Stopped(const StopReport& report) {
  for (LiveObserver* o : observers_) o->Stopped(report);
}
void LiveObserverList::GpsChanged(const LiveGpsStatus& status) {
  for (LiveObserver* o : observers_) o->GpsChanged(status);
}
void LiveObserverList::RecordsPositioned(const std::vector<LivePosition>& positions) {
  for (LiveObserver* o : observers_) o->RecordsPositioned(positions);
}

}  // namespace tessaly
