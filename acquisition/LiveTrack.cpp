#include "acquisition/LiveTrack.h"

#include "widgets/TrackPlot.h"

namespace tessaly {

void LiveTrack::Reset(std::shared_ptr<const LiveRecordStore> store, int mapDatum) {
  store_ = std::move(store);
  towfish_ = std::make_shared<TrackModel>(mapDatum);
  ship_ = std::make_shared<TrackModel>(mapDatum);
  waiting_.clear();
  provisional_.clear();
}

void LiveTrack::Attach(TrackPlot& plot, bool followNewest) {
  if (!towfish_) return;
  plot.SetTrack(store_, towfish_);
  plot.SetShipTrack(gps_ ? ship_ : nullptr);
  Extend(&plot, followNewest);
}

void LiveTrack::Extend(TrackPlot* plot, bool followNewest) {
  if (!towfish_) return;
  if (!gps_) {
    ExtendTrack(*store_, *towfish_);
  } else {
    while (towfish_->Size() < store_->RecordCount()) {
      towfish_->AppendMissing();
      ship_->AppendMissing();
    }
    for (auto it = waiting_.begin(); it != waiting_.end() && it->first <= towfish_->Size();) {
      Place(it->second);
      it = waiting_.erase(it);
    }
  }
  if (!plot) return;
  plot->SetProvisional({provisional_.begin(), provisional_.end()});
  plot->SetFollowNewest(followNewest);
  plot->RecordsAppended();
}

void LiveTrack::Positioned(const std::vector<LivePosition>& positions) {
  if (!gps_ || !towfish_) return;
  for (const LivePosition& position : positions) {
    if (position.row <= towfish_->Size()) Place(position);
    else waiting_[position.row] = position;
  }
}

void LiveTrack::Place(const LivePosition& position) {
  const std::size_t record = position.row - 1;
  const auto deviations = store_->ChartValues();
  towfish_->Replace(record, position.position.towfish.value_or(GeoPosition{}), deviations);
  ship_->Replace(record, position.position.antenna.value_or(GeoPosition{}), deviations);
  if (position.Provisional()) provisional_.insert(static_cast<std::uint32_t>(record));
  else provisional_.erase(static_cast<std::uint32_t>(record));
}

}  // namespace tessaly
