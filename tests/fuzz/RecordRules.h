// What every accepted record must satisfy, and the messages a rejection may
// give: the checks the fuzz targets apply to whatever the parser accepts.
#pragma once

#include <string>
#include <string_view>

#include "core/untTSample.h"

namespace tessaly::fuzz {

// The first format rule the record the sample holds after an accepted parse
// breaks, with the offending text; empty when it keeps them all.
std::string BrokenRecordRule(const TSample& sample);

// A rejection message the parser can give (the deviation-length message with
// the sample's digit count).
bool IsRejectionMessage(const TSample& sample, std::string_view message);

// Signed decimal degrees with five decimals ("+45.20575", "-063.50000").
bool IsDecimalDegrees(std::string_view text);
// "%8.3f" metres with the decimal separator.
bool IsMetres(std::string_view text, char separator);
// UTM zone: number, blank, latitude-band letter ("20 T").
bool IsZone(std::string_view text);

}  // namespace tessaly::fuzz
