#include "acquisition/LiveTrack.h"

#include "core/Positions.h"
#include "widgets/TrackPlot.h"

namespace tessaly {

void LiveTrack::Start(TrackPlot& plot, std::shared_ptr<const LiveRecordStore> store, int mapDatum, bool followNewest) {
  store_ = std::move(store);
  model_ = std::make_shared<TrackModel>(mapDatum);
  plot.SetTrack(store_, model_);
  Extend(plot, followNewest);
}

// Positions are read from the grid's degree, minute and hemisphere cells.
void LiveTrack::Extend(TrackPlot& plot, bool followNewest) {
  if (!model_) return;
  const std::span<const double> deviations = store_->ChartValues();
  const auto cell = [this](std::size_t row, RowField field) {
    return store_->Cells().Cell(row, variant_.columns[field]);
  };
  std::string decLat, decLon;
  for (std::size_t record = model_->Size(); record < deviations.size(); ++record) {
    const std::size_t row = record + 1;
    const DegMinTexts position{cell(row, kFieldLatDeg), cell(row, kFieldLatMin), cell(row, kFieldLatHemi),
                               cell(row, kFieldLonDeg), cell(row, kFieldLonMin), cell(row, kFieldLonHemi)};
    double latitude = 0.0, longitude = 0.0;
    if (PositionDegrees(position, LocaleDecimalSeparator(), decLat, decLon, latitude, longitude))
      model_->Append(latitude, longitude, deviations[record]);
    else
      model_->AppendMissing();
  }
  plot.SetFollowNewest(followNewest);
  plot.RecordsAppended();
}

}  // namespace tessaly
