#include "core/ExportFormats.h"

#include <array>

#include "core/LogKind.h"
#include "core/SurveyExportSink.h"
#include "core/VdgExport.h"

namespace tessaly {

namespace {

const std::array<ExportFormat, 5> kFormats = {{
    {"vdg", "Valid Data Grid",
     "the record grid as delimited text, every cell followed by the delimiter (--delimiter)", true, MakeVdgSink},
    {"xyz", "Geosoft XYZ", "one block per survey line (--lines, --ties), channels X Y Latitude Longitude ...", false,
     MakeXyzSink},
    {"csv", "CSV", "one row a record with its survey line, the XYZ channels and the comment", false, MakeCsvSink},
    {"geojson", "GeoJSON", "a LineString per survey line and a Point per comment, WGS 84", false, MakeGeoJsonSink},
    {"kml", "KML", "a Placemark per survey line and per comment, for Google Earth and GIS", false, MakeKmlSink},
}};

}  // namespace

std::span<const ExportFormat> ExportFormats() { return kFormats; }

const ExportFormat* FindExportFormat(std::string_view name) {
  for (const ExportFormat& format : kFormats)
    if (format.name == name) return &format;
  return nullptr;
}

const ExportFormat& FormatOfPath(std::string_view path) {
  std::string extension = UpperExtension(path);
  for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  const ExportFormat* format = extension.size() > 1 ? FindExportFormat(std::string_view(extension).substr(1)) : nullptr;
  return format ? *format : kFormats.front();
}

std::string SaveDialogFilter() {
  std::string filter;
  for (const ExportFormat& format : kFormats) {
    if (!filter.empty()) filter += "|";
    filter.append(format.description).append(" (*.").append(format.name).append(")|*.").append(format.name);
  }
  return filter;
}

std::string FormatNames() {
  std::string names;
  for (std::size_t i = 0; i < kFormats.size(); ++i) {
    if (i > 0) names += i + 1 == kFormats.size() ? " or " : ", ";
    names += kFormats[i].name;
  }
  return names;
}

}  // namespace tessaly
