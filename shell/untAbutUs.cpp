#include "shell/untAbutUs.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>

#include "core/ProgramVersion.h"
#include "shell/AppContext.h"
#include "shell/JpegImage.h"
#include "shell/ProductInfo.h"

namespace tessaly {
namespace {

QLabel* WrappedLabel(const QString& text, const QRect& place, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setWordWrap(true);
  label->setGeometry(place);
  return label;
}

}  // namespace

TfrmAboutBox::TfrmAboutBox(QWidget* parent)
    : TfrmMother(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setWindowTitle(QStringLiteral("About Us"));
  setFixedSize(298, 213);

  auto* panel = new QFrame(this);
  panel->setFrameShape(QFrame::StyledPanel);
  panel->setFrameShadow(QFrame::Sunken);
  panel->setGeometry(8, 8, 282, 161);

  imgProgramIcon = new QLabel(panel);
  imgProgramIcon->setObjectName("imgProgramIcon");
  imgProgramIcon->setScaledContents(true);
  imgProgramIcon->setGeometry(8, 8, 137, 57);

  lblProductName = WrappedLabel(QString::fromUtf8(product::kName), QRect(153, 8, 121, 36), panel);
  QFont bold = lblProductName->font();
  bold.setBold(true);
  lblProductName->setFont(bold);
  lblVersion = WrappedLabel(QStringLiteral("Version: ") + ProgramVersion(), QRect(153, 46, 121, 18), panel);
  lblCopyright = WrappedLabel(QString::fromUtf8(product::kLegalNotice), QRect(8, 76, 266, 36), panel);
  lblComments = WrappedLabel(QString::fromUtf8(product::kComments), QRect(8, 116, 266, 36), panel);
  lblProductName->setObjectName("lblProductName");
  lblVersion->setObjectName("lblVersion");
  lblCopyright->setObjectName("lblCopyright");
  lblComments->setObjectName("lblComments");

  OKButton = new QPushButton(QStringLiteral("OK"), this);
  OKButton->setObjectName("OKButton");
  OKButton->setDefault(true);
  OKButton->setGeometry(111, 178, 75, 25);
  connect(OKButton, &QPushButton::clicked, this, &TfrmMother::CloseWindow);

  CentreOnMainWindow();
}

void TfrmAboutBox::changeEvent(QEvent* event) {
  TfrmMother::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isWindow() && isActiveWindow()) LoadPicture();
}

// Put into a sub-window, the box follows the frame's activation.
bool TfrmAboutBox::event(QEvent* event) {
  if (event->type() == QEvent::ParentChange) {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
      connect(frame, &QMdiSubWindow::aboutToActivate, this, &TfrmAboutBox::LoadPicture, Qt::UniqueConnection);
  }
  return TfrmMother::event(event);
}

void TfrmAboutBox::LoadPicture() {
  try {
    imgProgramIcon->setPixmap(QPixmap::fromImage(LoadJpegImage(CurrentDir + product::kPicture)));
    pictureFailureReported_ = false;
  } catch (...) {
    if (pictureFailureReported_) return;
    pictureFailureReported_ = true;
    AppContext::Instance().ReportCurrentException(this);
  }
}

}  // namespace tessaly
