#include "core/CsvWriter.h"

namespace tessaly {

void AppendCsvField(std::string& out, std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    out.append(text);
    return;
  }
  out.push_back('"');
  for (const char c : text) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

void CsvWriter::Begin(const ExportPlan& plan, std::string& out) {
  channels_ = ChannelsOf(plan.channels);
  out.append("Line");
  for (const Channel& channel : channels_) out.append(",").append(channel.name);
  out.append(",Comment\r\n");
  for (const Channel& channel : channels_) out.append(",").append(channel.unit);
  out.append(",\r\n");
}

void CsvWriter::Row(const PlacedRecord& record, const ExportBlock*, std::string& out) const {
  if (record.block && record.block->IsSurveyLine()) AppendInteger(out, record.block->number);
  for (const Channel& channel : channels_) {
    out.push_back(',');
    AppendChannelValue(out, channel.id, record);
  }
  out.push_back(',');
  AppendCsvField(out, record.record.comment);
  out.append("\r\n");
}

void CsvWriter::End(std::string&) {}

}  // namespace tessaly
