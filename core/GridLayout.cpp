#include "core/GridLayout.h"

namespace tessaly {

const std::array<GridColumnInfo, kGridColumnCount> kGridColumns = {{
    {"#", 40},          {"Time", 70},        {"RD#", 40},        {"DEV", 45},
    {"TF LAT D", 55},   {"TF LAT M", 55},    {"TF N/S", 40},     {"TF LON D", 55},
    {"TF LON M", 55},   {"TF E/W", 45},      {"TF DEPTH", 60},   {"SOUNDER", 65},
    {"TF DEC Lat", 60}, {"TF DEC Lon", 60},  {"TF UTM Z", 55},   {"TF EAST", 80},
    {"TF NORTH", 80},   {"GPS LAT D", 65},   {"GPS LAT M", 65},  {"GPS N/S", 50},
    {"GPS LON D", 65},  {"GPS LON M", 65},   {"GPS E/W", 55},    {"GPS DEC Lat", 75},
    {"GPS DEC Lon", 75}, {"G UTM Z", 55},    {"GPS EAST", 80},   {"GPS  NORTH", 80},
    {"Comment", 200},
}};

std::array<std::string_view, kGridColumnCount> GridCaptions() {
  std::array<std::string_view, kGridColumnCount> captions;
  for (std::size_t c = 0; c < kGridColumnCount; ++c) captions[c] = kGridColumns[c].caption;
  return captions;
}

CellTable NewRecordTable() {
  CellTable table(1, kGridColumnCount);
  table.SetRow(0, GridCaptions());
  table.SetRowColor(0, kHeaderGrey);
  table.SetRowFontColor(0, kHeaderFont);
  return table;
}

}  // namespace tessaly
