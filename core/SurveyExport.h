// SurveyExport: a log written as survey lines in one of the line-cut
// formats (XYZ, CSV, GeoJSON, KML), streaming.
//
// The records are given one by one in grid order (Add). They go to a
// RecordSpill (memory up to a bound, then a file) while the survey lines are
// decided, the channels present noted and the comments kept as marks; Write
// then reads them back twice: once to measure every block (records, length,
// deviation range), once to hand them with their block to the format's
// writer (in pieces made on several threads where the format's rows stand
// alone). Memory holds the lines, the comments and the spill's bounded part,
// whatever the log's length.
//
// Positions are projected into the UTM zone of the first position (its
// hemisphere too) by ZoneProjector, so a survey across a zone border stays
// one plane for the line finder and one zone for X and Y.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/ExportPlan.h"
#include "core/RecordSpill.h"
#include "core/SurveyLines.h"
#include "core/UTMLaLo.h"
#include "core/ZoneProjector.h"

namespace tessaly {

class OutputFile;

struct SurveyExportOptions {
  LineMode lines = LineMode::Auto;
  CourseLineSettings course;
  bool ties = false;  // the records between lines as Tie blocks (XYZ)
  int mapDatum = kWgs84Datum;
  // Where the records wait between the passes; empty: the system's
  // temporary folder.
  std::string spillFolder;
};

class SurveyExport {
 public:
  // `header`'s lineRule is filled in by Write.
  SurveyExport(ExportHeader header, const SurveyExportOptions& options);

  // The next record; `own`, when given, is its position projected into its
  // own zone elsewhere (ProjectInOwnZone). False once something failed
  // (Error() says what).
  bool Add(const SurveyRecord& record, const ZonedPoint* own = nullptr);
  // Decides the blocks and writes the whole export to `out` through
  // `writer`. False with the reason in Error(); `out` is then not to be
  // closed (nothing should replace an earlier file).
  bool Write(ExportWriter& writer, OutputFile& out);

  const std::string& Error() const { return error_; }
  // The plan the records were written by (after Write).
  const ExportPlan& Plan() const { return plan_; }

 private:
  std::string LineRule(std::size_t lineCount) const;
  void BuildBlocks(const std::vector<SurveyLine>& lines);
  bool MeasureBlocks();
  bool WriteRecords(ExportWriter& writer, OutputFile& out);
  bool WriteRowsInOrder(ExportWriter& writer, OutputFile& out);
  bool WriteRowsInParallel(const RowFormat& rows, OutputFile& out);

  SurveyExportOptions options_;
  ExportPlan plan_;
  ZoneProjector projector_;
  SurveyLineFinder finder_;
  RecordSpill spill_;
  bool spillOpen_ = false;
  std::string error_;
};

// The export's lines of the survey lines found: the lines themselves, with
// ties between them where asked; one block, line 0, for a log with records
// but no lines.
std::vector<ExportBlock> BlocksOf(const std::vector<SurveyLine>& lines, std::uint64_t recordCount, bool ties);

}  // namespace tessaly
