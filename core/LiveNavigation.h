// LiveNavigation: where a live session's records are, from the GPS read on
// a second port beside the instrument. It joins the port (LiveGps), which
// writes every sentence to the current part's NMEA file, the fixes and the
// records' positions (LivePositions), and the cable out, whose value when
// each part begins and every change after are lines of the part's cable
// file (CableHistory.h). The session calls it at its own moments - start,
// every poll and tick, every record written, every new part, stop - and it
// tells the session's observer what changed.
//
// The records of a raw capture have no rows to position; its GPS is read and
// written all the same, and its fixes are kept only as far as the status
// needs them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/LiveGps.h"
#include "core/LiveObserver.h"
#include "core/LivePositions.h"

namespace tessaly {

class LogPartWriter;

class LiveNavigation {
 public:
  // The side files of each part, in the order LogPartWriter::SetSideFiles
  // takes them.
  static constexpr std::size_t kNmeaSide = 0, kCableSide = 1;
  static std::vector<std::string> SideSuffixes();

  // `positionRecords`: the session's records are framed, each one to be
  // positioned.
  LiveNavigation(LiveTransport& gps, const Clock& clock, LiveObserver& observer, const LaybackSettings& settings,
                 bool positionRecords, std::int64_t reconnectPeriodNs);

  // The session's first part is open in `writer`: the GPS port opens, the
  // part's cable file gets the cable out.
  void Start(LogPartWriter& writer);
  // Reads and writes what the GPS port still has, then closes it.
  void Stop();
  void Poll();
  void Tick();

  // Part `index` (1 on) has begun with a record received at `firstUtcNs`.
  void PartStarted(std::int64_t firstUtcNs);
  // The record of session row `row` is row `partRow` of the current part.
  void RecordWritten(std::uint64_t row, std::uint64_t partRow, std::int64_t utcNs, float towDepth);

  // The cable out from now on. Empty text, or why not (a value out of range,
  // a cable file that refuses the line: the change then holds for the
  // session's positions only).
  std::string SetCableOut(double metres);
  void UseOtherGps() { gps_.UseOtherDevice(); }
  // A side file of the GPS's could not be created or synced: said in the
  // status until the next part.
  void FileFailed(const std::string& error);

  // The latest fix and its age now.
  std::optional<GpsStatus> FixStatus() const;
  LiveGpsStatus Status() const;
  // Tells the observer the positions worked out since the last report, and
  // the GPS's status when it changed.
  void Report();

 private:
  std::string WriteCable(std::int64_t utcNs, double metres);
  void Received(const ReceivedSentence& sentence);

  const Clock& clock_;
  LiveObserver& observer_;
  LaybackSettings settings_;
  bool positionRecords_;
  LiveGps gps_;
  LivePositions positions_;
  LogPartWriter* writer_ = nullptr;
  std::optional<LiveGpsStatus> reported_;
  std::string fileError_;
};

}  // namespace tessaly
