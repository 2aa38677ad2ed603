#include "acquisition/untFileLogOther.h"

#include <QCheckBox>

#include "widgets/RawTextView.h"
#include "widgets/RecordViews.h"

namespace tessaly {

TfrmFileLogOther::TfrmFileLogOther(QWidget* parent) : TfrmFileLog(LogVariantId::Other, parent) {}

// A chunk whose write failed is kept by the writer and written first on
// Resume; it shows at once like the rest.
void TfrmFileLogOther::ProcessRecord(std::string_view chunk) {
  WriteToLog(chunk, false);
  Store().AppendRawBytes(chunk);
  Views().Update();
  if (chbAutoScroll->isChecked()) {
    lstRawData->ShowLastLine();
  } else {
    lstRawData->ReturnToHoldMark();
  }
  emit RecordShown(Store().RawLineCount());
}

}  // namespace tessaly
