#include "core/LogPositioner.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>

namespace tessaly {

namespace {

constexpr std::int64_t kKeptNs = LogPositioner::kKeptSeconds * kNsPerSecond;

// b − a > limit for any two readings, without overflowing.
bool LaterBy(std::int64_t b, std::int64_t a, std::int64_t limit) {
  return b > a && static_cast<std::uint64_t>(b) - static_cast<std::uint64_t>(a) > static_cast<std::uint64_t>(limit);
}

std::string Number(double value) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

bool IsFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

}  // namespace

RecordFacts FactsOf(std::uint64_t row, const RecordNumbers& numbers) {
  RecordFacts facts;
  facts.row = row;
  if (!std::isnan(numbers.towDepth)) facts.towDepth = numbers.towDepth;
  return facts;
}

ReceivedRecord ReceivedOf(const PositionedRecord& record) {
  ReceivedRecord received;
  if (record.receivedUtcNs) received.utcNs = *record.receivedUtcNs;
  if (record.antenna) received.antenna = *record.antenna;
  if (record.towfish) received.towfish = *record.towfish;
  received.flags = record.flags;
  return received;
}

LogSideFiles SideFilesOf(const std::string& log) {
  return {SideFileName(log, kTimesSuffix), SideFileName(log, kNmeaSuffix), SideFileName(log, kCableSuffix)};
}

bool HasPositioningFiles(const std::string& log) {
  const LogSideFiles files = SideFilesOf(log);
  return IsFile(files.times) && IsFile(files.nmea);
}

std::string LogPositioner::Open(const LogSideFiles& files, const LaybackSettings& settings, bool useCableFile) {
  files_ = files;
  settings_ = settings;
  if (std::string error = times_.Open(files.times); !error.empty()) return error;
  if (std::string error = nmea_.Open(files.nmea); !error.empty()) return error;
  cable_ = CableHistory(settings.cableOut);
  std::error_code missing;
  if (useCableFile && !files.cable.empty() && std::filesystem::exists(files.cable, missing)) {
    std::vector<std::string> problems;
    if (std::string error = ReadCableHistory(files.cable, cable_, problems); !error.empty()) return error;
    for (std::string& problem : problems) Note(files.cable, std::move(problem));
    cableChanges_ = !cable_.Changes().empty();
  }
  positioner_.emplace(fixes_, cable_, settings_);
  return {};
}

PositionedRecord LogPositioner::Next(const RecordFacts& record) {
  if (!positioner_) return {record.row, std::nullopt, std::nullopt, std::nullopt, 0.0, 0.0, kNoTime};
  const std::optional<ReceptionTime> time = TimeOfRow(record.row);
  if (time) ReadFixesFor(time->utcNs);
  return positioner_->Position(record, time);
}

// The times file is read up to the first line of row `row` or beyond; the
// line read past it waits for its own record.
std::optional<ReceptionTime> LogPositioner::TimeOfRow(std::uint64_t row) {
  std::string_view line;
  while (!timesEnded_ && (!nextTime_ || nextTime_->row < row)) {
    if (!times_.Next(line)) {
      timesEnded_ = true;
      break;
    }
    std::string problem;
    if (const auto time = ReadReceptionTimeLine(line, times_.LineNumber(), lastRow_, problem)) {
      nextTime_ = time;
      lastRow_ = time->row;
    } else {
      Note(files_.times, std::move(problem));
    }
  }
  if (nextTime_ && nextTime_->row == row) return nextTime_;
  return std::nullopt;
}

void LogPositioner::ReadFixesFor(std::int64_t utcNs) {
  std::string_view line;
  while (!nmeaEnded_ && !FixesSuffice(utcNs)) {
    if (!nmea_.Next(line)) {
      nmeaEnded_ = true;
      break;
    }
    ReadNmeaLogLine(line, fixes_, nmeaCounts_);
    if (fixes_.Fixes().size() >= forgetAt_) Forget(utcNs);
  }
  if (fixes_.Fixes().size() >= forgetAt_) Forget(utcNs);
}

// Whether the fixes read settle the antenna at `utcNs`: a valid fix after
// it that no sentence can still change (a later fix has begun), and every
// fix up to kMaxFixGap past that one (the extrapolation before the first
// fix looks that far), the NMEA file's reception times rising.
bool LogPositioner::FixesSuffice(std::int64_t utcNs) {
  const std::vector<GpsFix>& fixes = fixes_.Fixes();
  if (fixes.size() < 2) return false;
  const std::size_t closed = fixes.size() - 1;
  while (scan_ < closed && !(fixes[scan_].valid && fixes[scan_].receivedUtcNs > utcNs)) ++scan_;
  return scan_ < closed && LaterBy(fixes[closed - 1].receivedUtcNs, fixes[scan_].receivedUtcNs, kMaxFixGap);
}

void LogPositioner::Forget(std::int64_t utcNs) {
  fixes_.ForgetBefore(utcNs < std::numeric_limits<std::int64_t>::min() + kKeptNs ? utcNs : utcNs - kKeptNs);
  scan_ = 0;
  forgetAt_ = std::max<std::size_t>(256, 2 * fixes_.Fixes().size());
}

void LogPositioner::Note(const std::string& file, std::string problem) {
  if (problems_.size() < kMaxProblems) problems_.push_back(file + ": " + problem);
  ++problemCount_;
}

std::string LogPositioner::Error() const { return !times_.Error().empty() ? times_.Error() : nmea_.Error(); }

std::string LogPositioner::Description() const {
  const LaybackSettings& s = settings_;
  std::string text = "cable " + Number(s.cableOut) + " m";
  if (cableChanges_) text += " (changes from " + std::filesystem::path(files_.cable).filename().string() + ")";
  text += ", tow point " + Number(s.towPointAstern) + " m astern and " + Number(s.towPointStarboard) +
          " m to starboard of the antenna, depth " + Number(s.defaultDepth) + " m where a record has none, " +
          (s.mode == LaybackMode::FollowTheFish ? "follow the fish" : "along course") + ", course made good over " +
          Number(s.smoothingSeconds) + " s";
  return text;
}

}  // namespace tessaly
