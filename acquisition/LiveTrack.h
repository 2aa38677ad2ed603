// LiveTrack: the track of a live logging window. Made from the records the
// window's store holds when the track is first shown, then grown by the
// records shown since, one call per repaint.
#pragma once

#include <memory>

#include "core/LiveRecordStore.h"
#include "core/LogVariants.h"
#include "core/TrackModel.h"

namespace tessaly {

class TrackPlot;

class LiveTrack {
 public:
  explicit LiveTrack(const LogVariant& variant) : variant_(variant) {}

  // The variants whose records carry the towfish's position offer the track.
  bool Available() const { return variant_.positions; }
  // A fresh track of the records `store` holds so far, shown by `plot`.
  void Start(TrackPlot& plot, std::shared_ptr<const LiveRecordStore> store, int mapDatum, bool followNewest);
  // The records shown since the track last grew join it. While
  // `followNewest`, the plot keeps the newest position in view.
  void Extend(TrackPlot& plot, bool followNewest);

 private:
  const LogVariant& variant_;
  std::shared_ptr<const LiveRecordStore> store_;
  std::shared_ptr<TrackModel> model_;
};

}  // namespace tessaly
