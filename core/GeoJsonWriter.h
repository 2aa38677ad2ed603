// GeoJSON (RFC 7946): a FeatureCollection in WGS 84 longitude and latitude
// (longitude first, 7 decimals). One LineString feature per survey line
// (a log without lines: one for the whole log, line 0) with the properties
// line, name (a marked line's), records, length (metres), min_deviation and
// max_deviation; the coordinates are written as the records come, so no
// line is held whole. Then one Point feature per comment or event, with its
// fiducial and text. A line or mark without a position has a null geometry.
#pragma once

#include "core/ExportPlan.h"

namespace tessaly {

class GeoJsonWriter : public ExportWriter {
 public:
  bool NeedsPositions() const override { return true; }
  void Begin(const ExportPlan& plan, std::string& out) override;
  void Record(const PlacedRecord& record, std::string& out) override;
  void End(std::string& out) override;

 private:
  void CloseLine(std::string& out);

  const ExportPlan* plan_ = nullptr;
  const ExportBlock* line_ = nullptr;
  bool drawn_ = false;        // the open line has a LineString
  bool firstPoint_ = true;    // of the open line's coordinates
  bool firstFeature_ = true;
};

}  // namespace tessaly
