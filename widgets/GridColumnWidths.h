// The pixel widths of a grid layout's columns in a font: each column is its
// layout's minimum wide, or wider where its caption or its widest value
// would otherwise be cut, so that both fit the column's text area
// (TInformacaoGrid::TextRoom) with as much room after the text as before it.
#pragma once

#include <vector>

#include "core/GridLayout.h"

class QFontMetrics;

namespace tessaly {

class TPainelGridOk;

// One width per column of the layout, in its order, for texts measured with
// `metrics`.
std::vector<int> FittedColumnWidths(GridLayout layout, const QFontMetrics& metrics);

// Gives the grid's first layout.size() columns their fitted widths in the
// font the grid paints with. Set the grid's font first.
void FitColumnWidths(TPainelGridOk& grid, GridLayout layout);

}  // namespace tessaly
