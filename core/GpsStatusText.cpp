#include "core/GpsStatusText.h"

#include <cmath>
#include <cstdio>

namespace tessaly {

namespace {

// GGA's fix qualities that are used (1 to 5); a fix without a GGA reads as a
// plain fix.
const char* QualityName(int quality) {
  switch (quality) {
    case 2: return "DGPS fix";
    case 3: return "PPS fix";
    case 4: return "RTK fixed";
    case 5: return "RTK float";
    default: return "GPS fix";
  }
}

std::string Seconds(std::int64_t ns) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(ns) / 1e9);
  return text;
}

// "44°17.0123'N": degrees, minutes to four decimals (about 0.2 m), hemisphere.
std::string Coordinate(double degrees, int degreeDigits, char positive, char negative) {
  const double magnitude = std::fabs(degrees);
  long long tenThousandths = std::llround(magnitude * 600000.0);  // of a minute
  const long long whole = tenThousandths / 600000;
  tenThousandths -= whole * 600000;
  char text[48];
  std::snprintf(text, sizeof text, "%0*lld\u00b0%02lld.%04lld'%c", degreeDigits, whole, tenThousandths / 10000,
                tenThousandths % 10000, degrees < 0 ? negative : positive);
  return text;
}

}  // namespace

std::string GpsPortText(const GpsPortStatus& port) {
  switch (port.state) {
    case GpsPortState::None: return kNoGpsText;
    case GpsPortState::Lost: return "Lost: " + port.deviceText + ", reconnecting";
    case GpsPortState::OtherDevice: return "Another device on the GPS port: " + port.deviceText;
    case GpsPortState::Open: break;
  }
  std::string text;
  if (port.heldLines > 0) text = port.writeError + ": " + std::to_string(port.heldLines) + " sentences wait";
  if (port.lostLines > 0)
    text += (text.empty() ? "" : "; ") + std::to_string(port.lostLines) + " sentences could not be kept";
  return text;
}

std::string GpsFixText(const LiveGpsStatus& status, std::int64_t nowUtcNs) {
  if (!status.latest) return "No fix yet";
  if (status.latest->valid) {
    const GpsFix& fix = *status.latest;
    std::string text = QualityName(fix.quality);
    if (fix.satellites) text += ", " + std::to_string(*fix.satellites) + " satellites";
    if (fix.hdop) {
      char hdop[32];
      std::snprintf(hdop, sizeof hdop, ", HDOP %.1f", *fix.hdop);
      text += hdop;
    }
    return text + ", " + Seconds(nowUtcNs - fix.receivedUtcNs) + " old";
  }
  if (!status.latestValid) return "No valid fix";
  return "No valid fix (last valid " + Seconds(nowUtcNs - status.latestValid->receivedUtcNs) + " old)";
}

std::string PositionText(const GeoPosition& position) {
  return Coordinate(position.latitude, 2, 'N', 'S') + " " + Coordinate(position.longitude, 3, 'E', 'W');
}

std::string TowfishText(const LivePosition& newest) {
  const PositionedRecord& p = newest.position;
  if (!p.towfish) return "Towfish: no position (" + PositionFlagsText(p.flags) + ")";
  return "Towfish " + PositionText(*p.towfish) + (newest.Provisional() ? " (provisional)" : "");
}

}  // namespace tessaly
