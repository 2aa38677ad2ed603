#include "core/RecordLines.h"

#include <algorithm>

#include "core/GridLayout.h"
#include "core/RecordSource.h"
#include "core/SurveyLines.h"
#include "core/TrackModel.h"
#include "core/ZoneProjector.h"

namespace tessaly {

RecordLines::RecordLines(std::vector<SurveyLine> lines) : lines_(std::move(lines)) {}

std::size_t RecordLines::FirstLineFrom(std::size_t record) const {
  const auto line = std::lower_bound(lines_.begin(), lines_.end(), record,
                                     [](const SurveyLine& l, std::size_t r) { return l.last < r; });
  return static_cast<std::size_t>(line - lines_.begin());
}

std::size_t RecordLines::LineOf(std::size_t record) const {
  const std::size_t index = FirstLineFrom(record);
  return index < lines_.size() && lines_[index].first <= record ? index + 1 : 0;
}

RecordLines FindRecordLines(const RecordSource& source, int mapDatum) {
  const std::size_t records = source.Numbers().size();
  const ShownPositions positions(source);
  const CellTable& cells = source.Cells();
  ZoneProjector projector(mapDatum);
  SurveyLineFinder finder(LineMode::Auto);
  for (std::size_t record = 0; record < records; ++record) {
    const GeoPosition position = positions.Of(record);
    std::optional<PlanePoint> point;
    if (position.Known()) point = projector.Project(position.latitude, position.longitude);
    const std::size_t row = record + 1;
    finder.Add(point, row < cells.Rows() ? cells.Cell(row, kColComment) : std::string_view());
  }
  return RecordLines(finder.Finish());
}

}  // namespace tessaly
