// Hand-made KV7100 records for live session tests, and an observer that
// keeps what a session reports.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "core/LiveObserver.h"

namespace tessaly::testing {

// Record n: "$KVMGD,+00003,4417.003,N,06318.000,W,54.5,76.6", its
// deviation and minutes moving with n, degrees fixed (so the parser's
// continuity checks pass).
inline std::string KvRecord(int n) {
  char text[64];
  std::snprintf(text, sizeof text, "$KVMGD,%+06d,4417.%03d,N,06318.%03d,W,54.5,76.6", n % 200 - 100, n % 1000,
                (n / 7) % 1000);
  return text;
}

inline std::string KvRecords(int first, int count) {
  std::string bytes;
  for (int n = first; n < first + count; ++n) bytes += KvRecord(n) + "\r\n";
  return bytes;
}

// A ZEPH 2 record in KV format: no position, no towfish depth.
inline std::string ZpxRecord(int n) {
  char text[64];
  std::snprintf(text, sizeof text, "$KVMGD,%+06d,52341.2,087", n % 200 - 100);
  return text;
}

// What a session reported, in order.
class LiveRecorder : public LiveObserver {
 public:
  void RecordAccepted(const LiveRecord& record) override { accepted.push_back(record); }
  void RecordRejected(const RejectedRecord& record) override { rejected.push_back(record); }
  void PartStarted(std::size_t, const std::string& path) override { parts.push_back(path); }
  void Happened(LiveEvent event, const LiveStatus& status) override {
    events.push_back(event);
    last = status;
  }
  void Stopped(const StopReport& report) override { stops.push_back(report); }
  void GpsChanged(const LiveGpsStatus& status) override { gps.push_back(status); }
  void RecordsPositioned(const std::vector<LivePosition>& changed) override {
    for (const LivePosition& p : changed) {
      positions[p.row] = p;
      ++positionReports;
    }
  }

  std::size_t Count(LiveEvent event) const {
    std::size_t count = 0;
    for (LiveEvent e : events) count += e == event;
    return count;
  }
  std::vector<std::string> AcceptedTexts() const {
    std::vector<std::string> texts;
    for (const LiveRecord& record : accepted) texts.push_back(record.text);
    return texts;
  }

  std::vector<LiveRecord> accepted;
  std::vector<RejectedRecord> rejected;
  std::vector<std::string> parts;
  std::vector<LiveEvent> events;
  std::vector<StopReport> stops;
  LiveStatus last;
  std::vector<LiveGpsStatus> gps;
  std::map<std::uint64_t, LivePosition> positions;  // the latest of each session row
  std::size_t positionReports = 0;
};

}  // namespace tessaly::testing
