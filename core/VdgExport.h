// The VDG export ("Valid Data Grid"), one export sink: the caption line,
// then one line per record, every grid column but the one the export leaves
// out ("GPS LAT D" for a log, "TF DEPTH" for a navigation import) followed
// by the delimiter (VdgLine.h), CR LF at the end of each line.
#pragma once

#include <memory>

#include "core/ExportFormats.h"
#include "core/ExportSink.h"

namespace tessaly {

class OutputFile;

std::unique_ptr<ExportSink> MakeVdgSink(OutputFile& out, const ExportSettings& settings);

}  // namespace tessaly
