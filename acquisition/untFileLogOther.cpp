#include "acquisition/untFileLogOther.h"

namespace tessaly {

TfrmFileLogOther::TfrmFileLogOther(QWidget* parent) : TfrmFileLog(LogVariantId::Other, parent) {}

// A chunk whose write failed is kept by the writer and written first on
// Resume; it shows at once like the rest.
void TfrmFileLogOther::ProcessRecord(std::string_view chunk) {
  WriteToLog(chunk, false);
  Store().AppendRawBytes(chunk);
  ScheduleShow();
}

}  // namespace tessaly
