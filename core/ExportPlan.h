// ExportPlan: what a line-cut export knows before it writes its first
// record (SurveyExport.h works it out in a first pass over the records),
// and the interface of the writers of the formats.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/SurveyRecord.h"

namespace tessaly {

// The file's description, for the headers.
struct ExportHeader {
  std::string sourceFile;  // the log's name, without its folder
  std::string kind;        // the log's kind as the windows name it ("KV7100 Log")
  std::string datum;       // the ellipsoid's name
  std::string layback;     // the layback settings the positions used; empty when none
  std::string lineRule;    // how the lines were cut
  std::optional<std::int64_t> exportTimeNs;  // none: reproducible output
};

// A block of records: a survey line, or (where asked) the records between
// lines as a tie. A log without lines is one block, line 0.
struct ExportBlock {
  enum class Kind : std::uint8_t { Line, Tie };
  Kind kind = Kind::Line;
  std::uint64_t number = 0;  // Line 1, 2, ...; Tie 1, 2, ...
  std::string name;          // the operator's name of a marked line
  std::uint64_t first = 0, last = 0;  // records, 0-based, both included
  // Worked out over the records, for a writer that needs them
  // (ExportWriter::NeedsBlockMeasures):
  std::uint64_t records = 0;
  std::uint64_t positions = 0;  // records with a position
  double length = 0.0;          // metres along the positions
  double minDeviation = kNoValue, maxDeviation = kNoValue;

  bool IsSurveyLine() const { return kind == Kind::Line && number > 0; }
};

// An operator's comment (or an event) placed where its record is.
struct ExportMark {
  std::uint64_t fiducial = 0;
  double latitude = kNoValue, longitude = kNoValue;
  std::string text;
};

// The channels the records carry (each present when any record has it).
struct ExportChannels {
  bool position = false;  // X, Y, latitude, longitude
  bool time = false;
  bool towfishDepth = false;
  bool sounder = false;
  bool flags = false;
};

struct ExportPlan {
  ExportHeader header;
  ExportChannels channels;
  int utmZone = 0;  // of every X and Y; 0 when no record has a position
  bool southern = false;
  std::vector<ExportBlock> blocks;  // in record order, not overlapping
  std::vector<ExportMark> marks;    // in record order
  std::uint64_t recordCount = 0;
};

// A record as a writer receives it.
struct PlacedRecord {
  const SurveyRecord& record;
  std::uint64_t fiducial;     // the record's grid row (1-based)
  double x, y;                // UTM easting and northing; kNoValue without a position
  const ExportBlock* block;   // the block holding it; null in a turn
};

// The text of a record in a format whose records' texts depend on the
// record and its block alone (one line a record), so that pieces of the
// records can be made on several threads at once. `previous` is the block of
// the record before it, null for none or a turn.
class RowFormat {
 public:
  virtual ~RowFormat() = default;
  virtual void Row(const PlacedRecord& record, const ExportBlock* previous, std::string& out) const = 0;
};

// A format's writer: Begin, then every record in order, then End, each
// appending to `out`, which the caller writes away between calls.
class ExportWriter {
 public:
  virtual ~ExportWriter() = default;
  // Whether the format is a map, useless without positions.
  virtual bool NeedsPositions() const = 0;
  virtual void Begin(const ExportPlan& plan, std::string& out) = 0;
  virtual void Record(const PlacedRecord& record, std::string& out) = 0;
  virtual void End(std::string& out) = 0;
  // Whether the writer reads its blocks' measures (records, positions,
  // length, deviation range); they are worked out, in a pass over the
  // records of their own, only for a writer that does.
  virtual bool NeedsBlockMeasures() const { return true; }
  // After Begin: the records' text as a RowFormat, which the caller may use
  // instead of Record; null when a record's text depends on the records
  // before it.
  virtual const RowFormat* Rows() const { return nullptr; }
};

}  // namespace tessaly
