#include "core/XyzWriter.h"

#include "core/Clock.h"

namespace tessaly {

namespace {

// A header value on one line: line breaks and other control characters
// become blanks.
std::string OneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  return line;
}

std::string BlockHeading(const ExportBlock& block) {
  std::string heading = block.kind == ExportBlock::Kind::Tie ? "Tie " : "Line ";
  AppendInteger(heading, block.number);
  return heading;
}

}  // namespace

std::vector<std::string> HeaderFacts(const ExportPlan& plan) {
  const ExportHeader& header = plan.header;
  std::vector<std::string> facts = {"Source: " + OneLine(header.sourceFile), "Kind: " + OneLine(header.kind),
                                    "Datum: " + OneLine(header.datum)};
  if (plan.utmZone != 0)
    facts.push_back("UTM zone: " + std::to_string(plan.utmZone) + (plan.southern ? "S" : "N"));
  if (header.exportTimeNs) facts.push_back("Exported: " + FormatUtcMillis(*header.exportTimeNs));
  if (!header.layback.empty()) facts.push_back("Layback: " + OneLine(header.layback));
  facts.push_back("Lines: " + OneLine(header.lineRule));
  return facts;
}

void XyzWriter::Begin(const ExportPlan& plan, std::string& out) {
  channels_ = ChannelsOf(plan.channels);
  // "deviation" is among the words the log recognition stops at, so a
  // first line that holds it keeps the export from being taken for a
  // survey log (which no export may replace) whatever lines follow.
  out.append("/ Tessaly survey export, Geosoft XYZ: deviation by survey line\r\n");
  for (const std::string& fact : HeaderFacts(plan)) out.append("/ ").append(fact).append("\r\n");
  for (const ExportBlock& block : plan.blocks) {
    if (!block.IsSurveyLine() || block.name.empty()) continue;
    out.append("/ ").append(BlockHeading(block)).append(": ").append(OneLine(block.name)).append("\r\n");
  }
  out.append("/");
  for (const Channel& channel : channels_) out.append(" ").append(channel.name);
  out.append("\r\n");
}

void XyzWriter::Record(const PlacedRecord& record, std::string& out) {
  Row(record, block_, out);
  block_ = record.block;
}

// A block's records are next to each other, so a record whose block is not
// the one before it begins its block.
void XyzWriter::Row(const PlacedRecord& record, const ExportBlock* previous, std::string& out) const {
  if (!record.block) return;
  if (record.block != previous) out.append(BlockHeading(*record.block)).append("\r\n");
  bool first = true;
  for (const Channel& channel : channels_) {
    if (!first) out.push_back(' ');
    first = false;
    if (!AppendChannelValue(out, channel.id, record)) out.push_back('*');
  }
  out.append("\r\n");
}

void XyzWriter::End(std::string&) {}

}  // namespace tessaly
