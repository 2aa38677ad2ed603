// What a live session tells whoever watches it: every record it takes or
// refuses, every part it starts, and every change of its state, in the
// order they happen. Windows, the headless logger and tests subscribe; none
// of this asks a question or shows anything.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/FixTimeline.h"
#include "core/GridLayout.h"
#include "core/LiveGps.h"
#include "core/LivePositions.h"
#include "core/RecordNumbers.h"
#include "core/RecordRescue.h"

namespace tessaly {

enum class LiveState { Idle, Logging, Paused, Stopped };

// Why a session is where it is. A session pauses for three reasons, which may
// hold together: the user paused it (the port is closed), a write failed
// (the port is still read, records are held in memory), or a different
// device appeared under the port's name (it is not read).
struct LiveStatus {
  LiveState state = LiveState::Idle;
  bool userPaused = false;
  bool writeFailed = false;
  bool otherDevice = false;
  bool deviceLost = false;  // the device went away; opened again every second
  bool silent = false;      // the device sends nothing for a while
  std::string writeError;   // the failure that stopped writing
  std::string deviceText;   // the device lost, or the different device found
  std::uint64_t heldRecords = 0;  // received, waiting to be written
  std::uint64_t lostRecords = 0;  // dropped from memory: more than it may hold

  bool operator==(const LiveStatus&) const = default;
};

// A record taken by the session, written (or held to be written) when it is
// reported. A raw capture's record is a chunk as received (row 0, no cells).
struct LiveRecord {
  std::uint64_t row = 0;  // session row, 1-based
  std::string text;       // as received, without its line break
  std::int64_t utcNs = 0;        // reception time
  std::int64_t monotonicNs = 0;
  // The record's grid cells, "Time" to "GPS  NORTH", as the one row builder
  // (RecordCells) makes them; the time of reception is the shower's to
  // write. And the parser's numbers.
  std::array<std::string, kRecordColumnCount> cells;
  RecordNumbers numbers;
};

struct RejectedRecord {
  std::string text;
  std::string message;
  std::uint64_t rowsBefore = 0;  // valid records of the session before it
};

// What Stop did with the records it could not write to the log.
struct StopReport {
  std::uint64_t recordsLogged = 0;  // in the log's parts
  std::uint64_t rescued = 0;        // in rescue files
  std::vector<RescueFile> rescueFiles;
  std::uint64_t lost = 0;           // neither: no file would take them
  std::string problem;              // why not, when anything was not logged
};

// What changed the session's status.
enum class LiveEvent {
  Started,
  Paused,        // by the user
  Resumed,       // by the user
  WriteFailed,   // a write, sync or close failed: records are held (status.writeError)
  WriteResumed,  // the held records are written, writing goes on
  DeviceLost,
  DeviceBack,
  OtherDevice,   // a different device under the port's name: not read until Resume
  Silence,       // nothing received for the silence period
  DataAgain,     // bytes again after a silence
  Holding,       // more records wait in memory (status.heldRecords), said at most once a second
  RecordsLost,   // held records dropped from memory (status.lostRecords in all)
};

// The GPS of a session with a GPS port: its port, its latest fixes and the
// cable out.
struct LiveGpsStatus {
  GpsPortStatus port;
  std::optional<GpsFix> latest;       // the latest fix, valid or not
  std::optional<GpsFix> latestValid;  // the latest valid fix
  double cableOut = 0.0;
  std::string fileError;              // a GPS side file that failed (NMEA, cable)
};

class LiveObserver {
 public:
  virtual ~LiveObserver() = default;
  virtual void RecordAccepted(const LiveRecord&) {}
  virtual void RecordRejected(const RejectedRecord&) {}
  // Part `index` (0 first) named `path` now receives the records.
  virtual void PartStarted(std::size_t /*index*/, const std::string& /*path*/) {}
  // `event` happened; `status` is the session's status after it.
  virtual void Happened(LiveEvent /*event*/, const LiveStatus& /*status*/) {}
  virtual void Stopped(const StopReport&) {}
  // Sessions with a GPS port: the GPS's status changed.
  virtual void GpsChanged(const LiveGpsStatus& /*status*/) {}
  // Records positioned, or positioned again as later fixes came in.
  virtual void RecordsPositioned(const std::vector<LivePosition>& /*positions*/) {}
};

}  // namespace tessaly
