#include "core/LiveSession.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "core/LiveRecordRules.h"
#include "core/RecordPipeline.h"
#include "core/RecordRescue.h"
#include "core/untTSample.h"

namespace tessaly {

LiveSession::LiveSession(const LogVariant& variant, LiveTransport& transport, const Clock& clock,
                         LiveObserver& observer, LiveSessionOptions options)
    : variant_(variant),
      transport_(transport),
      clock_(clock),
      observer_(observer),
      options_(std::move(options)),
      framer_(std::string(variant.header)),
      writer_(std::make_unique<LogPartWriter>(options_.recordsPerPart, options_.fileCalls)),
      held_(options_.heldBytesLimit) {}

LiveSession::~LiveSession() { Stop(); }

// ---- Commands ----

std::string LiveSession::Start(const std::string& base, const EarlierLogFiles& consent,
                               std::vector<GuardedFile> guarded) {
  if (Running()) return "A session is running.";
  if (std::string error = transport_.Open(); !error.empty()) return error;
  device_ = transport_.Identity();
  std::string error = SetAsideFiles(consent.comments);
  if (error.empty()) {
    writer_ = std::make_unique<LogPartWriter>(options_.recordsPerPart, options_.fileCalls);
    writer_->SetSideFiles(!variant_.header.empty(),
                          options_.gps ? LiveNavigation::SideSuffixes() : std::vector<std::string>{});
    writer_->SetCreateGuard([consented = consent.logs, guarded = std::move(guarded)](const std::string& path) {
      return MayCreateLogPart(path, consented, guarded);
    });
    error = writer_->Open(base);
  }
  if (!error.empty()) {
    transport_.Close();
    return error;
  }
  ConfigureSample();
  framer_.Reset();
  held_.TakeAll();
  pending_.reset();
  lostRows_.clear();
  rows_ = 0;
  partsSeen_ = 0;
  lostReported_ = 0;
  countsReportNs_ = std::numeric_limits<std::int64_t>::min() / 2;
  status_ = LiveStatus{};
  status_.state = LiveState::Logging;
  const std::int64_t now = clock_.MonotonicNs();
  lastByteNs_ = lastSyncNs_ = now;
  NoteParts();
  if (options_.gps) {
    navigation_ = std::make_unique<LiveNavigation>(*options_.gps, clock_, observer_, options_.layback,
                                                   !variant_.header.empty(), options_.reconnectPeriodNs);
    navigation_->Start(*writer_);
  }
  Report(LiveEvent::Started);
  if (navigation_) navigation_->Report();
  return {};
}

// A fresh parser for the variant: the continuity checks start anew.
void LiveSession::ConfigureSample() {
  sample_ = std::make_unique<TSample>();
  sample_->FDevDigits = variant_.devDigits;
  sample_->FMapDatum = options_.mapDatum;
  if (variant_.header.empty()) return;
  sample_->SetHeader(variant_.header);
  sample_->SetKind(variant_.kind);
}

void LiveSession::Pause() {
  if (State() != LiveState::Logging) return;
  status_.userPaused = true;
  status_.deviceLost = false;
  status_.silent = false;
  framer_.Reset();
  transport_.Close();
  Report(LiveEvent::Paused);
}

void LiveSession::Resume() {
  if (State() != LiveState::Paused) return;
  const bool writeFailed = status_.writeFailed;
  if (status_.otherDevice) {
    device_ = candidate_;  // the user takes it as the session's device
    status_.otherDevice = false;
  }
  if (status_.userPaused || !transport_.IsOpen()) {
    status_.userPaused = false;
    OpenDevice();
  }
  const bool written = writeFailed && WriteHeld();
  if (status_.otherDevice) Report(LiveEvent::OtherDevice);
  else if (status_.writeFailed) Report(LiveEvent::WriteFailed);
  else Report(written ? LiveEvent::WriteResumed : LiveEvent::Resumed);
  if (navigation_) navigation_->Report();  // the records written now are positioned
}

StopReport LiveSession::Stop() {
  if (!Running()) return {};
  Poll();
  transport_.Close();
  framer_.Reset();
  WriteHeld();
  if (navigation_) navigation_->Stop();
  StopReport report = Rescue();
  if (std::string error = writer_->Close(); !error.empty() && report.problem.empty()) report.problem = error;
  report.recordsLogged = writer_->RecordCount();
  report.lost += status_.lostRecords;
  status_ = LiveStatus{};
  status_.state = LiveState::Stopped;
  observer_.Stopped(report);
  return report;
}

// What is still pending or held goes to a rescue file.
StopReport LiveSession::Rescue() {
  StopReport report;
  std::vector<std::string> unwritten;
  if (writer_->HasPending()) unwritten.push_back(writer_->PendingText());
  writer_->DropPending();
  pending_.reset();
  for (HeldRecords::Record& record : held_.TakeAll()) unwritten.push_back(std::move(record.text));
  if (unwritten.empty()) return report;
  const RescueResult rescued =
      RescueRecords(unwritten, !variant_.header.empty(), writer_->BaseName(), options_.rescueFolder);
  report.rescued = rescued.written;
  report.rescueFiles = rescued.files;
  report.lost = unwritten.size() - rescued.written;
  report.problem = status_.writeError;
  if (!rescued.problem.empty()) report.problem += (report.problem.empty() ? "" : "; ") + rescued.problem;
  return report;
}

// ---- Receiving ----

bool LiveSession::Reading() const { return Running() && !status_.userPaused && !status_.otherDevice; }

void LiveSession::Poll() {
  if (navigation_ && Running()) {
    navigation_->Poll();
    navigation_->Report();
  }
  if (!Reading() || status_.deviceLost) return;
  received_.clear();
  transport_.Read(received_);
  if (!received_.empty()) {
    lastByteNs_ = clock_.MonotonicNs();
    if (status_.silent) {
      status_.silent = false;
      Report(LiveEvent::DataAgain);
    }
    framer_.Feed(received_, [this](std::string_view text) { Handle(text); });
  }
  if (!transport_.IsOpen()) DeviceGone();
}

void LiveSession::Handle(std::string_view text) {
  LiveRecord record;
  record.utcNs = clock_.UtcNs();
  record.monotonicNs = clock_.MonotonicNs();
  record.text = text;
  if (!framer_.Framed()) {
    Accept(std::move(record));
    return;
  }
  if (const std::string_view problem = LiveRecordProblem(text); !problem.empty()) {
    Reject(ShownRejectedText(text), std::string(problem));
    return;
  }
  if (sample_->Parse(text) != 0) {
    Reject(sample_->FRawLine, sample_->FErrorText);
    return;
  }
  record.row = ++rows_;
  RecordScratch scratch;
  const RecordCellTexts cells = RecordCells(*sample_, 0, scratch);
  std::copy(cells.begin(), cells.end(), record.cells.begin());
  record.numbers = sample_->FNumbers;
  Accept(std::move(record));
}

void LiveSession::Reject(std::string text, std::string message) {
  observer_.RecordRejected({std::move(text), std::move(message), rows_});
}

// Written at once unless earlier records wait; reported once written or
// held.
void LiveSession::Accept(LiveRecord record) {
  HeldRecords::Record kept{record.row, record.text, record.utcNs, record.monotonicNs, record.numbers.towDepth};
  std::string error;
  if (status_.writeFailed || !held_.Empty() || writer_->HasPending())
    Hold(std::move(kept));
  else
    error = Write(kept);
  observer_.RecordAccepted(record);
  if (navigation_) navigation_->Report();
  if (!error.empty()) FailWrite(error);
}

// A record with its reception time, a raw chunk as received; one that fails
// stays pending in the writer.
std::string LiveSession::Write(const HeldRecords::Record& record) {
  const bool framed = record.row > 0 || framer_.Framed();
  std::string error = framed ? writer_->Append(record.text, {0, record.utcNs, record.monotonicNs})
                             : writer_->AppendBytes(record.text);
  if (error.empty()) {
    Written(record);
  } else {
    NoteParts(record.utcNs);
    pending_ = HeldRecords::Record{record.row, {}, record.utcNs, record.monotonicNs, record.towDepth};
  }
  return error;
}

// A record is in the log: a part it began is told, and it is positioned.
void LiveSession::Written(const HeldRecords::Record& record) {
  NoteParts(record.utcNs);
  if (navigation_ && record.row > 0)
    navigation_->RecordWritten(record.row, writer_->RowInPart(writer_->RecordCount()), record.utcNs, record.towDepth);
}

void LiveSession::Hold(HeldRecords::Record record) {
  std::deque<HeldRecords::Record> dropped = held_.Push(std::move(record));
  status_.heldRecords = HeldCount();
  if (dropped.empty()) return;
  // Dropped records are the oldest held, in row order: one run of rows.
  if (dropped.front().row > 0) lostRows_.emplace_back(dropped.front().row, dropped.size());
  status_.lostRecords += dropped.size();
}

// The pending record, then the held ones in order; false at the first that
// fails (it stays pending, the rest held).
bool LiveSession::WriteHeld() {
  if (std::string error = writer_->WritePending(); !error.empty()) {
    NoteParts();
    status_.writeError = error;
    return false;
  }
  if (pending_) Written(*std::exchange(pending_, std::nullopt));
  while (!held_.Empty()) {
    const HeldRecords::Record& record = held_.Front();
    const std::string error = Write(record);
    held_.PopFront();  // written, or pending in the writer now
    status_.heldRecords = HeldCount();
    if (!error.empty()) {
      status_.writeError = error;
      return false;
    }
  }
  status_.writeFailed = false;
  status_.writeError.clear();
  status_.heldRecords = 0;
  UpdateState();
  return true;
}

void LiveSession::FailWrite(const std::string& error) {
  status_.writeFailed = true;
  status_.writeError = error;
  status_.heldRecords = HeldCount();
  Report(LiveEvent::WriteFailed);
}

// A new part is reported with its full name; its first record (received
// at `firstUtcNs`) begins its side files.
void LiveSession::NoteParts(std::int64_t firstUtcNs) {
  while (partsSeen_ < writer_->Parts().size()) {
    const std::size_t index = partsSeen_++;
    if (navigation_ && index > 0) navigation_->PartStarted(firstUtcNs);
    observer_.PartStarted(index, writer_->Parts()[index]);
  }
}

// ---- The device ----

void LiveSession::DeviceGone() {
  status_.deviceLost = true;
  status_.silent = false;
  status_.deviceText = device_.name;
  framer_.Reset();
  nextReconnectNs_ = clock_.MonotonicNs() + options_.reconnectPeriodNs;
  Report(LiveEvent::DeviceLost);
}

// Opens the port; a device that does not open is waited for as a lost one,
// a different device is not read until the user resumes.
void LiveSession::OpenDevice() {
  if (!transport_.Open().empty()) {
    status_.deviceLost = true;
    status_.deviceText = device_.name;
    nextReconnectNs_ = clock_.MonotonicNs() + options_.reconnectPeriodNs;
    return;
  }
  status_.deviceLost = false;
  lastByteNs_ = clock_.MonotonicNs();
  const DeviceIdentity now = transport_.Identity();
  if (SameDevice(device_, now)) return;
  transport_.Close();
  candidate_ = now;
  status_.otherDevice = true;
  status_.deviceText = DescribeDevice(now);
}

void LiveSession::CheckDevice(std::int64_t now) {
  if (!Reading()) return;
  if (!status_.deviceLost) {
    if (!transport_.IsOpen()) DeviceGone();
    return;
  }
  if (now < nextReconnectNs_) return;
  OpenDevice();
  if (status_.otherDevice) Report(LiveEvent::OtherDevice);
  else if (!status_.deviceLost) Report(LiveEvent::DeviceBack);
}

// ---- Time ----

void LiveSession::Tick() {
  Poll();
  if (!Running()) return;
  const std::int64_t now = clock_.MonotonicNs();
  CheckDevice(now);
  CheckSilence(now);
  CheckDisk(now);
  ReportCounts(now);
  if (navigation_) {
    navigation_->Tick();
    navigation_->Report();
  }
}

void LiveSession::CheckSilence(std::int64_t now) {
  if (!Reading() || status_.deviceLost || status_.silent || now - lastByteNs_ < options_.silenceNs) return;
  status_.silent = true;
  Report(LiveEvent::Silence);
}

// Syncs every sync period while records are written; a failed sync or
// close is a failed write. An unattended session tries its held records
// again now and then.
void LiveSession::CheckDisk(std::int64_t now) {
  if (now - lastSyncNs_ >= options_.syncPeriodNs && writer_->RequestSync()) lastSyncNs_ = now;
  if (std::string error = writer_->TakeDiskError(); !error.empty() && !status_.writeFailed) FailWrite(error);
  if (std::string error = writer_->TakeSideError(); !error.empty() && navigation_) navigation_->FileFailed(error);
  if (!status_.writeFailed || options_.writeRetryNs <= 0 || now < nextRetryNs_) return;
  nextRetryNs_ = now + options_.writeRetryNs;
  if (WriteHeld()) Report(LiveEvent::WriteResumed);
}

// ---- Reports ----

// Records lost from memory, and the count of held ones, are told at most
// once a second: a status line, not a storm.
void LiveSession::ReportCounts(std::int64_t now) {
  if (now - countsReportNs_ < kNsPerSecond) return;
  if (status_.lostRecords != lostReported_) {
    lostReported_ = status_.lostRecords;
    countsReportNs_ = now;
    Report(LiveEvent::RecordsLost);
  } else if (status_.writeFailed && status_.heldRecords != heldReported_) {
    countsReportNs_ = now;
    Report(LiveEvent::Holding);
  }
}

std::uint64_t LiveSession::HeldCount() const { return held_.Count() + (writer_->HasPending() ? 1 : 0); }

void LiveSession::UpdateState() {
  if (!Running()) return;
  const bool paused = status_.userPaused || status_.writeFailed || status_.otherDevice;
  status_.state = paused ? LiveState::Paused : LiveState::Logging;
}

void LiveSession::Report(LiveEvent event) {
  UpdateState();
  heldReported_ = status_.heldRecords;
  observer_.Happened(event, status_);
}

// ---- Comments ----

std::uint64_t LiveSession::LogRowOf(std::uint64_t row) const {
  std::uint64_t lostBefore = 0;
  for (const auto& [first, count] : lostRows_) {
    if (row >= first + count) lostBefore += count;
    else if (row >= first) return 0;
  }
  return row - lostBefore;
}

std::string LiveSession::SetComment(std::uint64_t row, std::string_view comment) {
  if (!Running()) return "No session is running.";
  if (row == 0 || row > rows_) return "No record in row " + std::to_string(row) + ".";
  const std::uint64_t logRow = LogRowOf(row);
  if (logRow == 0) return "The record of row " + std::to_string(row) + " was lost before it could be written.";
  if (logRow > writer_->RecordCount())
    return "The record of row " + std::to_string(row) + " is not written yet: comment it once the log can be written.";
  return writer_->SetComment(logRow, comment);
}

std::vector<std::string> LiveSession::FilesInUse() const {
  std::vector<std::string> files;
  if (!Running()) return files;
  for (std::size_t part = 0; part < writer_->Parts().size(); ++part) {
    files.push_back(writer_->Parts()[part]);
    if (std::string comments = writer_->CommentsFileOfPart(part); !comments.empty()) files.push_back(comments);
    for (std::string& side : writer_->SideFilesOfPart(part)) files.push_back(std::move(side));
  }
  return files;
}

// ---- The GPS ----

std::string LiveSession::SetCableOut(double metres) {
  if (!Running()) return "No session is running.";
  if (!navigation_) return "No GPS port is set.";
  std::string error = navigation_->SetCableOut(metres);
  navigation_->Report();
  return error;
}

void LiveSession::UseOtherGps() {
  if (!navigation_ || !Running()) return;
  navigation_->UseOtherGps();
  navigation_->Report();
}

std::optional<GpsStatus> LiveSession::GpsStatusNow() const {
  return navigation_ ? navigation_->FixStatus() : std::nullopt;
}

}  // namespace tessaly
