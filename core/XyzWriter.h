// Geosoft XYZ: the exchange format of magnetic survey data.
//
//   / Tessaly survey export, Geosoft XYZ: deviation by survey line
//   / Source: line01.kvl
//   / ...                     (kind, datum, UTM zone, export time, layback, lines)
//   / X Y Latitude Longitude Fiducial Deviation TowfishDepth Sounder
//   Line 1
//   724681.123 4908310.456 44.30000000 -63.30000000 1 42 25.3 78.4
//   ...
//   Line 2
//
// "/" starts a comment; the last comment line before the data names the
// channels. One block per survey line headed "Line N"; the records between
// lines are left out, or written as "Tie N" blocks where asked; a log
// without lines is one block, "Line 0". Values are separated by a blank;
// "*" stands for a missing value.
#pragma once

#include <vector>

#include "core/ExportChannels.h"
#include "core/ExportPlan.h"

namespace tessaly {

class XyzWriter : public ExportWriter, public RowFormat {
 public:
  bool NeedsPositions() const override { return false; }
  bool NeedsBlockMeasures() const override { return false; }
  void Begin(const ExportPlan& plan, std::string& out) override;
  void Record(const PlacedRecord& record, std::string& out) override;
  void End(std::string& out) override;
  const RowFormat* Rows() const override { return this; }
  void Row(const PlacedRecord& record, const ExportBlock* previous, std::string& out) const override;

 private:
  std::vector<Channel> channels_;
  const ExportBlock* block_ = nullptr;
};

// The header lines every text format shares, each as "label: value" (the
// comment mark and line end are the format's): source, kind, datum, UTM
// zone, export time (when not reproducible), layback (where used), lines.
std::vector<std::string> HeaderFacts(const ExportPlan& plan);

}  // namespace tessaly
