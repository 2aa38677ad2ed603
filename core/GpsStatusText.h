// What a crew reads of a live session's GPS, as the logging window shows it
// and the headless logger prints it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/LiveObserver.h"

namespace tessaly {

inline constexpr const char* kNoGpsText = "None";

// The port: "None" without a GPS port, "Lost: /dev/ttyUSB1, reconnecting",
// "Another device on the GPS port: ...", "Cannot write ...: 12 sentences
// wait" when the NMEA file refuses them; empty while the port is read and
// written as it should be.
std::string GpsPortText(const GpsPortStatus& port);

// The fix at `nowUtcNs`: "DGPS fix, 12 satellites, HDOP 0.7, 0.4 s old",
// "No valid fix (last valid 12.0 s old)", "No fix yet".
std::string GpsFixText(const LiveGpsStatus& status, std::int64_t nowUtcNs);

// "44°17.0123'N 063°18.0000'W": a position as the window shows it.
std::string PositionText(const GeoPosition& position);

// A position of the newest record: "Towfish 44°17.0123'N 063°18.0000'W",
// "(provisional)" after it while extrapolated; "Towfish: no position
// (no-fix)" with the flags' names when it has none.
std::string TowfishText(const LivePosition& newest);

}  // namespace tessaly
