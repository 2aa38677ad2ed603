#include "shell/untMother.h"

#include "core/SettingsFile.h"

namespace tessaly {

TfrmMother::TfrmMother(QWidget* parent, Qt::WindowFlags flags)
    : TfrmBigMother(parent, flags), msgMenssage(new TMsgDlg(this)) {
  msgMenssage->setObjectName("msgMenssage");
  setAttribute(Qt::WA_DeleteOnClose);
}

void TfrmMother::RewriteSettings(const std::function<void()>& rewrite) {
  try {
    rewrite();
  } catch (const SettingsError&) {
    msgMenssage->Mensagem = QStringLiteral("Couldn't rercod the data in the configuration file.");
    msgMenssage->Execute();
  }
}

}  // namespace tessaly
