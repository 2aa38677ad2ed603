#include "tools/sim/GpsStream.h"

#include <stdexcept>

#include "core/NmeaLog.h"
#include "core/SideFile.h"
#include "tools/sim/StopSleep.h"

namespace tessaly::sim {
namespace {

constexpr std::chrono::milliseconds kPollPeriod{20};

bool IsPositionSentence(const std::string& text) {
  const std::string type = text.size() >= 6 ? text.substr(3, 3) : std::string();
  return type == "GGA" || type == "RMC";
}

LineSettings GpsLine(const GpsSettings& gps) {
  LineSettings line;
  line.baud = gps.baud;
  return line;
}

}  // namespace

std::vector<GpsSentence> ReadGpsSentences(const std::string& path) {
  std::vector<GpsSentence> sentences;
  std::int64_t first = 0;
  const std::string error = ForEachLine(path, [&](std::string_view text, std::uint64_t number) {
    if (text.empty()) return;
    const auto line = ParseNmeaLogLine(text);
    const std::string where = path + " line " + std::to_string(number);
    if (!line) throw std::runtime_error(where + " is not a UTC time, a tab and a sentence");
    if (sentences.empty()) first = line->receivedUtcNs;
    const std::int64_t offset = line->receivedUtcNs - first;
    if (!sentences.empty() && offset < sentences.back().offsetNs)
      throw std::runtime_error(where + " was received before the line above it");
    sentences.push_back({offset, std::string(line->sentence)});
  });
  if (!error.empty()) throw std::runtime_error(error);
  return sentences;
}

GpsStream::GpsStream(const SimOptions& options, std::vector<GpsSentence> sentences, const std::atomic<bool>& stop)
    : options_(options),
      sentences_(std::move(sentences)),
      stop_(stop),
      device_(options.gps.linkPath),
      clock_(GpsLine(options.gps), Clock::now()),
      faults_(options.gps, options.faults.seed) {
  if (!options.gps.sentPath.empty()) {
    report_.reset(std::fopen(options.gps.sentPath.c_str(), "w"));
    if (!report_) throw std::runtime_error("cannot create " + options.gps.sentPath);
  }
}

void GpsStream::Run(const std::atomic<bool>& finished) {
  device_.Open();
  bool open = true;
  while (options_.waitOpen && !device_.ReaderPresent() && open) open = SleepUntil(Clock::now() + kPollPeriod);
  if (open && SendAll())
    while (!finished && SleepUntil(Clock::now() + kPollPeriod)) {
    }
  device_.WaitUntilTaken(kGpsDrainLimit, stop_);
  device_.Close();
}

bool GpsStream::SendAll() {
  const Clock::time_point start = Clock::now();
  clock_.RestartAt(start);
  const GpsSettings& gps = options_.gps;
  std::int64_t silentUntil = -1;
  for (std::size_t first = 0; first < sentences_.size();) {
    std::size_t end = first + 1;
    while (end < sentences_.size() && !(IsPositionSentence(sentences_[end].text) &&
                                        !IsPositionSentence(sentences_[end - 1].text)))
      ++end;
    const std::int64_t offset = sentences_[first].offsetNs;
    if (gps.dropoutEvery > 0 && offset >= silentUntil && epochsSinceDropout_ == static_cast<std::size_t>(gps.dropoutEvery)) {
      Report('D', std::to_string(gps.dropoutMs));
      silentUntil = offset + std::int64_t{gps.dropoutMs} * 1'000'000;
      epochsSinceDropout_ = 0;
    }
    if (offset >= silentUntil) {
      if (!SendEpoch(first, end, start)) return false;
      ++epochsSinceDropout_;
    }
    first = end;
  }
  return !stop_;
}

bool GpsStream::SendEpoch(std::size_t first, std::size_t end, Clock::time_point start) {
  const bool invalid = faults_.InvalidEpoch();
  for (std::size_t i = first; i < end; ++i) {
    std::string text = invalid ? InvalidatedSentence(sentences_[i].text) : sentences_[i].text;
    char tag = text == sentences_[i].text ? 'S' : 'V';
    if (faults_.BadChecksum()) {
      text = BadChecksumSentence(text);
      tag = 'C';
    }
    const std::string bytes = text + "\r\n";
    const auto due = clock_.Send(bytes.size(), start + std::chrono::nanoseconds(sentences_[i].offsetNs));
    if (!Transmit(bytes, due)) return false;
    Report(tag, text);
  }
  return true;
}

bool GpsStream::Transmit(const std::string& bytes, Clock::time_point due) {
  if (!SleepUntil(due)) return false;
  std::size_t done = 0;
  while (done < bytes.size() && !stop_) {
    const std::size_t written = device_.WriteSome(std::string_view(bytes).substr(done));
    if (written == 0) device_.WaitWritable(static_cast<int>(kPollPeriod.count()));
    done += written;
  }
  return done == bytes.size();
}

bool GpsStream::SleepUntil(Clock::time_point time) { return SleepUntilOrStopped(time, stop_); }

void GpsStream::Report(char tag, const std::string& text) {
  if (!report_) return;
  std::fprintf(report_.get(), "%c %s\n", tag, text.c_str());
  std::fflush(report_.get());
}

}  // namespace tessaly::sim
