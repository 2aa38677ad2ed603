// TfrmMother: a TfrmBigMother with an image list and the message component
// msgMenssage (no buttons, warning style at start). The window frees itself
// when it is closed.
#pragma once

#include <QList>
#include <QPixmap>

#include <functional>

#include "shell/UntTMsgdlg1.h"
#include "shell/untBigMother.h"

namespace tessaly {

class TfrmMother : public TfrmBigMother {
  Q_OBJECT

 public:
  explicit TfrmMother(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::Window);

  QList<QPixmap> imgImageList;
  TMsgDlg* msgMenssage = nullptr;

 protected:
  // Runs `rewrite`, a settings window's rewrite of its file; when that fails
  // (SettingsError), says so through msgMenssage as the window set it up.
  void RewriteSettings(const std::function<void()>& rewrite);
};

}  // namespace tessaly
