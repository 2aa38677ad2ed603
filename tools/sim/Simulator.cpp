#include "tools/sim/Simulator.h"

#include <time.h>

#include <algorithm>

namespace tessaly::sim {
namespace {

constexpr std::chrono::milliseconds kPollPeriod{20};
constexpr std::chrono::milliseconds kLongestSleep{100};  // a stop is seen within this

timespec ToTimespec(std::chrono::steady_clock::time_point time) {
  const auto nanos = std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
  return {static_cast<time_t>(nanos / 1000000000), static_cast<long>(nanos % 1000000000)};
}

}  // namespace

Simulator::Simulator(const SimOptions& options, std::vector<std::string> items, PtyDevice& device,
                     SentReport& report, std::ostream& devices, const std::atomic<bool>& stop)
    : options_(options),
      items_(std::move(items)),
      device_(device),
      report_(report),
      devices_(devices),
      stop_(stop),
      faults_(options.faults),
      clock_(options.line, Clock::now()) {
  if (options.mode == SimMode::Stream && options.rate > 0.0)
    recordPeriod_ = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / options.rate));
}

void Simulator::Run() {
  if (OpenDevice()) {
    do {
      if (!SendPass()) break;
    } while (options_.loop);
  }
  report_.End(Stopped() ? device_.Unread() : WaitUntilTaken());
  while (options_.stay && SleepUntil(Clock::now() + kLongestSleep)) {
  }
  device_.Close();
}

// Opens a new device, tells its path and, with --wait-open, waits for a
// reader. The line starts from here.
bool Simulator::OpenDevice() {
  device_.Open();
  devices_ << device_.Path() << std::endl;
  report_.Device(device_.Path());
  while (options_.waitOpen && !device_.ReaderPresent())
    if (!SleepUntil(Clock::now() + kPollPeriod)) return false;
  const TimePoint now = Clock::now();
  clock_.RestartAt(now);
  nextRecordAt_ = std::max(nextRecordAt_, now);
  return !Stopped();
}

bool Simulator::SendPass() {
  const std::size_t hangupAfter = static_cast<std::size_t>(options_.faults.hangupAfter);
  for (std::size_t i = 0; i < items_.size();) {
    if (hangupAfter > 0 && sinceHangup_ == hangupAfter) {
      if (!HangUp(i)) return false;
      if (i == items_.size()) break;
    }
    const std::size_t untilHangup = hangupAfter > 0 ? hangupAfter - sinceHangup_ : items_.size();
    const Step step = faults_.Next(items_[i], std::min(items_.size() - i, untilHangup));
    if (!SendStep(step, i)) return false;
    i += step.records;
    sinceHangup_ += step.records;
  }
  return !Stopped();
}

bool Simulator::SendStep(const Step& step, std::size_t first) {
  if (!step.garbage.empty()) {
    if (!Complete(step.garbage, SendPieces(step.garbage, {}, nextRecordAt_))) return false;
    report_.Garbage(step.garbage);
  }
  if (!SendRecords(step, first)) return false;
  if (step.pauseMs > 0) {
    clock_.Idle(std::chrono::milliseconds(step.pauseMs));
    report_.Pause(step.pauseMs);
  }
  return true;
}

bool Simulator::SendRecords(const Step& step, std::size_t first) {
  if (step.records > 1) return SendBurst(first, step.records);
  if (step.breakAt > 0) return SendBroken(step, first);
  const std::string& record = items_[first];
  if (!Complete(record, SendPieces(record, step.cuts, RecordStart()))) return false;
  ReportSource(first);
  if (step.cuts.empty()) report_.Record(record);
  else report_.SplitRecord(record, step.cuts);
  return true;
}

// The record with a line break put inside it, in one write.
bool Simulator::SendBroken(const Step& step, std::size_t item) {
  std::string bytes = items_[item];
  bytes.insert(step.breakAt, step.lineBreak);
  if (!Complete(bytes, SendPieces(bytes, {}, RecordStart()))) return false;
  ReportSource(item);
  report_.BrokenRecord(bytes, step.breakAt);
  return true;
}

void Simulator::ReportSource(std::size_t item) {
  if (item < lines_.size()) report_.SourceLine(lines_[item]);
}

// Each record of a burst keeps its place on the line; the reader gets them
// all in one write when the last has been carried.
bool Simulator::SendBurst(std::size_t first, std::size_t count) {
  std::string bytes;
  TimePoint due{};
  for (std::size_t i = first; i < first + count; ++i) {
    due = clock_.Send(items_[i].size(), RecordStart());
    bytes += items_[i];
  }
  if (!Complete(bytes, Transmit(bytes, due))) return false;
  report_.Burst(count);
  for (std::size_t i = first; i < first + count; ++i) {
    ReportSource(i);
    report_.Record(items_[i]);
  }
  return true;
}

