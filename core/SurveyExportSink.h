// The line-cut formats (Geosoft XYZ, CSV, GeoJSON, KML) as sinks of the
// export seam: each record's numbers become a SurveyRecord for
// SurveyExport, which writes the format at End.
//
// Positions and reception times come from a position source chosen once
// for the log (PositionSourceFor): the towfish from the GPS and the layback
// where the log has its .times and .nmea files beside it, else the record's
// own position. Where the settings give quality thresholds, every record
// carries its quality flags (the Flags channel), judged as the document
// judges them: a record is handed on once the records its flags wait for
// have come (four at most), so memory stays bounded.
#pragma once

#include <memory>
#include <string>

#include "core/ExportFormats.h"
#include "core/ExportSink.h"
#include "core/LogPositioner.h"

namespace tessaly {

class OutputFile;

std::unique_ptr<ExportSink> MakeXyzSink(OutputFile& out, const ExportSettings& settings);
std::unique_ptr<ExportSink> MakeCsvSink(OutputFile& out, const ExportSettings& settings);
std::unique_ptr<ExportSink> MakeGeoJsonSink(OutputFile& out, const ExportSettings& settings);
std::unique_ptr<ExportSink> MakeKmlSink(OutputFile& out, const ExportSettings& settings);

// Where a record is placed and when it was received.
struct Placement {
  GeoPosition position;                        // NaN where there is none
  std::int64_t receivedUtcNs = kNoReceptionTime;
};

// The one question the line-cut exports ask about positions, answered for
// each record in grid order.
class PositionSource {
 public:
  virtual ~PositionSource() = default;
  virtual Placement Place(const ExportRecord& record) = 0;
  // The layback settings used, for the export's header; empty for none.
  virtual std::string Layback() const { return {}; }
  // Why the positions could not be given to the end; empty when they were.
  virtual std::string Error() const { return {}; }
  // Whether a record's placement is its own position, which any thread can
  // read from the record alone.
  virtual bool OwnPositions() const { return false; }
};

// The record's own position: the towfish's, else the GPS fix.
GeoPosition OwnPosition(const RecordNumbers& numbers);

// The record's own position; no time.
class RecordPosition : public PositionSource {
 public:
  Placement Place(const ExportRecord& record) override;
  bool OwnPositions() const override { return true; }
};

// The towfish from the GPS and the layback, read from the files beside the
// log as the records come (LogPositioner), with each record's reception
// time.
class GpsLaybackPosition : public PositionSource {
 public:
  // Opens the files beside `log`; empty text when they can be read, else
  // why not.
  std::string Open(const std::string& log, const LaybackSettings& settings);
  Placement Place(const ExportRecord& record) override;
  std::string Layback() const override;
  std::string Error() const override { return positioner_.Error(); }

 private:
  LogPositioner positioner_;
};

// The best source the log of `info` has: GpsLaybackPosition where it has its
// .times and .nmea files (not a navigation import), else RecordPosition.
// Null, with the reason in `error`, when those files cannot be read.
std::unique_ptr<PositionSource> PositionSourceFor(const ExportInfo& info, const LaybackSettings& settings,
                                                  std::string& error);

}  // namespace tessaly
