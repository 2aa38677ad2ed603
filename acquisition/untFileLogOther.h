// TfrmFileLogOther: the raw capture. Records whatever the port delivers,
// unframed and unvalidated: every chunk is written to the log exactly as
// received (no line end added) and appended to the raw view, whose lines
// follow the line breaks of the stream. No grid, chart, record count or
// file parts.
#pragma once

#include "acquisition/untFileLog.h"

namespace tessaly {

class TfrmFileLogOther : public TfrmFileLog {
  Q_OBJECT

 public:
  explicit TfrmFileLogOther(QWidget* parent = nullptr);

 protected:
  void AddRecord(const LiveRecord& chunk) override;
};

}  // namespace tessaly
