#include "shell/untMother.h"

namespace tessaly {

TfrmMother::TfrmMother(QWidget* parent, Qt::WindowFlags flags)
    : TfrmBigMother(parent, flags), msgMenssage(new TMsgDlg(this)) {
  msgMenssage->setObjectName("msgMenssage");
  setAttribute(Qt::WA_DeleteOnClose);
}

}  // namespace tessaly
