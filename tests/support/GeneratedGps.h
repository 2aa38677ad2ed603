// A generated survey with the files a live part has beside it (its reception
// times and NMEA) and the generator's own truth of every record: when it
// was received, where the antenna and the towfish were, and whether the
// towfish lay on a survey line.
#pragma once

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "core/UTMLaLo.h"
#include "support/FileBytes.h"
#include "support/Generator.h"

namespace tessaly::testing {

struct GpsTruthRow {
  std::uint64_t row = 0;
  std::string utc;  // "2026-12-09T08:00:00.100Z"
  double antennaLat = 0, antennaLon = 0, fishLat = 0, fishLon = 0;
  bool onLine = false;
};

// Writes the log `log` with `options` (generator options, --kind among
// them), LOG.times, LOG.nmea and the truth beside it (LOG.truth.csv), and
// reads the truth. Empty when the generator failed.
inline std::vector<GpsTruthRow> GenerateWithGps(const std::string& options, const std::string& log) {
  const std::string truthPath = log + ".truth.csv";
  if (!GenerateLog(options + " --nmea-out " + log + ".nmea --times-out " + log + ".times --gps-truth-out " + truthPath,
                   log))
    return {};
  std::vector<GpsTruthRow> rows;
  std::istringstream text(ReadBytes(truthPath));
  std::string line;
  std::getline(text, line);  // the header
  while (std::getline(text, line)) {
    std::istringstream cells(line);
    std::string cell;
    std::vector<std::string> c;
    while (std::getline(cells, cell, ',')) c.push_back(cell);
    if (c.size() != 7) return {};
    rows.push_back({std::stoull(c[0]), c[1], std::stod(c[2]), std::stod(c[3]), std::stod(c[4]), std::stod(c[5]),
                    c[6] == "1"});
  }
  return rows;
}

// Metres between two positions in signed decimal degrees, in the UTM zone
// of the first.
inline double MetresApart(double lat1, double lon1, double lat2, double lon2) {
  UtmPosition a, b;
  if (!LatLonToUtm(kWgs84Datum, lat1, lon1, a) ||
      !LatLonToUtmInZone(kWgs84Datum, lat2, lon2, a.zoneNumber, lat1 < 0, b))
    return INFINITY;
  return std::hypot(a.easting - b.easting, a.northing - b.northing);
}

}  // namespace tessaly::testing