// True when all of `bytes` went out; otherwise a stop cut them short, and
// the part sent is reported.
bool Simulator::Complete(std::string_view bytes, std::size_t sent) {
  if (sent == bytes.size()) return true;
  if (sent > 0) report_.Interrupted(bytes.substr(0, sent));
  return false;
}

// When the next record may start: when the line is free, and no sooner than
// the record rate allows.
Simulator::TimePoint Simulator::RecordStart() {
  const TimePoint start = std::max(nextRecordAt_, clock_.FreeAt());
  if (recordPeriod_ > Clock::duration::zero()) nextRecordAt_ = start + recordPeriod_;
  return start;
}

// Sends `bytes` as one write, or one per piece when cut; returns the bytes
// written (fewer only when stopped).
std::size_t Simulator::SendPieces(std::string_view bytes, const std::vector<std::size_t>& cuts, TimePoint notBefore) {
  std::size_t done = 0;
  for (std::size_t k = 0; k <= cuts.size(); ++k) {
    const std::size_t end = k < cuts.size() ? cuts[k] : bytes.size();
    const TimePoint due = clock_.Send(end - done, k == 0 ? notBefore : TimePoint{});
    done += Transmit(bytes.substr(done, end - done), due);
    if (done < end) break;
  }
  return done;
}

// Writes `bytes` once the line has carried them (at `due`).
std::size_t Simulator::Transmit(std::string_view bytes, TimePoint due) {
  if (!SleepUntil(due)) return 0;
  std::size_t done = 0;
  while (done < bytes.size() && !Stopped()) {
    const std::size_t written = device_.WriteSome(bytes.substr(done));
    if (written == 0) device_.WaitWritable(static_cast<int>(kPollPeriod.count()));
    done += written;
  }
  const TimePoint now = Clock::now();
  if (now - due > kStallLimit) {
    clock_.RestartAt(now);
    nextRecordAt_ = std::max(nextRecordAt_, now);
  }
  return done;
}

// The device goes away for --hangup-ms, then a new one appears. With
// --hangup-in-flight the records from `next` on that go out just before it
// are passed over.
bool Simulator::HangUp(std::size_t& next) {
  const std::optional<std::size_t> unread = WaitUntilTaken();
  if (options_.faults.hangupInFlight && next < items_.size() && !SendInFlight(next)) return false;
  device_.Close();
  report_.Hangup(options_.faults.hangupMs, unread);
  sinceHangup_ = 0;
  return SleepUntil(Clock::now() + std::chrono::milliseconds(options_.faults.hangupMs)) && OpenDevice();
}

// Whole records and the first part of the one after them, in one write as
// soon as the line has carried them; the device closes at once or a moment
// later, so the reader may have taken all, some or none of them.
bool Simulator::SendInFlight(std::size_t& next) {
  const Flight flight = faults_.InFlight(items_, next);
  const std::string cutPart = items_[next + flight.records].substr(0, flight.cut);
  std::string bytes;
  TimePoint due{};
  for (std::size_t i = next; i < next + flight.records; ++i) {
    due = clock_.Send(items_[i].size(), RecordStart());
    bytes += items_[i];
  }
  due = clock_.Send(cutPart.size(), RecordStart());
  bytes += cutPart;
  if (!Complete(bytes, Transmit(bytes, due))) return false;
  report_.InFlight(flight.records, flight.lingerMs);
  for (std::size_t i = next; i < next + flight.records; ++i) {
    ReportSource(i);
    report_.Record(items_[i]);
  }
  next += flight.records;
  if (!cutPart.empty()) {
    ReportSource(next);
    report_.CutRecord(cutPart);
    ++next;
  }
  return SleepUntil(Clock::now() + std::chrono::milliseconds(flight.lingerMs));
}

// Waits, at most kDrainLimit, until a reader has taken every byte written,
// or, with no reader, until the count of unread bytes settles; returns what
// is still unread. Two looks in a row must agree, since bytes on their way
// into the device are not counted at once.
std::optional<std::size_t> Simulator::WaitUntilTaken() {
  const TimePoint deadline = Clock::now() + kDrainLimit;
  std::optional<std::size_t> unread = device_.Unread();
  while (Clock::now() < deadline && SleepUntil(Clock::now() + kPollPeriod)) {
    const std::optional<std::size_t> previous = unread;
    unread = device_.Unread();
    if (unread == previous && (unread == std::optional<std::size_t>(0) || !device_.ReaderPresent())) break;
  }
  return unread;
}

// Sleeps until `time` in short steps; false when stopped.
bool Simulator::SleepUntil(TimePoint time) {
  while (!Stopped()) {
    const TimePoint now = Clock::now();
    if (now >= time) return true;
    const timespec wake = ToTimespec(std::min(time, now + kLongestSleep));
    ::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &wake, nullptr);
  }
  return false;
}

}  // namespace tessaly::sim
