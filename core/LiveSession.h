// LiveSession: one live logging session, from the bytes a transport delivers
// to the records in the log's parts. No window, no question, no message:
// whoever drives it calls its commands, Poll when bytes wait and Tick on a
// timer, and reads what happens from its observer.
//
// Bytes are cut into records at the variant's header (RecordFramer); a
// record is refused when it breaks the live rules (LiveRecordRules.h) or the
// parser (TSample) rejects it, else it takes the next session row and is
// written at once (LogPartWriter: one write a record, parts of
// recordsPerPart records). A raw capture writes every chunk as it came.
//
// States: Idle until Start, then Logging or Paused, Stopped after Stop (and
// Start may follow again). It pauses for three reasons (LiveStatus):
//  - the user paused it: the port is closed, nothing is read;
//  - a write, sync or close failed: the port is still read and records are
//    held in memory (HeldRecords, 64 MiB; the oldest beyond it are counted
//    as lost), to be written first, in order, on Resume;
//  - a device lost and found again is a different device under the same
//    name (DeviceIdentity): it is not read until the user resumes.
//
// Tick decides everything that depends on time, by the clock handed in: a
// device gone is opened again every reconnect period; a silence is reported
// once; the current part is synced to disk every sync period while records
// are written, and a failed sync or close counts as a failed write.
//
// Stop reads what the port still holds, writes what is pending and held,
// and puts what still cannot be written into a rescue file (RecordRescue.h);
// destroying a running session stops it the same way.
//
// Every part of a framed session has its reception times beside it
// (survey.kvl.times, written with each record: LogPartWriter). With a GPS
// port (options.gps), the session reads it too, whatever the instrument's
// port is doing, writes its sentences and the cable out beside each part and
// positions every record as it is written (LiveNavigation.h); nothing the
// GPS does stops, pauses or slows the records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/Clock.h"
#include "core/DeviceIdentity.h"
#include "core/HeldRecords.h"
#include "core/LiveLogFiles.h"
#include "core/LiveNavigation.h"
#include "core/LiveObserver.h"
#include "core/LiveTransport.h"
#include "core/LogPartWriter.h"
#include "core/LogVariants.h"
#include "core/RecordFramer.h"

namespace tessaly {

class TSample;

struct LiveSessionOptions {
  std::size_t recordsPerPart = kRecordsPerPart;
  int mapDatum = 0;
  std::size_t heldBytesLimit = kHeldRecordsLimit;
  std::int64_t syncPeriodNs = 500 * kNsPerMs;
  std::int64_t reconnectPeriodNs = kNsPerSecond;
  std::int64_t silenceNs = 5 * kNsPerSecond;
  // How often held records are tried again without a Resume; 0: never (a
  // window's user resumes; an unattended logger retries).
  std::int64_t writeRetryNs = 0;
  // Where rescued records go when the log's folder refuses them.
  std::string rescueFolder;
  LogFileCalls fileCalls = LogFileCalls::System();
  // The GPS port's transport, read beside the instrument's; null: no GPS.
  // It must outlive the session.
  LiveTransport* gps = nullptr;
  // How records are positioned from the GPS (the cable out at the start).
  LaybackSettings layback;
};

class LiveSession {
 public:
  LiveSession(const LogVariant& variant, LiveTransport& transport, const Clock& clock, LiveObserver& observer,
              LiveSessionOptions options = {});
  ~LiveSession();
  LiveSession(const LiveSession&) = delete;
  LiveSession& operator=(const LiveSession&) = delete;

  // Starts logging to `base` (its first part). The device is opened before
  // any file is touched; then the comments files in `consent` are set
  // aside, and the parts are created by the output rule (MayCreateLogPart):
  // never over a `guarded` file (one an open window uses), over another
  // existing file only when `consent` lists it (see FindEarlierLogFiles).
  // Empty text on success, else why not: the session has not started.
  std::string Start(const std::string& base, const EarlierLogFiles& consent,
                    std::vector<GuardedFile> guarded = {});
  // Closes the port (a partly received record is dropped); only while
  // logging.
  void Pause();
  // Ends every pause: opens the port, takes a different device as the
  // session's own, writes the held records first. What still fails keeps
  // the session paused.
  void Resume();
  StopReport Stop();

