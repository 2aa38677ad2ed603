// The part of an export row that depends on its record alone, made where the
// record is parsed: on the streaming pipeline's worker threads, so a long
// export formats its rows in parallel and the calling thread only joins
// them. An export sink offers one (ExportSink::Formatter) when it can.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "core/RecordNumbers.h"

namespace tessaly {

class RecordFormatter {
 public:
  virtual ~RecordFormatter() = default;
  // Appends the text of one record to `out`: `cells` are its record columns
  // ("Time" to "GPS  NORTH", kRecordColumnCount of them) as the grid shows
  // them. Called from several threads at once, so it changes nothing.
  virtual void Format(std::span<const std::string_view> cells, const RecordNumbers& numbers,
                      std::string& out) const = 0;
  // Whether Format reads `cells`. When it does not, it is given none, and
  // the parser leaves out the texts only the grid shows (UTM northing and
  // easting, the dearest to make).
  virtual bool UsesCells() const { return true; }
};

}  // namespace tessaly
