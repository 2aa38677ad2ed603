#include "core/GeoJsonWriter.h"

#include "core/ExportChannels.h"
#include "core/MarkupText.h"

namespace tessaly {

namespace {

void AppendPosition(std::string& out, double latitude, double longitude) {
  out.push_back('[');
  AppendFixed(out, longitude, kMapDegreeDecimals);
  out.push_back(',');
  AppendFixed(out, latitude, kMapDegreeDecimals);
  out.push_back(']');
}

void AppendNumberOrNull(std::string& out, double value) {
  if (HasValue(value)) AppendShortest(out, value);
  else out.append("null");
}

}  // namespace

void GeoJsonWriter::Begin(const ExportPlan& plan, std::string& out) {
  plan_ = &plan;
  out.append("{\"type\":\"FeatureCollection\",\"features\":[");
}

void GeoJsonWriter::Record(const PlacedRecord& record, std::string& out) {
  if (!record.block || record.block->kind != ExportBlock::Kind::Line) return;
  if (record.block != line_) {
    CloseLine(out);
    line_ = record.block;
    drawn_ = line_->positions >= 2;
    firstPoint_ = true;
    out.append(firstFeature_ ? "\n" : ",\n");
    firstFeature_ = false;
    out.append("{\"type\":\"Feature\",\"geometry\":");
    out.append(drawn_ ? "{\"type\":\"LineString\",\"coordinates\":[" : "null");
  }
  if (!drawn_ || !record.record.HasPosition()) return;
  if (!firstPoint_) out.push_back(',');
  firstPoint_ = false;
  AppendPosition(out, record.record.latitude, record.record.longitude);
}

void GeoJsonWriter::CloseLine(std::string& out) {
  if (!line_) return;
  if (drawn_) out.append("]}");
  out.append(",\"properties\":{\"line\":");
  AppendInteger(out, line_->number);
  if (!line_->name.empty()) {
    out.append(",\"name\":");
    AppendJsonString(out, line_->name);
  }
  out.append(",\"records\":");
  AppendInteger(out, line_->records);
  out.append(",\"length\":");
  AppendFixed(out, line_->length, 1);
  out.append(",\"min_deviation\":");
  AppendNumberOrNull(out, line_->minDeviation);
  out.append(",\"max_deviation\":");
  AppendNumberOrNull(out, line_->maxDeviation);
  out.append("}}");
  line_ = nullptr;
}

void GeoJsonWriter::End(std::string& out) {
  CloseLine(out);
  for (const ExportMark& mark : plan_->marks) {
    out.append(firstFeature_ ? "\n" : ",\n");
    firstFeature_ = false;
    out.append("{\"type\":\"Feature\",\"geometry\":");
    if (HasValue(mark.latitude) && HasValue(mark.longitude)) {
      out.append("{\"type\":\"Point\",\"coordinates\":");
      AppendPosition(out, mark.latitude, mark.longitude);
      out.push_back('}');
    } else {
      out.append("null");
    }
    out.append(",\"properties\":{\"fiducial\":");
    AppendInteger(out, mark.fiducial);
    out.append(",\"text\":");
    AppendJsonString(out, mark.text);
    out.append("}}");
  }
  out.append("\n]}\n");
}

}  // namespace tessaly
