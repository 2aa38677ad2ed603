// TfrmMother: a TfrmBigMother with an image list and the message component
// msgMenssage (no buttons, warning style at start). The window frees itself
// when it is closed.
#pragma once

#include <QList>
#include <QPixmap>

#include "shell/UntTMsgdlg1.h"
#include "shell/untBigMother.h"

namespace tessaly {

class TfrmMother : public TfrmBigMother {
  Q_OBJECT

 public:
  explicit TfrmMother(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::Window);

  QList<QPixmap> imgImageList;
  TMsgDlg* msgMenssage = nullptr;
};

}  // namespace tessaly
