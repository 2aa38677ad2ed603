#include "core/LiveStatusText.h"

namespace tessaly {

namespace {

// " 3 records": a count after a blank.
std::string Records(std::uint64_t count) {
  std::string text = " ";
  text += std::to_string(count);
  text += count == 1 ? " record" : " records";
  return text;
}

}  // namespace

std::string LiveStatusText(const LiveStatus& status) {
  if (status.state != LiveState::Logging && status.state != LiveState::Paused) return {};
  std::string text;
  if (status.state == LiveState::Logging) {
    text = status.deviceLost ? "Device lost, reconnecting ..." : "Logging ...";
    if (status.silent && !status.deviceLost) text += " Nothing received for a while.";
  } else {
    text = "Paused ...";
    if (status.otherDevice)
      text += " Another device is on the port now: " + status.deviceText + ". Resume to log from it.";
    if (status.writeFailed) {
      text += ' ';
      text += status.writeError;
      if (!status.writeError.empty() && status.writeError.back() != '.') text += '.';
      if (status.heldRecords > 0) text += Records(status.heldRecords) + " held in memory.";
    }
    if (status.deviceLost) text += " Device lost, reconnecting ...";
  }
  if (status.lostRecords > 0) text += Records(status.lostRecords) + " lost: more than memory may hold.";
  if (!status.eventsError.empty()) text += " " + status.eventsError + ".";
  return text;
}

std::string StopReportText(const StopReport& report) {
  if (report.rescued == 0 && report.lost == 0 && report.problem.empty()) return {};
  std::string text;
  if (report.rescued > 0) {
    text += Records(report.rescued).substr(1) + " could not be written to the log; they were saved in ";
    for (std::size_t i = 0; i < report.rescueFiles.size(); ++i) {
      if (i > 0) text += i + 1 == report.rescueFiles.size() ? " and " : ", ";
      text += report.rescueFiles[i].path;
      if (report.rescueFiles.size() > 1) text += " (" + std::to_string(report.rescueFiles[i].records) + ")";
    }
    text += '.';
  }
  if (report.lost > 0) {
    if (!text.empty()) text += '\r';
    text += Records(report.lost).substr(1) + " could not be saved anywhere and are lost.";
  }
  if (!report.problem.empty()) {
    if (!text.empty()) text += '\r';
    text += report.problem;
  }
  return text;
}

}  // namespace tessaly
