// A file of lines through the record pipeline: see FuzzTargets.h.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "core/RawText.h"
#include "core/RecordPipeline.h"
#include "core/untTSample.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzSamples.h"
#include "fuzz/FuzzTargets.h"
#include "fuzz/RecordRules.h"
#include "support/RawTextLines.h"

namespace tessaly::fuzz {

namespace {

// One outcome of the load loop: an accepted record with its cells, or a
// rejected line with its message.
struct Outcome {
  bool accepted = false;
  std::uint64_t number = 0;  // "#" of a record, the error number of a rejection
  std::uint64_t lineNumber = 0;
  std::vector<std::string> cells;  // a record's cells
  std::string text;                // a rejection's message and raw line
  bool operator==(const Outcome&) const = default;
};

struct LoopResult {
  std::vector<Outcome> outcomes;
  std::string memory;  // the sample's continuity memory and last message afterwards
  bool operator==(const LoopResult&) const = default;
};

std::vector<std::string> Owned(const RecordCellTexts& cells) { return {cells.begin(), cells.end()}; }

std::string MemoryOf(const TSample& s) {
  return s.FPrevLonDeg + "|" + s.FPrevLatDeg + "|" + s.FPrevTowDepth + "|" + s.FErrorText;
}

// The load loop written out plainly: data after the heading line, up to the
// end marker, empty lines counted by "#" but not parsed, rejected lines not
// counted. Every accepted record is checked against the format rules.
LoopResult Sequential(TSample& sample, const RawText& raw) {
  LoopResult result;
  std::size_t first = 0;
  if (!sample.FHeading.empty()) {
    first = raw.LineCount();
    for (std::size_t i = 0; i < raw.LineCount() && first == raw.LineCount(); ++i)
      if (raw.Line(i).find(sample.FHeading) != std::string_view::npos) first = i + 1;
  }
  std::uint64_t sequence = 1, errors = 0;
  RecordScratch scratch;
  for (std::size_t i = first; i < raw.LineCount(); ++i) {
    const std::string_view line = raw.Line(i);
    if (!sample.FEndMarker.empty() && line.find(sample.FEndMarker) != std::string_view::npos) break;
    if (!line.empty()) {
      if (sample.Parse(line) == 0) {
        const std::string broken = BrokenRecordRule(sample);
        Require(broken.empty(), "accepted record breaks a format rule", broken + " in " + std::string(line));
        result.outcomes.push_back({true, sequence, i + 1, Owned(RecordCells(sample, i + 1, scratch)), {}});
      } else {
        Require(IsRejectionMessage(sample, sample.FErrorText), "unknown rejection message", sample.FErrorText);
        result.outcomes.push_back({false, ++errors, i + 1, {}, sample.FErrorText + "\n" + std::string(line)});
        --sequence;
      }
    }
    ++sequence;
  }
  result.memory = MemoryOf(sample);
  return result;
}

// Writes each record column as its length (4 bytes) and its bytes, on the
// pipeline's workers, as an export sink's formatter would; read back by
// Collector.
class LengthPrefixed : public RecordFormatter {
 public:
  void Format(std::span<const std::string_view> cells, const RecordNumbers&, std::string& out) const override {
    Require(cells.size() == kRecordColumnCount, "the formatter got another number of cells");
    for (const std::string_view cell : cells) {
      const auto size = static_cast<std::uint32_t>(cell.size());
      out.append(reinterpret_cast<const char*>(&size), sizeof size).append(cell);
    }
  }
};

std::vector<std::string> ReadLengthPrefixed(std::string_view text) {
  std::vector<std::string> cells;
  while (text.size() >= sizeof(std::uint32_t)) {
    std::uint32_t size = 0;
    std::memcpy(&size, text.data(), sizeof size);
    text.remove_prefix(sizeof size);
    if (!Require(size <= text.size(), "a formatted cell runs past the record")) break;
    cells.emplace_back(text.substr(0, size));
    text.remove_prefix(size);
  }
  Require(text.empty(), "bytes left after the formatted cells");
  return cells;
}

// Collects the pipeline's output and checks each record's numbers against
// its texts: a towfish or GPS position is known exactly where its UTM zone
// was derived (the RT4 KV compatible record, which derives none, gives its
// degrees and minutes).
class Collector : public RecordSink {
 public:
  Collector(std::uint8_t kind, bool formatted) : kind_(kind), formatted_(formatted) {}

