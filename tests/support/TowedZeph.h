// A generated Zeph survey towed on 70 m of cable, with the files a live part
// has beside it and the generator's truth (GenerateWithGps), and the layback
// that places its towfish: 70 m of cable, following the fish.
#pragma once

#include <string>
#include <vector>

#include "core/SettingsStore.h"
#include "support/GeneratedGps.h"
#include "support/TempHome.h"

namespace tessaly::testing {

// Two survey lines of `lineLength` m, records and fixes ten a second.
inline std::vector<GpsTruthRow> GenerateTowedZeph(const std::string& log, int lineLength, int seed) {
  return GenerateWithGps("--kind zpx --lines 2 --line-length " + std::to_string(lineLength) +
                             " --rate 10 --gps-rate 10 --cable 70 --seed " + std::to_string(seed),
                         log);
}

inline LaybackSettings TowedZephLayback() {
  LaybackSettings layback;
  layback.cableOut = 70.0;
  layback.mode = LaybackMode::FollowTheFish;
  return layback;
}

// The survey in `home` as `log`, and Lib/Positioning.ega set to its layback.
inline std::vector<GpsTruthRow> SetUpTowedZeph(const TempHome& home, const std::string& log, int lineLength,
                                               int seed) {
  WriteLaybackSettings(home.Lib("Positioning.ega"), TowedZephLayback());
  return GenerateTowedZeph(log, lineLength, seed);
}

}  // namespace tessaly::testing
