// Grid layouts: the columns of a grid with their captions, minimum widths
// and the widest value each column shows. The record layout - 29 columns
// shared by every log document, the document model and the VDG export - is
// described here with its caption row and the column each export leaves out.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

#include "core/BgrColor.h"
#include "core/CellTable.h"

namespace tessaly {

// The columns, in grid order. Column 0 is the running record number, 1 to
// 27 come from the parsed record, 28 holds the row's comment.
enum GridColumn : std::size_t {
  kColSequence,    // "#": counts the records and the empty lines between them
  kColTime,        // "Time": navigation time
  kColRawLine,     // "RD#": 1-based line number in the file
  kColDev,         // "DEV": the signed deviation
  // The towfish position: degrees, minutes and hemisphere of latitude and
  // longitude, then depth and sounder, then signed decimal degrees and UTM.
  kColTfLatDeg,
  kColTfLatMin,
  kColTfLatHemi,
  kColTfLonDeg,
  kColTfLonMin,
  kColTfLonHemi,
  kColTfDepth,     // "TF DEPTH"
  kColSounder,     // "SOUNDER"
  kColTfDecLat,
  kColTfDecLon,
  kColTfUtmZone,
  kColTfEast,
  kColTfNorth,
  // The GPS position, the same way.
  kColGpsLatDeg,
  kColGpsLatMin,
  kColGpsLatHemi,
  kColGpsLonDeg,
  kColGpsLonMin,
  kColGpsLonHemi,
  kColGpsDecLat,
  kColGpsDecLon,
  kColGpsUtmZone,
  kColGpsEast,
  kColGpsNorth,
  kColComment,     // "Comment"
};

inline constexpr std::size_t kGridColumnCount = kColComment + 1;
// The columns a parsed record fills: "Time" to "GPS  NORTH".
inline constexpr std::size_t kFirstRecordColumn = kColTime;
inline constexpr std::size_t kRecordColumnCount = kColComment - kColTime;
// The texts of one grid row by GridColumn.
using GridRowTexts = std::array<std::string_view, kGridColumnCount>;
// The column each export leaves out.
inline constexpr std::size_t kLogExportSkipColumn = kColGpsLatDeg;
inline constexpr std::size_t kNavExportSkipColumn = kColTfDepth;

// One column of a grid layout. A grid shows the column at least minWidth
// pixels wide, wider when its caption or its widest value needs more in the
// grid's font (widgets/GridColumnWidths.h).
struct GridColumnInfo {
  std::string_view caption;
  int minWidth;             // pixels
  std::string_view widest;  // the widest text the column's values take; empty
                            // for free text, which keeps minWidth
};
// A grid layout: its columns in grid order.
using GridLayout = std::span<const GridColumnInfo>;

// The record layout, indexed by GridColumn.
extern const std::array<GridColumnInfo, kGridColumnCount> kGridColumns;
extern const GridLayout kRecordLayout;
// The captions of kGridColumns, as the grid's row 0 holds them.
std::array<std::string_view, kGridColumnCount> GridCaptions();

// The caption row's colours: black text on grey.
inline constexpr BgrColor kHeaderGrey = 0x808080;
inline constexpr BgrColor kHeaderFont = kClBlack;

// A grid of a layout with its caption row and no records.
CellTable NewCaptionTable(GridLayout layout);
// A record grid with its caption row and no records.
CellTable NewRecordTable();

}  // namespace tessaly
