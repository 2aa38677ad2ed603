// The line-cut formats (Geosoft XYZ, CSV, GeoJSON, KML) as sinks of the
// export seam: each record's numbers become a SurveyRecord for
// SurveyExport, which writes the format at End.
//
// Positions come from the position source the export is given; today that
// is the record's own position (the towfish's, else the GPS fix of a
// navigation file that has no towfish position).
#pragma once

#include <memory>

#include "core/ExportFormats.h"
#include "core/ExportSink.h"

namespace tessaly {

class OutputFile;

std::unique_ptr<ExportSink> MakeXyzSink(OutputFile& out, const ExportSettings& settings);
std::unique_ptr<ExportSink> MakeCsvSink(OutputFile& out, const ExportSettings& settings);
std::unique_ptr<ExportSink> MakeGeoJsonSink(OutputFile& out, const ExportSettings& settings);
std::unique_ptr<ExportSink> MakeKmlSink(OutputFile& out, const ExportSettings& settings);

// Where a record is placed: the one question the line-cut exports ask about
// positions, so a better source (the towfish from GPS and layback) can
// answer it instead of the record's own.
class PositionSource {
 public:
  virtual ~PositionSource() = default;
  virtual GeoPosition PositionOf(const ExportRecord& record) const = 0;
  // The layback settings used, for the export's header; empty for none.
  virtual std::string Layback() const { return {}; }
};

// The record's own position: the towfish's, else the GPS fix.
class RecordPosition : public PositionSource {
 public:
  GeoPosition PositionOf(const ExportRecord& record) const override;
};

}  // namespace tessaly
