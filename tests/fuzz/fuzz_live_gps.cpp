// A live session's two ports at once: see FuzzTargets.h.
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/LiveSession.h"
#include "core/NmeaFramer.h"
#include "core/NmeaLog.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzTargets.h"
#include "support/FakeTransport.h"
#include "support/FileBytes.h"
#include "support/LiveRecords.h"

namespace tessaly::fuzz {

namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kStartUtc = 1'800'000'000 * kNsPerSecond;

// Where the sessions write: a folder for the process, emptied for each input.
class Folder {
 public:
  Folder() : path_(fs::temp_directory_path() / ("tessaly-fuzz-live-gps-" + std::to_string(::getpid()))) {}
  ~Folder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  std::string Fresh() const {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
    fs::create_directories(path_);
    return path_.string();
  }

 private:
  fs::path path_;
};

// What the session was sent, and when: the harness's own account.
struct Run {
  std::vector<std::string> expectedLines;  // every sentence framed, as the NMEA files keep them
  testing::LiveRecorder seen;
  std::vector<std::string> parts;
};

std::vector<std::string> FileLines(const std::string& path) {
  std::vector<std::string> lines;
  ForEachLine(path, [&lines](std::string_view line, std::uint64_t) { lines.emplace_back(line); });
  return lines;
}

// The parts' NMEA files hold every sentence once, in order, each later part
// beginning with some of the last lines of the part before.
void CheckNmeaFiles(const Run& run) {
  std::size_t next = 0;
  std::vector<std::string> before;
  for (const std::string& part : run.parts) {
    const std::vector<std::string> lines = FileLines(SideFileName(part, kNmeaSuffix));
    for (const std::string& line : lines) {
      const auto parsed = ParseNmeaLogLine(line);
      if (!Require(parsed.has_value(), "an NMEA line that does not read", line)) return;
      Require(parsed->sentence.size() <= NmeaFramer::kMaxSentenceChars, "a sentence longer than 80", line);
      Require(parsed->mark.empty() == (CheckNmeaChecksum(parsed->sentence) == NmeaChecksum::Ok),
              "a sentence marked against its checksum", line);
    }
    bool explained = false;
    for (std::size_t lead = std::min(lines.size(), before.size()) + 1; lead-- > 0 && !explained;) {
      explained = std::equal(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(lead), before.end() - static_cast<std::ptrdiff_t>(lead)) &&
                  lines.size() - lead <= run.expectedLines.size() - next &&
                  std::equal(lines.begin() + static_cast<std::ptrdiff_t>(lead), lines.end(), run.expectedLines.begin() + static_cast<std::ptrdiff_t>(next));
      if (explained) next += lines.size() - lead;
    }
    if (!Require(explained, "a part's NMEA file holds other than the sentences received", part)) return;
    before = lines;
  }
  Require(next == run.expectedLines.size(), "sentences received but not in the NMEA files");
}

// Each part's times: a line a record in row order, at the record's
// reception; each record positioned as the command line positions it
// after the survey from the part's files.
void CheckParts(const Run& run, std::size_t perPart, const LaybackSettings& settings) {
  std::vector<const LiveRecord*> records;
  for (const LiveRecord& record : run.seen.accepted) records.push_back(&record);
  for (std::size_t index = 0; index < run.parts.size(); ++index) {
    const std::string& part = run.parts[index];
    const ReceptionTimesFile times = ReadReceptionTimes(SideFileName(part, kTimesSuffix));
    Require(times.problems.empty() && times.error.empty(), "a times file that does not read", part);
    const std::size_t first = index * perPart;
    const std::size_t count = std::min(perPart, records.size() - std::min(first, records.size()));
    if (!Require(times.times.size() == count, "a times file without a line a record", part)) return;
    const NmeaLogFile nmea = ReadNmeaLog(SideFileName(part, kNmeaSuffix));
    CableHistory cable(settings.cableOut);
    std::vector<std::string> problems;
    ReadCableHistory(SideFileName(part, kCableSuffix), cable, problems);
    RecordPositioner positioner(nmea.timeline, cable, settings);
    for (std::size_t row = 1; row <= count; ++row) {
      const LiveRecord& record = *records[first + row - 1];
      const ReceptionTime& time = times.times[row - 1];
      Require(time.row == row && time.utcNs == ToWrittenMillis(record.utcNs) && time.monotonicNs == record.monotonicNs,
              "a reception time that is not the record's", FormatReceptionTime(time));
      const float depth = record.numbers.towDepth;
      const PositionedRecord after =
          positioner.Position({row, std::isnan(depth) ? std::nullopt : std::optional<double>(depth)}, time);
      const auto live = run.seen.positions.find(record.row);
      if (!Require(live != run.seen.positions.end(), "a record written but never positioned")) return;
      const PositionedRecord& p = live->second.position;
      const auto same = [](const std::optional<GeoPosition>& a, const std::optional<GeoPosition>& b) {
        return a.has_value() == b.has_value() && (!a || (a->latitude == b->latitude && a->longitude == b->longitude));
      };
      Require(p.row == row && p.flags == after.flags && same(p.antenna, after.antenna) && same(p.towfish, after.towfish),
              "a live position that the files do not give", PositionFlagsText(p.flags) + " / " + PositionFlagsText(after.flags));
      Require(!live->second.Provisional() || (p.flags & kExtrapolated), "provisional without being extrapolated");
    }
  }
}

}  // namespace

int FuzzLiveGps(const std::uint8_t* data, std::size_t size) {
  static const Folder folder;
  FuzzInput input(data, size);
  const LogVariant& variant = LogVariants()[input.Choice(LogVariants().size())];
  const std::size_t perPart = 1 + input.Choice(8);
  LiveSessionOptions options;
  options.recordsPerPart = perPart;
  options.layback.cableOut = 1.0 + input.Choice(100);
  options.layback.mode = static_cast<LaybackMode>(input.Choice(2));
  testing::FakeTransport device, gps;
  options.gps = &gps;
  ManualClock clock(kStartUtc, kNsPerSecond);
  Run run;
  LiveSession session(variant, device, clock, run.seen, options);
  const std::string base = folder.Fresh() + "/survey." + std::string(variant.extension);
  if (!Require(session.Start(base, {}).empty(), "the session did not start")) return 0;

  // Chunks: where they go and how much later they come, then their bytes.
  NmeaFramer framer;
  for (int tick = 0; !input.Empty(); ++tick) {
    const std::uint8_t selector = input.Byte();
    const std::string chunk(input.Take(input.Choice(64)));
    clock.Advance((1 + (selector >> 1) * 23) * kNsPerMs);
    if (selector & 1) {
      gps.Push(chunk);
      framer.Feed(chunk, [&](std::string_view sentence) {
        run.expectedLines.push_back(FormatNmeaLogLine(clock.UtcNs(), sentence));
      });
    } else {
      device.Push(chunk);
    }
    session.Poll();
    if (tick % 4 == 3) session.Tick();
  }
  const StopReport report = session.Stop();
  Require(report.rescued == 0 && report.lost == 0, "records not written to the log", report.problem);
  run.parts = run.seen.parts;
  CheckNmeaFiles(run);
  if (!variant.header.empty()) CheckParts(run, perPart, options.layback);
  return 0;
}

}  // namespace tessaly::fuzz
