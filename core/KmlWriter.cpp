#include "core/KmlWriter.h"

#include "core/ExportChannels.h"
#include "core/MarkupText.h"

namespace tessaly {

namespace {

void AppendCoordinates(std::string& out, double latitude, double longitude) {
  AppendFixed(out, longitude, kMapDegreeDecimals);
  out.push_back(',');
  AppendFixed(out, latitude, kMapDegreeDecimals);
}

void AppendData(std::string& out, std::string_view name, std::string_view value) {
  out.append("<Data name=\"").append(name).append("\"><value>");
  AppendXmlText(out, value);
  out.append("</value></Data>");
}

std::string Shortest(double value) {
  std::string text;
  if (HasValue(value)) AppendShortest(text, value);
  return text;
}

}  // namespace

void KmlWriter::Begin(const ExportPlan& plan, std::string& out) {
  plan_ = &plan;
  // The comment's "deviation" (a word the log recognition stops at) keeps
  // the file from being taken for a survey log, as in XyzWriter.
  out.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- Tessaly survey export: deviation by survey line -->\n"
             "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
             "<Document>\n<name>");
  AppendXmlText(out, plan.header.sourceFile);
  out.append("</name>\n");
}

void KmlWriter::Record(const PlacedRecord& record, std::string& out) {
  if (!record.block || record.block->kind != ExportBlock::Kind::Line) return;
  if (record.block != line_) {
    CloseLine(out);
    line_ = record.block;
    drawn_ = line_->positions >= 2;
    out.append("<Placemark><name>Line ");
    AppendInteger(out, line_->number);
    out.append("</name><ExtendedData>");
    std::string length;
    AppendFixed(length, line_->length, 1);
    AppendData(out, "line", std::to_string(line_->number));
    if (!line_->name.empty()) AppendData(out, "name", line_->name);
    AppendData(out, "records", std::to_string(line_->records));
    AppendData(out, "length", length);
    AppendData(out, "min_deviation", Shortest(line_->minDeviation));
    AppendData(out, "max_deviation", Shortest(line_->maxDeviation));
    out.append("</ExtendedData>");
    if (drawn_) out.append("<LineString><tessellate>1</tessellate><coordinates>\n");
  }
  if (!drawn_ || !record.record.HasPosition()) return;
  AppendCoordinates(out, record.record.latitude, record.record.longitude);
  out.push_back('\n');
}

void KmlWriter::CloseLine(std::string& out) {
  if (!line_) return;
  if (drawn_) out.append("</coordinates></LineString>");
  out.append("</Placemark>\n");
  line_ = nullptr;
}

void KmlWriter::End(std::string& out) {
  CloseLine(out);
  for (const ExportMark& mark : plan_->marks) {
    out.append("<Placemark><name>");
    AppendXmlText(out, mark.text);
    out.append("</name><ExtendedData>");
    AppendData(out, "fiducial", std::to_string(mark.fiducial));
    out.append("</ExtendedData>");
    if (HasValue(mark.latitude) && HasValue(mark.longitude)) {
      out.append("<Point><coordinates>");
      AppendCoordinates(out, mark.latitude, mark.longitude);
      out.append("</coordinates></Point>");
    }
    out.append("</Placemark>\n");
  }
  out.append("</Document>\n</kml>\n");
}

}  // namespace tessaly