  // Reads what the transport holds and handles the records it completes.
  void Poll();
  // Polls, then applies the rules of time; call it a few times a second.
  void Tick();

  // Stores the comment of session row `row`. Empty text, or why not.
  std::string SetComment(std::uint64_t row, std::string_view comment);

  // The cable out from now on, recorded beside the part. Empty text, or why
  // not (no GPS port, no session, a value out of range).
  std::string SetCableOut(double metres);
  // Takes the different device found under the GPS port's name as the GPS.
  void UseOtherGps();
  // The GPS's latest fix and its age; none without a GPS port or before the
  // first fix.
  std::optional<GpsStatus> GpsStatusNow() const;

  const LiveStatus& Status() const { return status_; }
  LiveState State() const { return status_.state; }
  bool Running() const { return status_.state == LiveState::Logging || status_.state == LiveState::Paused; }
  // Valid records of this session (rows given), raw chunks not counted.
  std::uint64_t RecordCount() const { return rows_; }
  const std::vector<std::string>& Parts() const { return writer_->Parts(); }
  // Every part of the session and their comments files.
  std::vector<std::string> FilesInUse() const;
  const LogVariant& Variant() const { return variant_; }
  // Waits until the syncs asked of the disk so far are done.
  void WaitForDisk() { writer_->WaitForSyncs(); }

 private:
  bool Reading() const;
  void ConfigureSample();
  void Handle(std::string_view text);
  void Accept(LiveRecord record);
  void Reject(std::string text, std::string message);
  std::string Write(const HeldRecords::Record& record);
  void Written(const HeldRecords::Record& record);
  void Hold(HeldRecords::Record record);
  bool WriteHeld();
  void FailWrite(const std::string& error);
  void NoteParts(std::int64_t firstUtcNs = 0);
  void DeviceGone();
  void OpenDevice();
  void CheckDevice(std::int64_t now);
  void CheckSilence(std::int64_t now);
  void CheckDisk(std::int64_t now);
  void ReportCounts(std::int64_t now);
  void Report(LiveEvent event);
  void UpdateState();
  std::uint64_t HeldCount() const;
  std::uint64_t LogRowOf(std::uint64_t row) const;
  StopReport Rescue();

  const LogVariant& variant_;
  LiveTransport& transport_;
  const Clock& clock_;
  LiveObserver& observer_;
  LiveSessionOptions options_;
  std::unique_ptr<TSample> sample_;
  RecordFramer framer_;
  std::unique_ptr<LogPartWriter> writer_;
  std::unique_ptr<LiveNavigation> navigation_;  // with a GPS port
  HeldRecords held_;
  std::optional<HeldRecords::Record> pending_;  // the record pending in the writer, its text there
  LiveStatus status_;
  DeviceIdentity device_;     // the session's device
  DeviceIdentity candidate_;  // a different one found under its name
  std::uint64_t rows_ = 0;
  std::size_t partsSeen_ = 0;
  // Rows dropped from memory, as (first row, count): the log's rows after
  // them are that much lower than the session's.
  std::vector<std::pair<std::uint64_t, std::uint64_t>> lostRows_;
  std::uint64_t lostReported_ = 0;
  std::uint64_t heldReported_ = 0;
  std::int64_t countsReportNs_ = 0;
  std::int64_t lastByteNs_ = 0;
  std::int64_t lastSyncNs_ = 0;
  std::int64_t nextReconnectNs_ = 0;
  std::int64_t nextRetryNs_ = 0;
  std::string received_;
};

}  // namespace tessaly
