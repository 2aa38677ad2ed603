// How a memory download ended, and what the download window says about it:
// a data set that ended with its end line (or whose window closed while it
// came) is followed by the usual question; one that ended without it - the
// instrument fell silent, or the serial port was lost - is said to be
// incomplete, with what was received, instead.
#pragma once

#include <string>

#include "core/DownloadFile.h"

namespace tessaly {

enum class DownloadEnd {
  EndLine,   // "** End of data set **" arrived
  Closed,    // the window closed while the data set came
  Silence,   // nothing came for the idle time
  PortLost,  // the device went away
};

// The message of a download that ended without its end line, naming what
// `file` received (entries of the Data String form, lines of the Graphic
// form) and where it is kept; empty when the usual question follows.
std::string DownloadEndMessage(DownloadEnd how, const DownloadFile& file);

}  // namespace tessaly
