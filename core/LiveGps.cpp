#include "core/LiveGps.h"

#include <algorithm>
#include <utility>

#include "core/NmeaLog.h"

namespace tessaly {

namespace {

constexpr std::size_t kMostRecentLines = 1000;

}  // namespace

LiveGps::LiveGps(LiveTransport& transport, const Clock& clock, std::int64_t reconnectPeriodNs)
    : transport_(transport), clock_(clock), reconnectPeriodNs_(reconnectPeriodNs) {}

void LiveGps::Start(WriteLine write, OnSentence onSentence) {
  write_ = std::move(write);
  onSentence_ = std::move(onSentence);
  status_ = GpsPortStatus{};
  status_.state = GpsPortState::Lost;
  known_ = false;
  framer_ = NmeaFramer{};
  recent_.clear();
  held_.clear();
  heldBytes_ = 0;
  device_ = transport_.Identity();
  Open();
}

void LiveGps::Stop() {
  Poll();
  transport_.Close();
  framer_.Reset();
  WriteHeld();
}

// Opens the port; a device that does not open is waited for, a different
// one than the GPS first opened is not read.
void LiveGps::Open() {
  if (!transport_.Open().empty()) {
    status_.state = GpsPortState::Lost;
    status_.deviceText = device_.name;
    nextReconnectNs_ = clock_.MonotonicNs() + reconnectPeriodNs_;
    return;
  }
  const DeviceIdentity now = transport_.Identity();
  if (known_ && !SameDevice(device_, now)) {
    transport_.Close();
    candidate_ = now;
    status_.state = GpsPortState::OtherDevice;
    status_.deviceText = DescribeDevice(now);
    return;
  }
  device_ = now;
  known_ = true;
  status_.state = GpsPortState::Open;
  status_.deviceText.clear();
}

void LiveGps::UseOtherDevice() {
  if (status_.state != GpsPortState::OtherDevice) return;
  device_ = candidate_;
  known_ = false;
  Open();
}

void LiveGps::Gone() {
  status_.state = GpsPortState::Lost;
  status_.deviceText = device_.name;
  framer_.Reset();
  status_.garbageBytes = framer_.Counted().garbageBytes;
  nextReconnectNs_ = clock_.MonotonicNs() + reconnectPeriodNs_;
}

void LiveGps::Poll() {
  if (status_.state != GpsPortState::Open) return;
  received_.clear();
  transport_.Read(received_);
  if (!received_.empty()) {
    framer_.Feed(received_, [this](std::string_view sentence) { Handle(sentence); });
    status_.garbageBytes = framer_.Counted().garbageBytes;
  }
  if (!transport_.IsOpen()) Gone();
}

void LiveGps::Tick() {
  Poll();
  WriteHeld();
  if (status_.state == GpsPortState::Lost && clock_.MonotonicNs() >= nextReconnectNs_) Open();
}

// Stamped, written (or held), kept among the recent ones, and handed on
// when its checksum is good and it decodes.
void LiveGps::Handle(std::string_view sentence) {
  const std::int64_t now = clock_.UtcNs();
  ++status_.sentences;
  Write(FormatNmeaLogLine(now, sentence));
  recent_.push_back({now, std::string(sentence)});
  while (recent_.size() > kMostRecentLines || now - recent_.front().utcNs > kLeadInNs) recent_.pop_front();
  if (CheckNmeaChecksum(sentence) != NmeaChecksum::Ok) {
    ++status_.badChecksums;
    return;
  }
  if (const std::optional<DecodedSentence> decoded = DecodeNmea(sentence)) onSentence_({now, *decoded});
}

// At once unless lines wait; else after them, dropping the oldest beyond
// the memory bound.
void LiveGps::Write(std::string line) {
  if (held_.empty()) {
    if (std::string error = write_(line); error.empty()) return;
    else status_.writeError = std::move(error);
  }
  heldBytes_ += line.size();
  held_.push_back(std::move(line));
  while (heldBytes_ > kHeldGpsBytes) {
    heldBytes_ -= held_.front().size();
    held_.pop_front();
    ++status_.lostLines;
  }
  status_.heldLines = held_.size();
}

// The waiting lines, oldest first, up to the first the file refuses.
bool LiveGps::WriteHeld() {
  while (!held_.empty()) {
    if (std::string error = write_(held_.front()); !error.empty()) {
      status_.writeError = std::move(error);
      return false;
    }
    heldBytes_ -= held_.front().size();
    held_.pop_front();
    status_.heldLines = held_.size();
  }
  status_.writeError.clear();
  return true;
}

std::vector<ReceivedSentence> LiveGps::StartPart() {
  // The waiting lines are the newest: the others were written to the part
  // before, and begin this one.
  const std::size_t written = recent_.size() - std::min(recent_.size(), held_.size());
  for (std::size_t i = 0; i < written; ++i)
    if (std::string error = write_(FormatNmeaLogLine(recent_[i].utcNs, recent_[i].sentence)); !error.empty())
      status_.writeError = std::move(error);
  return Recent();
}

std::vector<ReceivedSentence> LiveGps::Recent() const {
  std::vector<ReceivedSentence> decoded;
  for (const Line& line : recent_)
    if (std::optional<DecodedSentence> sentence = DecodeNmea(line.sentence)) decoded.push_back({line.utcNs, *sentence});
  return decoded;
}

}  // namespace tessaly
