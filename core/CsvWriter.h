// CSV (RFC 4180): a header row of channel names, a row of their units, then
// one row a record: its survey line's number (empty in turns and in a log
// without lines), the channels of the XYZ export, and the operator's
// comment. A field holding a comma, a quote or a line break is quoted, its
// quotes doubled; an empty field is a missing value; rows end with CR LF.
#pragma once

#include <string_view>
#include <vector>

#include "core/ExportChannels.h"
#include "core/ExportPlan.h"

namespace tessaly {

class CsvWriter : public ExportWriter, public RowFormat {
 public:
  bool NeedsPositions() const override { return false; }
  bool NeedsBlockMeasures() const override { return false; }
  void Begin(const ExportPlan& plan, std::string& out) override;
  void Record(const PlacedRecord& record, std::string& out) override { Row(record, nullptr, out); }
  void End(std::string& out) override;
  const RowFormat* Rows() const override { return this; }
  void Row(const PlacedRecord& record, const ExportBlock* previous, std::string& out) const override;

 private:
  std::vector<Channel> channels_;
};

// Appends `text` as one CSV field, quoted where RFC 4180 asks for it.
void AppendCsvField(std::string& out, std::string_view text);

}  // namespace tessaly
