// The sixteen view settings: how record rows are highlighted and how the
// deviation profile is drawn. Held by the main window, stored in Lib/View.ega
// in this order, read by the log windows.
#pragma once

#include <cstdint>
#include <tuple>

#include "core/BgrColor.h"

namespace tessaly {

struct ViewSettings {
  std::int32_t DevLimit = 0;          // rows with |deviation| above it are highlighted
  BgrColor NegDevColor = 0;           // background of such a row, deviation below 1
  BgrColor PosDevColor = 0;           // background of such a row otherwise
  BgrColor LineColor = 0;             // chart line colour
  std::int32_t LineWidth = 0;         // chart line width
  BgrColor GridColor = 0;             // chart grid-line colour
  BgrColor PointColor = 0;            // sample point colour
  BgrColor HighlightColor = 0;        // selected point colour
  std::int32_t PointSize = 0;         // sample point size; the selection is 2 larger
  bool PointsVisible = false;         // sample points drawn or not
  std::int32_t SamplesPerPage = 0;    // position of the horizontal zoom slider
  std::int32_t MaxDeviation = 0;      // maximum of the vertical scroll bar
  BgrColor GraphBackground = 0;       // chart background
  std::int32_t InitialDevRange = 0;   // position of the vertical zoom slider
  std::int32_t DevIncrement = 0;      // tick frequency of both sliders
  std::int32_t PointIncrement = 0;    // small change of both chart scroll bars

  bool operator==(const ViewSettings&) const = default;
};

// The settings of a fresh installation (the shipped Lib/View.ega).
inline ViewSettings DefaultViewSettings() {
  ViewSettings view;
  view.DevLimit = 500;
  view.NegDevColor = 0xC8C8FF;      // light red
  view.PosDevColor = 0xC8FFC8;      // light green
  view.LineColor = 0xFF0000;        // clBlue
  view.LineWidth = 1;
  view.GridColor = 0x808080;        // clGray
  view.PointColor = 0x800000;       // clNavy
  view.HighlightColor = 0x0000FF;   // clRed
  view.PointSize = 3;
  view.PointsVisible = true;
  view.SamplesPerPage = 52;         // horizontal zoom: 52 columns of one record
  view.MaxDeviation = 50000;
  view.GraphBackground = 0xF0FBFF;  // clCream
  view.InitialDevRange = 82;        // vertical zoom: 10 rows of 32, about 300 units
  view.DevIncrement = 3;
  view.PointIncrement = 1;
  return view;
}

// Settings 1 to 3, which colour the record rows, differ.
inline bool GridSettingsDiffer(const ViewSettings& a, const ViewSettings& b) {
  return a.DevLimit != b.DevLimit || a.NegDevColor != b.NegDevColor || a.PosDevColor != b.PosDevColor;
}

// Settings 4 to 16, which set up the charts, differ.
inline bool ChartSettingsDiffer(const ViewSettings& a, const ViewSettings& b) {
  const auto chart = [](const ViewSettings& v) {
    return std::tie(v.LineColor, v.LineWidth, v.GridColor, v.PointColor, v.HighlightColor, v.PointSize,
                    v.PointsVisible, v.SamplesPerPage, v.MaxDeviation, v.GraphBackground, v.InitialDevRange,
                    v.DevIncrement, v.PointIncrement);
  };
  return chart(a) != chart(b);
}

}  // namespace tessaly
