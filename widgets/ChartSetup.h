// Set-up of the profile chart shared by the log document and the logging
// windows: the design settings, and the view settings applied on top.
#pragma once

#include "core/ViewSettings.h"

namespace tessaly {

class TGraficoOK;

// Colours $FFBBBB / $3A3A3A, cells 19 x 42.6 pixels, titles "SAMPLES" and
// "DEVIATION", first record label 1, increments 1, navigators and sliders
// off, slider bounds -999999..999999 (bounds reach only sliders that exist),
// selection red and 10 pixels, initial slider positions 0.
void ApplyChartDesignSettings(TGraficoOK& chart);

// Switches on the zoom sliders and scroll bars of an active log window's
// chart: the horizontal slider up to 800, the vertical one up to 50000.
void ShowLogWindowControls(TGraficoOK& chart);

// Applies view settings 4 to 16 in this order: line colour, line width, grid
// colour, point colour, selection colour, selection size (point size + 2),
// point size, points visible; horizontal slider position; vertical scroll
// bar maximum, then CentralizaY(0); background; vertical slider position;
// tick interval of both sliders; small change of both scroll bars (low 16
// bits of the point increment), large change twice that; redraw. Steps that
// need a slider or scroll bar are skipped while it is switched off.
void ApplyViewSettings(TGraficoOK& chart, const ViewSettings& view);

}  // namespace tessaly
