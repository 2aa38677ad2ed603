// The live logging windows of the five instruments that send framed records:
// each names its row of the variants table (core/LogVariants.h), which holds
// its header sentence, parser set-up, grid layout, file extension and filter.
#pragma once

#include "acquisition/untFileLog.h"

namespace tessaly {

class TfrmFileLogKV7100 : public TfrmFileLog {
  Q_OBJECT

 public:
  explicit TfrmFileLogKV7100(QWidget* parent = nullptr) : TfrmFileLog(LogVariantId::KV7100, parent) {}
};

class TfrmFileLogZPXKV : public TfrmFileLog {
  Q_OBJECT

 public:
  explicit TfrmFileLogZPXKV(QWidget* parent = nullptr) : TfrmFileLog(LogVariantId::ZpxKV, parent) {}
};

class TfrmFileLogZPXBT : public TfrmFileLog {
  Q_OBJECT

 public:
  explicit TfrmFileLogZPXBT(QWidget* parent = nullptr) : TfrmFileLog(LogVariantId::ZpxBT, parent) {}
};

class TfrmFileLogRT4Basic : public TfrmFileLog {
  Q_OBJECT

 public:
  explicit TfrmFileLogRT4Basic(QWidget* parent = nullptr) : TfrmFileLog(LogVariantId::Rt4Basic, parent) {}
};

class TfrmFileLogRT4KvComp : public TfrmFileLog {
  Q_OBJECT

 public:
  explicit TfrmFileLogRT4KvComp(QWidget* parent = nullptr) : TfrmFileLog(LogVariantId::Rt4KvComp, parent) {}
};

}  // namespace tessaly
