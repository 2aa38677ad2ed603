#include "core/GridLayout.h"

namespace tessaly {

namespace {

// The widest values of the record fields, as the parser and the position
// helpers make them. Digits are drawn as zeros, a sign as "+" and a letter
// as the widest one the field allows.
constexpr std::string_view kCount = "0000000";           // records and lines, up to 7 digits
constexpr std::string_view kNavTime = "00:00:00.00";     // a navigation file's time
constexpr std::string_view kDeviation = "+00000";        // sign and 5 digits (4 in the BT format)
constexpr std::string_view kLatDegrees = "00";           // exactly 2 digits
constexpr std::string_view kLonDegrees = "000";          // exactly 3 digits
constexpr std::string_view kMinutes = "00.00000";        // "MM.mmm" with up to 5 decimals (8 characters)
constexpr std::string_view kNorthSouth = "N";
constexpr std::string_view kEastWest = "W";
constexpr std::string_view kDepth = "000.0";             // depths as the RT4 writes them, the widest instrument form
constexpr std::string_view kDecLat = "+00.00000";        // signed decimal degrees with 5 decimals
constexpr std::string_view kDecLon = "+000.00000";
constexpr std::string_view kZone = "00 W";               // zone number and latitude band letter
constexpr std::string_view kEasting = "000000.000";      // "%8.3f": a UTM easting has 6 whole digits,
constexpr std::string_view kNorthing = "0000000.000";    // a northing up to 7

}  // namespace

const std::array<GridColumnInfo, kGridColumnCount> kGridColumns = {{
    {"#", 40, kCount},
    {"Time", 70, kNavTime},
    {"RD#", 40, kCount},
    {"DEV", 45, kDeviation},
    {"TF LAT D", 55, kLatDegrees},
    {"TF LAT M", 55, kMinutes},
    {"TF N/S", 40, kNorthSouth},
    {"TF LON D", 55, kLonDegrees},
    {"TF LON M", 55, kMinutes},
    {"TF E/W", 45, kEastWest},
    {"TF DEPTH", 60, kDepth},
    {"SOUNDER", 65, kDepth},
    {"TF DEC Lat", 60, kDecLat},
    {"TF DEC Lon", 60, kDecLon},
    {"TF UTM Z", 55, kZone},
    {"TF EAST", 80, kEasting},
    {"TF NORTH", 80, kNorthing},
    {"GPS LAT D", 65, kLatDegrees},
    {"GPS LAT M", 65, kMinutes},
    {"GPS N/S", 50, kNorthSouth},
    {"GPS LON D", 65, kLonDegrees},
    {"GPS LON M", 65, kMinutes},
    {"GPS E/W", 55, kEastWest},
    {"GPS DEC Lat", 75, kDecLat},
    {"GPS DEC Lon", 75, kDecLon},
    {"G UTM Z", 55, kZone},
    {"GPS EAST", 80, kEasting},
    {"GPS  NORTH", 80, kNorthing},
    {"Comment", 200, {}},
}};

constinit const GridLayout kRecordLayout{kGridColumns};

std::array<std::string_view, kGridColumnCount> GridCaptions() {
  std::array<std::string_view, kGridColumnCount> captions;
  for (std::size_t c = 0; c < kGridColumnCount; ++c) captions[c] = kGridColumns[c].caption;
  return captions;
}

CellTable NewCaptionTable(GridLayout layout) {
  CellTable table(1, layout.size());
  for (std::size_t c = 0; c < layout.size(); ++c) table.SetCell(0, c, layout[c].caption);
  table.SetRowColor(0, kHeaderGrey);
  table.SetRowFontColor(0, kHeaderFont);
  return table;
}

CellTable NewRecordTable() { return NewCaptionTable(kRecordLayout); }

}  // namespace tessaly
