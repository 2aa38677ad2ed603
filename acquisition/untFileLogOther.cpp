#include "acquisition/untFileLogOther.h"

namespace tessaly {

TfrmFileLogOther::TfrmFileLogOther(QWidget* parent) : TfrmFileLog(LogVariantId::Other, parent) {}

// A chunk shows as the session received it (written, or held to be written
// first on Resume).
void TfrmFileLogOther::AddRecord(const LiveRecord& chunk) { Store().AppendRawBytes(chunk.text); }

}  // namespace tessaly
