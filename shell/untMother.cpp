#include "shell/untMother.h"

#include <QMdiSubWindow>
#include <QHBoxLayout>
#include <QPushButton>

#include "core/SettingsFile.h"

namespace tessaly {

TfrmMother::TfrmMother(QWidget* parent, Qt::WindowFlags flags)
    : TfrmBigMother(parent, flags), msgMenssage(new TMsgDlg(this)) {
  msgMenssage->setObjectName("msgMenssage");
  setAttribute(Qt::WA_DeleteOnClose);
}

void TfrmMother::CloseWindow() {
  if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) {
    frame->close();
  } else {
    close();
  }
}

QHBoxLayout* TfrmMother::SaveAndCancelButtons(QPushButton*& save, QPushButton*& cancel, bool& cancelled) {
  save = new QPushButton(QStringLiteral("&Save && Close"), this);
  save->setObjectName("BitBtn1");
  save->setDefault(true);
  cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName("BitBtn2");
  connect(save, &QPushButton::clicked, this, &QWidget::close);
  connect(cancel, &QPushButton::clicked, this, [this, &cancelled] {
    cancelled = true;
    close();
  });
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(save);
  row->addWidget(cancel);
  return row;
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
