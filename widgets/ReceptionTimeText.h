// How a log window's grid shows the time a record was received: the local
// time of day in the system's long time format, whether the record arrives
// live or its log is opened later with its reception times beside it.
#pragma once

#include <cstdint>
#include <string>

namespace tessaly {

// The time of `utcNs` (UTC, nanoseconds from 1970), as the grid shows it.
std::string ReceptionTimeText(std::int64_t utcNs);

}  // namespace tessaly
