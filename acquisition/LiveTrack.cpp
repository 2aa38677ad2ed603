#include "acquisition/LiveTrack.h"

#include "widgets/TrackPlot.h"

namespace tessaly {

void LiveTrack::Start(TrackPlot& plot, std::shared_ptr<const LiveRecordStore> store, int mapDatum, bool followNewest) {
  store_ = std::move(store);
  model_ = std::make_shared<TrackModel>(mapDatum);
  plot.SetTrack(store_, model_);
  Extend(plot, followNewest);
}

void LiveTrack::Extend(TrackPlot& plot, bool followNewest) {
  if (!model_) return;
  ExtendTrack(*store_, *model_);
  plot.SetFollowNewest(followNewest);
  plot.RecordsAppended();
}

}  // namespace tessaly
