// LiveTrack: the track of a live logging window, kept from the start of each
// session whether the track is shown or not, and shown in the plot from its
// first showing on.
//
// Without a GPS it holds the towfish positions the records carry (the
// variants whose records have them). With a GPS it holds the positions the
// session works out from it (LiveNavigation.h): every record has a slot as
// it is shown, filled when its position is reported and moved when it is
// reported again. The ship's positions (the antenna's) are kept beside, for
// the plot's "Ship's Track"; the records whose positions are provisional are
// ringed.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "core/LiveObserver.h"
#include "core/LiveRecordStore.h"
#include "core/LogVariants.h"
#include "core/TrackModel.h"

namespace tessaly {

class TrackPlot;

class LiveTrack {
 public:
  explicit LiveTrack(const LogVariant& variant) : variant_(variant) {}

  // Whether a GPS port positions the records (the settings at the window's
  // making, then each session's).
  void SetGps(bool gps) { gps_ = gps; }
  bool Gps() const { return gps_; }
  // The variants whose records carry the towfish's position offer the
  // track, and every variant with a GPS.
  bool Available() const { return variant_.positions || gps_; }

  // A new session's track over the records `store` holds, empty.
  void Reset(std::shared_ptr<const LiveRecordStore> store, int mapDatum);
  // `plot` shows the track from now on.
  void Attach(TrackPlot& plot, bool followNewest);
  // The records shown since the track last grew join it, with the positions
  // reported for them; the plot, if any, repaints. While `followNewest` the
  // plot keeps the newest position in view.
  void Extend(TrackPlot* plot, bool followNewest);
  // Positions the session worked out, or worked out again.
  void Positioned(const std::vector<LivePosition>& positions);

  const TrackModel* Towfish() const { return towfish_.get(); }
  const TrackModel* Ship() const { return ship_.get(); }

 private:
  void Place(const LivePosition& position);

  const LogVariant& variant_;
  bool gps_ = false;
  std::shared_ptr<const LiveRecordStore> store_;
  std::shared_ptr<TrackModel> towfish_, ship_;
  std::map<std::uint64_t, LivePosition> waiting_;  // reported before their record joined the track
  std::set<std::uint32_t> provisional_;
};

}  // namespace tessaly
