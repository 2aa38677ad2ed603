#include "core/SurveyExport.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "core/OrderedTasks.h"
#include "core/OutputFile.h"

namespace tessaly {

namespace {

SpilledRecord SpilledOf(const SurveyRecord& record) {
  SpilledRecord spilled;
  if (record.HasPosition()) {
    spilled.latitude = record.latitude;
    spilled.longitude = record.longitude;
  }
  spilled.deviation = record.deviation;
  spilled.towfishDepth = static_cast<float>(record.towfishDepth);
  spilled.sounder = static_cast<float>(record.sounder);
  if (record.time) {
    spilled.hasTime = true;
    spilled.timeMillis = record.time->millis;
    spilled.dateKnown = record.time->dateKnown;
  }
  if (record.flags) {
    spilled.hasFlags = true;
    spilled.flags = *record.flags;
  }
  return spilled;
}

SurveyRecord RecordOf(const SpilledRecord& spilled, const std::string& comment) {
  SurveyRecord record;
  record.latitude = spilled.latitude;
  record.longitude = spilled.longitude;
  record.deviation = spilled.deviation;
  record.towfishDepth = spilled.towfishDepth;
  record.sounder = spilled.sounder;
  if (spilled.hasTime) record.time = RecordTime{spilled.timeMillis, spilled.dateKnown};
  if (spilled.hasFlags) record.flags = spilled.flags;
  record.comment = comment;
  return record;
}

// Moves a cursor over the blocks to the one holding `record` (records come
// in order); null when none does.
template <typename Blocks>
auto BlockAt(Blocks& blocks, std::size_t& cursor, std::uint64_t record) -> decltype(&blocks[0]) {
  while (cursor < blocks.size() && blocks[cursor].last < record) ++cursor;
  if (cursor < blocks.size() && blocks[cursor].first <= record) return &blocks[cursor];
  return nullptr;
}

// The first block at or after `record`.
std::size_t BlockCursorAt(const std::vector<ExportBlock>& blocks, std::uint64_t record) {
  const auto before = [](const ExportBlock& block, std::uint64_t r) { return block.last < r; };
  return static_cast<std::size_t>(std::lower_bound(blocks.begin(), blocks.end(), record, before) - blocks.begin());
}

// Records read back from the spill to be made into text together.
struct RecordChunk {
  static constexpr std::size_t kRecords = 4096;  // about 300 kB of text (XYZ: about 70 bytes a record)
  std::uint64_t first = 0;  // the index of records[0]
  std::vector<SpilledRecord> records;
  std::vector<std::string> comments;
};

std::string ChunkText(const RowFormat& rows, const std::vector<ExportBlock>& blocks, const RecordChunk& chunk) {
  std::string text;
  text.reserve(chunk.records.size() * 96);
  std::size_t cursor = BlockCursorAt(blocks, chunk.first == 0 ? 0 : chunk.first - 1);
  const ExportBlock* previous = chunk.first == 0 ? nullptr : BlockAt(blocks, cursor, chunk.first - 1);
  for (std::size_t k = 0; k < chunk.records.size(); ++k) {
    const SpilledRecord& spilled = chunk.records[k];
    const std::uint64_t index = chunk.first + k;
    const SurveyRecord record = RecordOf(spilled, chunk.comments[k]);
    const ExportBlock* block = BlockAt(blocks, cursor, index);
    rows.Row({record, index + 1, spilled.x, spilled.y, block}, previous, text);
    previous = block;
  }
  return text;
}

unsigned TextThreads() { return std::clamp(std::thread::hardware_concurrency(), 1u, 8u); }

std::string FormatDecimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

}  // namespace

std::vector<ExportBlock> BlocksOf(const std::vector<SurveyLine>& lines, std::uint64_t recordCount, bool ties) {
  std::vector<ExportBlock> blocks;
  if (recordCount == 0) return blocks;
  if (lines.empty()) {
    blocks.push_back({ExportBlock::Kind::Line, 0, {}, 0, recordCount - 1});
    return blocks;
  }
  std::uint64_t next = 0, tieNumber = 0, lineNumber = 0;
  const auto tieUpTo = [&](std::uint64_t end) {  // records next to end - 1
    if (ties && next < end) blocks.push_back({ExportBlock::Kind::Tie, ++tieNumber, {}, next, end - 1});
  };
  for (const SurveyLine& line : lines) {
    tieUpTo(line.first);
    blocks.push_back({ExportBlock::Kind::Line, ++lineNumber, line.name, line.first, line.last});
    next = line.last + 1;
  }
  tieUpTo(recordCount);
  return blocks;
}

SurveyExport::SurveyExport(ExportHeader header, const SurveyExportOptions& options)
    : options_(options), projector_(options.mapDatum), finder_(options.lines, options.course) {
  plan_.header = std::move(header);
}

bool SurveyExport::Add(const SurveyRecord& record, const ZonedPoint* own) {
  if (!error_.empty()) return false;
  if (!spillOpen_) {
    if (!spill_.Open(options_.spillFolder)) {
      error_ = spill_.Error();
      return false;
    }
    spillOpen_ = true;
  }
  SpilledRecord spilled = SpilledOf(record);
  std::optional<PlanePoint> point;
  if (record.HasPosition()) point = projector_.Project(record.latitude, record.longitude, own);
  if (point) {
    spilled.x = point->x;
    spilled.y = point->y;
  }
  ExportChannels& channels = plan_.channels;
  channels.position |= record.HasPosition();
  channels.time |= record.time.has_value();
  channels.towfishDepth |= HasValue(record.towfishDepth);
  channels.sounder |= HasValue(record.sounder);
  channels.flags |= record.flags.has_value();
  const std::uint64_t fiducial = ++plan_.recordCount;
  if (!record.comment.empty())
    plan_.marks.push_back({fiducial, spilled.latitude, spilled.longitude, std::string(record.comment)});
  finder_.Add(point, record.comment);
  if (spill_.Append(spilled, record.comment)) return true;
  error_ = spill_.Error();
  return false;
}

std::string SurveyExport::LineRule(std::size_t lineCount) const {
  if (options_.lines == LineMode::None) return "none";
  const CourseLineSettings& course = options_.course;
  const std::string rule = std::to_string(lineCount) + (lineCount == 1 ? " line" : " lines");
  if (finder_.UsedMarks()) return rule + " from the operator's SOL and EOL marks";
  return rule + " by course, within " + FormatDecimal(course.toleranceDegrees) + " degrees of the mean for at least " +
         FormatDecimal(course.minimumLength) + " m";
}

void SurveyExport::BuildBlocks(const std::vector<SurveyLine>& lines) {
  plan_.blocks = BlocksOf(lines, plan_.recordCount, options_.ties);
  plan_.header.lineRule = LineRule(lines.size());
  if (lines.empty() && plan_.recordCount > 0) plan_.header.lineRule += "; every record in line 0";
}

bool SurveyExport::MeasureBlocks() {
  if (!spill_.Rewind()) return false;
  SpilledRecord spilled;
  std::string comment;
  std::size_t cursor = 0;
  const ExportBlock* previous = nullptr;
  std::optional<PlanePoint> last;
  for (std::uint64_t index = 0; spill_.Next(spilled, comment); ++index) {
    ExportBlock* block = BlockAt(plan_.blocks, cursor, index);
    if (!block) continue;
    if (block != previous) last.reset();
    previous = block;
    ++block->records;
    if (HasValue(spilled.latitude)) ++block->positions;
    if (HasValue(spilled.x)) {
      const PlanePoint here{spilled.x, spilled.y};
      if (last) block->length += PlaneDistance(*last, here);
      last = here;
    }
    if (HasValue(spilled.deviation)) {
      block->minDeviation = HasValue(block->minDeviation) ? std::min(block->minDeviation, spilled.deviation)
                                                          : spilled.deviation;
      block->maxDeviation = HasValue(block->maxDeviation) ? std::max(block->maxDeviation, spilled.deviation)
                                                          : spilled.deviation;
    }
  }
  return spill_.Error().empty();
}

bool SurveyExport::WriteRecords(ExportWriter& writer, OutputFile& out) {
  if (!spill_.Rewind()) return false;
  writer.Begin(plan_, out.Buffer());
  // A log of one piece is not worth the threads.
  const bool inPieces = writer.Rows() && plan_.recordCount > RecordChunk::kRecords;
  const bool written = inPieces ? WriteRowsInParallel(*writer.Rows(), out) : WriteRowsInOrder(writer, out);
  if (!written || !spill_.Error().empty()) return false;
  writer.End(out.Buffer());
  out.Commit();
  return true;
}

bool SurveyExport::WriteRowsInOrder(ExportWriter& writer, OutputFile& out) {
  SpilledRecord spilled;
  std::string comment;
  std::size_t cursor = 0;
  for (std::uint64_t index = 0; spill_.Next(spilled, comment); ++index) {
    const SurveyRecord record = RecordOf(spilled, comment);
    writer.Record({record, index + 1, spilled.x, spilled.y, BlockAt(plan_.blocks, cursor, index)}, out.Buffer());
    out.Commit();
  }
  return true;
}

// The records read back here in chunks, made into text on worker threads and
// written in order; a few chunks in flight at a time.
bool SurveyExport::WriteRowsInParallel(const RowFormat& rows, OutputFile& out) {
  const unsigned threads = TextThreads();
  OrderedTasks<std::string> tasks(threads);
  const auto writeOldest = [&] {
    std::string text = tasks.TakeOldest();
    out.Take(text);
  };
  for (std::uint64_t next = 0;;) {
    RecordChunk chunk;
    chunk.first = next;
    chunk.records.resize(RecordChunk::kRecords);
    chunk.comments.resize(RecordChunk::kRecords);
    std::size_t count = 0;
    while (count < RecordChunk::kRecords && spill_.Next(chunk.records[count], chunk.comments[count])) ++count;
    if (count == 0) break;
    chunk.records.resize(count);
    chunk.comments.resize(count);
    next += count;
    tasks.Submit([&rows, this, chunk = std::move(chunk)] { return ChunkText(rows, plan_.blocks, chunk); });
    if (tasks.InFlight() > threads) writeOldest();
    if (count < RecordChunk::kRecords) break;
  }
  while (tasks.InFlight() > 0) writeOldest();
  return true;
}

bool SurveyExport::Write(ExportWriter& writer, OutputFile& out) {
  if (!error_.empty()) return false;
  if (writer.NeedsPositions() && !plan_.channels.position) {
    // Positioned from the GPS, the layback placed no towfish (a cable
    // shorter than the towfish is deep, no course): its settings say why.
    const std::string& layback = plan_.header.layback;
    error_ = "No positions in " + plan_.header.sourceFile +
             (layback.empty() ? "" : ": the GPS and the layback (" + layback + ") place no towfish") +
             "; nothing was written.";
    return false;
  }
  if (!spillOpen_ && !spill_.Open(options_.spillFolder)) {
    error_ = spill_.Error();
    return false;
  }
  spillOpen_ = true;
  plan_.utmZone = projector_.Zone();
  plan_.southern = projector_.Southern();
  BuildBlocks(finder_.Finish());
  if ((writer.NeedsBlockMeasures() && !MeasureBlocks()) || !WriteRecords(writer, out)) {
    error_ = spill_.Error();
    return false;
  }
  return true;
}

}  // namespace tessaly
