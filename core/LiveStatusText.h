// The status line of a live session, as the logging window shows it and the
// headless logger prints it: "Logging ...", "Paused ...", "Device lost,
// reconnecting ..." and why a session waits.
#pragma once

#include <string>

#include "core/LiveObserver.h"

namespace tessaly {

std::string LiveStatusText(const LiveStatus& status);

// The message of a stop that could not write every record to the log: how
// many went where. Empty when the log holds them all.
std::string StopReportText(const StopReport& report);

}  // namespace tessaly
