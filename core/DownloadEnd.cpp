#include "core/DownloadEnd.h"

#include "core/DataStringFormat.h"

namespace tessaly {
namespace {

std::string Count(std::int64_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// What the file received, in the words of its form.
std::string Received(const DownloadFile& file) {
  if (file.Form() == DownloadForm::DataString) return Count(file.Entries(), "entry", "entries");
  return Count(file.Lines(), "line", "lines");
}

}  // namespace

std::string DownloadEndMessage(DownloadEnd how, const DownloadFile& file) {
  const std::string endLine = "\"" + std::string(kDataSetEndLine) + "\"";
  const std::string kept = " What was received is kept in " + file.Path() + ".";
  switch (how) {
    case DownloadEnd::EndLine:
    case DownloadEnd::Closed: return {};
    case DownloadEnd::Silence:
      return "The data set ended without " + endLine + ": nothing more came after " + Received(file) + "." + kept;
    case DownloadEnd::PortLost:
      return "The serial port was lost during the download: the device went away after " + Received(file) +
             ", before " + endLine + "." + kept;
  }
  return {};
}

}  // namespace tessaly
