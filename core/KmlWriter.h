// KML 2.2: a Document holding one Placemark per survey line (a log without
// lines: one for the whole log, "Line 0"), named "Line N" with its records,
// length and deviation range as ExtendedData and a LineString whose
// coordinates are written as the records come; then one Placemark per
// comment or event, named by its text, with a Point. Longitude, latitude in
// WGS 84 with 7 decimals. A line or mark without a position has no
// geometry.
#pragma once

#include "core/ExportPlan.h"

namespace tessaly {

class KmlWriter : public ExportWriter {
 public:
  bool NeedsPositions() const override { return true; }
  void Begin(const ExportPlan& plan, std::string& out) override;
  void Record(const PlacedRecord& record, std::string& out) override;
  void End(std::string& out) override;

 private:
  void CloseLine(std::string& out);

  const ExportPlan* plan_ = nullptr;
  const ExportBlock* line_ = nullptr;
  bool drawn_ = false;
};

}  // namespace tessaly
