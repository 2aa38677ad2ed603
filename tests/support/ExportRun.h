// Runs a line-cut export of records given as numbers into a file, the way
// the command-line tool and the windows do: SurveyExport, a writer, an
// OutputFile that replaces the file when done.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/CsvWriter.h"
#include "core/GeoJsonWriter.h"
#include "core/KmlWriter.h"
#include "core/OutputFile.h"
#include "core/SurveyExport.h"
#include "core/XyzWriter.h"

namespace tessaly::testing {

inline std::unique_ptr<ExportWriter> WriterNamed(const std::string& format) {
  if (format == "xyz") return std::make_unique<XyzWriter>();
  if (format == "csv") return std::make_unique<CsvWriter>();
  if (format == "geojson") return std::make_unique<GeoJsonWriter>();
  return std::make_unique<KmlWriter>();
}

struct ExportRun {
  bool ok = false;
  std::string error;
  ExportPlan plan;
};

inline ExportRun RunExport(const std::vector<SurveyRecord>& records, const std::string& format,
                           const std::string& path, const ExportHeader& header = {},
                           const SurveyExportOptions& options = {}) {
  SurveyExport exporter(header, options);
  for (const SurveyRecord& record : records)
    if (!exporter.Add(record)) return {false, exporter.Error(), {}};
  OutputFile out;
  if (!out.Open(path, OutputFile::Mode::Replace)) return {false, out.Error(), {}};
  const std::unique_ptr<ExportWriter> writer = WriterNamed(format);
  if (!exporter.Write(*writer, out)) return {false, exporter.Error(), exporter.Plan()};
  if (!out.Close()) return {false, out.Error(), exporter.Plan()};
  return {true, {}, exporter.Plan()};
}

}  // namespace tessaly::testing