  void Accepted(const AcceptedRecord& r) override {
    Require(r.row == ++rows_, "record rows are not consecutive");
    Require(r.deviationValue == static_cast<double>(r.deviation), "chart value differs from the deviation");
    if (formatted_) {
      Require(r.ends.empty(), "a formatted record has cell ends");
      std::vector<std::string> cells = ReadLengthPrefixed(r.cells);
      if (!Require(cells.size() == kRecordColumnCount, "the formatted record has another number of cells")) return;
      RecordCellTexts views;
      std::copy(cells.begin(), cells.end(), views.begin());
      CheckNumbers(views, *r.numbers);
      outcomes.push_back({true, r.sequence, r.lineNumber, std::move(cells), {}});
      return;
    }
    std::uint32_t start = 0;
    for (std::size_t c = 0; c < kRecordColumnCount; ++c) {
      if (!Require(r.ends[c] >= start && r.ends[c] <= r.cells.size(), "cell ends out of order")) return;
      start = r.ends[c];
    }
    const RecordCellTexts cells = SplitRecordCells(r);
    CheckNumbers(cells, *r.numbers);
    outcomes.push_back({true, r.sequence, r.lineNumber, Owned(cells), {}});
  }
  void Rejected(const RejectedLine& line) override {
    outcomes.push_back({false, line.errorNumber, line.lineNumber, {},
                        std::string(line.message) + "\n" + std::string(line.rawLine)});
  }

  std::vector<Outcome> outcomes;

 private:
  void CheckNumbers(const RecordCellTexts& cells, const RecordNumbers& numbers) {
    const auto cell = [&cells](std::size_t column) { return cells[column - kFirstRecordColumn]; };
    if (kind_ != skRTC)
      CheckPosition(numbers.towfish, cell(kColTfUtmZone), cell(kColTfDecLat), cell(kColTfDecLon), "towfish");
    CheckPosition(numbers.gps, cell(kColGpsUtmZone), cell(kColGpsDecLat), cell(kColGpsDecLon), "GPS");
    for (const GeoPosition& p : {numbers.towfish, numbers.gps})
      if (p.Known()) Require(std::fabs(p.latitude) <= 90.0 && std::fabs(p.longitude) <= 180.0, "a position off the Earth");
  }

  // A position is known where its zone was derived and its decimal texts lie
  // on the Earth (those within a rounding of the edge are not judged).
  static void CheckPosition(const GeoPosition& p, std::string_view zone, std::string_view decLat,
                            std::string_view decLon, std::string_view which) {
    if (zone.empty()) {
      Require(!p.Known(), "a position without a zone", which);
      return;
    }
    const double latitude = std::fabs(std::strtod(std::string(decLat).c_str(), nullptr));
    const double longitude = std::fabs(std::strtod(std::string(decLon).c_str(), nullptr));
    if (latitude < 89.9999 && longitude < 179.9999) Require(p.Known(), "a position on the Earth is not known", which);
    if (latitude > 90.0001 || longitude > 180.0001) Require(!p.Known(), "a position off the Earth is known", which);
  }

  std::uint8_t kind_;
  bool formatted_;
  std::uint64_t rows_ = 0;
};

LoopResult Piped(TSample& sample, const RawText& raw, const PipelineOptions& options, PipelineResult& counts) {
  testing::RawTextLines source(raw);
  Collector sink(sample.FKind, options.formatter != nullptr);
  counts = RunRecordPipeline(sample, source, sink, options);
  return {std::move(sink.outcomes), MemoryOf(sample)};
}

}  // namespace

int FuzzRecordFile(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const std::size_t setUp = input.Byte();
  const std::uint8_t options = input.Byte();
  const std::uint8_t running = input.Byte();
  const char separator = (options & 0x80) ? ',' : '.';
  const int datum = (options & 0x7f) % 23;
  PipelineOptions pipeline;
  pipeline.batchLines = 1 + (running & 0x0f);
  pipeline.threads = (running & 0x10) ? 2 : 1;
  RawText raw;
  raw.Assign(input.Rest());

  auto sequential = MakeSetUp(setUp, separator, datum);
  const LoopResult expected = Sequential(*sequential, raw);

  auto gridSample = MakeSetUp(setUp, separator, datum);
  PipelineResult counts;
  const LoopResult grid = Piped(*gridSample, raw, pipeline, counts);
  Require(grid == expected, "the pipeline differs from the sequential parse");
  std::uint64_t accepted = 0;
  for (const Outcome& o : expected.outcomes) accepted += o.accepted ? 1 : 0;
  Require(counts.validCount == accepted && counts.errorCount == expected.outcomes.size() - accepted,
          "the pipeline's counts differ from its output");

  // A formatter on the workers sees the cells the grid layout holds.
  const LengthPrefixed formatter;
  pipeline.formatter = &formatter;
  auto formattedSample = MakeSetUp(setUp, separator, datum);
  Require(Piped(*formattedSample, raw, pipeline, counts) == expected, "the formatted records differ from the grid's");

  return 0;
}

}  // namespace tessaly::fuzz
